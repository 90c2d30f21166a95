// Command W: the spectrum of base.FFT (W0) or of a chosen file (W1) written to base.PRN, with
// the messages of the power-of-two cut.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"

namespace {

constexpr double kTruePi = 3.14159265358979323846;
const char* const kDocument = "y = 2*t;\n";

class FftCommand : public DocumentFixture {
   protected:
    // A series file of n samples of `signal` at t = 0, 1, ..., columns t, yr, yi.
    std::string Series(int n, double (*signal)(int)) const {
        std::string text = "              t             yr             yi\n";
        for (int k = 0; k < n; ++k) {
            char row[128];
            std::snprintf(row, sizeof row, "%15.7f%15.7f%15.7f\n", static_cast<double>(k),
                          signal(k), 0.0);
            text += row;
        }
        return text;
    }
    void WriteSeries(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    // The numbers of one spectrum row.
    static std::vector<double> Numbers(const std::string& line) {
        std::vector<double> v;
        std::size_t pos = 0;
        while (pos < line.size()) {
            std::size_t used = 0;
            try {
                v.push_back(std::stod(line.substr(pos), &used));
            } catch (...) {
                break;
            }
            pos += used;
        }
        return v;
    }
};

}  // namespace

TEST_F(FftCommand, CutMessagesFollowTheNumberOfSamples) {
    struct Case {
        int samples;
        double lastOffset;
        std::string message;  // "" for none
    };
    const Case cases[] = {
        {64, 0.0, ""},
        {65, 0.0, ""},
        {65, 0.5, "Signal not quite periodic\nPeriod error is about 0.500000\nFFT is Found!"},
        {100, 0.0, " 100 points not a power of 2, series trucated\nFFT is Found!"},
    };
    for (const Case& c : cases) {
        std::string series =
            Series(c.samples, [](int k) { return std::cos(2 * kTruePi * k / 64); });
        if (c.lastOffset != 0.0) {
            series = Series(c.samples, [](int k) {
                return std::cos(2 * kTruePi * k / 64) + (k == 64 ? 0.5 : 0.0);
            });
        }
        WriteSeries("doc.FFT", series);
        Run(kDocument, "W0");
        if (c.message.empty()) {
            EXPECT_EQ(out_.find("points not"), std::string::npos) << c.samples;
            EXPECT_EQ(out_.find("periodic"), std::string::npos) << c.samples;
            EXPECT_NE(out_.find("\nFFT is Found!"), std::string::npos) << c.samples;
        } else {
            EXPECT_NE(out_.find(c.message), std::string::npos) << c.samples << out_;
        }
        EXPECT_EQ(Lines(".PRN").size(), 65u) << c.samples;  // header and 64 indexes
    }
}

TEST_F(FftCommand, ConstantSignalAndSineGiveTheirSpectraInHertz) {
    WriteSeries("doc.FFT", Series(64, [](int) { return 1.0; }));
    Run(kDocument, "W0");
    std::vector<std::string> lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 65u);
    EXPECT_EQ(lines[0], "f[Hz] Amplitude Phase");
    EXPECT_EQ(lines[1], "0.00000000 2.00000000 0.00000000");
    EXPECT_EQ(Numbers(lines[2])[1], 0.0);

    WriteSeries("doc.FFT", Series(64, [](int k) { return std::sin(2 * kTruePi * 4 * k / 64); }));
    core_.defaultShell.fft.axis = 1;  // rad/s
    Run(kDocument, "W0");
    lines = Lines(".PRN");
    EXPECT_EQ(lines[0], "w[rad/s] Amplitude Phase");
    const std::vector<double> peak = Numbers(lines[5]);  // index 4
    ASSERT_EQ(peak.size(), 3u);
    EXPECT_NEAR(peak[0], 2 * kTruePi * 4 / 64, 1e-8);  // period 64: 64 samples one step apart
    EXPECT_NEAR(peak[1], 1.0, 1e-7);
    EXPECT_NEAR(peak[2], kTruePi / 2, 1e-6);
}

TEST_F(FftCommand, IndexAxisAndRangeChooseTheRowsWritten) {
    WriteSeries("doc.FFT", Series(16, [](int k) { return 1.0 * k; }));
    core_.defaultShell.fft.axis = 2;
    core_.defaultShell.fft.lowIndex = 3;
    core_.defaultShell.fft.highIndex = 5;
    Run(kDocument, "W0");
    const std::vector<std::string> lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "n Amplitude Phase");
    EXPECT_EQ(lines[1].substr(0, 7), "     3 ");
    EXPECT_EQ(lines[3].substr(0, 7), "     5 ");
    core_.defaultShell.fft.highIndex = 99;  // beyond the last index: up to it
    Run(kDocument, "W0");
    EXPECT_EQ(Lines(".PRN").size(), 14u);
}

