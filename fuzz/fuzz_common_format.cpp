// The power-flow import as the command runs it on a Common Format (.CF) file: the file checks,
// the reader, the model, the checks of what a run can take and the writer.

#include <string>

#include "fuzz/fuzz_support.h"
#include "import/convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConvertCommonFormat(fuzz::Put("case.cf", data, size), (fuzz::Scratch() / "case.alg").string());
    return 0;
}
