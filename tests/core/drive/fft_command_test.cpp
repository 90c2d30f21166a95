// Command W: the spectrum of base.FFT (W0) or of a chosen file (W1) written to base.PRN, with
// the messages of the power-of-two cut.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"

namespace {

constexpr double kTruePi = 3.14159265358979323846;
const char* const kDocument = "y = 2*t;\n";

class FftCommand : public DocumentFixture {
   protected:
    // A series file of n samples of `signal` at t = 0, 1, ..., columns t, yr, yi.
    std::string Series(int n, const std::function<double(int)>& signal) const {
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
        std::istringstream in(line);
        return {std::istream_iterator<double>(in), std::istream_iterator<double>()};
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
        WriteSeries("doc.FFT", Series(c.samples, [&c](int k) {
                        return std::cos(2 * kTruePi * k / 64) + (k == 64 ? c.lastOffset : 0.0);
                    }));
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

TEST_F(FftCommand, SineGivesItsSpectrumInRadiansPerSecond) {
    WriteSeries("doc.FFT", Series(64, [](int k) { return std::sin(2 * kTruePi * 4 * k / 64); }));
    core_.defaultShell.fft.axis = 1;  // rad/s
    Run(kDocument, "W0");
    const std::vector<std::string> lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 65u);
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

TEST_F(FftCommand, ASpectrumThatOverflowsIsRefusedAndWritesNothing) {
    Run(kDocument, "F");  // base.PRN as a run leaves it: empty
    for (const char* series : {"t y\n0 1e308\n1 1e308\n2 1e308\n3 1e308\n",  // the mean
                               "t y\n0 1.5e308\n1 -1.5e308\n2 1.5e308\n3 -1.5e308\n"}) {
        WriteSeries("doc.FFT", series);
        Run(kDocument, "W0");
        EXPECT_NE(out_.find("The spectrum overflows"), std::string::npos) << series << out_;
        EXPECT_EQ(out_.find("FFT is Found!"), std::string::npos) << series;
        EXPECT_TRUE(Lines(".PRN").empty()) << ReadFile(".PRN");
    }
    // Large samples whose spectrum is still a number are transformed: 4 samples of 4e307 sum
    // to 1.6e308, an amplitude of 8e307 at index 0.
    WriteSeries("doc.FFT", "t y\n0 4e307\n1 4e307\n2 4e307\n3 4e307\n");
    core_.defaultShell.fft.axis = 2;
    Run(kDocument, "W0");
    EXPECT_NE(out_.find("FFT is Found!"), std::string::npos) << out_;
    const std::vector<std::string> lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NEAR(Numbers(lines[1])[1], 8e307, 1e293);
}
