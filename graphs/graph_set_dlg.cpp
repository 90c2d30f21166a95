#include "graphs/graph_set_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/base/charset.h"
#include "graphs/graph_messages.h"
#include "graphs/qt_canvas.h"
#include "graphs/result_table.h"
#include "grid/grid_widget.h"

using namespace graphs;

namespace {

constexpr int kPositionRole = Qt::UserRole;    // header position of a column name
constexpr int kColourRole = Qt::UserRole + 1;  // colour of the Color cell
const QColor kGridBackground(255, 255, 224);

// The blanks widen the columns as they widened the original grid's.
const char* const kHeadings[] = {"No",           "X-axis     ",  "Y-axis     ",
                                 "X-Title     ", "Y-Title     ", "Title                  ",
                                 "Color"};

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

CGraphSetDlg::CGraphSetDlg(const QString& resultPath, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(message::kGraphSetCaption) + resultPath);

    variables_ = new QListWidget(this);
    variables_->setObjectName(QStringLiteral("variables"));
    variables_->setMaximumWidth(160);
    if (auto header = ReadResultHeader(resultPath.toStdString())) {
        names_ = std::move(header->names);
        for (std::size_t i = 0; i < names_.size(); ++i) {
            auto* item =
                new QListWidgetItem(QString::fromStdString(charset::ToUtf8(names_[i])), variables_);
            item->setData(kPositionRole, static_cast<int>(i));
        }
    }
    if (variables_->count() > 0) {
        variables_->setCurrentRow(0);
        currentX_ = 0;
    }

