// The transform itself: the radix-2 scheme against the defining sum, the polar form, and the
// spectrum of a sweep with its phase and period. The power-of-two cut shows in the messages of
// command W.

#include "core/numeric/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "core/drive/fft_series.h"

namespace {

using Complex = std::complex<double>;

constexpr double kTruePi = 3.14159265358979323846;

// X[k] = sum of x[n] exp(+i 2 pi n k / N), straight from the definition.
std::vector<Complex> DefiningSum(const std::vector<Complex>& x) {
    const std::size_t n = x.size();
    std::vector<Complex> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t j = 0; j < n; ++j) {
            const double angle =
                2.0 * kTruePi * static_cast<double>(j * k % n) / static_cast<double>(n);
            out[k] += x[j] * Complex(std::cos(angle), std::sin(angle));
        }
    }
    return out;
}

SeriesSweep Sampled(std::size_t n, double (*f)(double)) {
    SeriesSweep s;
    for (std::size_t k = 0; k < n; ++k) {
        s.time.push_back(static_cast<double>(k));
        s.signal.emplace_back(f(static_cast<double>(k)), 0.0);
    }
    return s;
}

}  // namespace

class FastFourierSizes : public ::testing::TestWithParam<int> {};

TEST_P(FastFourierSizes, AgreesWithTheDefiningSumWithPositiveExponentAndNoScaling) {
    const int m = GetParam();
    const std::size_t n = std::size_t{1} << m;
    std::mt19937 rng(7 + m);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<Complex> x(n);
    for (Complex& v : x) v = Complex(u(rng), u(rng));
    const std::vector<Complex> expected = DefiningSum(x);
    std::vector<Complex> work(n);
    FastFourier(x, work, m);
    for (std::size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(x[k].real(), expected[k].real(), 1e-9 * static_cast<double>(n)) << k;
        EXPECT_NEAR(x[k].imag(), expected[k].imag(), 1e-9 * static_cast<double>(n)) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, FastFourierSizes, ::testing::Values(0, 1, 2, 3, 5, 6, 10));

TEST(FastFourier, LeavesTheSeriesAloneWhenTheArraysAreTooShort) {
    std::vector<Complex> x{{1, 0}, {2, 0}, {3, 0}};
    std::vector<Complex> work(4);
    FastFourier(x, work, 2);  // four points asked of three
    EXPECT_EQ(x[0], Complex(1, 0));
    EXPECT_EQ(x[2], Complex(3, 0));
}

TEST(SpectrumToPolar, GivesMagnitudeAndPhaseInEitherUnit) {
    std::vector<Complex> x{{3, 4}, {0, -2}, {-1, 0}};
    SpectrumToPolar(x, 3, false);
    EXPECT_DOUBLE_EQ(x[0].real(), 5.0);
    EXPECT_DOUBLE_EQ(x[0].imag(), std::atan2(4.0, 3.0));
    EXPECT_NEAR(x[1].imag(), -kTruePi / 2, 1e-15);
    EXPECT_NEAR(x[2].imag(), kTruePi, 1e-15);
    std::vector<Complex> y{{0, -2}, {7, 7}};
    SpectrumToPolar(y, 1, true);  // only the first value
    EXPECT_NEAR(y[0].imag(), -90.0, 1e-9);
    EXPECT_EQ(y[1], Complex(7, 7));
}

TEST(FloorLog2, IsTheExponentOfTheLargestPowerOfTwoNotAbove) {
    const std::pair<std::size_t, int> cases[] = {{1, 0},  {2, 1},   {3, 1},   {64, 6},
                                                 {65, 6}, {100, 6}, {127, 6}, {128, 7}};
    for (const auto& [n, m] : cases) EXPECT_EQ(FloorLog2(n), m) << n;
}

TEST(SweepSpectrum, SineOfFourPeriodsPeaksAtIndexFourWithThePhaseOfThePositiveExponent) {
    const SweepSpectrum s =
        TransformSweep(Sampled(64, [](double t) { return std::sin(2 * kTruePi * 4 * t / 64); }));
    std::size_t peak = 0;
    for (std::size_t k = 0; k <= 32; ++k) {
        if (SpectrumAmplitude(s, k) > SpectrumAmplitude(s, peak)) peak = k;
    }
    EXPECT_EQ(peak, 4u);
    EXPECT_NEAR(SpectrumAmplitude(s, 4), 1.0, 1e-9);
    EXPECT_NEAR(SpectrumAmplitude(s, 60), 1.0, 1e-9);  // the mirror image
    // sum of sin(a n) exp(+i a n) is i N / 2: phase +pi/2 (the negative exponent gives -pi/2).
    EXPECT_NEAR(s.polar[4].imag(), kTruePi / 2, 1e-6);
    EXPECT_NEAR(s.polar[60].imag(), -kTruePi / 2, 1e-6);
}

TEST(SweepSpectrum, PeriodIsTheSpanOfTheTransformedSamplesPlusOneStep) {
    SeriesSweep sweep;
    for (int k = 0; k < 100; ++k) {
        sweep.time.push_back(0.5 + 0.25 * k);  // 100 samples, 64 of them used
        sweep.signal.emplace_back(1.0, 0.0);
    }
    EXPECT_DOUBLE_EQ(TransformSweep(sweep).period, 64 * 0.25);
}
