#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphs/graph_types.h"

namespace graphs {

// A picture is laid out in units of 0.1 mm with y pointing up and the origin at the centre of
// the plot box. The paper sizes are kept in hundredths of a millimetre, as the picture frame is.
namespace geometry {
inline constexpr int kWidth = 5000;  // hundredths of a millimetre
inline constexpr int kHeight = 3500;
inline constexpr int kMargin = 1000;  // room on the right for legends and readouts
inline constexpr int kHalfWidth = (kWidth - 1200) / 10;  // plot box, 0.1 mm
inline constexpr int kHalfHeight = (kHeight - 1000) / 10;
// The recorded frame runs from (-W, -H) to (W + 2M, H) hundredths of a millimetre.
inline constexpr int kFrameLeft = -kWidth / 10;
inline constexpr int kFrameRight = (kWidth + 2 * kMargin) / 10;
inline constexpr int kFrameBottom = -kHeight / 10;
inline constexpr int kFrameTop = kHeight / 10;
inline constexpr int kFrameWidth = kFrameRight - kFrameLeft;   // 1200: 120 mm
inline constexpr int kFrameHeight = kFrameTop - kFrameBottom;  // 700: 70 mm
}  // namespace geometry

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Range {
    double min = 0.0;
    double max = 0.0;
    // Empty ranges (max not above min) cannot be scaled: nothing is drawn for them.
    bool Empty() const { return !(max > min); }
};

// Smallest and largest finite value; nullopt when there is none.
std::optional<Range> FiniteRange(std::span<const float> values);
// The union of two ranges, either of which may be missing.
std::optional<Range> Merge(std::optional<Range> a, std::optional<Range> b);

struct PlotScale {
    Range x;
    Range y;
    double sx = 0.0;  // 0.1 mm per data unit
    double sy = 0.0;
};

// nullopt when either range is empty.
std::optional<PlotScale> MakeScale(Range x, Range y);

// Nearest integer; an exact half goes down (2.5 -> 2, -2.5 -> -3).
long RoundHalfDown(double v);

// Data point to picture point, clamped into the plot box.
Point MapPoint(const PlotScale& s, double x, double y);

// Where the vertical axis stands (x = 0 when the range holds it, else the box edge on the side
// of the data): pass the x range, sx and the half-width. The same rule places the horizontal
// axis from the y range.
int AxisPosition(Range r, double scale, int half);

// "name=value": exponent form for non-zero magnitudes below 1e-5 or above 1e5.
std::string FormatReadout(const std::string& name, double value);

// Colours of the branches of a parameter sweep: the curve's own colour first, then each one
// derived from the one before. Each step starts from the last colour, so a sweep of n branches
// costs n steps however it is drawn.
class BranchPalette {
   public:
    explicit BranchPalette(GraphColour first);
    GraphColour Current() const { return MakeColour(red_, green_, blue_); }
    // Derives the next branch's colour and makes it current.
    GraphColour Next();

   private:
    int red_, green_, blue_;
    int turn_ = 1;  // red moves on odd turns, green on even ones
};

// The first `count` colours of a BranchPalette.
std::vector<GraphColour> BranchColours(GraphColour first, int count);

}  // namespace graphs
