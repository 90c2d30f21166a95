#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/base/shell_services.h"

// A document's last accepted answer to Graph Generation, for the next sweep of the same
// session to start from. The variables are kept by name: an edit between two sweeps may move
// them in the list the dialog offers.
class SweepMemory {
   public:
    // The remembered answer over `names`; a variable no longer offered falls back to the first.
    // Empty before the first accepted answer.
    std::optional<SweepChoice> For(const std::vector<std::string>& names) const;
    void Keep(const SweepChoice& choice, const std::vector<std::string>& names);

   private:
    std::optional<SweepChoice> choice_;
    std::string variable_;
    std::string parameter_;
};
