#include "core/run/options_line.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>
#include <string>
#include <vector>

#include "core/data_table.h"
#include "core/run/run_settings.h"

namespace {

// The fields an options line can set, in the order of the line, then the capacity and the
// route (D direct, R rewrite), which are words that may stand anywhere on it.
std::string Fields(const SolverSettings& s, const RunConstants& k) {
    std::ostringstream out;
    out << s.maxIterations << ' ' << s.toleranceExponent << ' ' << static_cast<int>(s.method) << ' '
        << static_cast<int>(s.jacobianMode) << ' ' << s.maxGuess << ' ' << s.solveInGroups << ' '
        << s.deltaJ << ' ' << s.deltaT << ' ' << (k.arithmetic == Arithmetic::kComplex) << " | "
        << s.capacity << ' ' << (s.optimizationRoute == OptimizationRoute::kRewrite ? 'R' : 'D');
    return out.str();
}

// A line changes exactly the fields it gives. A number outside its setting's domain keeps the
// setting and is named on the console; a token that is no number at all is passed over
// silently. The domains' bounds are the option description's; a whole run with a bad delta T
// is a golden case. The lines and what they leave are tests/data/options-line/cases.txt.
TEST(OptionsLineTest, ChangesExactlyTheFieldsGiven) {
    // Each row: the line, its fields, the warning, "flipped".
    const std::vector<data_table::Row> rows = data_table::Read("options-line/cases", 4);
    for (const data_table::Row& c : rows) {
        SolverSettings s;
        RunConstants k;
        if (c[3] == "flipped") {
            s.solveInGroups = false;
            s.method = SolveMethod::kDishonest;
            s.optimizationRoute = OptimizationRoute::kRewrite;
            k.arithmetic = Arithmetic::kComplex;
        }
        std::string said;
        Console console{[&said](const char* piece) { said += piece; }};
        ReadOptionsLine(s, k, c[0], &console);
        EXPECT_EQ(Fields(s, k), c[1]) << c[0];
        if (c[2].empty()) {
            EXPECT_EQ(said, "") << c[0];
        } else {
            EXPECT_NE(said.find(c[2]), std::string::npos) << c[0] << ": " << said;
            EXPECT_NE(said.find("ignored"), std::string::npos) << said;
        }
    }
    EXPECT_GE(rows.size(), 35u);
}

TEST(OptionsLineTest, PointIsReadWithADecimalCommaLocale) {
    struct Restore {
        ~Restore() { std::setlocale(LC_NUMERIC, "C"); }
    } restore;
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (!comma && std::setlocale(LC_NUMERIC, name))
            comma = *std::localeconv()->decimal_point == ',';
    }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    SolverSettings s;
    RunConstants k;
    ReadOptionsLine(s, k, "10 -3 NEWTON SYMBOLIC 0.5 SEQUENTIAL 2.5E-4 0.125}");
    EXPECT_EQ(Fields(s, k), "10 -3 0 0 0.5 1 0.00025 0.125 0 | 25 D");
}

TEST(ApplyShellSettingsTest, CopiesTheRecordAndItsAttachment) {
    ShellSettingsRecord r;
    r.stepCount = 12;
    r.attachmentPath = std::string(200, 'p');
    r.attachmentRows = 7;
    SolverSettings s;
    ApplyShellSettings(s, r);
    EXPECT_EQ(s.stepCount, 12);
    EXPECT_EQ(s.updateFileName, std::string(128, 'p'));  // at most 128 characters
    EXPECT_TRUE(s.updateFilePresent);
    EXPECT_EQ(s.updateStepCount, 7);
    r.attachmentPath.clear();  // no attachment: one update step
    ApplyShellSettings(s, r);
    EXPECT_FALSE(s.updateFilePresent);
    EXPECT_EQ(s.updateStepCount, 1);
}

}  // namespace
