#include "shell/properties_tree.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>

namespace {

enum Image {
    kOptionSelected = 0,
    kOption = 1,
    kResultOk = 3,
    kResultOkSelected = 4,
    kDocument = 5,
    kDocumentSelected = 6,
    kNotFound = 7
};

constexpr int kImageRole = Qt::UserRole + 1;

// Sixteen-pixel pictures drawn at run time; only their being distinguishable matters.
QPixmap DrawImage(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case 0:
            p.setBrush(QColor(0, 120, 215));
            p.drawRect(5, 5, 6, 6);
            break;
        case 1:
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(5, 5, 6, 6);
            break;
        case 2:
            p.setBrush(QColor(200, 200, 200));
            p.drawEllipse(4, 4, 8, 8);
            break;
        case 3:
            p.setBrush(QColor(0, 150, 0));
            p.drawEllipse(2, 2, 12, 12);
            break;
        case 4:
            p.setPen(QPen(QColor(0, 150, 0), 2));
            p.drawLine(3, 8, 7, 12);
            p.drawLine(7, 12, 13, 3);
            break;
        case 5:  // a sheet, pale or gold
        case 6:
            p.setBrush(index == 5 ? QColor(255, 255, 224) : QColor(255, 215, 0));
            p.drawRect(3, 1, 10, 14);
            p.drawLine(5, 5, 11, 5);
            p.drawLine(5, 8, 11, 8);
            break;
        case 7:
            p.setPen(QPen(QColor(200, 0, 0), 2));
            p.drawLine(3, 3, 13, 13);
            p.drawLine(13, 3, 3, 13);
            break;
        default: break;
    }
    return pixmap;
}

QString Flag(std::uint32_t v) {
    return v != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

}  // namespace

PropertiesTree::PropertiesTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("PropertiesTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    for (int i = 0; i < 8; ++i) images_.append(QIcon(DrawImage(i)));
}

int PropertiesTree::ImageOf(const QTreeWidgetItem* item) {
    return item->data(0, kImageRole).toInt();
}

QTreeWidgetItem* PropertiesTree::AddChild(QTreeWidgetItem* parent, const QString& text, int image,
                                          int selectedImage) {
    auto* item = new QTreeWidgetItem(parent, QStringList(text));
    QIcon icon = images_[image];
    if (selectedImage != image) {
        icon.addPixmap(images_[selectedImage].pixmap(16, 16), QIcon::Selected);
    }
    item->setIcon(0, icon);
    item->setData(0, kImageRole, image);
    return item;
}

QTreeWidgetItem* PropertiesTree::ShowResultsSummary(const DocumentSettings& s, const QString& title,
                                                    const QStringList& variableLines,
                                                    QTreeWidgetItem* after) {
    auto* node = new QTreeWidgetItem(QStringList(title));
    QIcon icon = images_[kDocument];
    icon.addPixmap(images_[kDocumentSelected].pixmap(16, 16), QIcon::Selected);
    node->setIcon(0, icon);
    node->setData(0, kImageRole, int(kDocument));
    const int at = after != nullptr ? indexOfTopLevelItem(after) + 1 : topLevelItemCount();
    insertTopLevelItem(at, node);

    const bool found = s.lastResult != 0;
    QTreeWidgetItem* results =
        found ? AddChild(node, QStringLiteral("Results: OK"), kResultOk, kResultOkSelected)
              : AddChild(node, QStringLiteral("Results: NOT FOUND"), kNotFound, kNotFound);
    for (const QString& line : variableLines) {
        if (found)
            AddChild(results, line, kResultOkSelected, kResultOkSelected);
        else
            AddChild(results, line, kNotFound, kNotFound);
    }
    if (found) {
        node->setExpanded(true);
        results->setExpanded(true);
    }

    const QStringList options = {
        QStringLiteral("Method = %1").arg(QLatin1String(corebridge::MethodTitle(s.method))),
        QStringLiteral("Jacoban Method = %1")
            .arg(s.jacobianMode != JacobianMode::kSymbolic ? QStringLiteral("Incremental Jacobian")
                                                           : QStringLiteral("Exact Jacobian")),
        QStringLiteral("Max. Iterations = %1").arg(s.maxIterations),
        QStringLiteral("Min. Tolerance = E%1").arg(s.toleranceExponent),
        QStringLiteral("Max. Initial Guess = %1").arg(s.maxGuess, 0, 'f', 6),
        QStringLiteral("Min. Initial Guess = %1").arg(s.minGuess, 0, 'f', 6),
        QStringLiteral("Delta J = %1").arg(s.deltaJ, 0, 'f', 6),
        QStringLiteral("Delta T = %1").arg(s.deltaT, 0, 'f', 6),
        QStringLiteral("Auto Simplify = %1").arg(Flag(s.autoSimplify)),
        QStringLiteral("Auto Homotopy = %1").arg(Flag(s.autoHomotopy)),
        QStringLiteral("Solve in groups = %1").arg(Flag(s.solveInGroups)),
    };
    for (const QString& line : options) AddChild(node, line, kOption, kOptionSelected);
    SelectNode(node);
    return node;
}

QTreeWidgetItem* PropertiesTree::ReplaceNode(QTreeWidgetItem* node,
                                             const DocumentSettings& settings, const QString& title,
                                             const QStringList& variableLines) {
    QTreeWidgetItem* previous = nullptr;
    const int index = node != nullptr ? indexOfTopLevelItem(node) : -1;
    if (index > 0) previous = topLevelItem(index - 1);
    if (index >= 0) delete takeTopLevelItem(index);
    return ShowResultsSummary(settings, title, variableLines, previous);
}

void PropertiesTree::RemoveNode(QTreeWidgetItem* node) {
    const int index = node != nullptr ? indexOfTopLevelItem(node) : -1;
    if (index >= 0) delete takeTopLevelItem(index);
}

void PropertiesTree::SelectNode(QTreeWidgetItem* node) {
    if (node != nullptr && indexOfTopLevelItem(node) >= 0) setCurrentItem(node);
}
