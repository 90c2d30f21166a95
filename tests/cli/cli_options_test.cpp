#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <bitset>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/data_table.h"
#include "scratch_dir.h"

namespace {

// The words of a command line written with single blanks between them; two blanks in a row
// hold an empty word between them, and a trailing blank one at the end.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    if (line.empty()) return words;
    std::size_t from = 0;
    for (std::size_t blank; (blank = line.find(' ', from)) != std::string::npos; from = blank + 1) {
        words.push_back(line.substr(from, blank - from));
    }
    words.push_back(line.substr(from));
    return words;
}

TEST(ParseCommandLineTest, DefaultsAndModes) {
    const ParsedCommandLine p = ParseCommandLine({"run", "doc.alg"});
    ASSERT_TRUE(p.ok) << p.error;
    const CliOptions& o = p.options;
    EXPECT_EQ(o.document, "doc.alg");
    EXPECT_EQ(o.command, "S");
    EXPECT_TRUE(o.solver.given.none());
    EXPECT_FALSE(o.attach || o.seed || o.sweep || o.param || o.fftAxis || o.fftLow || o.results);
    EXPECT_TRUE(o.echo);
    EXPECT_EQ(o.repeat, 1);
    EXPECT_TRUE(o.laterCommands.empty());
    EXPECT_EQ(ParseCommandLine({"check", "doc.alg"}).options.mode, CliOptions::Mode::kCheck);
    EXPECT_EQ(ParseCommandLine({"run", "--help"}).options.mode, CliOptions::Mode::kHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).options.mode, CliOptions::Mode::kVersion);
}

TEST(ParseCommandLineTest, UsageErrors) {
    // Settings outside their domains are the hostile command line's cases; the messages of a
    // range whose start is not below its end and of a capacity below its range are the golden
    // cases sweep_from_not_below_to, param_from_not_below_to and capacity_option_below_range.
    std::ifstream refused(data_table::Folder("cli-usage") + "/refused.txt");
    int count = 0;
    for (std::string line; std::getline(refused, line);) {
        if (line.size() < 2 || line[0] == '#') continue;
        line = line.substr(1, line.size() - 2);
        ++count;
        const ParsedCommandLine p = ParseCommandLine(Words(line));
        EXPECT_TRUE(!p.ok && !p.error.empty()) << "'" << line << "'";
    }
    EXPECT_GE(count, 20);
}

TEST(ApplyOptionsTest, SolverOptionsOverrideOnlyWhatWasGiven) {
    ScratchDir temp;
    const std::string table = temp.Put("t.LST", "x y\n1 2\n3 4\n5 6\n");
    const ParsedCommandLine p = ParseCommandLine(
        Words("run --method homotopy --jacobian incremental --steps 8 --tol-exp -7 --delta-j 0.002 "
              "--delta-t 0.3 --guess-min -1 --guess-max 9 --no-groups --groups --no-simplify "
              "--auto-homotopy --capacity 5000 --attach " +
              table + " doc.alg"));
    ASSERT_TRUE(p.ok) << p.error;
    DocumentSettings d;
    ApplyOptions(p.options, d);
    // The iteration count was not given; of two opposite switches the last wins.
    EXPECT_EQ(std::tuple(d.method, d.jacobianMode, d.maxIterations, d.stepCount),
              std::tuple(SolveMethod::kHomotopy, JacobianMode::kIncremental,
                         SolverOptions{}.maxIterations, 8));
    EXPECT_EQ(std::tuple(d.toleranceExponent, d.deltaJ, d.deltaT, d.minGuess, d.maxGuess),
              std::tuple(-7, 0.002, 0.3, -1.0, 9.0));
    EXPECT_EQ(std::tuple(d.solveInGroups, d.autoSimplify, d.autoHomotopy),
              std::tuple(true, false, true));
    EXPECT_EQ(d.attachmentPath, table);
    // Only the update runs count the table's rows; no other command reads it beforehand.
    EXPECT_EQ(d.updateStepCount, 0u);
    const ParsedCommandLine update = ParseCommandLine({"run", "--attach", table, "doc.alg", "U"});
    ASSERT_TRUE(update.ok) << update.error;
    DocumentSettings u;
    ApplyOptions(update.options, u);
    EXPECT_EQ(u.updateStepCount, 3u);
    EXPECT_EQ(d.capacity, 5000);
    // A check takes the capacity as well, over the one the document had.
    const ParsedCommandLine check = ParseCommandLine({"check", "--capacity", "25", "a.alg"});
    ASSERT_TRUE(check.ok) << check.error;
    d.capacity = 400;
    ApplyOptions(check.options, d);
    EXPECT_EQ(d.capacity, 25);
}

