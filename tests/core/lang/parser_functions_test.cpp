#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/lang/parser_harness.h"

namespace {

namespace fs = std::filesystem;

// A harness whose document folder holds the function files of tests/data/parser_functions.
struct FunctionHarness : ParserHarness {
    FunctionHarness() {
        for (const auto& file : fs::directory_iterator(data_table::Folder("parser_functions"))) {
            if (file.path().extension() == ".FUN") {
                fs::copy_file(file.path(), scratch.dir / file.path().filename());
            }
        }
    }
};

}  // namespace

TEST(ParserUserFunctions, BodiesTakeCopiesOfTheArgumentsAndFaultsAreReportedInTheEquation) {
    ExpectOutcomes<FunctionHarness>("parser_functions/calls");
    // The positions of errors stay in the equation text.
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
