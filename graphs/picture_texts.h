#pragma once

#include <string>
#include <vector>

#include "graphs/canvas.h"
#include "graphs/plot_layout.h"

namespace graphs {

struct PlacedText {
    Point at;
    FontRole font = FontRole::General;
    TextAlign align = TextAlign::Left;
    std::string text;
};

// One row of a legend: a swatch (a filled square, or a short line in the pen of a branch) and
// its text, which starts kLegendTextOffset right of the swatch.
struct LegendEntry {
    bool line = false;  // a line of `pen` instead of a square of `colour`
    GraphColour colour = kBlack;
    Pen pen;
    std::string text;
};
inline constexpr int kLegendSwatch = 30;  // the square's side, the line's length
inline constexpr int kLegendTextOffset = 40;
inline constexpr int kLegendStep = 40;  // from one row to the next
inline constexpr int kReadoutStep = 30;

// What a picture writes beside its axes.
struct AxisTexts {
    std::string xTitle;
    std::string yTitle;  // the y titles of every curve, joined
    std::string title;   // under the picture
    Range x, y;          // for the readouts
};

// The texts of a picture placed by their measured widths (Canvas::TextWidth), so that none
// runs off the picture or into another:
// - tick labels as the axes ask, except x labels that would run into another label (then only
//   every second, third, ... is written) or into a y label; y labels too wide for the room
//   left of their axis stand right of it;
// - titles cut to the room they have, with an ellipsis;
// - in the right-hand margin, readouts from the bottom up (a readout too wide for the margin
//   on two lines, its name cut if need be) and legend rows from the top down; rows that do not
//   fit above the readouts are left out. Texts wider than the margin start further left.
// Everything is moved clear of the texts placed before it and of the axes' arrows.
struct TextLayout {
    std::vector<PlacedText> texts;
    std::vector<Point> legendRows;         // lower-left corner of each legend row that fits
    std::vector<std::string> legendTexts;  // their texts, cut to the room they have
};

TextLayout LayOutTexts(const Canvas& canvas, const PlotScale& scale, const AxisTexts& axis,
                       const std::vector<LegendEntry>& legend);

}  // namespace graphs
