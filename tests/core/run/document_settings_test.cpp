#include "core/run/document_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

class SettingsFileTest : public ::testing::Test {
   protected:
    Bytes Get(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Put(const Bytes& bytes) const {
        std::ofstream(file_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    // Which fields at three depths of the file were read: method, delta J, repetitions.
    static std::string Read(const DocumentSettings& d) {
        return std::string(d.method == SolveMethod::kHomotopy ? "M" : "-") +
               (d.deltaJ == 0.5 ? "J" : "-") + (d.stepCount == 250 ? "R" : "-");
    }

    const ScratchDir scratch_;
    const fs::path dir_ = scratch_.dir;
    std::string file_ = (dir_ / "model.VDP").string();
    DocumentSettings sample_ = [] {
        DocumentSettings d;
        d.method = SolveMethod::kHomotopy;
        d.jacobianMode = JacobianMode::kIncremental;
        d.maxIterations = 0x03E7;
        d.stepCount = 250;
        d.toleranceExponent = -6;
        d.autoSimplify = false;
        d.autoHomotopy = true;
        d.solveInGroups = false;
        d.deltaJ = 0.5;
        d.deltaT = 0.25;
        d.minGuess = -1.0;
        d.maxGuess = 2.0;
        d.differentialMethod = 2;
        d.lastResult = 1;
        d.attachmentPath = "t.LST";
        d.updateStepCount = 9;
        return d;
    }();
};

TEST_F(SettingsFileTest, FixedLittleEndianLayoutReadBackWhole) {
    ASSERT_EQ(WriteSettingsFile(file_, sample_), SettingsWriteStatus::kOk);
    const Bytes expected = {
        0x00, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00,  // 0: version, 4: method
        0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // 8: Jacobian method, 12: auto homotopy
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 16: auto simplify, 20: solve in groups
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,  // 24: delta J 0.5
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,  // 32: delta T 0.25
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0xBF,  // 40: min guess -1
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,  // 48: max guess 2
        0xE7, 0x03, 0x00, 0x00, 0xFA, 0xFF, 0xFF, 0xFF,  // 56: max iterations, 60: tolerance -6
        0xFA, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // 64: repetitions, 68: differential method
    };
    Bytes bytes = Get(file_);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(WriteSettingsFile((dir_ / "no-such-dir" / "x.VDP").string(), sample_),
              SettingsWriteStatus::kCannotCreate);

    bytes[0] = 0x78;  // reading restores every field; the version is not checked
    Put(bytes);
    DocumentSettings read;
    ASSERT_EQ(ReadSettingsFile(file_, read), SettingsFileStatus::kOk);
    const std::string again = (dir_ / "again.VDP").string();
    ASSERT_EQ(WriteSettingsFile(again, read), SettingsWriteStatus::kOk);
    bytes[0] = 0x00;
    EXPECT_EQ(Get(again), bytes);

    // A switch is on when the low byte of its word is not zero.
    const Bytes highByteOnly = {0x00, 0x01, 0x00, 0x00}, lowByteSet = {0xFF, 0x01, 0x00, 0x00};
    std::copy(highByteOnly.begin(), highByteOnly.end(), bytes.begin() + 16);  // auto simplify
    std::copy(lowByteSet.begin(), lowByteSet.end(), bytes.begin() + 12);      // auto homotopy
    Put(bytes);
    DocumentSettings d;
    ASSERT_EQ(ReadSettingsFile(file_, d), SettingsFileStatus::kOk);
    EXPECT_EQ(std::tuple(d.autoSimplify, d.autoHomotopy), std::tuple(false, true));
}

TEST_F(SettingsFileTest, ShortFileKeepsTheFieldsBeforeItsEnd) {
    ASSERT_EQ(WriteSettingsFile(file_, sample_), SettingsWriteStatus::kOk);
    const Bytes full = Get(file_);
    struct Case {
        std::size_t at;  // the file is cut here
        const char* read;
    };
    for (const Case& c : {Case{0, "---"}, Case{30, "M--"}, Case{32, "MJ-"}, Case{71, "MJR"}}) {
        Bytes bytes = full;
        bytes.resize(c.at);
        Put(bytes);
        DocumentSettings d;
        EXPECT_EQ(ReadSettingsFile(file_, d), SettingsFileStatus::kTruncated) << c.at;
        EXPECT_EQ(Read(d), c.read) << c.at;
        EXPECT_EQ(d.differentialMethod, 0u) << c.at;  // the last field is never complete
    }
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kTruncated), "Incorect File Format");
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kBadValue), "Bad File Format");
    DocumentSettings kept = sample_;
    EXPECT_EQ(ReadSettingsFile((dir_ / "absent.VDP").string(), kept), SettingsFileStatus::kMissing);
    EXPECT_EQ(Read(kept), "MJR");
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kMissing), "");
}

// A value outside its field's domain keeps that setting and is named; every other field is
// still read.
TEST_F(SettingsFileTest, ValueOutsideItsDomainIsSkippedWithAWarning) {
    ASSERT_EQ(WriteSettingsFile(file_, sample_), SettingsWriteStatus::kOk);
    const Bytes full = Get(file_);
    struct Case {
        std::size_t at;
        Bytes value;
        const char* read;  // method, delta J, repetitions as in Read
        const char* named;
    };
    const Bytes nan = {0, 0, 0, 0, 0, 0, 0xF8, 0x7F}, zero = {0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes huge = {0, 0, 0, 0, 0, 0, 0xF0, 0x7F};  // infinity
    for (const Case& c : {Case{4, {4, 0, 0, 0}, "-JR", "method"}, Case{24, nan, "M-R", "delta J"},
                          Case{24, zero, "M-R", "delta J"}, Case{32, huge, "MJR", "delta T"},
                          Case{56, {0, 0, 0, 0}, "MJR", "max iterations"},
                          Case{60, {60, 0, 0, 0}, "MJR", "tolerance exponent"},
                          Case{64, {0, 0, 0, 0}, "MJ-", "step count"},
                          Case{68, {3, 0, 0, 0}, "MJR", "differential method"}}) {
        Bytes bytes = full;
        std::copy(c.value.begin(), c.value.end(), bytes.begin() + static_cast<long>(c.at));
        Put(bytes);
        DocumentSettings d;
        std::vector<std::string> warnings;
        EXPECT_EQ(ReadSettingsFile(file_, d, &warnings), SettingsFileStatus::kBadValue) << c.at;
        EXPECT_EQ(Read(d), c.read) << c.at;
        ASSERT_EQ(warnings.size(), 1u) << c.at;
        EXPECT_NE(warnings[0].find(c.named), std::string::npos) << warnings[0];
        EXPECT_EQ(d.differentialMethod, c.at == 68 ? 0u : 2u) << c.at;
        const DocumentSettings fresh;
        if (c.at == 56) {
            EXPECT_EQ(d.maxIterations, fresh.maxIterations);
        }
        if (c.at == 60) {
            EXPECT_EQ(d.toleranceExponent, fresh.toleranceExponent);
        }
    }
}

// Where the base name ends is the base-name test's; a document without one has no side file.
TEST(SettingsFileNameTest, NamedAfterTheDocumentBase) {
    EXPECT_EQ(SettingsFileName("/a/model.alg"), "/a/model.VDP");
    EXPECT_EQ(SettingsFileName("/a/model"), "");
}

}  // namespace
