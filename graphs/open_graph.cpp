#include "graphs/open_graph.h"

#include "graphs/graph_doc.h"
#include "graphs/graph_messages.h"
#include "graphs/graph_set_dlg.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"

using namespace graphs;

CGraphView* OpenGraph(GraphList* owner, const QString& path, QWidget* parent) {
    CGraphSetDlg dialog(path, parent);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    std::vector<GraphCurve> curves = dialog.Curves();
    if (curves.empty()) {
        ShowMessage(parent, QString::fromLatin1(message::kNothingToDraw));
        return nullptr;
    }
    return CreateGraph(owner, path, std::move(curves), dialog.Layout());
}

CGraphView* CreateGraph(GraphList* owner, const QString& path, std::vector<GraphCurve> curves,
                        const GraphLayout& layout, QWidget* parent) {
    auto* doc = new CGraphDoc(path, std::move(curves), layout);
    doc->Update(true);
    auto* view = new CGraphView(doc, parent);
    if (owner != nullptr) owner->Add(doc);
    return view;
}
