#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lang/parser_harness.h"

namespace {

// A harness whose document folder holds a set of function files.
struct FunctionHarness : ParserHarness {
    FunctionHarness() {
        s.settings.autoSimplify = false;
        WriteFile("SQ.FUN", "1\n%1*%1\n");
        WriteFile("ADD.FUN", "2 %1+%2");
        WriteFile("MIX.FUN", "3\n%1*%2 - %3;\n");
        WriteFile("SUM4.FUN", "4\n{four terms} %1 + %2 + %3 + %4\n");
        WriteFile("TWICE.FUN", "1\n2*%1\n");
        WriteFile("QUAD.FUN", "1\nTWICE(TWICE(%1))\n");
        WriteFile("NONE.FUN", "0\n%1\n");
        WriteFile("FIVE.FUN", "5\n%1\n");
        WriteFile("WORD.FUN", "one\n%1\n");
        WriteFile("HIGH.FUN", "2\n%1 + %3\n");
        WriteFile("BAD.FUN", "1\n%1 + $\n");
        WriteFile("LEFT.FUN", "1\n%1 %1\n");
        WriteFile("REC.FUN", "1\nREC(%1)\n");
    }
};

}  // namespace

TEST(ParserUserFunctions, BodiesAreCompiledWithCopiesOfTheArguments) {
    struct Case {
        const char* text;
        const char* code;
    };
    const std::vector<Case> cases = {
        {"x = SQ(y + 1);", "x y 1 + y 1 + * -"},
        {"x = ADD(y, 3) * 2;", "x y 3 + 2 * -"},
        {"x = MIX(a, b, c);", "x a b * c - -"},
        {"x = SUM4(a, b, c, d);", "x a b + c + d + -"},
        {"x = QUAD(y);", "x 2 2 y * * -"},
        {"x = NOFILE(y);", "x NOFILE y * -"},  // no file: a variable times y
        {"x = SQ;", "x SQ -"},                 // not a call: a variable
    };
    for (const Case& c : cases) {
        FunctionHarness h;
        ASSERT_TRUE(h.Compile(c.text)) << c.text << ": " << h.s.message;
        EXPECT_EQ(h.Code(1), c.code) << c.text;
    }
}

TEST(ParserUserFunctions, FaultsOfCallsAndFiles) {
    struct Case {
        const char* text;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"x = NONE(y);", "Error in Function \"NONE\""},
        {"x = FIVE(y);", "Error in Function \"FIVE\""},
        {"x = WORD(y);", "Error in Function \"WORD\""},
        {"x = ADD(y 3);", "Comma expected"},
        {"x = HIGH(a, b);", "Error in Function File"},
        {"x = BAD(y);", "Error in Function File"},
        {"x = LEFT(y);", "Error in Function File"},
        {"x = REC(y);", "Error in Function File"},
        {"x = %1;", "Error in Function File"},
    };
    for (const Case& c : cases) {
        FunctionHarness h;
        EXPECT_FALSE(h.Compile(c.text)) << c.text;
        EXPECT_EQ(h.s.message, c.message) << c.text;
    }
}

TEST(ParserUserFunctions, PositionsStayInTheEquationText) {
    FunctionHarness body;
    EXPECT_FALSE(body.Compile("x = BAD(y);"));
    EXPECT_EQ(body.s.parser.errorPosition, 11);  // at the call, not inside the file

    FunctionHarness after;
    EXPECT_FALSE(after.Compile("x = SQ(y) + $;"));
    EXPECT_EQ(after.s.message, "Illegal Character #36");
    EXPECT_EQ(after.s.parser.errorPosition, 13);
}

TEST(ParserUserFunctions, FilesAreLookedForInTheDocumentFolder) {
    EXPECT_EQ(FunctionPathPrefix("/home/u/models/doc"), "/home/u/models/");
    EXPECT_EQ(FunctionPathPrefix("doc"), "");
    EXPECT_EQ(FunctionPathPrefix("C:\\models\\doc"), "C:\\models\\");

    FunctionHarness h;
    h.s.files.baseName = "/nonexistent/folder/doc";
    ASSERT_TRUE(h.Compile("x = SQ(y);"));
    EXPECT_EQ(h.Code(1), "x SQ y * -");
}
