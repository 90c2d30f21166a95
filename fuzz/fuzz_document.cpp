// The document reader and compiler, with the options line: every input is checked as an
// equation document (read, compiled, differentiated into the Jacobian file).

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CoreState core;  // reused like the desktop's one core, so state left over shows
    const std::string path = fuzz::Put("doc.alg", data, size);
    CheckDocument(core, path.c_str());
    return 0;
}
