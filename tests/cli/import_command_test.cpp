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

// What is written where, and the refusals of a wrong command line or an unreadable input, are
// the golden import cases; here the outputs that would destroy a file or are no plain file.
TEST_F(ImportCommand, NeverWritesOverItsInputUnderAnyName) {
    const std::string original = Read(In());
    fs::create_directory(dir_ / "sub");
    fs::create_symlink(In(), dir_ / "link.alg");
    fs::create_hard_link(In(), dir_ / "hard.alg");
    fs::copy_file(In(), dir_ / "net.ALG");       // its default output is its own name
    fs::copy_file(In(), dir_ / "case.ALG.new");  // the temporary of its default output
    fs::create_directory(dir_ / "folder.alg");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{(dir_ / "net.ALG").string()}, "the output \"" + (dir_ / "net.ALG").string()},
        {{In(), (dir_ / "sub/../ieee14.cf").string()}, "is the input file itself"},
        {{In(), (dir_ / "link.alg").string()}, "is the input file itself"},
        {{In(), (dir_ / "hard.alg").string()}, "is the input file itself"},
        {{(dir_ / "case.ALG.new").string()},
         "the document is first written to \"" + (dir_ / "case.ALG.new").string()},
        {{In(), (dir_ / "folder.alg").string()}, "cannot write"},
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
    EXPECT_TRUE(fs::is_empty(dir_ / "folder.alg"));
    EXPECT_EQ(RunImport({(dir_ / "missing.cf").string()}).status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "missing.ALG"));
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
