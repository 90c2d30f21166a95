#include <gtest/gtest.h>

#include <string>

#include "core/lang/parser_harness.h"

namespace {

// A harness whose document folder holds a set of function files.
struct FunctionHarness : ParserHarness {
    FunctionHarness() {
        const std::pair<const char*, const char*> files[] = {
            {"SQ", "1\n%1*%1\n"},         {"ADD", "2 %1+%2"},
            {"MIX", "3\n%1*%2 - %3;\n"},  {"SUM4", "4\n{four terms} %1 + %2 + %3 + %4\n"},
            {"TWICE", "1\n2*%1\n"},       {"QUAD", "1\nTWICE(TWICE(%1))\n"},
            {"NONE", "0\n%1\n"},          {"FIVE", "5\n%1\n"},
            {"WORD", "one\n%1\n"},        {"HIGH", "2\n%1 + %3\n"},
            {"BAD", "1\n%1 + $\n"},       {"LEFT", "1\n%1 %1\n"},
            {"REC", "1\nREC(%1)\n"},
        };
        for (const auto& [name, body] : files) WriteFile(std::string(name) + ".FUN", body);
    }
};

}  // namespace

TEST(ParserUserFunctions, BodiesTakeCopiesOfTheArgumentsAndFaultsAreReported) {
    ExpectOutcomes<FunctionHarness>({
        {"x = SQ(y + 1);", "x y 1 + y 1 + * -"},   {"x = ADD(y, 3) * 2;", "x y 3 + 2 * -"},
        {"x = MIX(a, b, c);", "x a b * c - -"},     {"x = SUM4(a, b, c, d);", "x a b + c + d + -"},
        {"x = QUAD(y);", "x 2 2 y * * -"},
        {"x = NOFILE(y);", "x NOFILE y * -"},  // no file: a variable times y
        {"x = SQ;", "x SQ -"},                 // not a call: a variable
        {"x = NONE(y);", "Error in Function \"NONE\""},
        {"x = FIVE(y);", "Error in Function \"FIVE\""},
        {"x = WORD(y);", "Error in Function \"WORD\""}, {"x = ADD(y 3);", "Comma expected"},
        {"x = HIGH(a, b);", "Error in Function File"}, {"x = BAD(y);", "Error in Function File"},
        {"x = LEFT(y);", "Error in Function File"},    {"x = REC(y);", "Error in Function File"},
        {"x = %1;", "Error in Function File"},
    });
}

TEST(ParserUserFunctions, ErrorPositionsStayInTheEquationText) {
    FunctionHarness h;
    EXPECT_FALSE(h.Compile("x = BAD(y);"));
    EXPECT_EQ(h.s.parser.errorPosition, 11);  // at the call, not inside the file
    EXPECT_FALSE(h.Compile("x = SQ(y) + $;"));
    EXPECT_EQ(h.s.parser.errorPosition, 13);
}

TEST(ParserUserFunctions, FilesAreLookedForInTheDocumentFolder) {
    EXPECT_EQ(FunctionPathPrefix("/home/u/models/doc"), "/home/u/models/");
    EXPECT_EQ(FunctionPathPrefix("doc"), "");
    EXPECT_EQ(FunctionPathPrefix("C:\\models\\doc"), "C:\\models\\");
}
