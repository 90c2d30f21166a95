#include "core/base/text_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class TextFileTest : public ::testing::Test {
   protected:
    void SetUp() override {
        fs::create_directories(dir_);
        io_.errorStream = std::fopen(Path("reports.txt").c_str(), "w");
    }
    void TearDown() override {
        std::fclose(io_.errorStream);
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& leaf) const { return (dir_ / leaf).string(); }
    void Put(const std::string& leaf, const std::string& text) const {
        std::ofstream(Path(leaf), std::ios::binary) << text;
    }
    std::string Get(const std::string& leaf) const {
        std::ostringstream out;
        out << std::ifstream(Path(leaf), std::ios::binary).rdbuf();
        return out.str();
    }
    // The reports printed since the last call.
    std::string Reports() {
        std::fflush(io_.errorStream);
        const std::string text = Get("reports.txt");
        io_.errorStream = std::freopen(Path("reports.txt").c_str(), "w", io_.errorStream);
        return text;
    }
    void OpenForReading(TextFile& f, const std::string& text) {
        Put("in.txt", text);
        Assign(f, Path("in.txt"));
        Reset(f);
        ASSERT_EQ(f.error, 0);
    }

    fs::path dir_ =
        fs::temp_directory_path() / ("valdrix_text_" + std::to_string(std::random_device{}()));
    IoContext io_;
};

TEST_F(TextFileTest, WritesFollowTheirFieldRules) {
    TextFile f(&io_);
    Assign(f, Path("out.txt"));
    Rewrite(f);
    WriteInteger(f, 42);
    WriteInteger(f, 42, 0);
    WriteUnsigned(f, 8u, -4);  // a negative width asks for octal
    WriteString(f, "ABCDEF", 6, 3);
    WriteString(f, std::string("ABCDEF"), 8);
    WriteBoolean(f, true);
    WriteLine(f);
    WriteReal(f, 1.0, 14);
    WriteReal(f, 3.14159, 8, 3);
    WriteReal(f, 0.5);
    Close(f);
    // clang-format off
    EXPECT_EQ(Get("out.txt"), "     42" "42" "  10" "ABC" "  ABCDEF" " TRUE\n"
                              "  1.000000E+00" "   3.142" " 0.5");
    // clang-format on
}

TEST_F(TextFileTest, ReadsSkipLineEndsKeepTheirLookAheadAndReportFormatErrors) {
    TextFile f(&io_);
    OpenForReading(f, "ABC\n 12\n\n -7 2.5e3 x\n12345");
    EXPECT_EQ(ReadString(f, 10, true), "ABC       ");
    EXPECT_EQ(f.lookAhead, '\n');
    EXPECT_EQ(ReadString(f, 10), "");  // still at the line end until it is skipped
    EXPECT_EQ(ReadInteger(f), 12);
    EXPECT_EQ(ReadLong(f), -7);
    EXPECT_EQ(ReadReal(f), 2500.0);
    EXPECT_EQ(ReadInteger(f), 0);
    EXPECT_EQ(f.error, -2);  // kIoFormatError
    EXPECT_EQ(io_.lastError, -2);
    EXPECT_EQ(Reports(), "IO: input format error in file '" + Path("in.txt") + "'\n");
    ReadLine(f);
    EXPECT_EQ(ReadString(f, 3), "123");
    EXPECT_EQ(ReadInteger(f), 45);
    EXPECT_TRUE(Eof(f));
    EXPECT_EQ(f.error, 0);
    ReadLine(f);
    EXPECT_EQ(f.error, -1);  // kIoBeyondEnd
}

TEST_F(TextFileTest, WholeLinesHaveAnyLengthAndLoseTheirLineEnds) {
    const std::string longLine(10000, 'q');
    TextFile f(&io_);
    OpenForReading(f, longLine + "\r\n\nlast");
    std::string line;
    for (const std::string& expected : {longLine, std::string(), std::string("last")}) {
        ASSERT_TRUE(ReadWholeLine(f, line));
        EXPECT_EQ(line, expected);
    }
    EXPECT_FALSE(ReadWholeLine(f, line));
}

TEST_F(TextFileTest, FailuresAreReportedUnlessSilenced) {
    TextFile f(&io_);
    Assign(f, Path("missing.txt"));
    Reset(f);
    EXPECT_EQ(f.error, ENOENT);
    EXPECT_EQ(Reports(), "IO: file '" + Path("missing.txt") + "' " + std::strerror(ENOENT) + "\n");
    io_.suppressReports = true;
    ReadInteger(f);
    EXPECT_GT(io_.lastError, 0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(TextFileTest, ScratchRewriteStartsANewFileInsteadOfTruncating) {
    for (bool scratch : {false, true}) {
        Put("w.txt", "old");
        fs::remove(Path("link.txt"));
        fs::create_hard_link(Path("w.txt"), Path("link.txt"));
        TextFile f(&io_);
        f.scratch = scratch;
        Assign(f, Path("w.txt"));
        Rewrite(f);
        WriteString(f, std::string("new"));
        Close(f);
        EXPECT_EQ(Get("w.txt"), "new");
        // Truncation empties every link to the file; a new file leaves the old one alone.
        EXPECT_EQ(Get("link.txt"), scratch ? "old" : "new");
    }
}

TEST_F(TextFileTest, RewriteOfAFolderFailsAndLeavesTheFolder) {
    for (bool scratch : {false, true}) {
        fs::create_directories(dir_ / "folder.JAC");
        TextFile f(&io_);
        f.scratch = scratch;
        Assign(f, Path("folder.JAC"));
        Rewrite(f);
        EXPECT_FALSE(IsOpen(f));
        EXPECT_EQ(f.error, EISDIR);
        EXPECT_TRUE(fs::is_directory(dir_ / "folder.JAC")) << "scratch " << scratch;
        EXPECT_NE(Reports().find("folder.JAC"), std::string::npos);
    }
}

TEST_F(TextFileTest, HistoryDecidesWhetherAFileMayExist) {
    Put("have.txt", "10 20");
    TextFile f(&io_);
    int status = -1;
    OpenWithHistory(f, Path("have.txt"), "NEW", &status);
    EXPECT_EQ(status, 2);
    EXPECT_FALSE(IsOpen(f));
    OpenWithHistory(f, Path("have.txt"), "new");
    EXPECT_EQ(Reports(), "open: 'new' history is specified and file '" + Path("have.txt") +
                             "' already exists\n");
    OpenWithHistory(f, Path("have.txt"), "Old", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(ReadInteger(f), 10);
}

TEST_F(TextFileTest, RenameReplacesTheLastExtensionAndEraseRemoves) {
    TextFile f(&io_);
    Assign(f, Path("data.one.TMP"));
    Rewrite(f);
    WriteString(f, std::string(513, 'z'));
    Rename(f, ".PRN");
    EXPECT_EQ(f.name, Path("data.one.PRN"));
    EXPECT_EQ(Get("data.one.PRN").size(), 513u);
    Erase(f);
    EXPECT_EQ(f.error, 0);
    EXPECT_FALSE(Exists(Path("data.one.PRN")));
}

}  // namespace
