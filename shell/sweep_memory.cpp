#include "shell/sweep_memory.h"

#include <algorithm>

namespace {

// 1-based position of `name` in `names`, 1 when it is not there.
int PositionOf(const std::vector<std::string>& names, const std::string& name) {
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? 1 : int(at - names.begin()) + 1;
}

std::string NameAt(const std::vector<std::string>& names, int position) {
    return position >= 1 && position <= int(names.size()) ? names[position - 1] : std::string();
}

}  // namespace

std::optional<SweepChoice> SweepMemory::For(const std::vector<std::string>& names) const {
    if (!choice_) return std::nullopt;
    SweepChoice c = *choice_;
    c.variable = PositionOf(names, variable_);
    c.parameter = PositionOf(names, parameter_);
    return c;
}

void SweepMemory::Keep(const SweepChoice& choice, const std::vector<std::string>& names) {
    choice_ = choice;
    variable_ = NameAt(names, choice.variable);
    parameter_ = NameAt(names, choice.parameter);
}
