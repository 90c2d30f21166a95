#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lang/parser_harness.h"

namespace {

std::string Repeat(const std::string& part, int count) {
    std::string text;
    while (count-- > 0) text += part;
    return text;
}

}  // namespace

// Operators, products, numbers, functions, constants and names.
TEST(ParserGrammar, AcceptedTextsGiveTheirCode) {
    ExpectOutcomes("parser_grammar/accepted");
}

TEST(ParserGrammar, RelationsAndIfThenElse) {
    for (const data_table::Row& row : data_table::Read("parser_grammar/relations", 3)) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(row[0])) << row[0] << ": " << h.s.message;
        EXPECT_EQ(h.Code(1), row[1]) << row[0];
        EXPECT_EQ(h.s.model.eq[1].relation, static_cast<unsigned char>(row[2][0])) << row[0];
    }
}

// The limits of nesting and length, made in code, follow the table's refusals.
TEST(ParserGrammar, RefusedTextsGiveTheirMessages) {
    const std::vector<data_table::Row> limits = {
        {"x = " + Repeat("(", 5000) + "y;", "Expression Nested Too Deeply"},
        {"x = a*" + Repeat("-", 5000) + "b;", "Expression Nested Too Deeply"},
        {"x = a" + Repeat("@a", 5000) + ";", "Expression Nested Too Deeply"},
        {"x = " + Repeat("SIN ", 5000) + "y;", "Expression Nested Too Deeply"},
        {"x = 1" + Repeat(" + y", 6000) + ";", "Equation Too Long"},
        {"x = " + Repeat("(", 150) + "y" + Repeat(")", 150) + ";", "x y -"},
        {"x = 1" + Repeat(" + 0", 2000) + ";", "x 1" + Repeat(" 0 +", 2000) + " -"},
    };
    ExpectOutcomes("parser_grammar/refused", limits);
}

TEST(ParserGrammar, RefusalIsReportedWithItsPosition) {
    ParserHarness h;
    EXPECT_FALSE(h.Compile("x = $ + (;"));  // the first error wins
    EXPECT_TRUE(h.s.flags.parseError);
    EXPECT_EQ(h.s.parser.errorPosition, 5);
    EXPECT_EQ(h.out, "\nIllegal Character #36 at character 5\n");
    EXPECT_EQ(h.s.defaultShell.beeps, 1);

    ParserHarness second;
    EXPECT_FALSE(second.Compile("x = 1;\ny = 1 z;"));
    EXPECT_EQ(second.out, "Char z\n Error: \";\" expected at character 14\n");
    EXPECT_EQ(second.s.model.count, 2);
}
