#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>

#include "core/run/settings.h"

namespace {

// ---------------------------------------------------------------- tokens and field readers

TEST(NextOptionTokenTest, TakesOneBlankSeparatedTokenInCapitals) {
    std::string line = "  robust}  incremental 1e-3}";
    EXPECT_EQ(NextOptionToken(line), "ROBUST");
    EXPECT_EQ(line, "  incremental 1e-3}");
    EXPECT_EQ(NextOptionToken(line), "INCREMENTAL");
    EXPECT_EQ(NextOptionToken(line), "1E-3");
    EXPECT_EQ(line, "");
    EXPECT_EQ(NextOptionToken(line), "");
}

TEST(NextOptionTokenTest, TabIsAnOrdinaryCharacter) {
    std::string line = "\t20\t-4 x";
    EXPECT_EQ(NextOptionToken(line), "\t20\t-4");
    EXPECT_EQ(line, " x");
}

TEST(NextOptionTokenTest, BracesAnywhereAreDropped) {
    std::string line = "a}b}} }";
    EXPECT_EQ(NextOptionToken(line), "AB");
    EXPECT_EQ(NextOptionToken(line), "");
}

TEST(OptionFieldTest, IntegerNeedsTheWholeToken) {
    struct Case { const char* token; int expected; };
    for (const Case& c : {Case{"100", 100}, Case{"-8", -8}, Case{"+12", 12}, Case{"0", 0},
                          Case{"", 7}, Case{"X", 7}, Case{"12ABC", 7}, Case{"1.5", 7},
                          Case{"1E3", 7}, Case{"5\t", 7}}) {
        EXPECT_EQ(OptionInteger(c.token, 7), c.expected) << '"' << c.token << '"';
    }
}

TEST(OptionFieldTest, RealNeedsTheWholeToken) {
    struct Case { const char* token; double expected; };
    for (const Case& c : {Case{"0.5", 0.5}, Case{"1E-6", 1e-6}, Case{"-0.25", -0.25},
                          Case{"10", 10.0}, Case{"", 3.0}, Case{"ABC", 3.0}, Case{"2.5X", 3.0},
                          Case{"0.5.1", 3.0}}) {
        EXPECT_DOUBLE_EQ(OptionReal(c.token, 3.0), c.expected) << '"' << c.token << '"';
    }
}

TEST(OptionFieldTest, KeywordsCompareTheWholeToken) {
    EXPECT_EQ(OptionMethod("NEWTON", 2), kMethodNewton);
    EXPECT_EQ(OptionMethod("ROBUST", 0), kMethodRobust);
    EXPECT_EQ(OptionMethod("DISHONEST", 0), kMethodDishonest);
    EXPECT_EQ(OptionMethod("HOMOTOPY", 0), kMethodHomotopy);
    EXPECT_EQ(OptionMethod("ROB", 2), 2);
    EXPECT_EQ(OptionMethod("ROBUSTX", 2), 2);
    EXPECT_EQ(OptionJacobian("INCREMENTAL", 0), kJacobianIncremental);
    EXPECT_EQ(OptionJacobian("SYMBOLIC", 1), kJacobianSymbolic);
    EXPECT_EQ(OptionJacobian("EXACT", 1), 1);
    EXPECT_TRUE(OptionComplex("COMPLEX", false));
    EXPECT_FALSE(OptionComplex("REAL", true));
    EXPECT_TRUE(OptionComplex("IMAGINARY", true));
}

// ---------------------------------------------------------------- whole options line

struct LineCase {
    const char* what;
    const char* rest;  // the line after "{Options: "
    std::function<void(SolverSettings&, RunConstants&)> before;
    std::function<void(SolverSettings&, RunConstants&)> expect;  // applied to the untouched copy
};

void ExpectSame(const SolverSettings& a, const SolverSettings& b, const RunConstants& ka,
                const RunConstants& kb) {
    EXPECT_EQ(a.method, b.method);
    EXPECT_EQ(a.jacobianMode, b.jacobianMode);
    EXPECT_EQ(a.maxIterations, b.maxIterations);
    EXPECT_EQ(a.toleranceExponent, b.toleranceExponent);
    EXPECT_EQ(a.stepCount, b.stepCount);
    EXPECT_EQ(a.autoSimplify, b.autoSimplify);
    EXPECT_DOUBLE_EQ(a.deltaJ, b.deltaJ);
    EXPECT_DOUBLE_EQ(a.deltaT, b.deltaT);
    EXPECT_DOUBLE_EQ(a.minGuess, b.minGuess);
    EXPECT_DOUBLE_EQ(a.maxGuess, b.maxGuess);
    EXPECT_EQ(a.solveInGroups, b.solveInGroups);
    EXPECT_EQ(a.autoHomotopy, b.autoHomotopy);
    EXPECT_EQ(ka.complexMode, kb.complexMode);
}

class OptionsLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(OptionsLineTest, ChangesExactlyTheFieldsGiven) {
    const LineCase& c = GetParam();
    SolverSettings s;
    RunConstants k;
    if (c.before) c.before(s, k);
    SolverSettings expected = s;
    RunConstants expectedK = k;
    c.expect(expected, expectedK);
    ReadOptionsLine(s, k, c.rest);
    SCOPED_TRACE(c.what);
    ExpectSame(s, expected, k, expectedK);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, OptionsLineTest,
    ::testing::Values(
        LineCase{"iterations and tolerance only", "100 -8}", nullptr,
                 [](SolverSettings& s, RunConstants&) {
                     s.maxIterations = 100;
                     s.toleranceExponent = -8;
                 }},
        LineCase{"all nine fields in lower case", "30 -5 robust incremental 10 SEQUENTIAL 1e-6 0.05 complex}",
                 [](SolverSettings& s, RunConstants&) { s.solveInGroups = false; },
                 [](SolverSettings& s, RunConstants& k) {
                     s.maxIterations = 30;
                     s.toleranceExponent = -5;
                     s.method = kMethodRobust;
                     s.jacobianMode = kJacobianIncremental;
                     s.maxGuess = 10;
                     s.solveInGroups = true;
                     s.deltaJ = 1e-6;
                     s.deltaT = 0.05;
                     k.complexMode = true;
                 }},
        LineCase{"bad tolerance is consumed, method still read", "30 x ROBUST}", nullptr,
                 [](SolverSettings& s, RunConstants&) {
                     s.maxIterations = 30;
                     s.method = kMethodRobust;
                 }},
        LineCase{"misplaced keyword does not shift fields", "ROBUST 5 NEWTON}",
                 [](SolverSettings& s, RunConstants&) { s.method = kMethodDishonest; },
                 [](SolverSettings& s, RunConstants&) {
                     s.toleranceExponent = 5;
                     s.method = kMethodNewton;
                 }},
        LineCase{"brace glued to the last number", "10 -3 NEWTON SYMBOLIC 0.5}", nullptr,
                 [](SolverSettings& s, RunConstants&) { s.maxGuess = 0.5; }},
        LineCase{"tab joins two fields into one bad token", "20\t-4 ROBUST}", nullptr,
                 [](SolverSettings&, RunConstants&) {}},
        LineCase{"other word cannot switch grouping off", "1 1 NEWTON SYMBOLIC 1 SIMULTANEOUS}",
                 nullptr, [](SolverSettings& s, RunConstants&) {
                     s.maxIterations = 1;
                     s.toleranceExponent = 1;
                     s.maxGuess = 1;
                 }},
        LineCase{"other word leaves grouping off", "1 1 NEWTON SYMBOLIC 1 SIMULTANEOUS}",
                 [](SolverSettings& s, RunConstants&) { s.solveInGroups = false; },
                 [](SolverSettings& s, RunConstants&) {
                     s.maxIterations = 1;
                     s.toleranceExponent = 1;
                     s.maxGuess = 1;
                 }},
        LineCase{"REAL switches complex mode off", "} } } } } } } } REAL}",
                 [](SolverSettings&, RunConstants& k) { k.complexMode = true; },
                 [](SolverSettings&, RunConstants& k) { k.complexMode = false; }},
        LineCase{"extra blanks between fields", "   40    -7   HOMOTOPY  ", nullptr,
                 [](SolverSettings& s, RunConstants&) {
                     s.maxIterations = 40;
                     s.toleranceExponent = -7;
                     s.method = kMethodHomotopy;
                 }},
        LineCase{"empty line changes nothing", "}", nullptr, [](SolverSettings&, RunConstants&) {}}));

// ---------------------------------------------------------------- decimal comma locale

// Switches LC_NUMERIC to a locale whose decimal separator is ',' and back to "C".
class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                                 "fr_FR", "nl_NL.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr && *std::localeconv()->decimal_point == ',') {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    bool active() const { return active_; }

private:
    bool active_ = false;
};

