#include "graphs/dialog_rules.h"

#include <algorithm>
#include <optional>

namespace graphs {

namespace {

bool EndsIn(const std::string& name, char c) {
    return !name.empty() && name.back() == c;
}

std::optional<int> FirstEndingIn(const std::vector<std::string>& names, char c) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (EndsIn(names[i], c)) return static_cast<int>(i);
    }
    return std::nullopt;
}

}  // namespace

int FirstRealName(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!EndsIn(names[i], 'r') && !EndsIn(names[i], 'i')) return static_cast<int>(i);
    }
    return 0;
}

FftColumns PreselectFftColumns(const std::vector<std::string>& names) {
    FftColumns c;
    if (names.empty()) return c;
    const int last = static_cast<int>(names.size()) - 1;
    c.time = FirstRealName(names);
    const std::optional<int> re = FirstEndingIn(names, 'r');
    c.real = re.value_or(std::min(c.time + 1, last));
    std::optional<int> im;
    if (re) {
        const std::string partner = names[*re].substr(0, names[*re].size() - 1) + 'i';
        const auto it = std::find(names.begin(), names.end(), partner);
        if (it != names.end()) im = static_cast<int>(it - names.begin());
    }
    if (!im) im = FirstEndingIn(names, 'i');
    c.imag = im.value_or(std::min(c.real + 1, last));
    return c;
}

}  // namespace graphs
