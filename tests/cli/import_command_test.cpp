#include "cli/import_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "import/cf_text.h"
#include "scratch_dir.h"

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

class ImportCommand : public ::testing::Test, protected ScratchDir {
   protected:
    void SetUp() override { fs::copy_file(CasePath("crlf/ieee14.cf"), In()); }
    std::string In() const { return File("ieee14.cf"); }
};

}  // namespace

// What is written where, and the refusals of a wrong command line or an unreadable input, are
// the golden import cases; here the outputs that would destroy a file or are no plain file.
TEST_F(ImportCommand, NeverWritesOverItsInputUnderAnyName) {
    const std::string original = Get("ieee14.cf");
    fs::create_directory(dir / "sub");
    fs::create_symlink(In(), dir / "link.alg");
    fs::create_hard_link(In(), dir / "hard.alg");
    fs::copy_file(In(), dir / "net.ALG");       // its default output is its own name
    fs::copy_file(In(), dir / "case.ALG.new");  // the temporary of its default output
    fs::create_directory(dir / "folder.alg");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{(dir / "net.ALG").string()}, "the output \"" + (dir / "net.ALG").string()},
        {{In(), (dir / "sub/../ieee14.cf").string()}, "is the input file itself"},
        {{In(), (dir / "link.alg").string()}, "is the input file itself"},
        {{In(), (dir / "hard.alg").string()}, "is the input file itself"},
        {{(dir / "case.ALG.new").string()},
         "the document is first written to \"" + (dir / "case.ALG.new").string()},
        {{In(), (dir / "folder.alg").string()}, "cannot write"},
    };
    for (const auto& [args, reason] : cases) {
        const CommandRun r = RunImport(args);
        EXPECT_EQ(r.status, 1) << reason;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
    for (const char* name : {"ieee14.cf", "link.alg", "hard.alg", "net.ALG", "case.ALG.new"}) {
        EXPECT_TRUE(Get(name) == original) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.alg"));
    EXPECT_FALSE(fs::exists(dir / "case.ALG"));
    EXPECT_TRUE(fs::is_empty(dir / "folder.alg"));
    EXPECT_EQ(RunImport({(dir / "missing.cf").string()}).status, 1);
    EXPECT_FALSE(fs::exists(dir / "missing.ALG"));
}

TEST_F(ImportCommand, APipeAsOutputReceivesTheDocumentAndStaysAPipe) {
    const fs::path pipe = dir / "out.alg";
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
    EXPECT_FALSE(fs::exists(dir / "out.alg.new"));
}
