#pragma once

#include <cstdint>

// The starting-value generator: a linear congruential generator with 15-bit outputs, seeded
// at every run so that two runs of a document start from the same values.
struct Random {
    std::uint32_t state = 1;
    void seed(std::uint32_t s) { state = s; }
    int next() {  // 0..32767
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7fff);
    }
    double unit() { return next() / 32767.0; }  // 0..1 inclusive
};
