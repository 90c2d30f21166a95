#include "core/run/text_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string Drain(std::FILE* stream) {
    std::string text;
    std::rewind(stream);
    for (int c; (c = std::getc(stream)) != EOF;) text += static_cast<char>(c);
    return text;
}

class TextFileTest : public ::testing::Test {
   protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("valdrix_text_file_" + std::string(info->name()) + "_" +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        io_.errorStream = std::tmpfile();
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
        std::string text = Drain(io_.errorStream);
        std::fclose(io_.errorStream);
        io_.errorStream = std::tmpfile();
        return text;
    }
    // Runs the writes on a fresh file and returns what they produced.
    template <typename Writes>
    std::string Written(Writes writes) {
        TextFile f(&io_);
        Assign(f, Path("out.txt"));
        Rewrite(f);
        writes(f);
        Close(f);
        return Get("out.txt");
    }
    void OpenForReading(TextFile& f, const std::string& text) {
        Put("in.txt", text);
        Assign(f, Path("in.txt"));
        Reset(f);
        ASSERT_EQ(f.error, 0);
    }

    fs::path dir_;
    IoContext io_;
};

TEST_F(TextFileTest, IntegersUseSevenColumnsOrTheGivenWidthAndOctalForNegativeWidths) {
    EXPECT_EQ(Written([](TextFile& f) { WriteInteger(f, 42); }), "     42");
    EXPECT_EQ(Written([](TextFile& f) { WriteInteger(f, 42, 0); }), "42");
    EXPECT_EQ(Written([](TextFile& f) { WriteInteger(f, -42, 5); }), "  -42");
    EXPECT_EQ(Written([](TextFile& f) { WriteInteger(f, 8, -4); }), "  10");
    EXPECT_EQ(Written([](TextFile& f) { WriteUnsigned(f, 7u); }), "      7");
    EXPECT_EQ(Written([](TextFile& f) { WriteUnsigned(f, 64u, -1); }), "100");
    EXPECT_EQ(Written([](TextFile& f) { WriteLong(f, -3000000000L); }), "-3000000000");
    EXPECT_EQ(Written([](TextFile& f) { WriteUnsignedLong(f, 9ul, -3); }), " 11");
}

TEST_F(TextFileTest, TextItemsFollowTheirFieldRules) {
    EXPECT_EQ(Written([](TextFile& f) { WriteString(f, "ABCDEF", 6, 3); }), "ABC");
    EXPECT_EQ(Written([](TextFile& f) { WriteString(f, std::string("ABCDEF"), 8); }), "  ABCDEF");
    EXPECT_EQ(Written([](TextFile& f) { WriteString(f, "ABCDEFXYZ", 6, kNoWidth); }), "ABCDEF");
    EXPECT_EQ(Written([](TextFile& f) { WriteBoolean(f, true); }), " TRUE");
    EXPECT_EQ(Written([](TextFile& f) { WriteBoolean(f, false); }), "FALSE");
    EXPECT_EQ(Written([](TextFile& f) { WriteBoolean(f, true, 6); }), "  TRUE");
    EXPECT_EQ(Written([](TextFile& f) { WriteChar(f, 'x', 3); }), "  x");
    EXPECT_EQ(Written([](TextFile& f) {
                  WriteChar(f, 'a');
                  WriteLine(f);
                  Page(f);
              }),
              "a\n\f");
}

TEST_F(TextFileTest, RealsChooseBetweenGeneralExponentAndFixedForms) {
    EXPECT_EQ(Written([](TextFile& f) { WriteReal(f, 1.0, 14); }), "  1.000000E+00");
    EXPECT_EQ(Written([](TextFile& f) { WriteReal(f, 0.5); }), " 0.5");
    EXPECT_EQ(Written([](TextFile& f) { WriteReal(f, -1e-10); }), "-1E-10");
    EXPECT_EQ(Written([](TextFile& f) { WriteReal(f, 3.14159, 8, 3); }), "   3.142");
    EXPECT_EQ(Written([](TextFile& f) { WriteReal(f, 3.14159, 11, -2); }), "   3.14E+00");
}

