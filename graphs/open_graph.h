#pragma once

#include <QString>
#include <vector>

#include "graphs/graph_types.h"

class CGraphView;
class GraphList;
class QWidget;

// Graph > From Results / From File: asks for the curves of the result file `path` in the
// graph-set dialog and, on OK with at least one curve, opens the graph: a view (owning its
// document, titled "Picture:" and the path) that the caller puts into a window. Says "There
// is nothing to be drawn" on OK without curves. Returns nullptr then and on Cancel. `parent`
// parents the dialog and the message; the view has no parent yet.
CGraphView* OpenGraph(GraphList* owner, const QString& path, QWidget* parent);

// The graph itself, without the dialog: rendered, and listed in `owner` (may be null).
CGraphView* CreateGraph(GraphList* owner, const QString& path,
                        std::vector<graphs::GraphCurve> curves, const graphs::GraphLayout& layout,
                        QWidget* parent = nullptr);