TEST(ConfigureShellServicesTest, ARealSignalHasNoImaginaryColumn) {
    const ParsedCommandLine p =
        ParseCommandLine({"run", "--fft-columns", "t,y,-", "doc.alg", "W0"});
    ASSERT_TRUE(p.ok) << p.error;
    DefaultShellServices s;
    ConfigureShellServices(p.options, s);
    EXPECT_TRUE(s.fftRealSignal);
    FftChoice choice;  // the core's preselection, which the names replace
    ASSERT_TRUE(s.FftDialog({"y", "t", "yi"}, choice));
    EXPECT_EQ(std::tuple(choice.timeColumn, choice.realColumn, choice.imagColumn),
              std::tuple(1, 0, kNoFftColumn));
    s.fftTimeColumn = "time";  // a name the series does not have: nothing to transform
    EXPECT_FALSE(s.FftDialog({"y", "t", "yi"}, choice));
}

TEST(ConfigureShellServicesTest, DialogAnswersAndDisplayFlags) {
    const ParsedCommandLine p = ParseCommandLine(
        Words("run --show-iterations --no-echo --seed 4294967295 --sweep x=-1:3:8 --param "
              "k=-1.5:2e1:3 --fft --fft-file s.FFT --fft-columns t,re,im --fft-axis rad "
              "--fft-range 2:9 doc.alg G"));
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.command, "G");
    EXPECT_EQ(p.options.seed, 4294967295u);
    DefaultShellServices s;
    ConfigureShellServices(p.options, s);
    EXPECT_EQ(std::tuple(s.showIterations, s.showDerivatives, s.showResults),
              std::tuple(true, false, false));
    const SweepChoice& w = s.sweep;
    EXPECT_EQ(std::tuple(s.sweepVariable, w.from, w.to, w.intervals),
              std::tuple("x", -1.0, 3.0, 8));
    EXPECT_EQ(std::tuple(s.parameterVariable, w.secondParameter, w.paramFrom, w.paramTo),
              std::tuple("k", true, -1.5, 20.0));
    EXPECT_EQ(w.paramIntervals, 3);
    EXPECT_TRUE(w.writeFft);
    EXPECT_EQ(std::tuple(s.fftFile, s.fftTimeColumn, s.fftRealColumn, s.fftImagColumn),
              std::tuple("s.FFT", "t", "re", "im"));
    EXPECT_EQ(std::tuple(s.fft.axis, s.fft.lowIndex, s.fft.highIndex), std::tuple(1, 2, 9));
}

// A word the option accepts, made from what its help shows after the name.
std::string SampleArgument(std::string_view argument, std::string_view option = "") {
    if (argument.empty()) return "";
    if (option == "--capacity") return "400";
    if (argument == "N") return "5";
    if (argument == "X") return "0.5";
    if (argument == "LO:HI") return "1:4";
    if (argument == "T,RE,IM") return "t,re,im";
    if (argument == "VAR=FROM:TO:STEPS") return "x=0:1:4";
    if (const auto bar = argument.find('|'); bar != std::string_view::npos) {
        return std::string(argument.substr(0, bar));  // the first keyword
    }
    return "file.LST";
}

// Every option is shown once in the help and parsed as shown, and every solver setting has one.
TEST(CliOptionTableTest, HelpShowsEveryOptionOnceEveryOptionShownIsParsedAndEverySettingHasOne) {
    const std::string help = UsageText();
    std::bitset<kSolverOptionCount> reached;
    for (const CliOption& option : CliOptionTable()) {
        CliOptions o;
        const std::string argument = SampleArgument(option.argument, option.name);
        EXPECT_EQ(option.apply(o, option.name, option.argument.empty() ? nullptr : &argument), "")
            << option.name;
        reached |= o.solver.given;

        std::string synopsis(option.name);
        if (!option.negation.empty()) synopsis += " | " + std::string(option.negation);
        if (!option.argument.empty()) synopsis += " " + std::string(option.argument);
        const std::string start = "\n  " + synopsis + " ";
        const auto at = help.find(start);
        ASSERT_NE(at, std::string::npos) << option.name;
        EXPECT_EQ(help.find(start, at + 1), std::string::npos) << option.name;
        const auto lineEnd = help.find('\n', at + 1);
        EXPECT_TRUE(help.substr(at, lineEnd - at).ends_with(option.help)) << option.name;

        for (std::string_view name : {option.name, option.negation}) {
            if (name.empty()) continue;
            std::vector<std::string> args = {"run", std::string(name)};
            if (!option.argument.empty()) args.push_back(argument);
            args.push_back("doc.alg");
            const ParsedCommandLine p = ParseCommandLine(args);
            EXPECT_TRUE(p.ok) << name << ": " << p.error;
            EXPECT_EQ(p.options.document, "doc.alg") << name << " took the wrong number of words";
        }
    }
    for (const OptionDescription& d : kSolverOptionTable) {
        EXPECT_TRUE(reached[static_cast<std::size_t>(d.option)]) << d.name << " has no option";
    }
}

}  // namespace
