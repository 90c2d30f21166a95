// The .JAC reader, read back into the rows of a compiled model of three equations.

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "core/symbolic/jacobian_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CoreState core;
    static const bool compiled = [] {
        const std::string path = fuzz::Put("jac.alg", "x*y = 2;\ny + SIN(z) = 1;\nz^2 = x;\n");
        core.files.documentPath = path;
        core.files.baseName = BaseNameOf(path);
        CompileDocument(core);
        return !core.flags.parseError;
    }();
    if (!compiled) return 0;
    fuzz::Put("jac.JAC", data, size);
    core.flags.stop = false;
    ReadJacobianFile(core);
    FreeJacobianRows(core);
    return 0;
}
