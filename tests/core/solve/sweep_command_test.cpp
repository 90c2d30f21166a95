#include <gtest/gtest.h>

#include "core/document_fixture.h"

// The parameter sweep of command G.
class SweepCommand : public DocumentFixture {
protected:
    void Sweep(const std::string& variable, double from, double to, int intervals) {
        core_.defaultShell.sweepVariable = variable;
        core_.defaultShell.sweep.from = from;
        core_.defaultShell.sweep.to = to;
        core_.defaultShell.sweep.intervals = intervals;
    }
};

TEST_F(SweepCommand, TenIntervalsWriteOneHeaderAndElevenRows) {
    Sweep("a", 0.0, 10.0, 10);
    EXPECT_EQ(Run("y = x^2 + a;\nx = 1;\n", "G"), 1) << out_;
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "              y              x              a");
    EXPECT_EQ(lines[11], "     11.0000000      1.0000000     10.0000000");
}

TEST_F(SweepCommand, FailedStepEndsTheSweepAndKeepsEarlierRows) {
    Sweep("x", 0.0, 2.0, 10);
    EXPECT_EQ(Run("y = LN(1 - x);\n", "G"), 0);
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 6u);  // x = 0, 0.2, ..., 0.8; LN(0) stops at x = 1
    EXPECT_NE(lines[5].find("0.8000000"), std::string::npos);
}

TEST_F(SweepCommand, TwoParameterSweepWritesTheParameterLine) {
    Sweep("a", 0.0, 1.0, 2);
    core_.defaultShell.parameterVariable = "b";
    core_.defaultShell.sweep.secondParameter = true;
    core_.defaultShell.sweep.paramFrom = 0.0;
    core_.defaultShell.sweep.paramTo = 1.0;
    core_.defaultShell.sweep.paramIntervals = 1;
    EXPECT_EQ(Run("y = a + 10*b;\n", "G"), 1) << out_;
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 8u);  // parameter line, header, 3 x 2 rows
    EXPECT_EQ(lines[0], "PARAMETER:         b        2");
    EXPECT_NE(lines[7].find("11.0000000"), std::string::npos);  // a = 1, b = 1
}

TEST_F(SweepCommand, SingleVariableShowsTheMessageAndSolvesNothing) {
    EXPECT_EQ(Run("x = 1;\n", "G"), 0);
    ASSERT_EQ(core_.defaultShell.messages.size(), 1u);
    EXPECT_EQ(core_.defaultShell.messages[0], "Nema dovoljnoo varijabli");
    EXPECT_EQ(out_.find("Solving..."), std::string::npos);
}

TEST_F(SweepCommand, FftSwitchWritesTheFftFile) {
    Sweep("t", 0.0, 1.0, 4);
    core_.defaultShell.sweep.writeFft = true;
    EXPECT_EQ(Run("y = 2*t;\n", "G"), 1);
    EXPECT_EQ(Lines(".FFT").size(), 6u);
    EXPECT_TRUE(ReadFile(".PRN").empty());
}

TEST_F(SweepCommand, CancelledRunKeepsTheRowsWritten) {
    Sweep("x", 0.0, 1.0, 100);
    core_.defaultShell.cancel();  // ESC is already pending: only the first step is taken
    Run("y = 2*x;\n", "G");
    EXPECT_LE(Lines(".PRN").size(), 2u);
}