    // The program's grid: "No" is its fixed first column, the others its data columns.
    auto* grid = new GridWidget(this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setFixedColumnTitle(QString::fromLatin1(kHeadings[kNo]));
    for (int c = kXAxis; c < kColumnCount; ++c)
        grid->appendColumn(QString::fromLatin1(kHeadings[c]));
    grid->setGridBackground(kGridBackground);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid_ = grid;

    useX_ = Button(QStringLiteral("Use as\n &x axis"), QStringLiteral("useX"), this);
    useY_ = Button(QStringLiteral("Use as\n &y axis"), QStringLiteral("useY"), this);
    auto* newRow = Button(QStringLiteral("&New"), QStringLiteral("new"), this);
    insert_ = Button(QStringLiteral("&Insert"), QStringLiteral("insert"), this);
    delete_ = Button(QStringLiteral("&Delete"), QStringLiteral("delete"), this);
    auto* colour = Button(QStringLiteral("Color"), QStringLiteral("color"), this);
    refresh_ = Button(QStringLiteral("Refresh"), QStringLiteral("refresh"), this);

    oneGraph_ = new QCheckBox(QStringLiteral("One Graph"), this);
    oneGraph_->setObjectName(QStringLiteral("oneGraph"));
    oneGraph_->setChecked(true);
    auto* gridBox = new QGroupBox(QStringLiteral("Grid"), this);
    horizontal_ = new QCheckBox(QStringLiteral("Horizontal"), gridBox);
    horizontal_->setObjectName(QStringLiteral("horizontal"));
    horizontal_->setChecked(true);
    vertical_ = new QCheckBox(QStringLiteral("Vertical"), gridBox);
    vertical_->setObjectName(QStringLiteral("vertical"));
    vertical_->setChecked(true);
    auto* gridLayout = new QVBoxLayout(gridBox);
    gridLayout->addWidget(horizontal_);
    gridLayout->addWidget(vertical_);

    auto* typeBox = new QGroupBox(QStringLiteral("Type"), this);
    auto* typeLayout = new QVBoxLayout(typeBox);
    type_ = new QButtonGroup(this);
    const char* const types[] = {"Normal Graph", "Bar Graph", "Line Graph", "Normal Graph + Points",
                                 "Line Graph + Points"};
    for (int t = 0; t < 5; ++t) {
        auto* radio = new QRadioButton(QString::fromLatin1(types[t]), typeBox);
        type_->addButton(radio, t);
        typeLayout->addWidget(radio);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* axisButtons = new QVBoxLayout;
    axisButtons->addStretch();
    axisButtons->addWidget(useX_);
    axisButtons->addWidget(useY_);
    axisButtons->addStretch();
    auto* rowButtons = new QHBoxLayout;
    for (QPushButton* b : {newRow, insert_, delete_, colour, refresh_}) rowButtons->addWidget(b);
    auto* options = new QVBoxLayout;
    options->addWidget(oneGraph_);
    options->addWidget(gridBox);
    options->addWidget(typeBox);
    options->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Variables:"), this), 0, 0);
    layout->addWidget(variables_, 1, 0);
    layout->addLayout(axisButtons, 1, 1);
    layout->addWidget(grid_, 1, 2);
    layout->addLayout(options, 1, 3);
    layout->addLayout(rowButtons, 2, 2);
    layout->addWidget(buttons, 3, 0, 1, 4);
    layout->setColumnStretch(2, 1);

    connect(newRow, &QPushButton::clicked, this, &CGraphSetDlg::NewRow);
    connect(insert_, &QPushButton::clicked, this, &CGraphSetDlg::InsertRow);
    connect(delete_, &QPushButton::clicked, this, &CGraphSetDlg::DeleteRow);
    connect(useX_, &QPushButton::clicked, this, &CGraphSetDlg::UseAsX);
    connect(useY_, &QPushButton::clicked, this, &CGraphSetDlg::UseAsY);
    connect(colour, &QPushButton::clicked, this, &CGraphSetDlg::PickColour);
    connect(refresh_, &QPushButton::clicked, this, &CGraphSetDlg::RefreshColour);
    connect(oneGraph_, &QCheckBox::toggled, this, &CGraphSetDlg::OnOneGraph);
    connect(grid_, &QTableWidget::currentCellChanged, this, &CGraphSetDlg::UpdateButtons);
    UpdateButtons();
    resize(960, 380);
}

QString CGraphSetDlg::CurrentX() const {
    const QListWidgetItem* item = currentX_ >= 0 ? variables_->item(currentX_) : nullptr;
    return item != nullptr ? item->text() : QString();
}

QString CGraphSetDlg::Cell(int row, int column) const {
    const QTableWidgetItem* item = grid_->item(row, column);
    return item != nullptr ? item->text() : QString();
}

void CGraphSetDlg::SetFixedCell(int row, int column, const QString& text, int position) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (position >= 0) item->setData(kPositionRole, position);
    grid_->setItem(row, column, item);
}

void CGraphSetDlg::SetEditableCell(int row, int column, const QString& text) {
    grid_->setItem(row, column, new QTableWidgetItem(text));
}

void CGraphSetDlg::SetRowColour(int row, GraphColour colour) {
    for (int column : {kNo, kColor}) {
        QTableWidgetItem* item = grid_->item(row, column);
        if (item == nullptr) {
            SetFixedCell(row, column, QString());
            item = grid_->item(row, column);
        }
        item->setBackground(ToQColor(colour));
        // The row number stays legible on dark colours.
        item->setForeground(qGray(ToQColor(colour).rgb()) < 128 ? Qt::white : Qt::black);
    }
    grid_->item(row, kColor)->setData(kColourRole, static_cast<uint>(colour));
}

void CGraphSetDlg::FillRow(int row, bool withXAxis, bool withXTitle) {
    SetFixedCell(row, kNo, QString());
    SetFixedCell(row, kXAxis, withXAxis ? CurrentX() : QString(), withXAxis ? currentX_ : -1);
    SetFixedCell(row, kYAxis, QString());
    SetEditableCell(row, kXTitle, withXTitle ? CurrentX() : QString());
    SetEditableCell(row, kYTitle, QString());
    SetEditableCell(row, kTitle, QString());
    SetFixedCell(row, kColor, QString());
    SetRowColour(row, colour_);
    Renumber();
}

void CGraphSetDlg::Renumber() {
    for (int row = 0; row < grid_->rowCount(); ++row) {
        grid_->item(row, kNo)->setText(QStringLiteral("%1").arg(row + 1, 2, 10, QLatin1Char('0')));
    }
}

void CGraphSetDlg::NewRow() {
    const int row = grid_->rowCount();
    grid_->insertRow(row);
    FillRow(row, oneGraph_->isChecked(), true);
    grid_->setCurrentCell(row, kYAxis);
    UpdateButtons();
}

void CGraphSetDlg::InsertRow() {
    const int row = grid_->currentRow();
    if (row < 0) return;
    grid_->insertRow(row);
    FillRow(row, oneGraph_->isChecked(), oneGraph_->isChecked());
    grid_->setCurrentCell(row, kYAxis);
    UpdateButtons();
}

void CGraphSetDlg::DeleteRow() {
    const int row = grid_->currentRow();
    if (row < 0) return;
    grid_->removeRow(row);
    Renumber();
    UpdateButtons();
}

void CGraphSetDlg::UseAsX() {
    const int row = grid_->currentRow();
    const QListWidgetItem* selected = variables_->currentItem();
    if (row < 0 || selected == nullptr) return;
    currentX_ = variables_->row(selected);
    const int position = selected->data(kPositionRole).toInt();
    SetFixedCell(row, kXAxis, selected->text(), position);
    grid_->item(row, kXTitle)->setText(selected->text());
    if (oneGraph_->isChecked()) OnOneGraph(true);
}

void CGraphSetDlg::UseAsY() {
    const int row = grid_->currentRow();
    const QListWidgetItem* selected = variables_->currentItem();
    if (row < 0 || selected == nullptr) return;
    SetFixedCell(row, kYAxis, selected->text(), selected->data(kPositionRole).toInt());
    grid_->item(row, kYTitle)->setText(selected->text());
}

void CGraphSetDlg::PickColour() {
    const QColor picked = QColorDialog::getColor(ToQColor(colour_), this);
    if (picked.isValid()) colour_ = FromQColor(picked);
}

void CGraphSetDlg::RefreshColour() {
    const int row = grid_->currentRow();
    if (row >= 0) SetRowColour(row, colour_);
}

void CGraphSetDlg::OnOneGraph(bool on) {
    if (!on || currentX_ < 0) return;
    for (int row = 0; row < grid_->rowCount(); ++row)
        SetFixedCell(row, kXAxis, CurrentX(), currentX_);
}

void CGraphSetDlg::UpdateButtons() {
    const bool focused = grid_->currentRow() >= 0;
    useX_->setEnabled(focused && variables_->count() > 0);
    useY_->setEnabled(focused && variables_->count() > 0);
    insert_->setEnabled(focused);
    delete_->setEnabled(focused);
    refresh_->setEnabled(focused);
}

std::vector<GraphCurve> CGraphSetDlg::Curves() const {
    std::vector<GraphCurve> curves;
    for (int row = 0; row < grid_->rowCount(); ++row) {
        const QString x = Cell(row, kXAxis);
        const QString y = Cell(row, kYAxis);
        if (x.isEmpty() || y.isEmpty()) continue;
        GraphCurve c;
        c.xIndex = grid_->item(row, kXAxis)->data(kPositionRole).toInt();
        c.yIndex = grid_->item(row, kYAxis)->data(kPositionRole).toInt();
        // The names as the file spells them, byte for byte, for matching the header again.
        c.xName = names_.at(static_cast<std::size_t>(c.xIndex));
        c.yName = names_.at(static_cast<std::size_t>(c.yIndex));
        c.xTitle = Cell(row, kXTitle).toStdString();
        c.yTitle = Cell(row, kYTitle).toStdString();
        c.title = Cell(row, kTitle).toStdString();
        c.colour = grid_->item(row, kColor)->data(kColourRole).toUInt();
        curves.push_back(std::move(c));
    }
    return curves;
}

GraphLayout CGraphSetDlg::Layout() const {
    GraphLayout l;
    l.oneGraph = oneGraph_->isChecked();
    l.horizontalGrid = horizontal_->isChecked();
    l.verticalGrid = vertical_->isChecked();
    l.type = static_cast<GraphType>(type_->checkedId());  // -1 when none was chosen
    return l;
}
