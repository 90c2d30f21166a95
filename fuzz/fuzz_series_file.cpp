// The series file of command W (base.FFT, or a result table): read, columns chosen, cut to a
// power of two, transformed and written as a spectrum, as a whole run of the command.

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CoreState core;
    static const std::string document = fuzz::Put("series.alg", "y = SIN(4*t);\n");
    fuzz::Put("series.FFT", data, size);
    SolverEntry(core, document.c_str(), "W0");
    return 0;
}
