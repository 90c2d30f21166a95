#include "cli/import_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
    std::string Read(const fs::path& path) const {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }
    fs::path dir_;
};

}  // namespace

TEST_F(ImportCommand, WritesBesideTheInputOrToTheNamedOutputAndSaysWhere) {
    const CommandRun r = RunImport({In()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Power Flow equations formed and stored to the file \"" +
                         (dir_ / "ieee14.ALG").string() + "\"\n");
    ASSERT_EQ(RunImport({"--full-model", In(), (dir_ / "full.alg").string()}).status, 0);
    std::stringstream plain, full;
    plain << std::ifstream(dir_ / "ieee14.ALG").rdbuf();
    full << std::ifstream(dir_ / "full.alg").rdbuf();
    EXPECT_EQ(plain.str().rfind("{Options: CAPACITY=57}\n{Generated from CF File Format}\n", 0),
              0u);
    // The tap of 0.969 between buses 4 and 9 scales their mutual susceptance 1.797979.
    EXPECT_NE(plain.str().find("+v9*1.797979*SIN(a4-a9)"), std::string::npos);
    EXPECT_NE(full.str().find("+v9*1.855500*SIN(a4-a9)"), std::string::npos);
}

// 2 when the command line is wrong, 1 when the import refuses or cannot write; always why.
TEST_F(ImportCommand, FailuresExitWithTheirStatusAndAnExplanation) {
    fs::create_directory(dir_ / "folder.alg");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* reason;
    };
    const Case cases[] = {
        {{}, 2, "expected an input file"},
        {{In(), "a.alg", "b.alg"}, 2, "expected an input file"},
        {{"--full", In()}, 2, "unknown option '--full'"},
        {{(dir_ / "missing.cf").string()}, 1, "cannot read"},
        {{dir_.string()}, 1, "cannot read"},
        {{In(), (dir_ / "folder.alg").string()}, 1, "cannot write"},
        {{In(), (dir_ / "no/such/folder.alg").string()}, 1, "cannot write"},
    };
    for (const Case& c : cases) {
        const CommandRun r = RunImport(c.args);
        EXPECT_EQ(r.status, c.status) << c.reason;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing.ALG"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder.alg"));
}

TEST_F(ImportCommand, NeverWritesOverItsInputUnderAnyName) {
    const std::string original = Read(In());
    fs::create_directory(dir_ / "sub");
    fs::create_symlink(In(), dir_ / "link.alg");
    fs::create_hard_link(In(), dir_ / "hard.alg");
    fs::copy_file(In(), dir_ / "net.ALG");       // its default output is its own name
    fs::copy_file(In(), dir_ / "case.ALG.new");  // the temporary of its default output
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{(dir_ / "net.ALG").string()}, "the output \"" + (dir_ / "net.ALG").string()},
        {{In(), (dir_ / "sub/../ieee14.cf").string()}, "is the input file itself"},
        {{In(), (dir_ / "link.alg").string()}, "is the input file itself"},
        {{In(), (dir_ / "hard.alg").string()}, "is the input file itself"},
        {{(dir_ / "case.ALG.new").string()},
         "the document is first written to \"" + (dir_ / "case.ALG.new").string()},
    };
    for (const auto& [args, reason] : cases) {
        const CommandRun r = RunImport(args);
        EXPECT_EQ(r.status, 1) << reason;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
    for (const char* name : {"ieee14.cf", "link.alg", "hard.alg", "net.ALG", "case.ALG.new"}) {
        EXPECT_TRUE(Read(dir_ / name) == original) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.alg"));
    EXPECT_FALSE(fs::exists(dir_ / "case.ALG"));
}

TEST_F(ImportCommand, APipeAsOutputReceivesTheDocumentAndStaysAPipe) {
    const fs::path pipe = dir_ / "out.alg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Held open for reading and writing, the pipe never blocks the import, which writes less
    // than the pipe holds; a pipe replaced by a plain file leaves nothing to read here.
    const int fd = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const CommandRun r = RunImport({In(), pipe.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string received(65536, '\0');
    const ssize_t n = ::read(fd, received.data(), received.size());
    ::close(fd);
    received.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    EXPECT_EQ(received.rfind("{Options: CAPACITY=57}\n{Generated from CF File Format}\n", 0), 0u)
        << received.substr(0, 80);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_FALSE(fs::exists(dir_ / "out.alg.new"));
}
