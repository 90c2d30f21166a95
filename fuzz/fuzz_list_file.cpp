// The attached list (.LST) file of the update runs and the regression.

#include <vector>

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "core/symbolic/list_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CoreState core;
    static const bool compiled = [] {
        const std::string path = fuzz::Put("list.alg", "y = a + b*x;\nz = c*x;\n");
        core.files.documentPath = path;
        core.files.baseName = BaseNameOf(path);
        CompileDocument(core);
        return !core.flags.parseError;
    }();
    if (!compiled) return 0;
    core.settings.updateFileName = fuzz::Put("list.LST", data, size);
    ListTable rows;
    ReadListFile(core, rows, true);
    return 0;
}
