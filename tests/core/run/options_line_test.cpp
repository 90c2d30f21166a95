#include "core/run/options_line.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>
#include <string>

#include "core/run/run_settings.h"

namespace {

// The fields an options line can set, in the order of the line.
std::string Fields(const SolverSettings& s, const RunConstants& k) {
    std::ostringstream out;
    out << s.maxIterations << ' ' << s.toleranceExponent << ' ' << static_cast<int>(s.method) << ' '
        << static_cast<int>(s.jacobianMode) << ' ' << s.maxGuess << ' ' << s.solveInGroups << ' '
        << s.deltaJ << ' ' << s.deltaT << ' ' << (k.arithmetic == Arithmetic::kComplex);
    return out.str();
}

TEST(OptionsLineTest, ChangesExactlyTheFieldsGiven) {
    struct Case {
        const char* rest;  // the line after "{Options: "
        bool flipped;      // start with grouping off, complex mode on and the dishonest method
        const char* fields;
    };
    const Case cases[] = {
        {"100 -8}", false, "100 -8 0 0 1 1 0.001 0.1 0"},
        {"30 -5 robust incremental 10 sequential 1e-6 0.05 complex}", false,
         "30 -5 1 1 10 1 1e-06 0.05 1"},
        // A bad field is consumed and the next one read; a misplaced keyword shifts nothing.
        {"30 x ROBUST}", false, "30 -3 1 0 1 1 0.001 0.1 0"},
        {"ROBUST 5 NEWTON}", true, "10 5 0 0 1 0 0.001 0.1 1"},
        {"10 -3 NEWTON SYMBOLIC 0.5}", false, "10 -3 0 0 0.5 1 0.001 0.1 0"},
        // Only SEQUENTIAL changes the grouping: it switches it on.
        {"1 1 NEWTON SYMBOLIC 1 SIMULTANEOUS}", false, "1 1 0 0 1 1 0.001 0.1 0"},
        {"1 1 NEWTON SYMBOLIC 1 SIMULTANEOUS}", true, "1 1 0 0 1 0 0.001 0.1 1"},
        {"1 1 NEWTON SYMBOLIC 1 SEQUENTIAL 1 1 REAL}", true, "1 1 0 0 1 1 1 1 0"},
        // Numbers need the whole blank-separated token; a tab joins two fields.
        {"12ABC +7}", false, "10 7 0 0 1 1 0.001 0.1 0"},
        {"1 1 NEWTON SYMBOLIC 2.5X SEQUENTIAL 0.5.1 1E-6}", false, "1 1 0 0 1 1 0.001 1e-06 0"},
        {"20\t-4 ROBUST}", false, "10 -3 0 0 1 1 0.001 0.1 0"},
        {"}", true, "10 -3 2 0 1 0 0.001 0.1 1"},
    };
    for (const Case& c : cases) {
        SolverSettings s;
        RunConstants k;
        if (c.flipped) {
            s.solveInGroups = false;
            s.method = SolveMethod::kDishonest;
            k.arithmetic = Arithmetic::kComplex;
        }
        ReadOptionsLine(s, k, c.rest);
        EXPECT_EQ(Fields(s, k), c.fields) << c.rest;
    }
}

// The capacity is an optional tenth field; lines written before it keep their meaning, and the
// word takes no other field's place.
TEST(OptionsLineTest, CapacityIsTheOptionalTenthField) {
    struct Case {
        const char* rest;
        int capacity;
        const char* fields;
    };
    const Case cases[] = {
        {"30 -5 ROBUST INCREMENTAL 10 SEQUENTIAL 1e-6 0.05 COMPLEX CAPACITY=400}", 400,
         "30 -5 1 1 10 1 1e-06 0.05 1"},
        {"20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL capacity=5000}", 5000,
         "20 -8 0 0 1 1 0.001 0.1 0"},
        // Where another field stands the word is consumed like any word that does not fit.
        {"20 -8 CAPACITY=300 INCREMENTAL}", 300, "20 -8 0 1 1 1 0.001 0.1 0"},
        // A value that is not a whole number leaves the capacity alone.
        {"20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL CAPACITY=lots}", 25,
         "20 -8 0 0 1 1 0.001 0.1 0"},
        // Outside its domain the field does not fit either.
        {"20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL CAPACITY=20001}", 25,
         "20 -8 0 0 1 1 0.001 0.1 0"},
        // An eleventh field is not read.
        {"1 1 NEWTON SYMBOLIC 1 SEQUENTIAL 1 1 REAL X CAPACITY=400}", 25, "1 1 0 0 1 1 1 1 0"},
    };
    for (const Case& c : cases) {
        SolverSettings s;
        RunConstants k;
        ReadOptionsLine(s, k, c.rest);
        EXPECT_EQ(s.capacity, c.capacity) << c.rest;
        EXPECT_EQ(Fields(s, k), c.fields) << c.rest;
    }
}

// ROUTE=DIRECT or ROUTE=REWRITE anywhere on the line chooses how O, K and ALR minimize; like
// CAPACITY= it is consumed where it stands without moving the fields after it, and a line
// without it (every older document's) leaves the route as it was.
TEST(OptionsLineTest, RouteWordAnywhereOnTheLine) {
    struct Case {
        const char* rest;
        OptimizationRoute start;
        OptimizationRoute route;
        const char* fields;
    };
    const Case cases[] = {
        {"30 -5 ROBUST INCREMENTAL 10 SEQUENTIAL 1e-6 0.05 COMPLEX ROUTE=REWRITE}",
         OptimizationRoute::kDirect, OptimizationRoute::kRewrite, "30 -5 1 1 10 1 1e-06 0.05 1"},
        {"20 -8 route=rewrite INCREMENTAL}", OptimizationRoute::kDirect,
         OptimizationRoute::kRewrite, "20 -8 0 1 1 1 0.001 0.1 0"},
        {"20 -8 NEWTON ROUTE=DIRECT CAPACITY=400}", OptimizationRoute::kRewrite,
         OptimizationRoute::kDirect, "20 -8 0 0 1 1 0.001 0.1 0"},
        {"20 -8 ROBUST}", OptimizationRoute::kRewrite, OptimizationRoute::kRewrite,
         "20 -8 1 0 1 1 0.001 0.1 0"},
        {"20 -8 ROUTE=SIDEWAYS}", OptimizationRoute::kDirect, OptimizationRoute::kDirect,
         "20 -8 0 0 1 1 0.001 0.1 0"},
    };
    for (const Case& c : cases) {
        SolverSettings s;
        s.optimizationRoute = c.start;
        RunConstants k;
        ReadOptionsLine(s, k, c.rest);
        EXPECT_EQ(s.optimizationRoute, c.route) << c.rest;
        EXPECT_EQ(Fields(s, k), c.fields) << c.rest;
    }
}

// A number outside its setting's domain keeps the setting and is named on the console; a
// token that is no number at all is passed over silently, as before. The domains' bounds are
// the option description's; a whole run with a bad delta T is a golden case.
TEST(OptionsLineTest, NumbersOutsideTheirDomainKeepTheSettingWithAWarning) {
    struct Case {
        const char* rest;
        const char* fields;
        const char* warning;  // "" for none
    };
    const Case cases[] = {
        {"99999999999999999999}", "10 -3 0 0 1 1 0.001 0.1 0", "max iterations"},
        {"0 -3}", "10 -3 0 0 1 1 0.001 0.1 0", "max iterations"},
        {"10 60}", "10 -3 0 0 1 1 0.001 0.1 0", "tolerance exponent"},
        {"10 -34 NEWTON SYMBOLIC 1 SEQUENTIAL NAN}", "10 -34 0 0 1 1 0.001 0.1 0", "delta J"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL INF}", "10 -3 0 0 1 1 0.001 0.1 0", "delta J"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 0}", "10 -3 0 0 1 1 0.001 0.1 0", "delta J"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 0}", "10 -3 0 0 1 1 1 0.1 0", "delta T"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 NAN}", "10 -3 0 0 1 1 1 0.1 0", "delta T"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 1E-300}", "10 -3 0 0 1 1 1 0.1 0", "delta T"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1 -1}", "10 -3 0 0 1 1 1 0.1 0", "delta T"},
        {"10 -3 NEWTON SYMBOLIC -2}", "10 -3 0 0 1 1 0.001 0.1 0", "max initial guess"},
        {"10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 1E-3 1E-45}", "10 -3 0 0 1 1 0.001 1e-45 0", ""},
        {"10 ABC}", "10 -3 0 0 1 1 0.001 0.1 0", ""},
    };
    for (const Case& c : cases) {
        SolverSettings s;
        RunConstants k;
        std::string text;
        Console console{[&text](const char* piece) { text += piece; }};
        ReadOptionsLine(s, k, c.rest, &console);
        EXPECT_EQ(Fields(s, k), c.fields) << c.rest;
        if (*c.warning == '\0') {
            EXPECT_EQ(text, "") << c.rest;
        } else {
            EXPECT_NE(text.find(c.warning), std::string::npos) << c.rest << ": " << text;
            EXPECT_NE(text.find("ignored"), std::string::npos) << text;
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
    EXPECT_EQ(Fields(s, k), "10 -3 0 0 0.5 1 0.00025 0.125 0");
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
