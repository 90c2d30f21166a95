#pragma once

#include <string>

struct CoreState;

// The spectrum of a result series: reads the series file (fileName, normally base.FFT), asks
// the shell for its columns (the FFT dialog), transforms each sweep of it and writes amplitude
// and phase to base.PRN, then "FFT is Found!". A missing series file or a cancelled dialog
// ends the command without a word, one that is not a plain file within the size bound with
// its name; either way base.PRN stays as it was. Returns whether the spectrum was written.
bool FourierOfResults(CoreState& s, const std::string& fileName);
