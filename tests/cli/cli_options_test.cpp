#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

ParsedCommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// ---------------------------------------------------------------- accepted options

struct OptionCase {
    std::vector<std::string> options;  // placed between "run" and the document
    std::function<void(const CliOptions&)> check;
};

class AcceptedOptionTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(AcceptedOptionTest, ParsesIntoItsField) {
    std::vector<std::string> args{"run"};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    args.push_back("doc.alg");
    const ParsedCommandLine p = ParseCommandLine(args);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.document, "doc.alg");
    GetParam().check(p.options);
}

INSTANTIATE_TEST_SUITE_P(
    Options, AcceptedOptionTest,
    ::testing::Values(
        OptionCase{{"--method", "newton"}, [](const CliOptions& o) { EXPECT_EQ(o.method, 0u); }},
        OptionCase{{"--method", "robust"}, [](const CliOptions& o) { EXPECT_EQ(o.method, 1u); }},
        OptionCase{{"--method", "dishonest"}, [](const CliOptions& o) { EXPECT_EQ(o.method, 2u); }},
        OptionCase{{"--method", "homotopy"}, [](const CliOptions& o) { EXPECT_EQ(o.method, 3u); }},
        OptionCase{{"--jacobian", "exact"}, [](const CliOptions& o) { EXPECT_EQ(o.jacobian, 0u); }},
        OptionCase{{"--jacobian", "incremental"}, [](const CliOptions& o) { EXPECT_EQ(o.jacobian, 1u); }},
        OptionCase{{"--max-iter", "250"}, [](const CliOptions& o) { EXPECT_EQ(o.maxIterations, 250u); }},
        OptionCase{{"--tol-exp", "-8"}, [](const CliOptions& o) { EXPECT_EQ(o.toleranceExponent, -8); }},
        OptionCase{{"--steps", "12"}, [](const CliOptions& o) { EXPECT_EQ(o.steps, 12u); }},
        OptionCase{{"--delta-j", "1e-5"}, [](const CliOptions& o) { EXPECT_EQ(o.deltaJ, 1e-5); }},
        OptionCase{{"--delta-t", "0.05"}, [](const CliOptions& o) { EXPECT_EQ(o.deltaT, 0.05); }},
        OptionCase{{"--guess-min", "-2"}, [](const CliOptions& o) { EXPECT_EQ(o.guessMin, -2.0); }},
        OptionCase{{"--guess-max", "4.5"}, [](const CliOptions& o) { EXPECT_EQ(o.guessMax, 4.5); }},
        OptionCase{{"--groups"}, [](const CliOptions& o) { EXPECT_EQ(o.groups, true); }},
        OptionCase{{"--no-groups"}, [](const CliOptions& o) { EXPECT_EQ(o.groups, false); }},
        OptionCase{{"--simplify"}, [](const CliOptions& o) { EXPECT_EQ(o.simplify, true); }},
        OptionCase{{"--no-simplify"}, [](const CliOptions& o) { EXPECT_EQ(o.simplify, false); }},
        OptionCase{{"--auto-homotopy"}, [](const CliOptions& o) { EXPECT_EQ(o.autoHomotopy, true); }},
        OptionCase{{"--no-auto-homotopy"}, [](const CliOptions& o) { EXPECT_EQ(o.autoHomotopy, false); }},
        OptionCase{{"--attach", "t.LST"}, [](const CliOptions& o) { EXPECT_EQ(o.attach, "t.LST"); }},
        OptionCase{{"--show-iterations"}, [](const CliOptions& o) { EXPECT_TRUE(o.showIterations); }},
        OptionCase{{"--show-derivatives"}, [](const CliOptions& o) { EXPECT_TRUE(o.showDerivatives); }},
        OptionCase{{"--no-echo"}, [](const CliOptions& o) { EXPECT_FALSE(o.echo); }},
        OptionCase{{"--no-echo", "--echo"}, [](const CliOptions& o) { EXPECT_TRUE(o.echo); }},
        OptionCase{{"--seed", "4294967295"}, [](const CliOptions& o) { EXPECT_EQ(o.seed, 4294967295u); }},
        OptionCase{{"--sweep", "x=0:1:10"},
                   [](const CliOptions& o) {
                       ASSERT_TRUE(o.sweep.has_value());
                       EXPECT_EQ(o.sweep->variable, "x");
                       EXPECT_EQ(o.sweep->from, 0.0);
                       EXPECT_EQ(o.sweep->to, 1.0);
                       EXPECT_EQ(o.sweep->steps, 10);
                   }},
        OptionCase{{"--param", "k=-1.5:2e1:3"},
                   [](const CliOptions& o) {
                       ASSERT_TRUE(o.param.has_value());
                       EXPECT_EQ(o.param->variable, "k");
                       EXPECT_EQ(o.param->from, -1.5);
                       EXPECT_EQ(o.param->to, 20.0);
                       EXPECT_EQ(o.param->steps, 3);
                   }},
        OptionCase{{"--fft"}, [](const CliOptions& o) { EXPECT_TRUE(o.fft); }},
        OptionCase{{"--fft-file", "s.FFT"}, [](const CliOptions& o) { EXPECT_EQ(o.fftFile, "s.FFT"); }},
        OptionCase{{"--fft-columns", "t,re,im"},
                   [](const CliOptions& o) {
                       EXPECT_EQ(o.fftColumns, (std::vector<std::string>{"t", "re", "im"}));
                   }},
        OptionCase{{"--fft-axis", "hz"}, [](const CliOptions& o) { EXPECT_EQ(o.fftAxis, 0); }},
        OptionCase{{"--fft-axis", "rad"}, [](const CliOptions& o) { EXPECT_EQ(o.fftAxis, 1); }},
        OptionCase{{"--fft-axis", "index"}, [](const CliOptions& o) { EXPECT_EQ(o.fftAxis, 2); }},
        OptionCase{{"--fft-range", "3:3"},
                   [](const CliOptions& o) {
                       EXPECT_EQ(o.fftLow, 3);
                       EXPECT_EQ(o.fftHigh, 3);
                   }},
        OptionCase{{"--results"}, [](const CliOptions& o) { EXPECT_TRUE(o.results); }},
        OptionCase{{"--repeat", "5"}, [](const CliOptions& o) { EXPECT_EQ(o.repeat, 5); }}));

