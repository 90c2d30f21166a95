#include <gtest/gtest.h>

#include <string>

#include "core/lang/parser_harness.h"

TEST(LookupName, NamesWithTheSameHashStayDistinctAndAreCutAndCounted) {
    ParserHarness h;
    EXPECT_EQ(LookupName(h.s, "cab"), 1);
    EXPECT_EQ(LookupName(h.s, "dab"), 2);
    EXPECT_EQ(h.s.names.slotName[1], "dab");  // both start at slot 150: dab wraps to slot 1
    EXPECT_EQ(LookupName(h.s, "cab"), 1);
    EXPECT_EQ(LookupName(h.s, "dab"), 2);

    // Names are cut and counted.
    ASSERT_TRUE(h.Compile("abcdefghX = abcdefghY + 1;"));
    EXPECT_EQ(h.s.names.variableCount, 1);
    EXPECT_EQ(h.s.names.name[1], "abcdefgh");

    std::string sum = "a1";
    for (int i = 2; i <= 25; ++i) sum += " + a" + std::to_string(i);
    EXPECT_TRUE(h.Compile(sum + " = 0;")) << h.s.message;
    EXPECT_EQ(h.s.names.variableCount, 25);
    EXPECT_FALSE(h.Compile(sum + " + a26 = 0;"));
    EXPECT_EQ(h.s.message, "Too Many Variables");

    Limits small;
    small.nameSlots = 3;
    ParserHarness full(small);
    EXPECT_FALSE(full.Compile("a + b + c + d = 0;"));
    EXPECT_EQ(full.s.message, "Name Table Is Full");
}

TEST(ParserNames, DesignationAndLinkedConstants) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = 1; \xA2y = x + z;")) << h.s.message;
    EXPECT_EQ(h.Code(2), "y x z + -");
    EXPECT_EQ(h.s.model.eq[1].designated, 0);
    EXPECT_EQ(h.s.model.eq[2].designated, h.Variable("y"));

    for (const data_table::Row& row : data_table::Read("parser_names/linked_constants", 3)) {
        ASSERT_TRUE(h.Compile(row[0])) << row[0] << ": " << h.s.message;
        const CodeNode* five = h.s.model.eq[1].code;
        while (five->kind != kKindConst || five->value != 5) five = five->next;
        EXPECT_EQ(five->var ? h.s.names.name[five->var] : "", row[1]) << row[0];
        EXPECT_EQ(h.s.parser.linkedConstants, !row[1].empty()) << row[0];
        EXPECT_EQ(h.s.parser.linkedConstantsAsTerms, row[2] == "1") << row[0];
    }
}
