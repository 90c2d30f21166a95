#include "core/numeric/fft.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Complex = std::complex<double>;

// exp(i 2 pi q / N) for q = 0..N/2-1: every factor the stages use is one of these (q = j r),
// each computed directly rather than by a recurrence, so no rounding error builds up along
// the table. Kept per thread for the last N, as a series is usually transformed more than once
// at the same length.
const std::vector<Complex>& Twiddles(std::size_t n) {
    thread_local std::vector<Complex> table;
    thread_local std::size_t tableFor = 0;
    if (tableFor != n) {
        table.resize(n / 2);
        for (std::size_t q = 0; q < n / 2; ++q) {
            const double angle = static_cast<double>(q) * 2.0 * kFftPi / static_cast<double>(n);
            table[q] = Complex(std::cos(angle), std::sin(angle));
        }
        tableFor = n;
    }
    return table;
}

}  // namespace

int FloorLog2(std::size_t n) {
    int m = 0;
    while (n > 1) {
        n >>= 1;
        ++m;
    }
    return m;
}

void FastFourier(std::span<Complex> series, std::span<Complex> work, int m) {
    if (m < 0 || m >= static_cast<int>(8 * sizeof(std::size_t)) - 1) return;
    const std::size_t n = std::size_t{1} << m;
    if (series.size() < n || work.size() < n || m == 0) return;
    const std::vector<Complex>& w = Twiddles(n);
    const std::size_t half = n / 2;

    // The stages alternate between the two arrays instead of copying back after each one.
    Complex* x = series.data();
    Complex* y = work.data();
    for (int stage = 1; stage <= m; ++stage) {
        const std::size_t blocks = std::size_t{1} << (stage - 1);  // L / 2
        const std::size_t r = n >> stage;                          // N / L
        for (std::size_t j = 0; j < blocks; ++j) {
            const double wr = w[j * r].real();
            const double wi = w[j * r].imag();
            const Complex* a = x + 2 * j * r;
            const Complex* b = a + r;
            Complex* low = y + j * r;
            Complex* high = low + half;
            for (std::size_t k = 0; k < r; ++k) {
                // Written out: the library's complex product also checks for infinities and
                // NaN, which costs more than the butterfly itself.
                const Complex t(wr * b[k].real() - wi * b[k].imag(),
                                wr * b[k].imag() + wi * b[k].real());
                low[k] = a[k] + t;
                high[k] = a[k] - t;
            }
        }
        std::swap(x, y);
    }
    if (x != series.data()) std::copy(x, x + n, series.data());
}

void SpectrumToPolar(std::span<Complex> series, std::size_t n, bool degrees) {
    n = std::min(n, series.size());
    for (std::size_t k = 0; k < n; ++k) {
        const double re = series[k].real();
        const double im = series[k].imag();
        double phase = std::atan2(im, re);
        if (degrees) phase *= 180.0 / kFftPi;
        series[k] = Complex(std::hypot(re, im), phase);
    }
}
