// Command W where only the shell's dialogs reach: a file dialog or column choice cancelled, a
// column named that the series lacks. The spectra themselves and the messages of the cut are
// the golden fft cases'.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/document_fixture.h"

namespace {

class FftCommand : public DocumentFixture {};

TEST_F(FftCommand, ACancelledChoiceLeavesTheLastSpectrum) {
    const char* const document = "y = 2*t;\n";
    std::ofstream(dir_ / "other.txt", std::ios::binary) << "time;sig\n0;1\n1;1\n2;1\n3;1\n";
    core_.defaultShell.fftFile = (dir_ / "other.txt").string();
    Run(document, "W1");
    EXPECT_NE(out_.find("FFT is Found!"), std::string::npos) << out_;
    const std::string spectrum = ReadFile(".PRN");
    ASSERT_EQ(Lines(".PRN").size(), 5u) << spectrum;
    EXPECT_EQ(Lines(".PRN")[1], "0.00000000 2.00000000 0.00000000");  // a real signal of ones

    core_.defaultShell.fftFile.clear();  // the file dialog cancelled
    Run(document, "W1");
    EXPECT_EQ(ReadFile(".PRN"), spectrum);
    core_.defaultShell.fftFile = (dir_ / "other.txt").string();
    core_.defaultShell.fftCancelled = true;  // the column dialog cancelled
    Run(document, "W1");
    EXPECT_EQ(ReadFile(".PRN"), spectrum);
    core_.defaultShell.fftCancelled = false;
    core_.defaultShell.fftRealColumn = "nope";  // a column the file does not have
    Run(document, "W1");
    EXPECT_EQ(out_.find("FFT is Found!"), std::string::npos) << out_;
    EXPECT_EQ(ReadFile(".PRN"), spectrum);
}

}  // namespace
