#include "graphs/plot_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace graphs {

using geometry::kHalfHeight;
using geometry::kHalfWidth;

std::optional<Range> FiniteRange(std::span<const float> values) {
    std::optional<Range> r;
    for (float f : values) {
        if (!std::isfinite(f)) continue;
        const double v = f;
        if (!r) {
            r = Range{v, v};
        } else {
            r->min = std::min(r->min, v);
            r->max = std::max(r->max, v);
        }
    }
    return r;
}

std::optional<Range> Merge(std::optional<Range> a, std::optional<Range> b) {
    if (!a) return b;
    if (!b) return a;
    return Range{std::min(a->min, b->min), std::max(a->max, b->max)};
}

std::optional<PlotScale> MakeScale(Range x, Range y) {
    if (x.Empty() || y.Empty()) return std::nullopt;
    return PlotScale{x, y, 2.0 * kHalfWidth / (x.max - x.min), 2.0 * kHalfHeight / (y.max - y.min)};
}

long RoundHalfDown(double v) {
    return static_cast<long>(std::ceil(v - 0.5));
}

Point MapPoint(const PlotScale& s, double x, double y) {
    const long px = RoundHalfDown((x - s.x.min) * s.sx - kHalfWidth);
    const long py = RoundHalfDown((y - s.y.min) * s.sy - kHalfHeight);
    return {static_cast<int>(std::clamp<long>(px, -kHalfWidth, kHalfWidth)),
            static_cast<int>(std::clamp<long>(py, -kHalfHeight, kHalfHeight))};
}

int AxisPosition(Range r, double scale, int half) {
    if (r.min <= 0.0 && 0.0 <= r.max) {
        const double at = std::trunc((0.0 - r.min) * scale - half);
        return static_cast<int>(
            std::clamp(at, static_cast<double>(-half), static_cast<double>(half)));
    }
    return r.max < 0.0 ? half : -half;
}

std::string FormatReadout(const std::string& name, double value) {
    const double a = std::fabs(value);
    const bool exponent = value != 0.0 && (a < 1e-5 || a > 1e5);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, exponent ? "=%.7e" : "=%.7g", value);
    return name + buffer;
}

BranchPalette::BranchPalette(GraphColour first)
    : red_(RedOf(first)), green_(GreenOf(first)), blue_(BlueOf(first)) {}

// Red and green take turns at a half turn of the wheel while blue fades, so neighbouring
// branches differ in two components.
GraphColour BranchPalette::Next() {
    const auto wrap = [](int component) { return ((component % 256) + 256) % 256; };
    if (turn_ % 2 == 1) red_ = wrap(red_ + 127);
    ++turn_;
    if (turn_ % 2 == 1) green_ = wrap(green_ + 127);
    blue_ = wrap(blue_ - 50);
    return Current();
}

std::vector<GraphColour> BranchColours(GraphColour first, int count) {
    std::vector<GraphColour> colours;
    if (count <= 0) return colours;
    BranchPalette palette(first);
    colours.push_back(palette.Current());
    while (static_cast<int>(colours.size()) < count) colours.push_back(palette.Next());
    return colours;
}

}  // namespace graphs
