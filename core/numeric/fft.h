#pragma once

#include <complex>
#include <cstddef>
#include <span>

// The value of pi the transform and its frequency axis use.
inline constexpr double kFftPi = 3.14159265359;

// The discrete Fourier transform of N = 2^m points, in place:
//
//     X[k] = sum over n = 0..N-1 of x[n] * exp(+i 2 pi n k / N),   k = 0..N-1
//
// with the positive exponent and without a 1/N factor. It is the self-sorting radix-2 scheme,
// which needs no bit-reversal pass: stage s = 1..m works on blocks of L = 2^s with r = N / L,
// and for j = 0..L/2-1, k = 0..r-1, with a = k + 2 j r, b = a + r and w = exp(i j r 2 pi / N),
//
//     work[k + j r] = x[a] + w x[b],     work[k + j r + N/2] = x[a] - w x[b];
//
// the next stage reads what this one wrote. `work` must hold N points as well; the result is
// in `series`. Nothing is done unless both hold at least N points.
void FastFourier(std::span<std::complex<double>> series, std::span<std::complex<double>> work,
                 int m);

// Replaces each of the first n values (re, im) by (magnitude, phase): magnitude
// sqrt(re^2 + im^2), phase atan2(im, re) in radians, or in degrees when asked.
void SpectrumToPolar(std::span<std::complex<double>> series, std::size_t n, bool degrees);

// floor(log2 n) for n >= 1: the m of the largest power of two 2^m <= n.
int FloorLog2(std::size_t n);
