#pragma once

#include <QSize>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "graphs/graph_types.h"

namespace graphs {

// valdrix-graph: draws result-file columns to a file, through the same layout and drawing as
// the graph windows.
struct GraphToolOptions {
    std::string results;
    std::string x;
    std::vector<std::string> ys;
    std::string output;
    std::string title;
    QSize size;  // invalid: the format's own size
    GraphType type = GraphType::Normal;
    bool help = false;
};

struct GraphToolArgs {
    std::optional<GraphToolOptions> options;
    std::string error;  // when options is empty
};

GraphToolArgs ParseGraphToolArgs(const std::vector<std::string>& args);
std::string GraphToolUsage();

// Exit status: 0 written, 1 nothing to draw or the output could not be written (no file is
// left either way), 2 usage error, results file missing or unreadable, unknown column or
// output format.
int RunGraphTool(const GraphToolOptions& options, std::ostream& out, std::ostream& err);

}  // namespace graphs
