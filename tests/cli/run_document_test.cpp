#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "cli/run_document.h"

namespace {

// Runs the front end on a document and returns what it wrote to its two streams.
struct FrontEndRun {
    int status = 0;
    std::string out, err;
};

std::string Slurp(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

FrontEndRun RunOn(const CliOptions& options) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    FrontEndRun r;
    r.status = RunDocument(options, out, err);
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
}

// Each test has a folder of its own: ctest runs the tests of this file in parallel.
std::string WriteDocument(const std::string& text) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto dir = std::filesystem::temp_directory_path() / ("valdrix_cli_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::create_directories(dir);
    const auto path = dir / "doc.alg";
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

}  // namespace

TEST(RunDocument, SolvedDocumentPrintsResultsAndExitsZero) {
    CliOptions o;
    o.document = WriteDocument("x + y = 3;\nx - y = 1;\n");
    o.results = true;
    const FrontEndRun r = RunOn(o);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("VALDRIX Version 2.00\n", 0), 0u);
    EXPECT_NE(r.out.find("\nx=2.000000000000000\ny=1.000000000000000\n"), std::string::npos) << r.out;
}

TEST(RunDocument, UnsolvedAndUnreadableDocumentsHaveTheirOwnStatus) {
    CliOptions o;
    o.document = WriteDocument("x + y = 3;\n");
    EXPECT_EQ(RunOn(o).status, 1);
    o.document = "/nonexistent/doc.alg";
    const FrontEndRun r = RunOn(o);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);
}

TEST(RunDocument, RepeatReportsTheRunTimesLast) {
    CliOptions o;
    o.document = WriteDocument("x = 2;\n");
    o.repeat = 3;
    const FrontEndRun r = RunOn(o);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.rfind("repeat: 3 runs, median ", 0), 0u) << r.err;
    int banners = 0;
    for (auto p = r.out.find("VALDRIX Version"); p != std::string::npos; p = r.out.find("VALDRIX Version", p + 1)) {
        ++banners;
    }
    EXPECT_EQ(banners, 3);
}

TEST(RunDocument, SymbolsReachTheTerminalAsUtf8) {
    CliOptions o;
    o.document = WriteDocument("\xe1 = 2;\n");  // a variable named alpha
    o.results = true;
    EXPECT_NE(RunOn(o).out.find("\xce\xb1=2.000000000000000"), std::string::npos);
}

TEST(RunDocument, SymbolicCommandsFromTheCommandLine) {
    const std::string doc = WriteDocument("y = a + b*x;\n");
    const std::string list = std::filesystem::path(doc).replace_filename("data.LST").string();
    std::ofstream(list, std::ios::binary) << "x y\n0 1\n1 3\n2 5\n";

    ParsedCommandLine parsed = ParseCommandLine({"run", "--attach", list, "--results", doc, "ALR"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    FrontEndRun r = RunOn(parsed.options);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("List File Attached\n" + list), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\na=1.000000000000000\nb=2.000000000000000\n"), std::string::npos);
    EXPECT_NE(r.out.find("Regression Statistics: 3 observations, 2 parameters"), std::string::npos);

    parsed = ParseCommandLine({"run", doc, "ASJ"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    r = RunOn(parsed.options);
    EXPECT_NE(r.out.find("Symbolic Jacobian Found!"), std::string::npos) << r.out;
}
