#include "core/eval/special_functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/eval/values.h"
#include "core/run/core_state.h"

namespace {

// A core whose console text and warning beeps the test can inspect.
struct Harness {
    CoreState s;
    std::string out;
    Harness() {
        s.console.callback = [this](const char* t) { out += t; };
    }
    int Beeps() const { return s.defaultShell.beeps; }
};

// The rational approximations are good to about 2e-8; leave a margin above that.
constexpr double kBesselTolerance = 5e-8;
// The incomplete gamma function stops at a relative step of 3e-7.
constexpr double kGammaTolerance = 3e-7;

}  // namespace

TEST(SpecialFunctionsGammaLn, MatchesLibraryAtIntegersAndFractions) {
    EXPECT_NEAR(GammaLn(1.0), 0.0, 1e-10);
    EXPECT_NEAR(GammaLn(2.0), 0.0, 1e-10);
    EXPECT_NEAR(GammaLn(5.0), std::log(24.0), 1e-9);
    for (double x : {0.1, 0.5, 1.5, 3.7, 10.0, 57.25, 300.0}) {
        EXPECT_NEAR(GammaLn(x), std::lgamma(x), 5e-10 * std::max(1.0, std::fabs(std::lgamma(x)))) << x;
    }
}

TEST(SpecialFunctionsGammaLn, NonPositiveArgumentsAreNotGuarded) {
    // The pole at 0 divides by zero inside the sum, far below it the logarithm fails: the
    // raw non-finite value is handed to the evaluator.
    EXPECT_FALSE(std::isfinite(GammaLn(0.0)));
    EXPECT_TRUE(std::isnan(GammaLn(-5.5)));
}

TEST(SpecialFunctionsGammaP, ExponentialCaseOnBothMethods) {
    Harness h;
    // a = 1 uses the series below x = 2 and the continued fraction from there on.
    for (double x : {0.01, 0.5, 1.0, 1.99, 2.0, 3.0, 7.5, 20.0}) {
        EXPECT_NEAR(GammaP(h.s, 1.0, x), 1.0 - std::exp(-x), kGammaTolerance) << x;
    }
    EXPECT_EQ(h.out, "");
    EXPECT_EQ(h.Beeps(), 0);
}

TEST(SpecialFunctionsGammaP, SwitchesToContinuedFractionAtAPlusOne) {
    Harness h;
    double gln = 0.0;
    const double a = 2.5;
    const double atSwitch = GammaP(h.s, a, a + 1.0);
    EXPECT_EQ(atSwitch, 1.0 - GammaContinuedFraction(h.s, a, a + 1.0, gln));
    EXPECT_NEAR(gln, std::lgamma(a), 1e-9);

    const double below = std::nextafter(a + 1.0, 0.0);
    EXPECT_EQ(GammaP(h.s, a, below), GammaSeries(h.s, a, below, gln));

    // Both sides approximate the same function, so the value is continuous across the switch.
    EXPECT_NEAR(atSwitch, GammaP(h.s, a, below), kGammaTolerance);
    EXPECT_EQ(h.Beeps(), 0);
}

TEST(SpecialFunctionsGammaP, SeriesAndFractionAreComplementary) {
    Harness h;
    double glnSeries = 0.0;
    double glnFraction = 0.0;
    for (double a : {0.5, 2.0, 6.0}) {
        for (double x : {0.7, 4.0, 9.0}) {
            const double p = GammaSeries(h.s, a, x, glnSeries);
            const double q = GammaContinuedFraction(h.s, a, x, glnFraction);
            EXPECT_EQ(glnSeries, glnFraction);
            EXPECT_NEAR(p + q, 1.0, 1e-5) << a << " " << x;
        }
    }
}

TEST(SpecialFunctionsGammaP, BadArgumentsWarnAndContinue) {
    Harness h;
    // x < 0: the argument warning, then the series' own message; the series gives 0.
    EXPECT_EQ(GammaP(h.s, 1.0, -1.0), 0.0);
    EXPECT_EQ(h.out, "Argument of GAMMA or ERF must be positive\npause in GSER - x less than 0\n");
    EXPECT_EQ(h.Beeps(), 1);
    EXPECT_TRUE(h.s.message.empty());

    // a <= 0 with x above a + 1 still runs the continued fraction (Gamma(-1.5) > 0, so its
    // logarithm exists and the value is finite).
    h.out.clear();
    const double v = GammaP(h.s, -1.5, 3.0);
    EXPECT_EQ(h.out, "Argument of GAMMA or ERF must be positive\n");
    EXPECT_EQ(h.Beeps(), 2);
    double gln = 0.0;
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(v, 1.0 - GammaContinuedFraction(h.s, -1.5, 3.0, gln));
    EXPECT_NEAR(gln, std::lgamma(-1.5), 1e-8);

    // Where Gamma(a) is negative the unguarded logarithm turns the result into NaN.
    h.out.clear();
    EXPECT_TRUE(std::isnan(GammaP(h.s, -0.5, 3.0)));
    EXPECT_EQ(h.out, "Argument of GAMMA or ERF must be positive\n");
}

