#include "shell/results_dialog.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>
#include <fstream>

#include "core/base/result_table.h"
#include "shell/charset.h"
#include "shell/editor_settings.h"

namespace {

constexpr int kFirstColumnWidth = 50;
constexpr int kCharacterPixels = 14;
const QColor kLightYellow(255, 255, 224);

QString Text(std::string_view cell) {
    return charset::ToUnicode(QByteArray(cell.data(), qsizetype(cell.size())));
}

}  // namespace

ResultsTable ReadResultsTable(const QString& path) {
    ResultsTable table;
    if (path.isEmpty()) return table;
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    if (!in) return table;
    TableLines lines(in);
    ResultTableReader reader(lines);
    for (const std::string& name : reader.head().names) table.names << Text(name);
    std::vector<std::string_view> cells;
    while (reader.NextRow(cells)) {
        QStringList row;
        for (const std::string_view cell : cells) row << Text(cell);
        table.rows.push_back(std::move(row));
    }
    return table;
}

ResultsModel::ResultsModel(ResultsTable table, QObject* parent)
    : QAbstractTableModel(parent), table_(std::move(table)) {
    qsizetype widest = table_.names.size();
    for (const QStringList& row : table_.rows) widest = std::max(widest, row.size());
    columns_ = int(widest) + 1;
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(table_.rows.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::BackgroundRole) return kLightYellow;
    if (role == Qt::TextAlignmentRole)
        return int(index.column() == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    if (index.column() == 0) return QString::number(index.row() + 1);
    const QStringList& row = table_.rows[std::size_t(index.row())];
    return index.column() - 1 < row.size() ? row[index.column() - 1] : QString();
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == 0) return QStringLiteral("  No");
    return section - 1 < table_.names.size() ? table_.names[section - 1] : QString();
}

CResultsDlg::CResultsDlg(const QString& path, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ResultsDialog"));
    setWindowTitle(QStringLiteral("Results from: ") + path);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_ = new ResultsModel(ReadResultsTable(path), this);
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("ResultsGrid"));
    QFont font;
    font.setFamilies(SymbolFamilies());
    font.setPixelSize(kCharacterPixels);
    font.setWeight(QFont::Normal);
    view_->setFont(font);
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    QPalette palette = view_->palette();
    palette.setColor(QPalette::Base, kLightYellow);
    view_->setPalette(palette);
    view_->resizeColumnsToContents();
    view_->setColumnWidth(0, std::max(kFirstColumnWidth, view_->columnWidth(0)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    // Sized to the table, within reason.
    int width = view_->verticalScrollBar() != nullptr ? 24 : 0;
    for (int c = 0; c < model_->columnCount(); ++c) width += view_->columnWidth(c);
    resize(std::clamp(width, 300, 1000), 480);
    QApplication::restoreOverrideCursor();
}