TEST_F(TextFileTest, ScansSkipLineEndsAndReportWhatStoppedThem) {
    TextFile f(&io_);
    OpenForReading(f, " 12\n\n  -7 4000000000 2.5e3\nx12");
    EXPECT_EQ(ReadInteger(f), 12);
    EXPECT_EQ(ReadLong(f), -7);
    EXPECT_EQ(ReadUnsignedLong(f), 4000000000ul);
    EXPECT_DOUBLE_EQ(ReadReal(f), 2500.0);
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(ReadInteger(f), 0);
    EXPECT_EQ(f.error, kIoFormatError);
    EXPECT_EQ(io_.lastError, kIoFormatError);
    EXPECT_EQ(Reports(), "IO: input format error in file '" + Path("in.txt") + "'\n");

    OpenForReading(f, "5 \n");
    EXPECT_EQ(ReadUnsigned(f), 5u);
    ReadInteger(f);
    EXPECT_TRUE(Eof(f));
    EXPECT_EQ(f.error, kIoBeyondEnd);  // a successful end test keeps the read's outcome
    EXPECT_NE(Reports().find("IO: access beyond end of file '" + Path("in.txt") + "'\n"),
              std::string::npos);
}

TEST_F(TextFileTest, StringReadsKeepTheirStoppingCharacterForTheNextRead) {
    TextFile f(&io_);
    OpenForReading(f, "ABC\n 12\n12345");
    EXPECT_EQ(ReadString(f, 10, true), "ABC       ");
    EXPECT_EQ(f.lookAhead, '\n');
    EXPECT_EQ(ReadString(f, 10), "");  // still at the line end until it is skipped
    EXPECT_EQ(ReadInteger(f), 12);
    ReadLine(f);
    EXPECT_EQ(ReadString(f, 3), "123");
    EXPECT_FALSE(Eof(f));
    EXPECT_EQ(ReadInteger(f), 45);
    EXPECT_TRUE(Eof(f));
    EXPECT_EQ(ReadString(f, 2, true), "  ");
    EXPECT_EQ(f.error, 0);
    ReadLine(f);
    EXPECT_EQ(f.error, kIoBeyondEnd);
}

