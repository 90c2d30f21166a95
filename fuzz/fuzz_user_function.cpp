// A user function file, called from a fixed document with two arguments.

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CoreState core;
    static const std::string document =
        fuzz::Put("fun.alg", "x = F(y, 2) + F(F(x, y), 1);\ny = F(1, x);\n");
    fuzz::Put("F.FUN", data, size);
    CheckDocument(core, document.c_str());
    return 0;
}
