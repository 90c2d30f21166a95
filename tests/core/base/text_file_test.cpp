#include "core/base/text_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class TextFileTest : public ::testing::Test, protected ScratchDir {
   protected:
    void SetUp() override { io_.errorStream = std::fopen(File("reports.txt").c_str(), "w"); }
    void TearDown() override { std::fclose(io_.errorStream); }
    // The reports printed since the last call.
    std::string Reports() {
        std::fflush(io_.errorStream);
        const std::string text = Get("reports.txt");
        io_.errorStream = std::freopen(File("reports.txt").c_str(), "w", io_.errorStream);
        return text;
    }
    void OpenForReading(TextFile& f, const std::string& text) {
        Put("in.txt", text);
        Assign(f, File("in.txt"));
        Reset(f);
        ASSERT_EQ(f.error, 0);
    }

    IoContext io_;
};

// A formatted write would end at the first zero byte and drop the rest unnoticed.
TEST_F(TextFileTest, WritesKeepEveryByteAndLineEnds) {
    TextFile f(&io_);
    Assign(f, File("out.txt"));
    Rewrite(f);
    WriteString(f, std::string("A\0B", 3));
    WriteLine(f);
    WriteString(f, "");
    WriteString(f, "end");
    Close(f);
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.writeError, 0);
    EXPECT_EQ(Get("out.txt"), std::string("A\0B\nend", 7));
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

TEST_F(TextFileTest, FailuresAreReportedUnlessTheCallerReportsThem) {
    TextFile f(&io_);
    Assign(f, File("missing.txt"));
    Reset(f);
    EXPECT_EQ(f.error, ENOENT);
    EXPECT_EQ(Reports(), "IO: file '" + File("missing.txt") + "' " + std::strerror(ENOENT) + "\n");
    f.status |= file_status::kNoReport;
    Reset(f);
    WriteLine(f);  // not open
    EXPECT_EQ(f.error, EBADF);
    EXPECT_EQ(Reports(), "");
}

TEST_F(TextFileTest, ScratchRewriteStartsANewFileInsteadOfTruncating) {
    for (bool scratch : {false, true}) {
        Put("w.txt", "old");
        fs::remove(File("link.txt"));
        fs::create_hard_link(File("w.txt"), File("link.txt"));
        TextFile f(&io_);
        f.scratch = scratch;
        Assign(f, File("w.txt"));
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
        fs::create_directories(dir / "folder.JAC");
        TextFile f(&io_);
        f.scratch = scratch;
        Assign(f, File("folder.JAC"));
        Rewrite(f);
        EXPECT_FALSE(IsOpen(f));
        EXPECT_EQ(f.error, EISDIR);
        EXPECT_TRUE(fs::is_directory(dir / "folder.JAC")) << "scratch " << scratch;
        EXPECT_NE(Reports().find("folder.JAC"), std::string::npos);
    }
}

}  // namespace
