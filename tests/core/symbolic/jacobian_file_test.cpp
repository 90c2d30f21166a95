#include "core/symbolic/jacobian_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/base/core_state.h"
#include "core/data_table.h"
#include "core/run/entry.h"
#include "scratch_dir.h"
#include "symbolic_harness.h"

namespace {

constexpr int kX = SymbolicHarness::kX, kY = SymbolicHarness::kY;
const std::string kEndLine = "   0   0   0\n";

class JacobianFileTest : public ::testing::Test {
   protected:
    ScratchDir scratch;
    SymbolicHarness h;

    void SetUp() override { h.s.files.baseName = scratch.File("doc"); }
    void TearDown() override {
        FreeJacobianRows(h.s);
        for (int e = 1; e <= h.s.model.count; ++e) FreeList(h.s.pool, h.s.model.eq[e].code);
        EXPECT_EQ(h.s.pool.liveCount(), 0u);
    }

    void AddEquation(const std::string& postfix) {
        h.s.model.eq[++h.s.model.count].code = testcode::Postfix(h.s, postfix);
    }
    std::string FileText() const { return scratch.Get("doc.JAC"); }
    // The lines where records open, the end line included.
    std::string Headers() const {
        std::string headers;
        std::istringstream in(FileText());
        bool atHeader = true;
        for (std::string line; std::getline(in, line); atHeader = line == ";") {
            if (atHeader) headers += line + "\n";
        }
        return headers;
    }
};

TEST_F(JacobianFileTest, OneRecordPerVariableAndTheEquationUnchanged) {
    h.s.defaultShell.showDerivatives = true;
    AddEquation("x 2 -");
    AddEquation("x x * x * y -");  // in parse form y is met first
    AddEquation("5");              // no variable: no record
    const std::string before = h.Text(h.s.model.eq[2].code);
    BuildJacobianFile(h.s);
    EXPECT_EQ(FileText().rfind("      1       1\nV        0 1.00000000000000E+00\n;\n", 0), 0u);
    EXPECT_EQ(Headers(), "      1       1\n      2       2\n      2       1\n" + kEndLine);
    EXPECT_EQ(h.Text(h.s.model.eq[2].code), before);
    EXPECT_FALSE(h.s.flags.jacobianNeeded);
    EXPECT_EQ(h.out, "\n\n   1 wrt x\n   2 wrt y wrt x\n   3");
}

TEST_F(JacobianFileTest, FunctionWithoutRuleLeavesTheJacobianNeeded) {
    AddEquation("x MAG y -");
    AddEquation("x y +");
    BuildJacobianFile(h.s);
    const std::string failure =
        "\nDeriv of  Unary Function MAG Not Implemented\nUse Incremental Method\nError ...";
    // Both variables of the failing equation are written (each meets MAG), the next is not.
    EXPECT_EQ(h.out, "\n" + failure + failure + "\nJacobian Incorrect or Incomplete");
    EXPECT_EQ(Headers(), "      1       2\n      1       1\n" + kEndLine);
    EXPECT_TRUE(h.s.flags.jacobianNeeded);
    EXPECT_TRUE(h.s.flags.stop);
    EXPECT_EQ(h.s.defaultShell.beeps, 3);
}

TEST_F(JacobianFileTest, EscapeStopsAfterTheCurrentEquation) {
    for (int i = 0; i < 4; ++i) AddEquation("x " + std::to_string(i + 2) + " ^");
    struct : DefaultShellServices {
        int polls = 0;
        int PollKey() override { return ++polls == 2 ? kKeyEscape : -1; }  // ESC at the second
    } shell;
    h.s.shell = &shell;
    BuildJacobianFile(h.s);
    EXPECT_EQ(shell.polls, 2);
    EXPECT_EQ(Headers(), "      1       1\n      2       1\n" + kEndLine);
    EXPECT_EQ(h.out, "\n\nJacobian Incorrect or Incomplete");
    EXPECT_TRUE(h.s.flags.jacobianNeeded);
    // The cancel ends the run, not only the build.
    EXPECT_TRUE(h.s.flags.cancelled);
    EXPECT_TRUE(h.s.flags.stop);
    EXPECT_EQ(shell.beeps, 1);
}

TEST_F(JacobianFileTest, RoundTripGivesEntriesThatEvaluateLikeTheDerivatives) {
    AddEquation("x y * SIN z -");
    AddEquation("x 3 ^ y EXP +");
    AddEquation("z ERF x 3 / *");
    AddEquation("2.5 y GAMMP");
    BuildJacobianFile(h.s);
    ASSERT_FALSE(h.s.flags.jacobianNeeded);
    ASSERT_TRUE(ReadJacobianFile(h.s));

    // Each row holds its entries last record first.
    const std::string variables[] = {"", "321", "21", "13", "2"};
    for (int e = 1; e <= 4; ++e) {
        std::string seen;
        CodeNode* root = ToPrefix(h.s.model.eq[e].code);
        for (JacobianEntry* j = h.s.solve.rowHead[e]; j != nullptr; j = j->nextInRow) {
            EXPECT_EQ(j->equation, e);
            seen = std::to_string(j->variable) + seen;
            CodeNode* direct = h.Derive(root->next, j->variable, true);
            EXPECT_EQ(h.Text(j->code), h.Text(direct)) << "equation " << e;
            FreeList(h.s.pool, direct);
        }
        h.s.model.eq[e].code = ToPostfix(root);
        EXPECT_EQ(seen, variables[e]) << "equation " << e;
    }
    EXPECT_EQ(h.s.solve.diagonal[1], h.s.solve.rowHead[1]);
    EXPECT_EQ(h.s.solve.diagonal[2], h.s.solve.rowHead[2]->nextInRow);
    EXPECT_EQ(h.s.solve.diagonal[4], nullptr);
    EXPECT_EQ(h.out, "\n");
}

TEST_F(JacobianFileTest, ReadsSixDigitValuesAndFreeHeaders) {
    h.s.model.count = 2;
    std::ofstream(scratch.File("doc.JAC"), std::ios::binary)
        << "1 1\nX        1 0.000000E+00\nV        0 3.000000E+00\nB*       0 0.000000E+00\n;\n"
           "  2\n 2\nV\x9F       0 3.141593E+00\nU-       0 0.000000E+00\n;\n"
           "   0   0   0\n      2       1\nV        0 1.0\n;\n";  // after the end: never read
    ASSERT_TRUE(ReadJacobianFile(h.s));
    const JacobianEntry* one = h.s.solve.rowHead[1];
    const JacobianEntry* two = h.s.solve.rowHead[2];
    EXPECT_EQ(one->variable, kX);
    EXPECT_EQ(h.Text(one->code), "x 3 * ;");
    EXPECT_EQ(two->variable, kY);
    EXPECT_EQ(h.Text(two->code), "pi neg ;");
    EXPECT_EQ(one->nextInRow, nullptr);
    EXPECT_EQ(two->nextInRow, nullptr);
    EXPECT_EQ(h.s.solve.diagonal[2], two);
    EXPECT_DOUBLE_EQ(two->code->value, 3.141593);
    EXPECT_EQ(h.out, "");
}

}  // namespace

// Whole runs must write the Jacobian file of these documents byte for byte as the copies kept
// with the tests, written before the record writer was made faster: the commands that read the
// file and the users who open it see the same text (every function rule, IF, pi, constants
// that need all fifteen digits, and in complex mode the imaginary parts).
TEST(JacobianFileFormat, RunsWriteTheFilesKeptWithTheTests) {
    const std::filesystem::path data = data_table::Folder("jacobian");
    const ScratchDir scratch;
    for (const std::string name : {"real", "complex"}) {
        SCOPED_TRACE(name);
        std::filesystem::copy_file(data / (name + ".alg"), scratch.dir / (name + ".alg"));
        std::filesystem::copy_file(data / (name + ".JAC"), scratch.dir / (name + ".kept"));
        const std::string kept = scratch.Get(name + ".kept");
        ASSERT_FALSE(kept.empty());
        CoreState s;
        std::string said;
        s.console.callback = [&said](const char* text) { said += text; };
        SolverEntry(s, scratch.File(name + ".alg").c_str(), "S");
        EXPECT_EQ(scratch.Get(name + ".JAC"), kept) << said;
    }
}
