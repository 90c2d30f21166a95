#include "graphs/graph_messages.h"

namespace graphs {

std::string FillIn(const char* pattern, const std::string& value) {
    std::string text = pattern;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace graphs
