// Every reader of the core given what no editor would write: empty, cut short, random bytes,
// lines ended by CR alone, numbers that are none, names of 10,000 characters, files past the
// size cap. Each ends with a message or a sound reading: never a crash, a hang, a leak of
// code nodes (the fixture counts them) or a silent wrong result, and a failed run leaves the
// document as it was. The inputs of each reader are the files of tests/data/malformed/<reader>:
// the first line of one is the console text the reader must give (empty when it reads the file
// soundly), the rest the input as written.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/compiled_fixture.h"
#include "core/data_table.h"
#include "core/run/document_settings.h"
#include "core/run/options_line.h"
#include "core/symbolic/jacobian_file.h"
#include "core/symbolic/list_file.h"
#include "import/convert.h"

namespace fs = std::filesystem;

namespace {

std::string RandomBytes(unsigned seed, std::size_t count) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xff);
    return bytes;
}

const std::string kLongName(10000, 'a');

class MalformedInput : public CompiledFixture {
   protected:
    // A file past the size cap, made sparse so that it takes no space.
    void PutHuge(const fs::path& path) {
        std::ofstream(path, std::ios::binary) << "x = 1;\n";
        fs::resize_file(path, kMaxDocumentBytes + 1);
    }
    // A named pipe with no writer: opening it for reading would wait for one forever.
    void PutPipe(const fs::path& path) {
        fs::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    }
};

