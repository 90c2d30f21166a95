#pragma once

#include <string>

#include "graphs/graph_types.h"
#include "scratch_dir.h"

// A curve of column y over column x, its axes titled by their names.
inline graphs::GraphCurve Curve(const std::string& x, const std::string& y,
                                graphs::GraphColour colour = graphs::kBlue) {
    graphs::GraphCurve c;
    c.xName = c.xTitle = x;
    c.yName = c.yTitle = y;
    c.title = "Title";
    c.colour = colour;
    return c;
}
