#pragma once

#include <string>

struct CoreState;

// The spectrum of a result series: reads the series file (fileName, normally base.FFT), asks
// the shell for its columns (the FFT dialog), transforms each sweep of it and writes amplitude
// and phase to base.PRN, then "FFT is Found!". A series file that cannot be read, or a
// cancelled dialog, ends the command without a word and leaves base.PRN as it was.
void FourierOfResults(CoreState& s, const std::string& fileName);
