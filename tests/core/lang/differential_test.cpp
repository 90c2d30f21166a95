// Derivatives and integrals rewritten into algebraic equations: the faults the scan reports,
// what the limits refuse and the quadrature sums. Whole time steps, their written text with the
// ties of the start values, are pinned by the golden differential cases.

#include "core/lang/differential.h"

#include <gtest/gtest.h>

#include <string>

#include "core/capacity_hint.h"
#include "core/data_table.h"
#include "core/eval/evaluator.h"
#include "core/lang/parser_harness.h"

namespace {

const char* const kDecay = "D(x, t) = -x;\nx \xBB 1;\nt \xBB 0;\n";

}  // namespace

TEST(DifInt, FaultsOfTheScanAreReportedAndChangeNothing) {
    for (const data_table::Row& c : data_table::Read("differential/scan_faults", 4)) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(c[0])) << c[0];
        const std::string before = h.Code(1);
        h.out.clear();
        EXPECT_FALSE(DifIntCommand(h.s, c[1][0], c[2][0])) << c[0];
        EXPECT_NE(h.out.find(c[3]), std::string::npos) << c[0] << " said " << h.out;
        EXPECT_TRUE(h.s.flags.parseError) << c[0];
        EXPECT_EQ(h.Code(1), before) << c[0];
    }
    // Not implemented, or no operation at all: nothing rewritten, nothing refused.
    for (const auto& [kind, method] : {std::pair{'I', 'G'}, {'I', 'X'}, {'Q', 'T'}}) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(kDecay));
        EXPECT_FALSE(DifIntCommand(h.s, kind, method));
        EXPECT_FALSE(h.s.flags.parseError);
        EXPECT_EQ(h.out.find("Operation Not Implemented") != std::string::npos, method == 'G');
    }
}

// The rewrite with the capacity the hint asks for, and the chain of ten steps that needs 34, are
// the golden cases differential_oscillators_raised_capacity and differential_refused.
TEST(DifInt, RewritesBeyondTheLimitsAreRefused) {
    // Six state variables and the time need 27 variables in one step.
    ParserHarness h;
    ASSERT_TRUE(h.Compile(
        "D(a, t) = b;\nD(b, t) = c;\nD(c, t) = d;\nD(d, t) = e;\nD(e, t) = f;\nD(f, t) = -a;\n"));
    EXPECT_FALSE(DifIntCommand(h.s, 'I', 'T'));
    EXPECT_NE(h.out.find("\nIllegal Number\n"), std::string::npos) << h.out;
    EXPECT_TRUE(HintsCapacity(h.out, 27)) << h.out;
    EXPECT_EQ(h.s.model.count, 6);
    EXPECT_EQ(h.s.names.variableCount, 7);
    // Names that would not read back as distinct variables.
    for (const char* text : {"D(abcdefgh, t) = 1;", "D(BESSJ, t) = 1;"}) {
        ParserHarness named;
        ASSERT_TRUE(named.Compile(text));
        EXPECT_FALSE(DifIntCommand(named.s, 'I', 'B')) << text;
        EXPECT_NE(named.out.find("Names of Time Levels Too Long or Not Unique"), std::string::npos);
    }
}

TEST(DifInt, IntegralsBecomeQuadratureSums) {
    for (const data_table::Row& c : data_table::Read("differential/quadrature", 3)) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile("y = " + c[0] + ";\na = 0;\nb = 3;\n"));
        ASSERT_TRUE(DifIntCommand(h.s, 'D', c[1][0])) << c[0] << h.out;
        h.Set("y", 0.0);
        h.Set("a", 0.0);
        h.Set("b", 3.0);
        bool error = false;
        EXPECT_NEAR(-Evaluate(h.s, h.s.model.eq[1].code, error), std::stod(c[2]), 1e-12) << c[0];
        EXPECT_FALSE(error);
        for (int e = 1; e <= h.s.model.count; ++e) {
            for (const CodeNode* n = h.s.model.eq[e].code; n != nullptr; n = n->next)
                EXPECT_FALSE(n->kind == kKindBinary && n->sub == 0x9F) << c[0];
        }
    }
}
