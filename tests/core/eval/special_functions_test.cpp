#include "core/eval/special_functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/base/special_values.h"
#include "core/code_builder.h"

namespace {

// The rational Bessel fits are good to about 2e-8; the incomplete gamma function stops at a
// relative step of 3e-7.
constexpr double kBesselTolerance = 5e-8;
constexpr double kGammaTolerance = 3e-7;
double Scale(double v) {
    return std::max(1.0, std::fabs(v));
}

struct SpecialFunctions : ::testing::Test, testcode::ConsoleCore {};

TEST_F(SpecialFunctions, GammaPOnBothMethodsAtTheSwitchAndWarningsThatLetItContinue) {
    // a = 1 uses the series below x = 2 and the continued fraction from there on.
    for (double x : {0.01, 1.0, 1.99, 2.0, 7.5, 20.0}) {
        EXPECT_NEAR(GammaP(s, 1.0, x), 1.0 - std::exp(-x), kGammaTolerance) << x;
    }
    double gln = 0.0;
    const double a = 2.5, below = std::nextafter(a + 1.0, 0.0);
    const double atSwitch = GammaP(s, a, a + 1.0);
    EXPECT_EQ(atSwitch, 1.0 - GammaContinuedFraction(s, a, a + 1.0, gln));
    EXPECT_NEAR(gln, std::lgamma(a), 1e-9);
    EXPECT_EQ(GammaP(s, a, below), GammaSeries(s, a, below, gln));
    EXPECT_NEAR(atSwitch, GammaP(s, a, below), kGammaTolerance);
    EXPECT_EQ(out, "");
    EXPECT_EQ(s.defaultShell.beeps, 0);

    // Out of its domain it warns and goes on.
    EXPECT_EQ(GammaP(s, 1.0, -1.0), 0.0);
    EXPECT_EQ(out, "Argument of GAMMA or ERF must be positive\npause in GSER - x less than 0\n");
    EXPECT_EQ(s.defaultShell.beeps, 1);

    // Near x = a with a large shape neither expansion converges within 100 terms.
    out.clear();
    EXPECT_TRUE(std::isfinite(GammaP(s, 1000.0, 1000.0)));
    EXPECT_EQ(out, "Precision Problems in GAMMA or ERF\n");
    EXPECT_EQ(s.defaultShell.beeps, 2);
    EXPECT_TRUE(s.message.empty());
}

TEST_F(SpecialFunctions, GammaLnAndErfMatchLibrary) {
    EXPECT_NEAR(GammaLn(1.0), 0.0, 1e-10);
    EXPECT_NEAR(GammaLn(2.0), 0.0, 1e-10);
    for (double x : {0.1, 1.5, 3.7, 57.25, 300.0}) {
        EXPECT_NEAR(GammaLn(x), std::lgamma(x), 5e-10 * Scale(std::lgamma(x))) << x;
    }
    EXPECT_EQ(Erf(s, 0.0), 0.0);
    EXPECT_NEAR(Erf(s, 3.0), 0.99997791, 1e-8);
    for (double x : {1e-4, 0.5, 1.3, 2.0, 5.0}) {
        EXPECT_NEAR(Erf(s, x), std::erf(x), kGammaTolerance * std::erf(x)) << x;
        EXPECT_EQ(Erf(s, -x), -Erf(s, x)) << x;
    }
}

TEST_F(SpecialFunctions, BesselMatchesLibraryBothSidesOfEight) {
    EXPECT_NEAR(BesselJ0(s, 0.0), 1.0, 1e-8);  // the rational fit gives 1 + 2.8e-9
    EXPECT_EQ(BesselJ1(s, 0.0), 0.0);
    EXPECT_EQ(BesselY0(s, 0.0), 1e50);
    EXPECT_EQ(BesselY1(s, 1e-51), 1e50);  // at or below the smallest magnitude: the pole
    EXPECT_EQ(BesselY0(s, -1.0), kUndefinedValue);
    EXPECT_EQ(BesselY1(s, -1.0), kUndefinedValue);
    for (double x : {0.01, 1.0, 2.4048, 5.0, 7.99, 8.0, 8.01, 12.0, 100.0}) {
        EXPECT_NEAR(BesselJ0(s, x), ::j0(x), kBesselTolerance) << x;
        EXPECT_NEAR(BesselJ1(s, x), ::j1(x), kBesselTolerance) << x;
        EXPECT_EQ(BesselJ1(s, -x), -BesselJ1(s, x)) << x;
        // Near 0 the second kind grows, so compare relative to its size there.
        EXPECT_NEAR(BesselY0(s, x), ::y0(x), kBesselTolerance * Scale(::y0(x))) << x;
        EXPECT_NEAR(BesselY1(s, x), ::y1(x), kBesselTolerance * Scale(::y1(x))) << x;
    }
}

}  // namespace
