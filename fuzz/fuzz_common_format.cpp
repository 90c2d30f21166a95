// The IEEE Common Format (.CF) power-flow reader.

#include <sstream>
#include <string>

#include "import/common_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    CommonFormatData parsed;
    std::string error;
    ReadCommonFormat(in, parsed, error);
    return 0;
}
