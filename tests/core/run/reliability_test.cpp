// Whole runs on hostile documents: a run never reports a success it cannot write down, ends
// within its bounds and honours a cancel wherever it is. Illegal bytes, code that doubles at
// each step (equation_too_long_*) and derivatives that grow with the square of a chain's length
// (derivative_too_large_*) are the golden cases'.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/base/core_state.h"
#include "core/base/shell_services.h"
#include "core/base/text_file.h"
#include "core/document_fixture.h"
#include "core/run/entry.h"

namespace fs = std::filesystem;

namespace {

// A keyboard on which ESC is pressed at the given poll and at every one after it.
struct EscapeAt : DefaultShellServices {
    explicit EscapeAt(int first) : at(first) {}
    int PollKey() override { return ++polls >= at ? kKeyEscape : -1; }
    int at;
    int polls = 0;
};

std::string Repeat(const std::string& item, const std::string& between, int count) {
    std::string text = item;
    for (int i = 1; i < count; ++i) text += between + item;
    return text;
}

class ReliabilityTest : public DocumentFixture {};

// ESC is seen inside the build of one large equation, not only after it; a cancel ends even a
// single solve, and a sweep keeps the rows written before it.
TEST_F(ReliabilityTest, CancelReachesTheBuildTheIterationAndASweep) {
    EscapeAt now(1);
    core_.shell = &now;
    Run("y = " + Repeat("x", "*", 600) + ";\nx = 1;\n");
    EXPECT_TRUE(core_.flags.cancelled);
    EXPECT_FALSE(core_.flags.solved);
    EXPECT_EQ(out_.find("Derivative Too Large"), std::string::npos);
    EXPECT_EQ(ReadFile(".JAC").find("      1       "), std::string::npos);  // no record of it
    EXPECT_NE(out_.find("Run Cancelled"), std::string::npos) << out_;

    core_.flags.cancelled = false;
    Run("x^2 = 2;\n");
    EXPECT_TRUE(core_.flags.cancelled);
    EXPECT_FALSE(core_.flags.solved);
    EXPECT_EQ(out_.find("Solution Found!"), std::string::npos) << out_;
    EXPECT_NE(out_.find("Run Cancelled"), std::string::npos) << out_;

    EscapeAt later(40);
    later.sweepVariable = "a";
    later.sweep.from = 1;
    later.sweep.to = 2;
    later.sweep.intervals = 100000;
    core_.shell = &later;
    core_.flags.cancelled = false;
    Run("x = 2*a;\n", "G");
    EXPECT_TRUE(core_.flags.cancelled);
    EXPECT_FALSE(core_.flags.solved);
    const auto rows = Lines(".PRN").size();
    EXPECT_GT(rows, 2u);
    EXPECT_LT(rows, 100u);
}

// A work file whose name the file system refuses ends the run unsolved with a message (a folder
// in its place is the entry tests' case), and a folder given as the document is not checked
// as an empty document.
TEST_F(ReliabilityTest, UnwritableWorkFilesAreNeverASuccess) {
    // The document's name fits the file system; its work files' longer names do not.
    const std::string longName = std::string(253, 'a') + ".x";
    Run("x = 2;\n", "S", longName);
    EXPECT_FALSE(core_.flags.solved);
    EXPECT_NE(out_.find("Cannot write"), std::string::npos) << out_;

    fs::create_directory(dir_ / "dir.alg");
    EXPECT_EQ(CheckDocument(core_, (dir_ / "dir.alg").string().c_str()), 0);
    EXPECT_FALSE(core_.flags.solved);
}

// A full disk shows only when buffered text is handed over; the failure is kept and reported.
TEST(WorkFileWrittenTest, AFailedWriteOrCloseIsRemembered) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    CoreState s;
    std::string console;
    s.console.callback = [&console](const char* text) { console += text; };
    TextFile f(&s.io);
    f.status |= file_status::kNoReport;
    Assign(f, "/dev/full");
    Rewrite(f);
    ASSERT_TRUE(IsOpen(f));
    WriteString(f, "x = 2");
    WriteLine(f);
    Close(f);
    EXPECT_FALSE(WorkFileWritten(s, f));
    EXPECT_TRUE(s.flags.writeFailed);
    EXPECT_NE(console.find("Cannot write /dev/full"), std::string::npos) << console;
    const auto length = console.size();
    EXPECT_FALSE(WorkFileWritten(s, f));  // said once
    EXPECT_EQ(console.size(), length);
}

}  // namespace
