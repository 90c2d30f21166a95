#include "core/run/document_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("valdrix_vdp_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        file_ = (dir_ / "model.VDP").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::vector<unsigned char> Bytes() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void PutBytes(const std::vector<unsigned char>& bytes) const {
        std::ofstream(file_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }

    static DocumentSettings Sample() {
        DocumentSettings d;
        d.method = 3;
        d.jacobianMethod = 1;
        d.maxIterations = 0x01020304;
        d.repetitions = 250;
        d.toleranceExponent = -6;
        d.autoSimplify = 0;
        d.autoHomotopy = 1;
        d.solveInGroups = 0;
        d.deltaJ = 0.5;
        d.deltaT = 0.25;
        d.minGuess = -1.0;
        d.maxGuess = 2.0;
        d.differentialMethod = 2;
        return d;
    }

    fs::path dir_;
    std::string file_;
};

TEST_F(SettingsFileTest, WrittenFileHasTheFixedLittleEndianLayout) {
    ASSERT_TRUE(WriteSettingsFile(file_, Sample()));
    const std::vector<unsigned char> expected = {
        0x00, 0x00, 0x02, 0x00,                          // 0: version
        0x03, 0x00, 0x00, 0x00,                          // 4: solving method
        0x01, 0x00, 0x00, 0x00,                          // 8: Jacobian method
        0x01, 0x00, 0x00, 0x00,                          // 12: auto homotopy
        0x00, 0x00, 0x00, 0x00,                          // 16: auto simplify
        0x00, 0x00, 0x00, 0x00,                          // 20: solve in groups
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,  // 24: delta J 0.5
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,  // 32: delta T 0.25
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0xBF,  // 40: min guess -1
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,  // 48: max guess 2
        0x04, 0x03, 0x02, 0x01,                          // 56: max iterations
        0xFA, 0xFF, 0xFF, 0xFF,                          // 60: tolerance exponent -6
        0xFA, 0x00, 0x00, 0x00,                          // 64: repetitions 250
        0x02, 0x00, 0x00, 0x00,                          // 68: differential method
    };
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(fs::file_size(file_), kSettingsFileSize);
}

TEST_F(SettingsFileTest, RoundTripRestoresEveryStoredField) {
    DocumentSettings written = Sample();
    written.lastResult = 1;
    written.attachmentPath = "/tmp/table.LST";
    written.updateStepCount = 9;
    ASSERT_TRUE(WriteSettingsFile(file_, written));

    DocumentSettings read;
    ASSERT_EQ(ReadSettingsFile(file_, read), SettingsFileStatus::kOk);
    EXPECT_EQ(read.method, 3u);
    EXPECT_EQ(read.jacobianMethod, 1u);
    EXPECT_EQ(read.maxIterations, 0x01020304u);
    EXPECT_EQ(read.repetitions, 250u);
    EXPECT_EQ(read.toleranceExponent, -6);
    EXPECT_EQ(read.autoSimplify, 0u);
    EXPECT_EQ(read.autoHomotopy, 1u);
    EXPECT_EQ(read.solveInGroups, 0u);
    EXPECT_EQ(read.deltaJ, 0.5);
    EXPECT_EQ(read.deltaT, 0.25);
    EXPECT_EQ(read.minGuess, -1.0);
    EXPECT_EQ(read.maxGuess, 2.0);
    EXPECT_EQ(read.differentialMethod, 2u);
    // Not part of the side file: a reopened document has no attachment and no result.
    EXPECT_EQ(read.lastResult, 0u);
    EXPECT_EQ(read.attachmentPath, "");
    EXPECT_EQ(read.updateStepCount, 0u);
}

TEST_F(SettingsFileTest, DefaultsOfANewDocument) {
    const DocumentSettings d;
    EXPECT_EQ(d.method, 0u);
    EXPECT_EQ(d.jacobianMethod, 0u);
    EXPECT_EQ(d.maxIterations, 10u);
    EXPECT_EQ(d.repetitions, 50u);
    EXPECT_EQ(d.toleranceExponent, -3);
    EXPECT_EQ(d.autoSimplify, 1u);
    EXPECT_EQ(d.autoHomotopy, 0u);
    EXPECT_EQ(d.solveInGroups, 1u);
    EXPECT_EQ(d.deltaJ, 0.001);
    EXPECT_EQ(d.deltaT, 0.1);
    EXPECT_EQ(d.minGuess, 0.1);
    EXPECT_EQ(d.maxGuess, 1.0);
    EXPECT_EQ(d.differentialMethod, 0u);
    EXPECT_EQ(d.lastResult, 0u);
    EXPECT_EQ(d.attachmentPath, "");
    EXPECT_EQ(d.updateStepCount, 0u);
}

TEST_F(SettingsFileTest, VersionIsIgnoredWhenRead) {
    ASSERT_TRUE(WriteSettingsFile(file_, Sample()));
    auto bytes = Bytes();
    bytes[0] = 0x78;
    bytes[3] = 0x12;
    PutBytes(bytes);
    DocumentSettings read;
    EXPECT_EQ(ReadSettingsFile(file_, read), SettingsFileStatus::kOk);
    EXPECT_EQ(read.differentialMethod, 2u);
}

