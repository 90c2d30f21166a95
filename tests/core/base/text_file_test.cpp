#include "core/base/text_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

    // A rewrite of a folder fails and leaves the folder.
    for (bool scratch : {false, true}) {
        fs::create_directories(dir / "folder.JAC");
        TextFile g(&io_);
        g.scratch = scratch;
        Assign(g, File("folder.JAC"));
        Rewrite(g);
        EXPECT_FALSE(IsOpen(g));
        EXPECT_EQ(g.error, EISDIR);
        EXPECT_TRUE(fs::is_directory(dir / "folder.JAC")) << "scratch " << scratch;
        EXPECT_NE(Reports().find("folder.JAC"), std::string::npos);
    }
}

// Truncation empties every link to the file, and writing through a symbolic link would change
// the file it names, which may be the document itself: a scratch rewrite starts a new file.
TEST_F(TextFileTest, ScratchRewriteStartsANewFileInsteadOfWritingThroughALink) {
    for (const auto& [scratch, symbolic] : {std::pair{false, false}, {true, false}, {true, true}}) {
        fs::remove(File("link.txt"));
        Put("doc.alg", "old");
        if (symbolic)
            fs::create_symlink(File("doc.alg"), File("link.txt"));
        else
            fs::create_hard_link(File("doc.alg"), File("link.txt"));
        TextFile f(&io_);
        f.scratch = scratch;
        Assign(f, File("link.txt"));
        Rewrite(f);
        WriteString(f, std::string("new"));
        Close(f);
        EXPECT_EQ(Get("link.txt"), "new");
        EXPECT_EQ(Get("doc.alg"), scratch ? "old" : "new") << "symbolic " << symbolic;
        EXPECT_FALSE(fs::is_symlink(dir / "link.txt"));
    }
}

// A scratch file is written over its old text; whatever the old and new lengths, the file must
// hold the new text alone, whether it is closed, begun again while open or dropped unclosed.
TEST_F(TextFileTest, ScratchRewriteLeavesExactlyTheNewText) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(0, 20000);
    const std::string name = File("w.TMP");
    for (int round = 0; round < 60; ++round) {
        std::string expected(static_cast<std::size_t>(round % 7 == 0 ? 0 : length(random)),
                             static_cast<char>('a' + round % 26));
        if (round % 5 == 0) expected.assign(Get("w.TMP").size(), 'z');  // the same length
        {
            TextFile f(&io_);
            f.scratch = true;
            Assign(f, name);
            Rewrite(f);
            ASSERT_TRUE(IsOpen(f));
            if (round % 3 == 1) {
                WriteString(f, std::string(30000, '-'));
                Rewrite(f);
            }
            WriteString(f, expected.substr(0, expected.size() / 2));
            WriteString(f, expected.substr(expected.size() / 2));
            WriteLine(f);
            if (round % 3 != 2) {
                Close(f);
                ASSERT_EQ(f.writeError, 0);
            }
        }  // the third of the rounds leaves the file to be closed here
        expected += '\n';
        ASSERT_EQ(Get("w.TMP"), expected) << "round " << round;
    }
    EXPECT_EQ(Reports(), "");
}

// Whole lines have any length and lose their line ends, from a file or from memory alike.
TEST_F(TextFileTest, TextReadFromMemoryReadsLikeTheFile) {
    const std::string longLine(10000, 'q');
    for (const std::string& text : {std::string("one\n"), std::string("x\0y\n", 4), std::string(),
                                   std::string("a\r\nb\rc\n\nlast without end"),
                                   longLine + "\r\n\nlast"}) {
        TextFile fromMemory(&io_), fromFile(&io_);
        ReadText(fromMemory, text);
        OpenForReading(fromFile, text);
        std::string a, b;
        std::vector<std::string> lines;
        for (bool more = true; more;) {
            more = ReadWholeLine(fromMemory, a);
            ASSERT_EQ(ReadWholeLine(fromFile, b), more);
            ASSERT_EQ(a, b);
            if (more) lines.push_back(b);
        }
        if (text.size() > longLine.size()) {
            EXPECT_EQ(lines, (std::vector<std::string>{longLine, "", "last"}));
        }
        EXPECT_EQ(fromMemory.error, 0);
        // Opening it again by name reads the file, not the copy.
        Put("in.txt", "on disk\n");
        Assign(fromMemory, File("in.txt"));
        Reset(fromMemory);
        ASSERT_TRUE(ReadWholeLine(fromMemory, a));
        EXPECT_EQ(a, "on disk");
    }
}

TEST_F(TextFileTest, InputFileStatesFromOneLook) {
    Put("ten.txt", "0123456789");
    fs::create_directories(dir / "folder.alg");
    ASSERT_EQ(::mkfifo(File("pipe.alg").c_str(), 0600), 0);
    EXPECT_EQ(CheckInputFile(File("ten.txt"), 10), InputFileState::kOk);
    EXPECT_EQ(CheckInputFile(File("ten.txt"), 9), InputFileState::kTooLarge);
    EXPECT_EQ(CheckInputFile(File("none.txt"), 10), InputFileState::kMissing);
    EXPECT_EQ(CheckInputFile(File("folder.alg"), 10), InputFileState::kFolder);
    EXPECT_EQ(CheckInputFile(File("pipe.alg"), 10), InputFileState::kNotPlain);
    fs::create_symlink(File("ten.txt"), File("link.txt"));
    EXPECT_EQ(CheckInputFile(File("link.txt"), 10), InputFileState::kOk);  // judged by its file
}

}  // namespace
