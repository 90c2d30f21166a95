#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lang/parser_harness.h"

namespace {

std::string SumOfNames(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += (i > 1 ? " + a" : "a") + std::to_string(i);
    return text + " = 0;";
}

}  // namespace

TEST(LookupName, StartSlotFollowsTheHashOfSecondThirdAndLastByte) {
    struct Case {
        const char* name;
        int slot;
    };
    // x: z=72, a=b=1 -> 18449 mod 150 + 1; ab: 12866; a': the quote weighs 0, so 16.
    const std::vector<Case> cases = {{"x", 150}, {"ab", 117}, {"a'", 17}, {"cab", 150}};
    for (const Case& c : cases) {
        ParserHarness h;
        EXPECT_EQ(LookupName(h.s, c.name), 1) << c.name;
        EXPECT_EQ(h.s.names.slotName[c.slot], c.name) << c.name;
        EXPECT_EQ(h.s.names.slotVariable[c.slot], 1) << c.name;
        EXPECT_EQ(h.s.names.name[1], c.name);
    }
}

TEST(LookupName, CollisionsProbeOnwardAndWrapToSlotOne) {
    ParserHarness h;
    EXPECT_EQ(LookupName(h.s, "cab"), 1);
    EXPECT_EQ(LookupName(h.s, "dab"), 2);  // same start slot 150, wraps around
    EXPECT_EQ(h.s.names.slotName[1], "dab");
    EXPECT_EQ(LookupName(h.s, "cab"), 1);
    EXPECT_EQ(LookupName(h.s, "dab"), 2);
    EXPECT_EQ(h.s.names.variableCount, 2);
}

TEST(LookupName, NamesAreCutToTheirSignificantCharacters) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("abcdefghX = abcdefghY + 1;"));
    EXPECT_EQ(h.s.names.variableCount, 1);
    EXPECT_EQ(h.s.names.name[1], "abcdefgh");
}

TEST(LookupName, LimitsOfVariablesAndSlots) {
    ParserHarness enough;
    EXPECT_TRUE(enough.Compile(SumOfNames(25))) << enough.s.message;
    EXPECT_EQ(enough.s.names.variableCount, 25);

    ParserHarness tooMany;
    EXPECT_FALSE(tooMany.Compile(SumOfNames(26)));
    EXPECT_EQ(tooMany.s.message, "Too Many Variables");

    Limits small;
    small.nameSlots = 3;
    ParserHarness full(small);
    EXPECT_FALSE(full.Compile("a + b + c + d = 0;"));
    EXPECT_EQ(full.s.message, "Name Table Is Full");
}

TEST(ParserNames, CaseMattersAndBlanksEndNames) {
    ParserHarness h;
    h.s.settings.autoSimplify = false;
    ASSERT_TRUE(h.Compile("y = Sin(x) + sin(x) + SIN(x);")) << h.s.message;
    EXPECT_EQ(h.Code(1), "y Sin x * sin x * + x SIN + -");

    ParserHarness split;
    EXPECT_FALSE(split.Compile("ab{c}d = 1;"));
    EXPECT_EQ(split.s.message, " Error: \";\" expected");
}

TEST(ParserNames, BlankClassesCommentsAndClosingBracesAreSkipped) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("{first} x\t=\r\n\xB1 1\xB2;\xDB } {tail}\n  {more}")) << h.s.message;
    EXPECT_EQ(h.s.model.count, 1);
    EXPECT_EQ(h.Code(1), "x 1 -");
}

TEST(ParserNames, GreekLettersAndDesignatedVariables) {
    ParserHarness h;
    h.s.settings.autoSimplify = false;
    ASSERT_TRUE(h.Compile("\xE1 = 1; \xA2y = \xE1 + z;")) << h.s.message;
    EXPECT_EQ(h.Code(1), "\xE1 1 -");
    EXPECT_EQ(h.Code(2), "y \xE1 z + -");
    EXPECT_EQ(h.s.model.eq[1].designated, 0);
    EXPECT_EQ(h.s.model.eq[2].designated, h.Variable("y"));
}

TEST(ParserNames, LinkedConstantsTakeTheLastCommentName) {
    struct Case {
        const char* text;
        const char* code;
        bool linked;
        bool asTerms;
    };
    const std::vector<Case> cases = {
        {"{R} x = \xB0"
         "5;",
         "x 5~R -", true, true},
        {"x = \xB0{alpha R}5 + y;", "x 5~R y + -", true, true},
        {"x = y - \xB0{R}5;", "x y 5~R - -", true, true},
        {"x = 2*\xB0{R}5;", "x 2 5~R * -", true, false},
        {"x = \xB0"
         "5;",
         "x 5 -", false, true},
    };
    for (const Case& c : cases) {
        ParserHarness h;
        h.s.settings.autoSimplify = false;
        ASSERT_TRUE(h.Compile(c.text)) << c.text << ": " << h.s.message;
        EXPECT_EQ(h.Code(1), c.code) << c.text;
        EXPECT_EQ(h.s.parser.linkedConstants, c.linked) << c.text;
        EXPECT_EQ(h.s.parser.linkedConstantsAsTerms, c.asTerms) << c.text;
    }
}

TEST(ParserNames, ComparisonWithPreviousCodeIgnoresTheTopConstant) {
    struct Case {
        const char* before;
        const char* after;
        bool unchanged;
    };
    const std::vector<Case> cases = {
        {"x = \xB0{R}5;", "x = \xB0{R}7;", true},
        {"x - y = 3;", "x - y = 4;", true},
        {"x - y = 3;", "x + y = 3;", false},
        {"x = 2*y;", "x = 3*y;", false},
    };
    for (const Case& c : cases) {
        ParserHarness h;
        h.s.settings.autoSimplify = false;
        ASSERT_TRUE(h.Compile(c.before));
        CodeNode* kept = ToPrefix(CopyList(h.s.pool, h.s.model.eq[1].code));
        h.s.parser.compareWithPrevious = true;
        h.s.parser.previousCode = {nullptr, kept};
        ASSERT_TRUE(h.Compile(c.after));
        EXPECT_EQ(h.s.parser.codeUnchanged, c.unchanged) << c.before << " / " << c.after;
        FreeList(h.s.pool, kept);
    }
}