TEST_F(FftCommand, OtherFileCancelAndMissingSeries) {
    // W1 reads the file the dialog names; the document's base.FFT is not needed.
    WriteSeries("other.txt", "time;sig\n0;1\n1;1\n2;1\n3;1\n");
    core_.defaultShell.fftFile = (dir_ / "other.txt").string();
    Run(kDocument, "W1");
    EXPECT_NE(out_.find("FFT is Found!"), std::string::npos) << out_;
    EXPECT_EQ(Lines(".PRN")[1], "0.00000000 2.00000000 0.00000000");  // real signal of ones

    // A cancelled file or column dialog, or a missing series, leaves base.PRN as it was.
    core_.defaultShell.fftFile.clear();
    Run(kDocument, "W1");
    EXPECT_EQ(Lines(".PRN").size(), 5u);
    core_.defaultShell.fftFile = (dir_ / "other.txt").string();
    core_.defaultShell.fftCancelled = true;
    Run(kDocument, "W1");
    EXPECT_EQ(Lines(".PRN").size(), 5u);
    core_.defaultShell.fftCancelled = false;
    Run(kDocument, "W0");  // no doc.FFT: nothing is said or written
    EXPECT_EQ(out_.find("FFT"), std::string::npos);
    EXPECT_EQ(Lines(".PRN").size(), 5u);
    // A named column the file does not have is a cancelled choice.
    core_.defaultShell.fftRealColumn = "nope";
    Run(kDocument, "W1");
    EXPECT_EQ(out_.find("FFT is Found!"), std::string::npos);
}

TEST_F(FftCommand, TooFewSamplesOrAStillTimeColumnAreReportedAndWriteNothing) {
    WriteSeries("doc.FFT", "t y\n0 1\n");
    Run(kDocument, "W0");
    EXPECT_NE(out_.find("   1 samples: at least 2 are needed"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("FFT is Found!"), std::string::npos);
    WriteSeries("doc.FFT", "t y\n5 1\n5 2\nfive 3\n");
    core_.defaultShell.fftTimeColumn = "t";
    core_.defaultShell.fftRealColumn = "y";
    Run(kDocument, "W0");
    EXPECT_NE(out_.find("   1 rows without numbers in the chosen columns left out"),
              std::string::npos);
    EXPECT_NE(out_.find("does not change"), std::string::npos) << out_;
    EXPECT_TRUE(Lines(".PRN").empty());
}

TEST_F(FftCommand, SweepsOfASecondParameterGiveOneBlockEach) {
    std::string text =
        "PARAMETER:         a        1\n              t              a              y\n";
    for (int a = 1; a <= 2; ++a) {
        for (int k = 0; k < 8; ++k) {
            char row[128];
            std::snprintf(row, sizeof row, "%15.7f%15.7f%15.7f\n", 0.5 * k, 1.0 * a, 1.0 * a);
            text += row;
        }
    }
    WriteSeries("doc.FFT", text);
    core_.defaultShell.fftRealColumn = "y";
    Run(kDocument, "W0");
    const std::vector<std::string> lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 18u) << ReadFile(".PRN");
    EXPECT_EQ(lines[0], "PARAMETER:         a        3");
    EXPECT_EQ(lines[1], "f[Hz] Amplitude Phase a");
    EXPECT_EQ(lines[2], "0.00000000 2.00000000 0.00000000 1.00000000");
    EXPECT_EQ(lines[10], "0.00000000 4.00000000 0.00000000 2.00000000");
    EXPECT_NEAR(Numbers(lines[3])[0], 0.25, 1e-12);  // period 8 * 0.5 for each sweep
}

TEST_F(FftCommand, SweepWrittenForTheTransformIsItsSeries) {
    // The path the desktop takes: G with the FFT switch writes base.FFT, W0 reads it.
    core_.defaultShell.sweepVariable = "t";
    core_.defaultShell.sweep.from = 0.0;
    core_.defaultShell.sweep.to = 63.0;
    core_.defaultShell.sweep.intervals = 63;
    core_.defaultShell.sweep.writeFft = true;
    ASSERT_EQ(Run("y = 3 + COS(2*PI*t/16);\n", "G"), 1) << out_;
    core_.defaultShell.fftTimeColumn = "t";
    core_.defaultShell.fftRealColumn = "y";
    Run("y = 3 + COS(2*PI*t/16);\n", "W0");
    const std::vector<std::string> lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 65u) << out_;
    EXPECT_NEAR(Numbers(lines[1])[1], 6.0, 1e-6);  // the mean, doubled
    EXPECT_NEAR(Numbers(lines[5])[1], 1.0, 1e-6);  // 64 samples, 4 periods of 16
    EXPECT_NEAR(Numbers(lines[5])[0], 4.0 / 64, 1e-9);
}
