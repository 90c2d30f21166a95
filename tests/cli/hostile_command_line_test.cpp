// The command line as a hostile user types it: values outside their settings' domains, sweeps
// too large or naming the wrong variables, unknown commands, odd files. Each is refused with a
// message naming what is wrong; nothing runs that would lose data or report a false success.

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

TEST(HostileCommandLine, SettingsOutsideTheirDomainAreRefusedNamingTheDomain) {
    struct Case {
        std::vector<std::string> words;
        const char* domain;
    };
    // One case for each way a word can miss: the bounds are the option description's.
    const Case cases[] = {
        {{"--tol-exp", "60"}, "from -34 to 9"},
        {{"--max-iter", "99999999999999999999"}, "from 1 to 1000"},
        {{"--steps", "0"}, "at least 1"},
        {{"--delta-j", "nan"}, "above 1e-47"},
        {{"--delta-t", "inf"}, "below 1e+50"},
        {{"--guess-min", "-1e300"}, "above -1e+50"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"run"};
        args.insert(args.end(), c.words.begin(), c.words.end());
        args.push_back("doc.alg");
        const ParsedCommandLine p = ParseCommandLine(args);
        EXPECT_FALSE(p.ok) << c.words[0] << " " << c.words[1];
        EXPECT_TRUE(Has(p.error, c.words[0]) && Has(p.error, c.domain)) << p.error;
    }
    // The ends of each domain are accepted.
    for (const std::vector<std::string>& words : {std::vector<std::string>{"--tol-exp", "-34"},
                                                  {"--max-iter", "1000"},
                                                  {"--delta-j", "1e-40"}}) {
        EXPECT_TRUE(ParseCommandLine({"run", words[0], words[1], "doc.alg"}).ok) << words[0];
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

TEST(HostileCommandLine, SweepsOfTheWrongVariablesSayWhatIsWrong) {
    const ParsedCommandLine same =
        ParseCommandLine({"run", "--sweep", "a=0:1:3", "--param", "a=0:1:3", "doc.alg", "G"});
    EXPECT_FALSE(same.ok);
    EXPECT_TRUE(Has(same.error, "same variable 'a'")) << same.error;

    ScratchDir s;
    const std::string doc = s.Put("doc.alg", "x = 2*a;\n");
    const Outcome r = Valdrix({"run", "--sweep", "q=0:1:3", doc, "G"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "no variable 'q'") && Has(r.err, " x a")) << r.err;
}

// A sweep the core refuses has produced nothing: the table of the sweep before stays as it was.
TEST(HostileCommandLine, ARefusedSweepKeepsTheOldResultFileByteForByte) {
    ScratchDir s;
    const std::string doc = s.Put("sw2.alg", "y = x^2 + a;\na = 1;\n");
    ASSERT_EQ(Valdrix({"run", "--sweep", "x=0:1:3", doc, "G"}).status, 0);
    const std::string table = s.Get("sw2.PRN");
    ASSERT_EQ(table.rfind("              y              x              a\n", 0), 0u) << table;
    const Outcome refused = Valdrix({"run", "--sweep", "zz=0:1:3", doc, "G"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(Has(refused.err, "no variable 'zz'")) << refused.err;
    EXPECT_EQ(s.Get("sw2.PRN"), table);
    // So does a document that no longer compiles, and a check of it.
    s.Put("sw2.alg", "y = x^2 + ;\n");
    EXPECT_EQ(Valdrix({"run", "--sweep", "x=0:1:3", doc, "G"}).status, 1);
    EXPECT_EQ(Valdrix({"check", doc}).status, 1);
    EXPECT_EQ(s.Get("sw2.PRN"), table);
}

TEST(HostileCommandLine, UnknownCommandsAreNamedAndDoubleDashEndsTheOptions) {
    for (const std::string& command : {std::string("s"), std::string("Z"), std::string("\xFF")}) {
        const ParsedCommandLine p = ParseCommandLine({"run", "doc.alg", command});
        EXPECT_FALSE(p.ok);
        EXPECT_TRUE(Has(p.error, "unknown core command")) << p.error;
        EXPECT_TRUE(Has(p.error, command == "\xFF" ? "byte 255" : "'" + command + "'")) << p.error;
    }
    ParsedCommandLine p = ParseCommandLine({"run", "--", "doc.alg"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.document, "doc.alg");
    p = ParseCommandLine({"run", "--results", "--", "--odd.alg", "S"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.document, "--odd.alg");
    EXPECT_TRUE(p.options.results);
}

TEST(HostileCommandLine, DocumentsThatCannotBeReadWholeAreRefusedUntouched) {
    ScratchDir s;
    // A work file's name: the run would write over the document.
    const std::string text = "x = 2;\n";
    for (const char* name : {"model.PRN", "model.TMP", "model.JAC", "model.FFT"}) {
        const Outcome r = Valdrix({"run", s.Put(name, text)});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(Has(r.err, "rename it")) << r.err;
        EXPECT_EQ(s.Get(name), text) << name;
        EXPECT_EQ(Valdrix({"check", (s.dir / name).string()}).status, 2);
        EXPECT_EQ(s.Get(name), text) << name;
    }
    // A folder, a device that never ends, a file past the size cap.
    fs::create_directory(s.dir / "dir.alg");
    EXPECT_TRUE(Has(Valdrix({"check", (s.dir / "dir.alg").string()}).err, "it is a folder"));
    if (fs::exists("/dev/zero")) {
        fs::create_symlink("/dev/zero", s.dir / "zero.alg");
        const Outcome r = Valdrix({"run", (s.dir / "zero.alg").string()});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(Has(r.err, "not a plain file")) << r.err;
    }
    const std::string big = s.Put("big.alg", "");
    fs::resize_file(big, kMaxDocumentBytes + 1);  // sparse: no real space taken
    const Outcome tooBig = Valdrix({"check", big});
    EXPECT_EQ(tooBig.status, 2);
    EXPECT_TRUE(Has(tooBig.err, "larger than")) << tooBig.err;
}

TEST(HostileCommandLine, TheAttachmentIsReadOnlyByTheCommandsThatUseIt) {
    ScratchDir s;
    const std::string doc = s.Put("doc.alg", "x = 2;\n");
    if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
    // A solve never touches the table; an update run refuses one it could not read whole.
    EXPECT_EQ(Valdrix({"run", "--attach", "/dev/zero", doc}).status, 0);
    const Outcome update = Valdrix({"run", "--attach", "/dev/zero", doc, "US"});
    EXPECT_EQ(update.status, 2);
    EXPECT_TRUE(Has(update.err, "--attach") && Has(update.err, "not a plain file")) << update.err;
}

TEST(HostileCommandLine, TheSeriesFileAndTheSideFileAreReadOnlyWhenPlainFiles) {
    ScratchDir s;
    const std::string doc = s.Put("doc.alg", "x = 2;\n");
    if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
    // W reads the chosen series whole: a device that never ends is refused before the run.
    const Outcome series = Valdrix({"run", "--fft-file", "/dev/zero", doc, "W"});
    EXPECT_EQ(series.status, 2);
    EXPECT_TRUE(Has(series.err, "--fft-file") && Has(series.err, "not a plain file")) << series.err;
    EXPECT_EQ(series.out, "");
    // W0 reads the document's own series, not the chosen one: there is none, so nothing is
    // done, whatever an earlier run of the process solved.
    EXPECT_EQ(Valdrix({"run", "--fft-file", "/dev/zero", doc, "W0"}).status, 1);
    // A pipe as the side file would hold every run: it is named and left unread.
    ASSERT_EQ(::mkfifo((s.dir / "doc.VDP").c_str(), 0600), 0);
    const Outcome side = Valdrix({"run", doc});
    EXPECT_EQ(side.status, 0) << side.err;
    EXPECT_TRUE(Has(side.err, "doc.VDP: Not a plain file")) << side.err;
}

TEST(HostileCommandLine, TheStatusTellsWhetherEveryCommandDidItsWork) {
    ScratchDir s;
    const std::string doc = s.Put("doc.alg", "x^2 + y^2 = 25;\ny = 2*x - 2;\n");
    // The solve leaves a solution; the spectrum after it has no series to read.
    EXPECT_EQ(Valdrix({"run", doc}).status, 0);
    EXPECT_EQ(Valdrix({"run", doc, "S", "W0"}).status, 1);
    s.Put("doc.FFT", "t y\n0 1\n1 2\n2 1\n3 0\n");
    EXPECT_EQ(Valdrix({"run", doc, "S", "W0"}).status, 0);
    EXPECT_EQ(Valdrix({"run", doc, "W0"}).status, 0);
    EXPECT_EQ(Valdrix({"run", doc, "AT"}).status, 0);
    // W without '0' needs the series named on the command line.
    const ParsedCommandLine p = ParseCommandLine({"run", doc, "S", "W1"});
    EXPECT_FALSE(p.ok);
    EXPECT_TRUE(Has(p.error, "--fft-file")) << p.error;
}

TEST(HostileCommandLine, AResultFileThatCannotBeWrittenIsNeverASuccess) {
    ScratchDir s;
    const std::string doc = s.Put("doc.alg", "x = 2;\n");
    fs::create_directory(s.dir / "doc.PRN");
    const Outcome r = Valdrix({"run", doc});
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(Has(r.out, "Solution Found!")) << r.out;
    EXPECT_TRUE(Has(r.out, "a folder has that name")) << r.out;
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

// A symbol of the single-byte documents reaches the terminal as UTF-8.
// The tank of the golden update cases: q is the inflow, h settles where k*SQRT(h) = q.
constexpr const char* kTank = "q = k*SQRT(h);\nk = 0.5;\nq \xbb 0.25;\nh \xbb 0.5;\n";

// The command line counts the table's rows as the core reads them: a carriage return alone
// ends a line there, so a table with the old Macintosh line ends gets all its steps.
TEST(RunDocument, AnUpdateTableWithCarriageReturnsAloneGetsEveryRow) {
    ScratchDir s;
    const std::string doc = s.Put("tank.alg", kTank);
    const Outcome r =
        Valdrix({"run", "--attach", s.Put("cr.LST", "q\r0.5\r1.0\r1.5\r"), doc, "US"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(Has(r.out, "Number of Steps:    4")) << r.out;
    const std::string table = s.Get("tank.PRN");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 5) << table;  // header, 4 steps
    EXPECT_TRUE(Has(table, "      1.5000000      0.5000000")) << table;
}

// A cell of nan would be held by its fixing equation, and a NaN residual passed for converged:
// it is no number of a table, read as 0 like any other text that is none.
TEST(RunDocument, AnUpdateCellOfNanIsNoNumber) {
    ScratchDir s;
    const std::string doc = s.Put("line.alg", "y = 2*x + 1;\nx \xbb 3;\n");
    const Outcome r = Valdrix({"run", "--attach", s.Put("x.LST", "x\nnan\n1.0\n"), doc, "US"});
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string table = s.Get("line.PRN");
    EXPECT_FALSE(Has(table, "nan")) << table;
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4) << table;
    EXPECT_TRUE(Has(table, "      1.0000000      0.0000000\n")) << table;  // x = 0
}

// US then UI in one run: the write-back leaves the table of the steps in place, and a write-back
// that cannot be written is no success.
TEST(RunDocument, AWriteBackKeepsTheResultsAndItsFailureIsNoSuccess) {
    ScratchDir s;
    const std::string doc = s.Put("tank.alg", kTank);
    const std::string table = s.Put("T.LST", "q\n0.5\n1.0\n");
    EXPECT_EQ(Valdrix({"run", "--attach", table, doc, "US", "UI"}).status, 0);
    const std::string rows = s.Get("tank.PRN");
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 4) << rows;
    EXPECT_TRUE(Has(s.Get("tank.UPD"), "q \xbb 1.000000;")) << s.Get("tank.UPD");

    fs::remove(s.dir / "tank.UPD");
    fs::create_directory(s.dir / "tank.UPD");
    const Outcome failed = Valdrix({"run", "--attach", table, doc, "US", "UI"});
    EXPECT_NE(failed.status, 0);
    EXPECT_TRUE(Has(failed.out, "Cannot write " + (s.dir / "tank.UPD").string())) << failed.out;
    EXPECT_EQ(s.Get("tank.PRN"), rows);
    // The last command of the run is not the only one that counts.
    EXPECT_NE(Valdrix({"run", "--attach", table, doc, "US", "UI", "US"}).status, 0);
}

// base.UPD is written as base.UPD.new and renamed: a document or an attachment of that name
// would be carried off. Both are refused before anything is written.
TEST(RunDocument, TheTemporaryNameOfTheWriteBackIsNeitherDocumentNorAttachment) {
    ScratchDir s;
    const std::string doc = s.Put("doc.UPD.new", kTank);
    const Outcome asDocument = Valdrix({"run", doc, "S", "UI"});
    EXPECT_EQ(asDocument.status, 2);
    EXPECT_TRUE(Has(asDocument.err, "rename it")) << asDocument.err;
    EXPECT_EQ(s.Get("doc.UPD.new"), kTank);
    EXPECT_FALSE(fs::exists(s.dir / "doc.UPD"));

    const std::string other = s.Put("doc.alg", kTank);
    const Outcome asAttachment = Valdrix({"run", "--attach", doc, other, "US", "UI"});
    EXPECT_EQ(asAttachment.status, 2);
    EXPECT_TRUE(Has(asAttachment.err, "--attach") && Has(asAttachment.err, "rename it"))
        << asAttachment.err;
    EXPECT_EQ(s.Get("doc.UPD.new"), kTank);
    EXPECT_FALSE(fs::exists(s.dir / "doc.UPD"));
}

TEST(RunDocument, SymbolsReachTheTerminalAsUtf8) {
    ScratchDir s;
    const Outcome r = Valdrix({"run", "--results", s.Put("doc.alg", "\xe1 = 2;\n")});
    EXPECT_TRUE(Has(r.out, "\xce\xb1=2.000000000000000")) << r.out;  // a variable named alpha
}

}  // namespace
