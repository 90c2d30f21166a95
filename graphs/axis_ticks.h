#pragma once

#include <string>
#include <vector>

#include "graphs/plot_layout.h"

namespace graphs {

// A tidy tick step for the range [lo, hi]: ticks every mantissa * 10^exponent data units,
// labelled with multiples of the mantissa; a non-zero exponent is written beside the axis as
// "x10" with that exponent. digits is the number of decimals of the y labels.
struct StepInfo {
    double mantissa = 1.0;
    int exponent = 0;
    int digits = 0;
};

StepInfo NiceStep(double lo, double hi);

struct Tick {
    double value = 0.0;  // data value of the tick
    Point at;            // where the tick stands on its axis
    std::string label;
};

// Ticks from the top of the range down, skipping the one at zero (the other axis crosses
// there). X labels are "%.3g" of the multiple of the mantissa, y labels fixed with `digits`
// decimals.
std::vector<Tick> XTicks(const PlotScale& s, const StepInfo& step);
std::vector<Tick> YTicks(const PlotScale& s, const StepInfo& step);

}  // namespace graphs
