#include "core/run/options_line.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>
#include <string>

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
// is a golden case.
TEST(OptionsLineTest, ChangesExactlyTheFieldsGiven) {
    struct Case {
        const char* rest;  // the line after "{Options: "
        const char* fields;
        const char* warning = "";  // the setting named, "" for none
        bool flipped = false;      // start with grouping off, complex mode on, the dishonest
                                   // method and the rewrite route
    };
    const Case cases[] = {
        {"100 -8}", "100 -8 0 0 1 1 0.001 0.1 0 | 25 D"},
        {"30 -5 robust incremental 10 sequential 1e-6 0.05 complex}",
         "30 -5 1 1 10 1 1e-06 0.05 1 | 25 D"},
        // A bad field is consumed and the next one read; a misplaced keyword shifts nothing.
        {"30 x ROBUST}", "30 -3 1 0 1 1 0.001 0.1 0 | 25 D"},
        {"ROBUST 5 NEWTON}", "10 5 0 0 1 0 0.001 0.1 1 | 25 R", "", true},
        {"10 -3 NEWTON SYMBOLIC 0.5}", "10 -3 0 0 0.5 1 0.001 0.1 0 | 25 D"},
        // Only SEQUENTIAL changes the grouping: it switches it on.
        {"1 1 NEWTON SYMBOLIC 1 SIMULTANEOUS}", "1 1 0 0 1 1 0.001 0.1 0 | 25 D"},
        {"1 1 NEWTON SYMBOLIC 1 SIMULTANEOUS}", "1 1 0 0 1 0 0.001 0.1 1 | 25 R", "", true},
        {"1 1 NEWTON SYMBOLIC 1 SEQUENTIAL 1 1 REAL}", "1 1 0 0 1 1 1 1 0 | 25 R", "", true},
        // Numbers need the whole blank-separated token; a tab joins two fields.
        {"12ABC +7}", "10 7 0 0 1 1 0.001 0.1 0 | 25 D"},
        {"1 1 NEWTON SYMBOLIC 2.5X SEQUENTIAL 0.5.1 1E-6}", "1 1 0 0 1 1 0.001 1e-06 0 | 25 D"},
        {"20\t-4 ROBUST}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D"},
        {"}", "10 -3 2 0 1 0 0.001 0.1 1 | 25 R", "", true},
        // The capacity is an optional tenth field; lines written before it keep their meaning,
        // and where another field stands the word is consumed like any word that does not fit.
        {"30 -5 ROBUST INCREMENTAL 10 SEQUENTIAL 1e-6 0.05 COMPLEX CAPACITY=400}",
         "30 -5 1 1 10 1 1e-06 0.05 1 | 400 D"},
        {"20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL capacity=5000}",
         "20 -8 0 0 1 1 0.001 0.1 0 | 5000 D"},
        {"20 -8 CAPACITY=300 INCREMENTAL}", "20 -8 0 1 1 1 0.001 0.1 0 | 300 D"},
        // A value that is not a whole number, or outside its domain, leaves the capacity alone.
        {"20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL CAPACITY=lots}",
         "20 -8 0 0 1 1 0.001 0.1 0 | 25 D"},
        {"20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL CAPACITY=20001}",
         "20 -8 0 0 1 1 0.001 0.1 0 | 25 D"},
        // An eleventh field is not read.
        {"1 1 NEWTON SYMBOLIC 1 SEQUENTIAL 1 1 REAL X CAPACITY=400}", "1 1 0 0 1 1 1 1 0 | 25 D"},
        // ROUTE=DIRECT or ROUTE=REWRITE anywhere chooses how O, K and ALR minimize; a line
        // without it (every older document's) leaves the route as it was.
        {"30 -5 ROBUST INCREMENTAL 10 SEQUENTIAL 1e-6 0.05 COMPLEX ROUTE=REWRITE}",
         "30 -5 1 1 10 1 1e-06 0.05 1 | 25 R"},
        {"20 -8 route=rewrite INCREMENTAL}", "20 -8 0 1 1 1 0.001 0.1 0 | 25 R"},
        {"20 -8 NEWTON ROUTE=DIRECT CAPACITY=400}", "20 -8 0 0 1 0 0.001 0.1 1 | 400 D", "", true},
        {"20 -8 ROBUST}", "20 -8 1 0 1 0 0.001 0.1 1 | 25 R", "", true},
        {"20 -8 ROUTE=SIDEWAYS}", "20 -8 0 0 1 1 0.001 0.1 0 | 25 D"},
        // Numbers outside their domains.
        {"99999999999999999999}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D", "max iterations"},
        {"0 -3}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D", "max iterations"},
        {"10 60}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D", "tolerance exponent"},
        {"10 -34 NEWTON SYMBOLIC 1 SEQUENTIAL NAN}", "10 -34 0 0 1 1 0.001 0.1 0 | 25 D",
         "delta J"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL INF}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D", "delta J"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 0}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D", "delta J"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 0}", "10 -3 0 0 1 1 1 0.1 0 | 25 D", "delta T"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 NAN}", "10 -3 0 0 1 1 1 0.1 0 | 25 D", "delta T"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 1E-300}", "10 -3 0 0 1 1 1 0.1 0 | 25 D", "delta T"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 -1}", "10 -3 0 0 1 1 1 0.1 0 | 25 D", "delta T"},
        {"10 -3 NEWTON SYMBOLIC -2}", "10 -3 0 0 1 1 0.001 0.1 0 | 25 D", "max initial guess"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1E-3 1E-45}", "10 -3 0 0 1 1 0.001 1e-45 0 | 25 D"},
    };
    for (const Case& c : cases) {
        SolverSettings s;
        RunConstants k;
        if (c.flipped) {
            s.solveInGroups = false;
            s.method = SolveMethod::kDishonest;
            s.optimizationRoute = OptimizationRoute::kRewrite;
            k.arithmetic = Arithmetic::kComplex;
        }
        std::string said;
        Console console{[&said](const char* piece) { said += piece; }};
        ReadOptionsLine(s, k, c.rest, &console);
        EXPECT_EQ(Fields(s, k), c.fields) << c.rest;
        if (*c.warning == '\0') {
            EXPECT_EQ(said, "") << c.rest;
        } else {
            EXPECT_NE(said.find(c.warning), std::string::npos) << c.rest << ": " << said;
            EXPECT_NE(said.find("ignored"), std::string::npos) << said;
        }
    }
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
