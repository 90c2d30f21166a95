#include <benchmark/benchmark.h>

#include <complex>
#include <random>
#include <vector>

#include "core/drive/fft_series.h"
#include "core/numeric/fft.h"

namespace {

using Complex = std::complex<double>;

std::vector<Complex> RandomSeries(std::size_t n) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<Complex> x(n);
    for (Complex& v : x) v = Complex(u(rng), u(rng));
    return x;
}

// The transform alone, N = 2^m points; the series is restored from a copy before each
// transform, outside the timed part.
void BM_FastFourier(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    const std::size_t n = std::size_t{1} << m;
    const std::vector<Complex> original = RandomSeries(n);
    std::vector<Complex> x = original;
    std::vector<Complex> work(n);
    FastFourier(x, work, m);  // the factor table for this N is built here, untimed
    for (auto _ : state) {
        state.PauseTiming();
        x = original;
        state.ResumeTiming();
        FastFourier(x, work, m);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_FastFourier)->Arg(12)->Arg(16)->Unit(benchmark::kMicrosecond);

// One sweep as the command transforms it: 2^m + 1 samples (both ends of the period), the cut,
// the transform and the polar form.
void BM_TransformSweep(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    const std::size_t n = (std::size_t{1} << m) + 1;
    SeriesSweep sweep;
    sweep.signal = RandomSeries(n);
    for (std::size_t k = 0; k < n; ++k) sweep.time.push_back(static_cast<double>(k));
    for (auto _ : state) {
        SweepSpectrum s = TransformSweep(sweep);
        benchmark::DoNotOptimize(s.polar.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n - 1));
}
BENCHMARK(BM_TransformSweep)->Arg(12)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