TEST_F(TextFileTest, WholeLinesHaveAnyLengthAndLoseTheirLineEnds) {
    const std::string longLine(10000, 'q');
    TextFile f(&io_);
    OpenForReading(f, longLine + "\r\n\nlast");
    std::string line;
    ASSERT_TRUE(ReadWholeLine(f, line));
    EXPECT_EQ(line, longLine);
    ASSERT_TRUE(ReadWholeLine(f, line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(ReadWholeLine(f, line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(ReadWholeLine(f, line));
    EXPECT_EQ(f.error, 0);
}

TEST_F(TextFileTest, FailuresAreRecordedReportedAndCanBeSilenced) {
    TextFile f(&io_);
    Assign(f, Path("missing.txt"));
    Reset(f);
    EXPECT_EQ(f.error, ENOENT);
    EXPECT_EQ(Reports(), "IO: file '" + Path("missing.txt") + "' " + std::strerror(ENOENT) + "\n");
    Close(f);  // closing a closed file does nothing
    EXPECT_EQ(f.error, ENOENT);
    WriteInteger(f, 1);
    EXPECT_GT(f.error, 0);
    EXPECT_TRUE(Eof(f));

    io_.suppressReports = true;
    Reports();
    ReadInteger(f);
    io_.suppressReports = false;
    f.status |= file_status::kNoReport;
    ReadLine(f);
    EXPECT_GT(io_.lastError, 0);
    EXPECT_EQ(Reports(), "");

    TextFile unnamed(&io_);
    unnamed.stream = std::tmpfile();
    unnamed.mode = file_mode::kRead | file_mode::kWrite;
    ReadInteger(unnamed);
    EXPECT_NE(Reports().find("end of file 'input'"), std::string::npos);
}

TEST_F(TextFileTest, AFileStaysUsableAfterARuntimeError) {
    TextFile f(&io_);
    OpenForReading(f, "7");
    WriteInteger(f, 1);  // the file is open for reading only
    EXPECT_GT(f.error, 0);
    EXPECT_EQ(Reports().rfind("IO: file '" + Path("in.txt") + "' ", 0), 0u);
    EXPECT_EQ(ReadInteger(f), 7);
    EXPECT_TRUE(Eof(f));
    EXPECT_EQ(f.error, 0);
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

TEST_F(TextFileTest, HistoryDecidesWhetherAFileMayExist) {
    Put("have.txt", "10 20");
    TextFile f(&io_);
    int status = -1;
    OpenWithHistory(f, Path("have.txt"), "NEW", &status);
    EXPECT_EQ(status, 2);
    EXPECT_FALSE(IsOpen(f));
    EXPECT_EQ(Reports(), "");
    OpenWithHistory(f, Path("have.txt"), "new");
    EXPECT_EQ(Reports(), "open: 'new' history is specified and file '" + Path("have.txt") +
                             "' already exists\n");

    OpenWithHistory(f, Path("have.txt"), "Old", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(f.name, Path("have.txt"));
    EXPECT_EQ(ReadInteger(f), 10);
    WriteString(f, " 99");  // an update file turns from reading to writing in place
    Close(f);
    EXPECT_EQ(Get("have.txt"), "10 99");

    OpenWithHistory(f, Path("gone.txt"), "old");
    EXPECT_EQ(Reports(), "open: " + std::string(std::strerror(ENOENT)) + "\n");
    OpenWithHistory(f, Path("made.txt"), "unknown", &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(Exists(Path("made.txt")));
    OpenWithHistory(f, Path("x.txt"), "scratch", &status);
    EXPECT_EQ(status, 3);
}

TEST_F(TextFileTest, NamesMayComeFromArgumentsPromptsOrStandardStreams) {
    Put("arg.txt", "1");
    io_.args = {"valdrix", Path("arg.txt")};
    TextFile f(&io_);
    int status = -1;
    OpenWithHistory(f, "^1", "old", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(f.name, Path("arg.txt"));
    OpenWithHistory(f, "^2", "old", &status);
    EXPECT_EQ(status, 1);

    io_.promptIn = std::tmpfile();
    io_.promptOut = std::tmpfile();
    std::fputs((Path("arg.txt") + "\n").c_str(), io_.promptIn);
    std::rewind(io_.promptIn);
    OpenWithHistory(f, "*File name? ", "old", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Drain(io_.promptOut), "File name? ");
    OpenWithHistory(f, "*Again? ", "old", &status);  // the input is used up
    EXPECT_EQ(status, 1);
    std::fclose(io_.promptIn);
    std::fclose(io_.promptOut);

    OpenWithHistory(f, "-STDOUT", "new", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(f.stream, stdout);
    EXPECT_EQ(f.name, "stdout");
    Erase(f);  // the console's stream is never deleted
    EXPECT_GT(f.error, 0);
    EXPECT_EQ(std::ferror(stdout), 0);
}

TEST_F(TextFileTest, FilesCanBeErasedRenamedAndMeasured) {
    TextFile f(&io_);
    Assign(f, Path("data.one.TMP"));
    Rewrite(f);
    EXPECT_EQ(SizeInBlocks(f), 0);
    WriteString(f, std::string(512, 'z'));
    EXPECT_EQ(SizeInBlocks(f), 1);
    WriteChar(f, 'z');
    EXPECT_EQ(SizeInBlocks(f), 2);
    Rename(f, ".PRN");
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.name, Path("data.one.PRN"));
    EXPECT_EQ(Get("data.one.PRN").size(), 513u);

    Assign(f, Path("plain"));
    Rewrite(f);
    Rename(f, ".JAC");
    EXPECT_TRUE(Exists(Path("plain.JAC")));
    Erase(f);
    EXPECT_EQ(f.error, 0);
    EXPECT_TRUE(f.name.empty());
    EXPECT_FALSE(Exists(Path("plain.JAC")));
    EXPECT_FALSE(Exists(dir_.string()));
}

}  // namespace
