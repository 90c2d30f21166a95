#include "cli/import_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status = 0;
    std::string out, err;
};

CommandRun RunImport(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    CommandRun r;
    r.status = RunImportCommand(static_cast<int>(argv.size()), argv.data(), out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

class ImportCommand : public ::testing::Test {
   protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("valdrix_import_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        const char* root = std::getenv("VALDRIX_SOURCE_DIR");
        fs::copy_file(fs::path(root != nullptr ? root : ".") / "tests/data/ieee-cdf/crlf/ieee14.cf",
                      dir_ / "ieee14.cf");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string In() const { return (dir_ / "ieee14.cf").string(); }
    fs::path dir_;
};

}  // namespace

TEST_F(ImportCommand, WritesBesideTheInputOrToTheNamedOutputAndSaysWhere) {
    const CommandRun r = RunImport({In()});
    EXPECT_EQ(r.status, 0) << r.err;
    // The command's runs start at the default capacity, which the 14-bus case passes.
    EXPECT_EQ(r.out, "Power Flow equations formed and stored to the file \"" +
                         (dir_ / "ieee14.ALG").string() +
                         "\"\nThe document holds 57 statements (equations, settings and "
                         "starting values), more than the capacity of 25: solve it with a "
                         "capacity of 57 or more (the CAPACITY option).\n");
    ASSERT_EQ(RunImport({"--full-model", In(), (dir_ / "full.alg").string()}).status, 0);
    std::stringstream plain, full;
    plain << std::ifstream(dir_ / "ieee14.ALG").rdbuf();
    full << std::ifstream(dir_ / "full.alg").rdbuf();
    EXPECT_EQ(plain.str().rfind("{Generated from CF File Format}\n", 0), 0u);
    // The tap of 0.969 between buses 4 and 9 scales their mutual susceptance 1.797979.
    EXPECT_NE(plain.str().find("+v9*1.797979*SIN(a4-a9)"), std::string::npos);
    EXPECT_NE(full.str().find("+v9*1.855500*SIN(a4-a9)"), std::string::npos);
}

TEST_F(ImportCommand, FailuresExitWithAStatusAndAnExplanation) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
        int status;  // 2 for a wrong command line, 1 for an input that is refused
    };
    const Case cases[] = {
        {{}, "expected an input file", 2},
        {{In(), "a.alg", "b.alg"}, "expected an input file", 2},
        {{"--full", In()}, "unknown option '--full'", 2},
        {{(dir_ / "missing.cf").string()}, "cannot read", 1},
        {{dir_.string()}, "cannot read", 1},
    };
    for (const auto& [args, reason, status] : cases) {
        const CommandRun r = RunImport(args);
        EXPECT_EQ(r.status, status) << reason;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing.ALG"));
}
