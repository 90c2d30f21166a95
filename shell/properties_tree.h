#pragma once

#include <QIcon>
#include <QStringList>
#include <QTreeWidget>

#include "shell/core_bridge.h"

// The Properties window's tree: one node per equation document, summarising its options and
// the result of its last Solve.
class PropertiesTree : public QTreeWidget {
    Q_OBJECT
   public:
    explicit PropertiesTree(QWidget* parent = nullptr);

    // Inserts the node of a document after `after` (at the end when null) and returns it.
    QTreeWidgetItem* ShowResultsSummary(const DocumentSettings& settings, const QString& title,
                                        const QStringList& variableLines,
                                        QTreeWidgetItem* after = nullptr);
    // Replaces a document's node: the new one goes where the old one stood after its previous
    // sibling, or to the end when the old one was first (or is not there).
    QTreeWidgetItem* ReplaceNode(QTreeWidgetItem* node, const DocumentSettings& settings,
                                 const QString& title, const QStringList& variableLines = {});
    void RemoveNode(QTreeWidgetItem* node);
    void SelectNode(QTreeWidgetItem* node);

    // The image of a node, by the index of the original image list (0..7).
    static int ImageOf(const QTreeWidgetItem* item);

   private:
    QTreeWidgetItem* AddChild(QTreeWidgetItem* parent, const QString& text, int image,
                              int selectedImage);
    QList<QIcon> images_;
};
