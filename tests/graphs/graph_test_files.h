#pragma once

#include <string>

#include "graphs/graph_types.h"
#include "scratch_dir.h"

inline std::string DataFile(const std::string& name) {
    return std::string(VALDRIX_GRAPHS_DATA) + "/" + name;
}

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
