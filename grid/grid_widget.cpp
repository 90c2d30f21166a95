#include "grid/grid_widget.h"

#include <QHeaderView>

namespace {
constexpr int kDataRole = Qt::UserRole + 7;
}

GridWidget::GridWidget(QWidget* parent) : QTableWidget(0, 1, parent) {
    verticalHeader()->hide();
    setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    horizontalHeader()->setHighlightSections(false);
}

void GridWidget::setFixedColumnTitle(const QString& title) {
    horizontalHeaderItem(0)->setText(title);
}

void GridWidget::setFixedColumnWidth(int width) {
    setColumnWidth(0, width);
}

QString GridWidget::columnTitle(int column) const {
    const QTableWidgetItem* h = horizontalHeaderItem(column + 1);
    return h != nullptr ? h->text() : QString();
}

void GridWidget::setColumnTitle(int column, const QString& title) {
    QTableWidgetItem* h = horizontalHeaderItem(column + 1);
    if (h == nullptr)
        setHorizontalHeaderItem(column + 1, new QTableWidgetItem(title));
    else
        h->setText(title);
}

QStringList GridWidget::columnTitles() const {
    QStringList titles;
    for (int c = 0; c < dataColumnCount(); ++c) titles.append(columnTitle(c));
    return titles;
}

QTableWidgetItem* GridWidget::ensureItem(int row, int column) {
    QTableWidgetItem* it = QTableWidget::item(row, column);
    if (it == nullptr) {
        it = new QTableWidgetItem;
        it->setBackground(background_);
        if (readOnly_ || column == 0) it->setFlags(it->flags() & ~Qt::ItemIsEditable);
        setItem(row, column, it);
    }
    return it;
}

QString GridWidget::rowLabel(int row) const {
    const QTableWidgetItem* it = QTableWidget::item(row, 0);
    return it != nullptr ? it->text() : QString();
}

void GridWidget::setRowLabel(int row, const QString& label) {
    ensureItem(row, 0)->setText(label);
}

QString GridWidget::cellText(int row, int column) const {
    const QTableWidgetItem* it = QTableWidget::item(row, column + 1);
    return it != nullptr ? it->text() : QString();
}

void GridWidget::setCellText(int row, int column, const QString& text) {
    ensureItem(row, column + 1)->setText(text);
}

int GridWidget::cellData(int row, int column) const {
    const QTableWidgetItem* it = QTableWidget::item(row, column + 1);
    return it != nullptr ? it->data(kDataRole).toInt() : 0;
}

void GridWidget::setCellData(int row, int column, int value) {
    ensureItem(row, column + 1)->setData(kDataRole, value);
}

void GridWidget::setCellBackground(int row, int column, const QColor& colour) {
    ensureItem(row, column + 1)->setBackground(colour);
}

void GridWidget::setCellReadOnly(int row, int column, bool readOnly) {
    QTableWidgetItem* it = ensureItem(row, column + 1);
    it->setFlags(readOnly ? it->flags() & ~Qt::ItemIsEditable : it->flags() | Qt::ItemIsEditable);
}

bool GridWidget::isCellReadOnly(int row, int column) const {
    const QTableWidgetItem* it = QTableWidget::item(row, column + 1);
    if (it == nullptr) return readOnly_;
    return !(it->flags() & Qt::ItemIsEditable);
}

void GridWidget::setGridBackground(const QColor& colour) {
    background_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            if (QTableWidgetItem* it = QTableWidget::item(r, c)) it->setBackground(colour);
        }
    }
}

void GridWidget::prepareRow(int row) {
    for (int c = 0; c < columnCount(); ++c) ensureItem(row, c);
}

int GridWidget::appendRow(const QString& label) {
    const int row = rowCount();
    insertRowAt(row, label);
    return row;
}

void GridWidget::insertRowAt(int row, const QString& label) {
    insertRow(row);
    prepareRow(row);
    setRowLabel(row, label);
}

void GridWidget::deleteRow(int row) {
    if (row >= 0 && row < rowCount()) removeRow(row);
}

int GridWidget::appendColumn(const QString& title) {
    const int column = dataColumnCount();
    insertColumnAt(column, title);
    return column;
}

void GridWidget::insertColumnAt(int column, const QString& title) {
    insertColumn(column + 1);
    setHorizontalHeaderItem(column + 1, new QTableWidgetItem(title));
    for (int r = 0; r < rowCount(); ++r) ensureItem(r, column + 1);
}

void GridWidget::deleteColumn(int column) {
    if (column >= 0 && column < dataColumnCount()) removeColumn(column + 1);
}

void GridWidget::clearGrid() {
    setRowCount(0);
    setColumnCount(1);
}

void GridWidget::focusCell(int row, int column) {
    setCurrentCell(row, column + 1);
    setFocus();
}

QStringList GridWidget::rowTexts(int row) const {
    QStringList texts;
    for (int c = 0; c < dataColumnCount(); ++c) texts.append(cellText(row, c));
    return texts;
}

void GridWidget::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    setEditTriggers(readOnly
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
}

void GridWidget::autoSize() {
    const int fixedWidth = columnWidth(0);
    resizeColumnsToContents();
    resizeRowsToContents();
    setColumnWidth(0, std::max(fixedWidth, columnWidth(0)));
}
