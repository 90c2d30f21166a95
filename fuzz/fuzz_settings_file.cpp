// The .VDP settings side file: whatever its bytes, every setting read lies in its domain.

#include <cstdlib>

#include "core/run/document_settings.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::Put("doc.VDP", data, size);
    DocumentSettings d;
    std::vector<std::string> warnings;
    ReadSettingsFile(path, d, &warnings);
    for (std::size_t i = 0; i < kSolverOptionCount; ++i) {
        const auto option = static_cast<SolverOption>(i);
        if (!InDomain(Describe(option), OptionValue(d, option))) std::abort();
    }
    return 0;
}
