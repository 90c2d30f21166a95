#include "core/lang/writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/data_table.h"
#include "core/lang/code_string.h"
#include "core/lang/number_text.h"
#include "core/lang/parser_harness.h"

namespace {

// Compiles one statement and writes its equation back, as an expression (WriteCode) or in
// relation form (WriteEquation).
std::string WriteBack(const std::string& text, bool relationForm, bool fold = false) {
    ParserHarness h;
    h.s.settings.autoSimplify = fold;
    EXPECT_TRUE(h.Compile(text)) << text << ": " << h.s.message;
    if (relationForm) return h.Written(1);
    std::string written;
    EquationText out(written);
    CodeNode* head = ToPrefix(h.s.model.eq[1].code);
    WriteCode(h.s, head->next, out, WriterStyle{});
    h.s.model.eq[1].code = ToPostfix(head);
    return written;
}

}  // namespace

// Parentheses only where precedence needs them; the relation form moves constants right and
// single variables left.
TEST(Writer, ExpressionsAndRelationForms) {
    for (const data_table::Row& row : data_table::Read("writer/expressions")) {
        EXPECT_EQ(WriteBack(row[0], false), row[1]) << row[0];
    }
    for (const data_table::Row& row : data_table::Read("writer/relation_forms")) {
        EXPECT_EQ(WriteBack(row[0], true, true), row[1]) << row[0];
    }
    // Unfolded, -2.5 is a negation and not a constant: nothing moves.
    EXPECT_EQ(WriteBack("x + y = -2.5;", true), "x+y-(-2.5)=0; ");
}

TEST(Writer, ConstantsForTheCompilerReadBackAsTheSameDouble) {
    for (const data_table::Row& row : data_table::Read("writer/exact_constants")) {
        EXPECT_EQ(ExactConstant(std::stod(row[0])), row[1]);
    }
    std::srand(7);
    for (int i = 0; i < 2000; ++i) {
        const double v = (std::rand() / 1024.0 - 1e6) * std::pow(10.0, std::rand() % 80 - 40);
        const std::string text = ExactConstant(v);
        EXPECT_EQ(text.find_first_of("e+"), std::string::npos) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

TEST(Writer, ValuesForPeopleFitTheirWidth) {
    for (const data_table::Row& row : data_table::Read("writer/values_for_people", 3)) {
        EXPECT_EQ(FormatValue(std::stod(row[0]), std::stoi(row[1])), row[2]) << row[0];
    }
    EXPECT_EQ(FormatConstant(-2.5, 8), "-2.5");
    EXPECT_EQ(FormatConstant(1e-20, 8), "1E-20");
    EXPECT_EQ(FormatConstant(1.2e5, 8), "120000");
}

TEST(Writer, AnUnfinishedListIsReportedAndWritesNothing) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = 1;"));
    CodeNode* list = MakeNode(h.s.pool, kKindBinary, '+', 0, 0.0, 0,
                              MakeNode(h.s.pool, kKindVar, kSubPlain, 1, 0.0, 0, nullptr));
    std::string text;
    EquationText out(text);
    WriteCode(h.s, list, out, WriterStyle{});
    FreeList(h.s.pool, list);
    EXPECT_EQ(text, "");
    EXPECT_NE(h.out.find("Equation Ended Prematurely\nError ..."), std::string::npos) << h.out;
    EXPECT_EQ(h.s.defaultShell.beeps, 1);
}

TEST(Writer, GuessesFourToALineWithoutNamelessVariables) {
    CoreState s;
    for (int v = 1; v <= 6; ++v) testcode::SetVar(s, "v" + std::to_string(v), v * 0.5);
    s.names.name[3].clear();
    std::string text;
    EquationText out(text);
    WriteGuesses(s, out, AllVariables(s), true, 8);
    EXPECT_EQ(text,
              "v1\xBB"
              "0.5;  v2\xBB"
              "1;  v4\xBB"
              "2;  v5\xBB"
              "2.5;  \nv6\xBB"
              "3;  \n");
}