TEST_F(MalformedInput, Documents) {
    // A name longer than a work line is still one name (of 8 significant characters): its line
    // is not cut inside it, however long it is.
    for (const data_table::FileCase& c : data_table::Files("malformed/documents", 6)) {
        SCOPED_TRACE(c.name);
        Run(c.text);
        EXPECT_EQ(scratch_.Get("doc.alg"), c.text);
        if (!c.expected.empty()) {
            EXPECT_NE(out_.find(c.expected), std::string::npos) << out_;
        }
        if (c.expected != "Solution Found!") {
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
    for (const data_table::FileCase& c : data_table::Files("malformed/function-files", 6)) {
        SCOPED_TRACE(c.name);
        std::ofstream(dir_ / "F.FUN", std::ios::binary) << c.text;
        Run("x = F(3);\n");
        if (!c.expected.empty()) {
            EXPECT_NE(out_.find(c.expected), std::string::npos) << out_;
            EXPECT_FALSE(core_.flags.solved);
        } else {
            EXPECT_TRUE(core_.flags.solved) << out_;
            EXPECT_EQ(out_.find("Error"), std::string::npos) << out_;
        }
    }
    PutHuge(dir_ / "F.FUN");
    Run("x = F(3);\n");
    EXPECT_NE(out_.find("Error in Function File"), std::string::npos) << out_;
    PutPipe(dir_ / "F.FUN");  // never opened: the compiler would wait for a writer forever
    Run("x = F(3);\n");
    EXPECT_NE(out_.find("Error in Function File"), std::string::npos) << out_;
}

TEST_F(MalformedInput, SettingsSideFiles) {
    const fs::path file = dir_ / "doc.VDP";
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
    // A folder, a pipe or a file past the size cap is no settings file: it is not read (a pipe
    // would hold every run of the document), the settings stay, and the reader says so.
    auto notRead = [&](const char* what) {
        DocumentSettings d;
        d.maxIterations = 77;
        EXPECT_EQ(ReadSettingsFile(file.string(), d), SettingsFileStatus::kNotAFile) << what;
        EXPECT_EQ(d.maxIterations, 77u) << what;
        EXPECT_NE(std::string(SettingsFileMessage(SettingsFileStatus::kNotAFile)), "");
    };
    PutHuge(file);
    notRead("huge");
    PutPipe(file);
    notRead("pipe");
    fs::remove(file);
    fs::create_directory(file);
    notRead("folder");
}

TEST_F(MalformedInput, FftSeriesFiles) {
    const fs::path series = dir_ / "doc.FFT";
    for (const data_table::FileCase& c : data_table::Files("malformed/fft-series", 6)) {
        SCOPED_TRACE(c.name);
        std::ofstream(series, std::ios::binary) << c.text;
        Run("y = 1;\n", "W0");
        if (!c.expected.empty()) {
            EXPECT_NE(out_.find(c.expected), std::string::npos) << out_;
        }
    }
    // Never read: a file past the size cap, a pipe (the run would wait for a writer forever),
    // a device that never ends, a folder. Each is named, and the spectrum is not written.
    const auto refused = [&](const char* what, const char* said) {
        SCOPED_TRACE(what);
        Run("y = 1;\n", "W0");
        EXPECT_NE(out_.find("File " + series.string() + said), std::string::npos) << out_;
        EXPECT_EQ(out_.find("FFT is Found!"), std::string::npos) << out_;
        fs::remove(series);
    };
    PutHuge(series);
    refused("huge", " Is Too Large");
    PutPipe(series);
    refused("pipe", " Is Not a Plain File");
    fs::create_symlink("/dev/zero", series);
    refused("device", " Is Not a Plain File");
    fs::create_directory(series);
    refused("folder", " Is a Folder");
    // The file the dialog names is held to the same rule.
    PutPipe(dir_ / "other.FFT");
    core_.defaultShell.fftFile = (dir_ / "other.FFT").string();
    Run("y = 1;\n", "W1");
    EXPECT_NE(out_.find("other.FFT Is Not a Plain File"), std::string::npos) << out_;
}

TEST_F(MalformedInput, JacobianFiles) {
    // Equations the model lacks are skipped, however large their number.
    Compile("x^2 = 4;\n");
    for (const data_table::FileCase& c : data_table::Files("malformed/jacobian-files", 6)) {
        SCOPED_TRACE(c.name);
        std::ofstream(dir_ / "doc.JAC", std::ios::binary) << c.text;
        out_.clear();
        const bool read = ReadJacobianFile(core_);
        EXPECT_EQ(read, c.expected.empty()) << out_;
        if (!c.expected.empty()) {
            EXPECT_NE(out_.find(c.expected), std::string::npos) << out_;
        }
        core_.flags.stop = false;
    }
    // A pipe in its place is never opened: the run would wait for a writer forever.
    PutPipe(dir_ / "doc.JAC");
    out_.clear();
    EXPECT_FALSE(ReadJacobianFile(core_));
    EXPECT_NE(out_.find("doc.JAC Is Not a Plain File"), std::string::npos) << out_;
    EXPECT_NE(out_.find("Jacobian File Incorrect"), std::string::npos) << out_;
    core_.flags.stop = false;
    FreeJacobianRows(core_);
}

TEST_F(MalformedInput, ListFiles) {
    Compile("y = a*x;\n");
    for (const data_table::FileCase& c : data_table::Files("malformed/list-files", 6)) {
        SCOPED_TRACE(c.name);
        Attach(c.text);
        out_.clear();
        ListTable rows;
        EXPECT_TRUE(ReadListFile(core_, rows));
        if (!c.expected.empty()) {
            EXPECT_NE(out_.find(c.expected), std::string::npos) << out_;
        }
        if (c.name == "cr_line_ends") {
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

TEST_F(MalformedInput, CommonFormatFiles) {
    const fs::path input = dir_ / "case.cf", output = dir_ / "case.alg";
    for (const data_table::FileCase& c : data_table::Files("malformed/common-format", 6)) {
        SCOPED_TRACE(c.name);
        std::ofstream(input, std::ios::binary) << c.text;
        const ImportResult r = ConvertCommonFormat(input.string(), output.string());
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(c.expected), std::string::npos) << r.message;
        EXPECT_FALSE(fs::exists(output));
        EXPECT_EQ(scratch_.Get("case.cf"), c.text);
    }
    // What may never end, or is too large, is not read at all (a folder and a device are the
    // golden cases import_folder_as_input and import_device_refused).
    const auto refused = [&](const fs::path& path, const std::string& why) {
        SCOPED_TRACE(path.string());
        const ImportResult r = ConvertCommonFormat(path.string(), output.string());
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find("cannot read \"" + path.string() + "\": " + why),
                  std::string::npos)
            << r.message;
        EXPECT_FALSE(fs::exists(output));
    };
    PutHuge(input);
    refused(input, "larger than " + std::to_string(kMaxDocumentBytes) + " bytes");
    ASSERT_EQ(::mkfifo((dir_ / "pipe.cf").c_str(), 0600), 0);
    refused(dir_ / "pipe.cf", "not a plain file");
}

}  // namespace