TEST(SpecialFunctionsGammaP, SeriesEdgesAreQuiet) {
    Harness h;
    double gln = 0.0;
    EXPECT_EQ(GammaSeries(h.s, 3.0, 0.0, gln), 0.0);
    EXPECT_NEAR(gln, std::log(2.0), 1e-9);
    EXPECT_EQ(h.out, "");

    // The negative-x message is only text: no beep, no wait for input.
    EXPECT_EQ(GammaSeries(h.s, 3.0, -2.0, gln), 0.0);
    EXPECT_EQ(h.out, "pause in GSER - x less than 0\n");
    EXPECT_EQ(h.Beeps(), 0);
}

TEST(SpecialFunctionsGammaP, SlowConvergenceWarnsButKeepsValue) {
    Harness h;
    // With a large shape parameter neither expansion converges within 100 terms near x = a.
    const double p = GammaP(h.s, 1000.0, 1000.0);
    EXPECT_EQ(h.out, "Precision Problems in GAMMA or ERF\n");
    EXPECT_EQ(h.Beeps(), 1);
    EXPECT_TRUE(std::isfinite(p));
    EXPECT_TRUE(h.s.message.empty());

    h.out.clear();
    double gln = 0.0;
    const double q = GammaContinuedFraction(h.s, 10000.0, 10001.0, gln);
    EXPECT_EQ(h.out, "Precision Problems in GAMMA or ERF\n");
    EXPECT_EQ(h.Beeps(), 2);
    EXPECT_TRUE(std::isfinite(q));
}

TEST(SpecialFunctionsErf, MatchesLibraryAndIsOdd) {
    Harness h;
    EXPECT_EQ(Erf(h.s, 0.0), 0.0);
    EXPECT_NEAR(Erf(h.s, 3.0), 0.99997791, 1e-8);
    for (double x : {1e-4, 0.1, 0.5, 1.0, 1.2, 1.3, 2.0, 3.0, 5.0}) {
        const double e = Erf(h.s, x);
        EXPECT_NEAR(e, std::erf(x), kGammaTolerance * std::erf(x)) << x;
        EXPECT_EQ(Erf(h.s, -x), -e) << x;
    }
    EXPECT_EQ(h.out, "");
    EXPECT_EQ(h.Beeps(), 0);
}

TEST(SpecialFunctionsBessel, FirstKindMatchesLibraryBothSidesOfEight) {
    Harness h;
    // The rational fit is not exact at 0: p1/p2 there is 1 + 2.8e-9.
    EXPECT_NEAR(BesselJ0(h.s, 0.0), 1.0, 1e-8);
    EXPECT_EQ(BesselJ1(h.s, 0.0), 0.0);
    for (double x : {1e-3, 0.5, 1.0, 2.4048, 3.8317, 5.0, 7.99, 8.0, 8.01, 10.0, 25.0, 100.0}) {
        EXPECT_NEAR(BesselJ0(h.s, x), ::j0(x), kBesselTolerance) << x;
        EXPECT_NEAR(BesselJ1(h.s, x), ::j1(x), kBesselTolerance) << x;
        // J0 is even and J1 is odd in both the rational and the asymptotic range.
        EXPECT_EQ(BesselJ0(h.s, -x), BesselJ0(h.s, x)) << x;
        EXPECT_EQ(BesselJ1(h.s, -x), -BesselJ1(h.s, x)) << x;
    }
    EXPECT_EQ(h.out, "");
}

TEST(SpecialFunctionsBessel, SecondKindMatchesLibraryBothSidesOfEight) {
    Harness h;
    for (double x : {0.01, 0.5, 0.8936, 1.0, 2.197, 3.0, 5.0, 7.99, 8.0, 8.01, 12.0, 40.0}) {
        // Near 0 the functions grow, so compare relative to their size there.
        const double scale0 = std::max(1.0, std::fabs(::y0(x)));
        const double scale1 = std::max(1.0, std::fabs(::y1(x)));
        EXPECT_NEAR(BesselY0(h.s, x), ::y0(x), kBesselTolerance * scale0) << x;
        EXPECT_NEAR(BesselY1(h.s, x), ::y1(x), kBesselTolerance * scale1) << x;
    }
    EXPECT_EQ(h.out, "");
}

TEST(SpecialFunctionsBessel, SecondKindGuardsPoleAndNegativeArguments) {
    Harness h;
    EXPECT_EQ(BesselY0(h.s, 0.0), 1e50);
    EXPECT_EQ(BesselY1(h.s, 0.0), 1e50);
    // Anything at or below the smallest magnitude counts as the pole.
    EXPECT_EQ(BesselY0(h.s, 1e-51), h.s.k.largest);
    EXPECT_EQ(BesselY1(h.s, 1e-51), h.s.k.largest);
    EXPECT_EQ(BesselY0(h.s, -1.0), kUndefinedValue);
    EXPECT_EQ(BesselY1(h.s, -1.0), kUndefinedValue);
    EXPECT_EQ(BesselY0(h.s, -20.0), kUndefinedValue);
    // Just above the smallest magnitude the logarithmic and 1/x terms take over.
    EXPECT_LT(BesselY0(h.s, 1e-40), -50.0);
    EXPECT_LT(BesselY1(h.s, 1e-40), -1e39);
    EXPECT_EQ(h.out, "");
    EXPECT_EQ(h.Beeps(), 0);
}
