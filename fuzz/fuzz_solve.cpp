// Whole solves of small documents: compile, group, iterate and write the result table.
// Larger inputs are left to the document target; a solve of them would only be slow.

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 400) return 0;
    static CoreState core;
    const std::string path = fuzz::Put("doc.alg", data, size);
    SolverEntry(core, path.c_str(), "S");
    return 0;
}