TEST(OptionsLineLocaleTest, PointIsReadWithADecimalCommaLocale) {
    CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_DOUBLE_EQ(OptionReal("0.5", 3.0), 0.5);
    SolverSettings s;
    RunConstants k;
    ReadOptionsLine(s, k, "10 -3 NEWTON SYMBOLIC 0.5 SEQUENTIAL 2.5E-4 0.125}");
    EXPECT_DOUBLE_EQ(s.maxGuess, 0.5);
    EXPECT_DOUBLE_EQ(s.deltaJ, 2.5e-4);
    EXPECT_DOUBLE_EQ(s.deltaT, 0.125);
}

// ---------------------------------------------------------------- settings from the shell

TEST(ApplyShellSettingsTest, CopiesEveryFieldOfTheRecord) {
    ShellSettingsRecord r;
    r.method = kMethodDishonest;
    r.jacobianMode = kJacobianIncremental;
    r.maxIterations = 250;
    r.repetitions = 12;
    r.toleranceExponent = -9;
    r.autoSimplify = 0;
    r.autoHomotopy = 1;
    r.solveInGroups = 0;
    r.deltaJ = 1e-5;
    r.deltaT = 0.02;
    r.minGuess = -4;
    r.maxGuess = 4;
    r.randomSeed = 99;
    r.attachmentPath = "/tmp/table.LST";
    r.attachmentRows = 7;

    SolverSettings s;
    ApplyShellSettings(s, r);
    EXPECT_EQ(s.method, kMethodDishonest);
    EXPECT_EQ(s.jacobianMode, kJacobianIncremental);
    EXPECT_EQ(s.maxIterations, 250);
    EXPECT_EQ(s.stepCount, 12);
    EXPECT_EQ(s.toleranceExponent, -9);
    EXPECT_FALSE(s.autoSimplify);
    EXPECT_TRUE(s.autoHomotopy);
    EXPECT_FALSE(s.solveInGroups);
    EXPECT_DOUBLE_EQ(s.deltaJ, 1e-5);
    EXPECT_DOUBLE_EQ(s.deltaT, 0.02);
    EXPECT_DOUBLE_EQ(s.minGuess, -4);
    EXPECT_DOUBLE_EQ(s.maxGuess, 4);
    EXPECT_EQ(s.randomSeed, 99u);
    EXPECT_EQ(s.updateFileName, "/tmp/table.LST");
    EXPECT_TRUE(s.updateFilePresent);
    EXPECT_EQ(s.updateStepCount, 7);
}

TEST(ApplyShellSettingsTest, NoAttachmentMeansOneUpdateStep) {
    SolverSettings s;
    s.updateFileName = "old.LST";
    s.updateFilePresent = true;
    s.updateStepCount = 30;
    ShellSettingsRecord r;
    r.attachmentRows = 9;
    ApplyShellSettings(s, r);
    EXPECT_EQ(s.updateFileName, "");
    EXPECT_FALSE(s.updateFilePresent);
    EXPECT_EQ(s.updateStepCount, 1);
}

TEST(ApplyShellSettingsTest, UpdateFileNameKeepsAtMost128Characters) {
    ShellSettingsRecord r;
    r.attachmentPath = std::string(200, 'p');
    SolverSettings s;
    ApplyShellSettings(s, r);
    EXPECT_EQ(s.updateFileName, std::string(128, 'p'));
}

}  // namespace
