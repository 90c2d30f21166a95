#include "graphs/dialog_rules.h"

namespace graphs {

namespace {

bool EndsIn(const std::string& name, char c) {
    return !name.empty() && name.back() == c;
}

}  // namespace

int FirstRealName(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!EndsIn(names[i], 'r') && !EndsIn(names[i], 'i')) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace graphs
