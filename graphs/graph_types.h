#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace graphs {

// Colours are stored as the result files and dialogs exchange them: red in the low byte,
// then green, then blue.
using GraphColour = std::uint32_t;

constexpr GraphColour MakeColour(int red, int green, int blue) {
    return static_cast<GraphColour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(GraphColour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(GraphColour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(GraphColour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

inline constexpr GraphColour kBlack = MakeColour(0, 0, 0);
inline constexpr GraphColour kBlue = MakeColour(0, 0, 255);
inline constexpr GraphColour kGridGrey = MakeColour(128, 128, 128);

// Position of a column in a result file's header, 0-based. Curves, the table and the drawing
// all key columns by it, so a file is read up to the last column it can name.
using ColumnIndex = std::int32_t;
inline constexpr ColumnIndex kMaxColumnIndex = std::numeric_limits<ColumnIndex>::max();

// One curve y(x) of a graph. Names are header names of the result file (single-byte text);
// titles are what the picture shows (UTF-8).
struct GraphCurve {
    std::string xName;
    std::string yName;
    std::string xTitle;
    std::string yTitle;
    std::string title;       // written under the picture
    ColumnIndex xIndex = 0;  // column of xName in the header last matched
    ColumnIndex yIndex = 0;
    GraphColour colour = kBlue;
};

// How curves are drawn. None (no choice made in the dialog) draws like Line.
enum class GraphType { None = -1, Normal = 0, Bar = 1, Line = 2, NormalPoints = 3, LinePoints = 4 };

struct GraphLayout {
    bool oneGraph = true;  // all curves in one picture
    bool horizontalGrid = true;
    bool verticalGrid = true;
    GraphType type = GraphType::None;
};

}  // namespace graphs
