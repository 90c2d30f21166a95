#pragma once

#include <string>
#include <vector>

#include "graphs/canvas.h"

namespace graphs {

// A width for a text when no font is at hand (a picture recorded without one): half the
// font's height for each character, about the average of a proportional face.
double EstimatedTextWidth(FontRole font, const std::string& utf8);

// A rectangle of the picture, in 0.1 mm, y up.
struct Box {
    double left = 0, bottom = 0, right = 0, top = 0;
    // Whether the two share more than an edge.
    bool Overlaps(const Box& o) const {
        return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
    }
    Box Grown(double by) const { return {left - by, bottom - by, right + by, top + by}; }
};

// How far apart texts that do not belong together keep (0.1 mm): about a space.
inline constexpr double kClearance = 6;

// The room a text of `width` takes when written at `at` with `align`: from the font's descent
// below the baseline to its ascent above.
Box TextBox(Point at, TextAlign align, FontRole font, double width);
double Ascent(FontRole font);
double Descent(FontRole font);

// As much of `text` as fits in `room` (0.1 mm) in `font`, an ellipsis marking the cut; the
// whole text when it fits.
std::string FitText(const Canvas& canvas, FontRole font, const std::string& text, double room);

// The right-hand margin of a picture, where legends and readouts stand: their texts start at
// kLeft, or further left, to kFarLeft, when they would otherwise run past kRight.
namespace margin {
inline constexpr int kLeft = geometry::kHalfWidth + 110;
inline constexpr int kFarLeft = geometry::kHalfWidth + 10;
inline constexpr int kRight = geometry::kFrameRight - 5;
inline constexpr int kWidest = kRight - kFarLeft;  // the widest text the margin holds
}  // namespace margin

// Where a text or row of `width` that would start at `left` starts so that it ends by
// margin::kRight, though not left of margin::kFarLeft.
double MarginStart(double width, double left = margin::kLeft);

// One text or legend row to be stacked: its horizontal extent and how far it reaches below and
// above the point it is placed by (a baseline, or a legend row's lower edge).
struct StackItem {
    double left = 0, right = 0;
    double below = 0, above = 0;
};

// Places `items` one after the other from `start`: upward when `step` is positive, downward
// when negative, each at least |step| past the one before and moved further past any of
// `obstacles` it would overlap (texts among them with their clearance around them). Stops at the
// first item that would reach past `limit`, so the result holds the places of the items that fit,
// in order.
std::vector<int> Stack(const std::vector<StackItem>& items, int start, int step, int limit,
                       const std::vector<Box>& obstacles);

// Which of the labels of an axis to write, given their boxes and the multiples k of the step
// they stand at: every one when they stand kClearance apart, else only those where k is a
// multiple of 2, 3, ..., the smallest stride that clears them. A label that would overlap one
// of `placed` is left out as well. Tick marks and grid lines stay at every step.
std::vector<bool> LabelsShown(const std::vector<Box>& labels, const std::vector<double>& k,
                              const std::vector<Box>& placed);

}  // namespace graphs
