// The options line: whatever its fields, every setting ends in its domain.

#include <cstdlib>

#include "core/base/solver_options.h"
#include "core/run/options_line.h"
#include "core/run/run_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SolverSettings s;
    RunConstants k;
    Console console;
    ReadOptionsLine(s, k, std::string(reinterpret_cast<const char*>(data), size), &console);
    for (std::size_t i = 0; i < kSolverOptionCount; ++i) {
        const auto option = static_cast<SolverOption>(i);
        if (!InDomain(Describe(option), OptionValue(s, option))) std::abort();
    }
    return 0;
}