TEST(ParseCommandLineTest, NothingSetWithoutOptions) {
    const ParsedCommandLine p = Parse({"run", "doc.alg"});
    ASSERT_TRUE(p.ok) << p.error;
    const CliOptions& o = p.options;
    EXPECT_EQ(o.mode, CliOptions::Mode::kRun);
    EXPECT_EQ(o.command, "S");
    EXPECT_FALSE(o.method || o.jacobian || o.maxIterations || o.steps || o.toleranceExponent);
    EXPECT_FALSE(o.deltaJ || o.deltaT || o.guessMin || o.guessMax || o.groups || o.simplify);
    EXPECT_FALSE(o.autoHomotopy || o.attach || o.seed || o.sweep || o.param || o.fftAxis);
    EXPECT_TRUE(o.echo);
    EXPECT_FALSE(o.results);
    EXPECT_EQ(o.repeat, 1);
}

TEST(ParseCommandLineTest, PositionalsAndModes) {
    ParsedCommandLine p = Parse({"run", "--results", "doc.alg", "F"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.document, "doc.alg");
    EXPECT_EQ(p.options.command, "F");

    p = Parse({"check", "doc.alg"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, CliOptions::Mode::kCheck);
    EXPECT_EQ(p.options.document, "doc.alg");

    p = Parse({"--help"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.mode, CliOptions::Mode::kHelp);
    p = Parse({"run", "--help"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.mode, CliOptions::Mode::kHelp);
    p = Parse({"--version"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.mode, CliOptions::Mode::kVersion);
}

// ---------------------------------------------------------------- usage errors

TEST(ParseCommandLineTest, BadCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"solve", "doc.alg"},
        {"run"},
        {"run", "a.alg", "S", "extra"},
        {"check", "a.alg", "S"},
        {"run", "doc.alg", ""},
        {"run", "--bogus", "doc.alg"},
        {"run", "--method", "fast", "doc.alg"},
        {"run", "doc.alg", "--method"},
        {"run", "--jacobian", "symbolic", "doc.alg"},
        {"run", "--max-iter", "0", "doc.alg"},
        {"run", "--max-iter", "12x", "doc.alg"},
        {"run", "--tol-exp", "-100", "doc.alg"},
        {"run", "--steps", "-1", "doc.alg"},
        {"run", "--delta-j", "abc", "doc.alg"},
        {"run", "--delta-t", "inf", "doc.alg"},
        {"run", "--guess-max", "", "doc.alg"},
        {"run", "--attach", "", "doc.alg"},
        {"run", "--seed", "-1", "doc.alg"},
        {"run", "--seed", "4294967296", "doc.alg"},
        {"run", "--sweep", "0:1:10", "doc.alg"},
        {"run", "--sweep", "x=0:1", "doc.alg"},
        {"run", "--sweep", "x=0:1:0", "doc.alg"},
        {"run", "--param", "k=a:1:2", "doc.alg"},
        {"run", "--fft-file", "", "doc.alg"},
        {"run", "--fft-columns", "t,re", "doc.alg"},
        {"run", "--fft-columns", "t,re,im,x", "doc.alg"},
        {"run", "--fft-axis", "khz", "doc.alg"},
        {"run", "--fft-range", "5:2", "doc.alg"},
        {"run", "--fft-range", "5", "doc.alg"},
        {"run", "--repeat", "0", "doc.alg"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += "[" + a + "]";
        const ParsedCommandLine p = ParseCommandLine(args);
        EXPECT_FALSE(p.ok) << joined;
        EXPECT_FALSE(p.error.empty()) << joined;
    }
}

TEST(ParseCommandLineTest, SweepRangeMustRise) {
    const std::string message = "Value \"From\" must be less than \"To\" value!!";
    for (const char* option : {"--sweep", "--param"}) {
        for (const char* range : {"x=1:0:10", "x=2:2:4"}) {
            const ParsedCommandLine p = Parse({"run", option, range, "doc.alg"});
            EXPECT_FALSE(p.ok);
            EXPECT_TRUE(EndsWith(p.error, message)) << p.error;
        }
    }
}

// ---------------------------------------------------------------- applying the options

class CliFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("valdrix_cli_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Put(const std::string& leaf, const std::string& text) const {
        std::ofstream((dir_ / leaf).string(), std::ios::binary) << text;
        return (dir_ / leaf).string();
    }
    fs::path dir_;
};

TEST_F(CliFilesTest, ApplyOptionsOverridesOnlyWhatWasGiven) {
    DocumentSettings untouched;
    ApplyOptions(Parse({"run", "doc.alg"}).options, untouched);
    EXPECT_EQ(untouched.maxIterations, 10u);
    EXPECT_EQ(untouched.solveInGroups, 1u);
    EXPECT_EQ(untouched.attachmentPath, "");

    const std::string table = Put("t.LST", "x y\n1 2\n3 4\n5 6\n");
    const ParsedCommandLine p =
        Parse({"run", "--method", "homotopy", "--jacobian", "incremental", "--max-iter", "40",
               "--steps", "8", "--tol-exp", "-7", "--delta-j", "0.002", "--delta-t", "0.3",
               "--guess-min", "-1", "--guess-max", "9", "--no-groups", "--no-simplify",
               "--auto-homotopy", "--attach", table, "doc.alg"});
    ASSERT_TRUE(p.ok) << p.error;
    DocumentSettings d;
    d.differentialMethod = 2;
    ApplyOptions(p.options, d);
    EXPECT_EQ(d.method, 3u);
    EXPECT_EQ(d.jacobianMethod, 1u);
    EXPECT_EQ(d.maxIterations, 40u);
    EXPECT_EQ(d.repetitions, 8u);
    EXPECT_EQ(d.toleranceExponent, -7);
    EXPECT_EQ(d.deltaJ, 0.002);
    EXPECT_EQ(d.deltaT, 0.3);
    EXPECT_EQ(d.minGuess, -1.0);
    EXPECT_EQ(d.maxGuess, 9.0);
    EXPECT_EQ(d.solveInGroups, 0u);
    EXPECT_EQ(d.autoSimplify, 0u);
    EXPECT_EQ(d.autoHomotopy, 1u);
    EXPECT_EQ(d.attachmentPath, table);
    EXPECT_EQ(d.updateStepCount, 3u);
    EXPECT_EQ(d.differentialMethod, 2u);
}

TEST(ConfigureShellServicesTest, SetsDialogAnswersAndDisplayFlags) {
    const ParsedCommandLine p =
        Parse({"run", "--show-iterations", "--show-derivatives", "--no-echo", "--sweep", "x=-1:3:8",
               "--param", "k=0:5:2", "--fft", "--fft-file", "s.FFT", "--fft-columns", "t,re,im",
               "--fft-axis", "rad", "--fft-range", "2:9", "doc.alg", "G"});
    ASSERT_TRUE(p.ok) << p.error;
    DefaultShellServices s;
    ConfigureShellServices(p.options, s);
    EXPECT_TRUE(s.showIterations);
    EXPECT_TRUE(s.showDerivatives);
    EXPECT_FALSE(s.showResults);
    EXPECT_EQ(s.sweepVariable, "x");
    EXPECT_EQ(s.sweep.from, -1.0);
    EXPECT_EQ(s.sweep.to, 3.0);
    EXPECT_EQ(s.sweep.intervals, 8);
    EXPECT_EQ(s.parameterVariable, "k");
    EXPECT_TRUE(s.sweep.secondParameter);
    EXPECT_EQ(s.sweep.paramFrom, 0.0);
    EXPECT_EQ(s.sweep.paramTo, 5.0);
    EXPECT_EQ(s.sweep.paramIntervals, 2);
    EXPECT_TRUE(s.sweep.writeFft);
    EXPECT_EQ(s.fftFile, "s.FFT");
    EXPECT_EQ(s.fftTimeColumn, "t");
    EXPECT_EQ(s.fftRealColumn, "re");
    EXPECT_EQ(s.fftImagColumn, "im");
    EXPECT_EQ(s.fft.axis, 1);
    EXPECT_EQ(s.fft.lowIndex, 2);
    EXPECT_EQ(s.fft.highIndex, 9);

    DefaultShellServices plain;
    ConfigureShellServices(Parse({"run", "doc.alg"}).options, plain);
    EXPECT_TRUE(plain.showResults);
    EXPECT_FALSE(plain.sweep.secondParameter);
    EXPECT_FALSE(plain.sweep.writeFft);
    EXPECT_EQ(plain.sweepVariable, "");
    EXPECT_EQ(plain.fft.highIndex, -1);
}

TEST_F(CliFilesTest, CountAttachmentRowsStopsAtTheFirstEmptyLine) {
    struct Case { const char* text; int rows; };
    for (const Case& c : {Case{"x y\n1 2\n3 4\n\n5 6\n", 2}, Case{"x y\r\n1 2\r\n3 4\r\n", 2},
                          Case{"x y\n1;2\n  \n5 6\n", 1}, Case{"x y\n", 0}, Case{"", 0},
                          Case{"x y\n1 2\n3 4\n5 6", 3}}) {
        EXPECT_EQ(CountAttachmentRows(Put("t.LST", c.text)), c.rows) << c.text;
    }
    EXPECT_EQ(CountAttachmentRows((dir_ / "absent.LST").string()), 0);
}

}  // namespace
