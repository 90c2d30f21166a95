// Every reader of the core given what no editor would write: empty, cut short, random bytes,
// lines ended by CR alone, numbers that are none, names of 10,000 characters, files past the
// size cap. Each ends with a message or a sound reading: never a crash, a hang, a leak of
// code nodes (the fixture counts them) or a silent wrong result, and a failed run leaves the
// document as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/compiled_fixture.h"
#include "core/run/document_settings.h"
#include "core/run/options_line.h"
#include "core/symbolic/jacobian_file.h"
#include "core/symbolic/list_file.h"

namespace fs = std::filesystem;

namespace {

std::string RandomBytes(unsigned seed, std::size_t count) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xff);
    return bytes;
}

const std::string kLongName(10000, 'a');

struct Case {
    const char* what;
    std::string text;
    const char* said;  // console text the reader must give ("" when it reads the file soundly)
};

class MalformedInput : public CompiledFixture {
   protected:
    // A file past the size cap, made sparse so that it takes no space.
    void PutHuge(const fs::path& path) {
        std::ofstream(path, std::ios::binary) << "x = 1;\n";
        fs::resize_file(path, kMaxDocumentBytes + 1);
    }
    std::string ReadBack(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(MalformedInput, Documents) {
    const Case cases[] = {
        {"empty", "", "0 equations"},
        {"cut short", "x = (1 + ", "Illegal Character"},
        {"random bytes", RandomBytes(7, 3000), "Illegal Character"},
        {"CR line ends", "x = 2;\ry = x + 1;\r", "Solution Found!"},
        {"overflowing number", "x = 1e999;\n", "Numeric Format Error at character 10"},
        {"underflowing number", "x = 1e-999;\n", "Numeric Format Error"},
        {"exponent without digits", "x = 1e;\n", "Numeric Format Error at character 7"},
        {"two points", "x = 1.2.3;\n", "expected"},
        {"long name", kLongName + " = 2;\n", "expected"},
        // A line is cut to lines of 79 characters, inside a name that leaves no other place.
        {"long name after others", "x = 2;\ny = x + " + kLongName + ";\n", "expected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Run(c.text);
        EXPECT_EQ(ReadBack(path_), c.text);
        if (*c.said != '\0') {
            EXPECT_NE(out_.find(c.said), std::string::npos) << out_;
        }
        if (std::string(c.said) != "Solution Found!") {
            EXPECT_FALSE(core_.flags.solved);
        }
    }
    // Lines ended by CR alone are lines: both equations are read.
    Run("x = 2;\ry = x + 1;\r");
    EXPECT_DOUBLE_EQ(Value("y"), 3.0);
    // A name is significant in its first 8 characters, however long it is written.
    Run("x = 2;\ny = x + " + std::string(40, 'a') + ";\n" + std::string(20, 'a') + " = 1;\n");
    EXPECT_TRUE(core_.flags.solved) << out_;
    EXPECT_DOUBLE_EQ(Value("y"), 3.0);

    PutHuge(dir_ / "huge.alg");
    EXPECT_EQ(SolverEntry(core_, (dir_ / "huge.alg").string().c_str(), "S"), 0);
    EXPECT_NE(out_.find("Is Too Large"), std::string::npos) << out_.substr(0, 300);
    EXPECT_EQ(fs::file_size(dir_ / "huge.alg"), kMaxDocumentBytes + 1);
}

TEST_F(MalformedInput, OptionsLines) {
    for (const std::string& line : {std::string(), RandomBytes(3, 500), kLongName,
                                    std::string("1e999 -1e999 ") + kLongName + "}",
                                    std::string("\r\r\r}"), std::string("- + . e E")}) {
        SolverSettings s;
        RunConstants k;
        std::string said;
        Console console{[&said](const char* text) { said += text; }};
        ReadOptionsLine(s, k, line, &console);
        // Nothing here is a number in its field's domain: every setting stays.
        EXPECT_EQ(std::to_string(s.maxIterations) + " " + std::to_string(s.toleranceExponent),
                  "10 -3");
        EXPECT_EQ(s.deltaJ, 0.001);
        EXPECT_EQ(s.deltaT, 0.1);
    }
}

TEST_F(MalformedInput, UserFunctionFiles) {
    const Case cases[] = {
        {"empty", "", "Error in Function \"F\""},
        {"cut short", "1\n%1 +", "Error in Function File"},
        {"random bytes", RandomBytes(11, 2000), "Error in Function"},
        {"huge argument count", "99999999999999999999\n%1\n", "Error in Function \"F\""},
        {"argument beyond the count", "1\n%2\n", "Error in Function File"},
        {"CR line ends", "1\r2*%1\r", ""},
        {"long name in the body", "1\n%1 + " + kLongName + "\n", "Not enough equations"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(dir_ / "F.FUN", std::ios::binary) << c.text;
        Run("x = F(3);\n");
        if (*c.said != '\0') {
            EXPECT_NE(out_.find(c.said), std::string::npos) << out_;
            EXPECT_FALSE(core_.flags.solved);
        } else {
            EXPECT_TRUE(core_.flags.solved) << out_;
            EXPECT_EQ(out_.find("Error"), std::string::npos) << out_;
        }
    }
    PutHuge(dir_ / "F.FUN");
    Run("x = F(3);\n");
    EXPECT_NE(out_.find("Error in Function File"), std::string::npos) << out_;
}

TEST_F(MalformedInput, SettingsSideFiles) {
    const fs::path file = dir_ / "doc.VDP";
    DocumentSettings fresh;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::ofstream(file, std::ios::binary) << RandomBytes(seed, kSettingsFileSize);
        DocumentSettings d;
        ReadSettingsFile(file.string(), d);
        // Whatever the bytes, every value read lies in its domain.
        for (std::size_t i = 0; i < kSolverOptionCount; ++i) {
            const auto option = static_cast<SolverOption>(i);
            EXPECT_TRUE(InDomain(Describe(option), OptionValue(d, option)))
                << Describe(option).name << " " << OptionValue(d, option);
        }
    }
    for (const std::string& text : {std::string(), std::string("\r\r\r"), kLongName}) {
        std::ofstream(file, std::ios::binary) << text;
        DocumentSettings d;
        const SettingsFileStatus status = ReadSettingsFile(file.string(), d);
        EXPECT_NE(status, SettingsFileStatus::kOk);
        EXPECT_NE(status, SettingsFileStatus::kMissing);
    }
    fs::remove(file);
    fs::create_directory(file);  // a folder of that name is no settings file
    DocumentSettings d;
    EXPECT_NE(ReadSettingsFile(file.string(), d), SettingsFileStatus::kOk);
    EXPECT_EQ(d.maxIterations, fresh.maxIterations);
}

TEST_F(MalformedInput, JacobianFiles) {
    const Case cases[] = {
        {"empty", "", "Jacobian File Incorrect"},
        {"cut short", "      1       1\nV        1 ", "Jacobian File Incorrect"},
        {"random bytes", RandomBytes(5, 3000), "Jacobian File Incorrect"},
        {"invalid number", "      1       1\nV        0 1.0E+999x\n;\n   0   0   0\n",
         "Jacobian File Incorrect"},
        // Equations the model lacks are skipped, however large their number.
        {"huge equation number", "99999999999999999999 1\nV        0 1.0\n;\n   0   0   0\n", ""},
        {"CR line ends", "      1       1\rV        0 2.0\r;\r   0   0   0\r", ""},
        {"long line", "      1       1\n" + kLongName + "\n;\n   0   0   0\n",
         "Jacobian File Incorrect"},
    };
    Compile("x^2 = 4;\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(dir_ / "doc.JAC", std::ios::binary) << c.text;
        out_.clear();
        const bool read = ReadJacobianFile(core_);
        EXPECT_EQ(read, *c.said == '\0') << out_;
        if (*c.said != '\0') {
            EXPECT_NE(out_.find(c.said), std::string::npos) << out_;
        }
        core_.flags.stop = false;
    }
    FreeJacobianRows(core_);
}

TEST_F(MalformedInput, ListFiles) {
    const Case cases[] = {
        {"empty", "", ""},
        {"header only, no line end", "x y", ""},
        {"random bytes", RandomBytes(9, 3000), ""},
        {"CR line ends", "x y\r1 2\r3 4\r", ""},
        {"invalid numbers", "x y\n1e999 abc\n", ""},
        {"short row", "x y\n1\n", "left out"},
        {"long name", kLongName + " y\n1 2\n", ""},
    };
    Compile("y = a*x;\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.text);
        out_.clear();
        ListTable rows;
        EXPECT_TRUE(ReadListFile(core_, rows));
        if (*c.said != '\0') {
            EXPECT_NE(out_.find(c.said), std::string::npos) << out_;
        }
        if (std::string(c.what) == "CR line ends") {
            ASSERT_EQ(rows.rows(), 2);
        }
    }
    // A table is bounded by its own, larger size: a regression may read millions of rows.
    std::ofstream(core_.settings.updateFileName, std::ios::binary) << "x y\n1 2\n";
    fs::resize_file(core_.settings.updateFileName, kMaxDocumentBytes + 1);
    ListTable rows;
    EXPECT_TRUE(ReadListFile(core_, rows, true));
    fs::resize_file(core_.settings.updateFileName, kMaxListFileBytes + 1);  // sparse
    out_.clear();
    EXPECT_FALSE(ReadListFile(core_, rows));
    EXPECT_NE(out_.find("Is Too Large"), std::string::npos) << out_;
    fs::remove(core_.settings.updateFileName);
    fs::create_directory(core_.settings.updateFileName);
    EXPECT_FALSE(ReadListFile(core_, rows));
    EXPECT_NE(out_.find("Is a Folder"), std::string::npos) << out_;
}

}  // namespace