TEST_F(SettingsFileTest, ShortFileKeepsTheFieldsBeforeItsEnd) {
    ASSERT_TRUE(WriteSettingsFile(file_, Sample()));
    const auto full = Bytes();
    struct Case {
        std::size_t size;
        bool methodRead, deltaJRead, repetitionsRead;
    };
    for (const Case& c : {Case{0, false, false, false}, Case{30, true, false, false},
                          Case{32, true, true, false}, Case{71, true, true, true}}) {
        SCOPED_TRACE(c.size);
        PutBytes(std::vector<unsigned char>(full.begin(), full.begin() + static_cast<long>(c.size)));
        DocumentSettings read;
        EXPECT_EQ(ReadSettingsFile(file_, read), SettingsFileStatus::kTruncated);
        EXPECT_EQ(read.method, c.methodRead ? 3u : 0u);
        EXPECT_EQ(read.deltaJ, c.deltaJRead ? 0.5 : 0.001);
        EXPECT_EQ(read.repetitions, c.repetitionsRead ? 250u : 50u);
        EXPECT_EQ(read.differentialMethod, 0u);  // the last field is never complete
    }
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kTruncated), "Incorect File Format");
}

TEST_F(SettingsFileTest, ValueNoDocumentCanHaveIsABadFile) {
    ASSERT_TRUE(WriteSettingsFile(file_, Sample()));
    const auto full = Bytes();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        std::size_t offset;
        std::vector<unsigned char> value;
        bool methodRead, deltaJRead, repetitionsRead;
    };
    auto f64 = [](double v) {
        std::vector<unsigned char> b(8);
        std::memcpy(b.data(), &v, 8);  // the test machine is little-endian like the file
        return b;
    };
    for (const Case& c : {Case{"method 4", 4, {4, 0, 0, 0}, false, false, false},
                          Case{"Jacobian method 2", 8, {2, 0, 0, 0}, true, false, false},
                          Case{"NaN delta T", 32, f64(nan), true, true, false},
                          Case{"infinite max guess", 48, f64(inf), true, true, false},
                          Case{"differential method 3", 68, {3, 0, 0, 0}, true, true, true}}) {
        SCOPED_TRACE(c.what);
        auto bytes = full;
        std::copy(c.value.begin(), c.value.end(), bytes.begin() + static_cast<long>(c.offset));
        PutBytes(bytes);
        DocumentSettings read;
        EXPECT_EQ(ReadSettingsFile(file_, read), SettingsFileStatus::kBadValue);
        EXPECT_EQ(read.method, c.methodRead ? 3u : 0u);
        EXPECT_EQ(read.deltaJ, c.deltaJRead ? 0.5 : 0.001);
        EXPECT_EQ(read.repetitions, c.repetitionsRead ? 250u : 50u);
        EXPECT_EQ(read.differentialMethod, 0u);
    }
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kBadValue), "Bad File Format");
}

TEST_F(SettingsFileTest, MissingFileKeepsTheDefaults) {
    DocumentSettings read = Sample();
    EXPECT_EQ(ReadSettingsFile((dir_ / "absent.VDP").string(), read), SettingsFileStatus::kMissing);
    EXPECT_EQ(read.method, 3u);
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kMissing), "");
    EXPECT_STREQ(SettingsFileMessage(SettingsFileStatus::kOk), "");
}

TEST_F(SettingsFileTest, WriteReplacesTheOldFileAndLeavesNoTemporary) {
    PutBytes(std::vector<unsigned char>(100, 0xAA));
    ASSERT_TRUE(WriteSettingsFile(file_, Sample()));
    EXPECT_EQ(fs::file_size(file_), kSettingsFileSize);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"model.VDP"});

    EXPECT_FALSE(WriteSettingsFile((dir_ / "no-such-dir" / "x.VDP").string(), Sample()));
    EXPECT_FALSE(fs::exists(dir_ / "no-such-dir"));
}

TEST(SettingsFileNameTest, NamedAfterTheDocumentBase) {
    EXPECT_EQ(SettingsFileName("/a/data.old/model.alg"), "/a/data.old/model.VDP");
    EXPECT_EQ(SettingsFileName("/a/model.alg"), "/a/model.VDP");
    EXPECT_EQ(SettingsFileName("/a/model.v1.alg"), "/a/model.VDP");
    EXPECT_EQ(SettingsFileName("/a/model"), "");
    EXPECT_EQ(SettingsFileName("/a/.alg"), "");
}

TEST(MakeShellSettingsRecordTest, CopiesTheDocumentOptions) {
    DocumentSettings d;
    d.method = 2;
    d.jacobianMethod = 1;
    d.maxIterations = 300;
    d.repetitions = 17;
    d.toleranceExponent = -12;
    d.autoSimplify = 0x100;  // only the low byte reaches the record
    d.autoHomotopy = 0x1FF;
    d.solveInGroups = 1;
    d.deltaJ = 1e-4;
    d.deltaT = 0.5;
    d.minGuess = -3;
    d.maxGuess = 3;
    d.attachmentPath = "/tmp/rows.LST";
    d.updateStepCount = 6;

    const ShellSettingsRecord r = MakeShellSettingsRecord(d);
    EXPECT_EQ(r.method, 2);
    EXPECT_EQ(r.jacobianMode, 1);
    EXPECT_EQ(r.maxIterations, 300);
    EXPECT_EQ(r.repetitions, 17);
    EXPECT_EQ(r.toleranceExponent, -12);
    EXPECT_EQ(r.autoSimplify, 0);
    EXPECT_EQ(r.autoHomotopy, 0xFF);
    EXPECT_EQ(r.solveInGroups, 1);
    EXPECT_EQ(r.deltaJ, 1e-4);
    EXPECT_EQ(r.deltaT, 0.5);
    EXPECT_EQ(r.minGuess, -3);
    EXPECT_EQ(r.maxGuess, 3);
    EXPECT_EQ(r.attachmentPath, "/tmp/rows.LST");
    EXPECT_EQ(r.attachmentRows, 6);
}

}  // namespace
