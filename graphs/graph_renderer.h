#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "graphs/canvas.h"
#include "graphs/graph_types.h"

namespace graphs {

struct CurveSeries {
    const GraphCurve* curve = nullptr;
    std::span<const float> x;
    std::span<const float> y;
};

// The second parameter of a two-parameter sweep: the file holds one sweep per value.
struct SweepInfo {
    std::string name;                    // empty when the file is not such a sweep
    std::vector<float> values;           // one per sweep, in file order
    std::vector<std::size_t> firstRows;  // the row where each sweep begins
};

struct PictureContent {
    std::vector<CurveSeries> curves;  // one curve, or every curve with One Graph
    GraphLayout layout;
    SweepInfo sweep;
};

// Pens of the picture; widths in 0.1 mm.
inline constexpr Pen kGridPen{kGridGrey, PenStyle::Dotted, 1};
inline constexpr Pen kAxisPen{kBlack, PenStyle::Solid, 2};
inline constexpr int kCurveWidth = 3;
inline constexpr int kPointRadius = 7;

// The style of the lines of branch k (from 0) of a sweep when curves share a picture: solid,
// dashed, dotted, dash-dotted, dash-dot-dotted, and round again.
PenStyle BranchStyle(std::size_t k);

// Draws axes, ticks, grid, titles, legends, readouts and curves, the texts placed by the
// canvas's measure of them (LayOutTexts). Nothing at all is drawn when the x or the y values
// have no finite range of non-zero width.
void RenderPicture(Canvas& canvas, const PictureContent& content);

}  // namespace graphs
