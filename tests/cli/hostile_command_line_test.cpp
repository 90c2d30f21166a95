// The command line as a hostile user types it: values outside their settings' domains, sweeps
// too large, odd files. Each is refused with a message naming what is wrong; nothing runs that
// would lose data or report a false success. The refusals that show on the terminal alone
// (settings outside their domains, unknown commands, documents and attachments named like the
// run's files, devices as the document, the attachment or the series) are golden cases.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/run_document.h"
#include "core/base/bounds.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = 0;
    std::string out, err;
};

std::string Slurp(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

// Parses the words as the program would and runs the document; a usage error is status 2.
Outcome Valdrix(const std::vector<std::string>& args) {
    const ParsedCommandLine p = ParseCommandLine(args);
    if (!p.ok) return {2, "", p.error};
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Outcome r;
    r.status = RunDocument(p.options, out, err);
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A value outside its domain is refused naming the option and the domain (the golden cases
// option_*); the ends of the domains are accepted.
TEST(HostileCommandLine, TheEndsOfTheSettingsDomainsAreAccepted) {
    for (const auto& [option, value] :
         {std::pair{"--tol-exp", "-34"}, {"--max-iter", "1000"}, {"--delta-j", "1e-40"}}) {
        EXPECT_TRUE(ParseCommandLine({"run", option, value, "doc.alg"}).ok) << option;
    }
}

TEST(HostileCommandLine, SweepStepsAreBoundedAndTheirProductNeverOverflows) {
    const auto sweep = [](const std::string& a, const std::string& b) {
        std::vector<std::string> args = {"run", "--sweep", a};
        if (!b.empty()) args.insert(args.end(), {"--param", b});
        args.insert(args.end(), {"doc.alg", "G"});
        return ParseCommandLine(args);
    };
    // 131072 * 32768 = 2^32 steps: once a signed overflow and a silent empty run.
    ParsedCommandLine p = sweep("a=0.1:1.5:131071", "v=1:2:32767");
    EXPECT_FALSE(p.ok);
    EXPECT_TRUE(Has(p.error, "4294967296 steps") && Has(p.error, "at most 1000000")) << p.error;
    EXPECT_TRUE(sweep("a=0:1:999", "v=0:1:999").ok);  // exactly the bound
    EXPECT_FALSE(sweep("a=0:1:1000", "v=0:1:999").ok);
    EXPECT_TRUE(sweep("a=0:1:999999", "").ok);
    EXPECT_FALSE(sweep("a=0:1:1000000", "").ok);
    EXPECT_EQ(SweepStepCount(2147483647, 2147483647), 4611686018427387904LL);
}

// What cannot be read whole is refused before the core is reached: a file past the size cap, a
// pipe in the place of the side file (a device as the document is the golden case
// document_device_refused).
TEST(HostileCommandLine, DocumentsThatCannotBeReadWholeAreRefused) {
    ScratchDir s;
    const std::string big = s.Put("big.alg", "");
    fs::resize_file(big, kMaxDocumentBytes + 1);  // sparse: no real space taken
    const Outcome tooBig = Valdrix({"check", big});
    EXPECT_EQ(tooBig.status, 2);
    EXPECT_TRUE(Has(tooBig.err, "larger than")) << tooBig.err;
    // A pipe as the side file would hold every run: it is named and left unread.
    const std::string doc = s.Put("doc.alg", "x = 2;\n");
    ASSERT_EQ(::mkfifo((s.dir / "doc.VDP").c_str(), 0600), 0);
    const Outcome side = Valdrix({"run", doc});
    EXPECT_EQ(side.status, 0) << side.err;
    EXPECT_TRUE(Has(side.err, "doc.VDP: Not a plain file")) << side.err;
}

// The measured runs go to the terminal as any run does; the summary of their times comes last.
TEST(RunDocument, RepeatReportsTheRunTimesLast) {
    ScratchDir s;
    const Outcome r = Valdrix({"run", "--repeat", "3", s.Put("doc.alg", "x = 2;\n")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.rfind("repeat: 3 runs, median ", 0), 0u) << r.err;
    int banners = 0;
    for (auto p = r.out.find("VALDRIX Version"); p != std::string::npos;
         p = r.out.find("VALDRIX Version", p + 1)) {
        ++banners;
    }
    EXPECT_EQ(banners, 3);
}

}  // namespace
