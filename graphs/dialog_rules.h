#pragma once

#include <array>
#include <string>
#include <vector>

namespace graphs {

// Step counts offered for an FFT sweep: powers of two, so the series needs no cutting.
inline constexpr std::array<int, 14> kFftStepCounts{
    32, 64, 128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536, 131072, 262144};
inline constexpr int kDefaultFftSteps = 256;

// Complex variables are solved as pairs of real ones whose names end in 'r' and 'i'. The
// first name that is neither half of such a pair (0 when every name is).
int FirstRealName(const std::vector<std::string>& names);

}  // namespace graphs
