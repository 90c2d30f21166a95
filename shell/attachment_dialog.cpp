#include "shell/attachment_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "grid/grid_widget.h"
#include "shell/equation_app.h"
#include "shell/safe_save.h"
#include "shell/shell_messages.h"

namespace {
const QColor kLightYellow(255, 255, 224);
constexpr int kNumberColumnWidth = 50;
const QString kNewColumnName = QStringLiteral("noname");
}  // namespace

AttachmentDialog::AttachmentDialog(EquationApp& app, const QString& path, const QString& filter,
                                   QWidget* parent)
    : QDialog(parent), app_(app), path_(path), filter_(filter) {
    setWindowTitle(QStringLiteral("Attachment"));
    setObjectName(QStringLiteral("AttachmentDialog"));
    grid_ = new GridWidget(this);
    grid_->setFixedColumnTitle(QStringLiteral("  No"));
    grid_->setFixedColumnWidth(kNumberColumnWidth);
    grid_->setGridBackground(kLightYellow);

    auto button = [this](const QString& text, void (AttachmentDialog::*slot)()) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* side = new QVBoxLayout;
    side->addWidget(button(QStringLiteral("Add &Row"), &AttachmentDialog::AddRow));
    side->addWidget(button(QStringLiteral("&Insert Row"), &AttachmentDialog::InsertRow));
    side->addWidget(button(QStringLiteral("&Delete Row"), &AttachmentDialog::DeleteRow));
    side->addSpacing(8);
    side->addWidget(button(QStringLiteral("Add &Column"), &AttachmentDialog::AddColumn));
    side->addWidget(button(QStringLiteral("Inser&t Column"), &AttachmentDialog::InsertColumn));
    side->addWidget(button(QStringLiteral("Delete &Column"), &AttachmentDialog::DeleteColumn));
    side->addSpacing(8);
    name_ = new QLineEdit(this);
    name_->setMaxLength(kNameLength);
    approx_ = new QCheckBox(QStringLiteral("Approx:"), this);
    approx_->setLayoutDirection(Qt::RightToLeft);
    side->addWidget(name_);
    side->addWidget(approx_);
    side->addWidget(button(QStringLiteral("Get VarName"), &AttachmentDialog::GetVarName));
    side->addWidget(button(QStringLiteral("RefreshVar"), &AttachmentDialog::RefreshVar));
    side->addStretch();
    QPushButton* save = button(QStringLiteral("Save"), &AttachmentDialog::Save);
    side->addWidget(save);
    QPushButton* dontSave = button(QStringLiteral("Don't Save"), &AttachmentDialog::reject);
    side->addWidget(dontSave);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(side);
    resize(640, 400);
    Load(path);
}

void AttachmentDialog::Load(const QString& path) {
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const AttachmentTable table = ReadAttachment(file.readAll());
    for (const QString& name : table.names) grid_->appendColumn(name);
    for (const QStringList& row : table.rows) {
        // A row longer than the header keeps its values in extra columns.
        while (grid_->dataColumnCount() < row.size()) grid_->appendColumn(kNewColumnName);
        const int r = grid_->appendRow(QString::number(grid_->dataRowCount() + 1));
        for (int c = 0; c < row.size(); ++c) grid_->setCellText(r, c, row[c]);
    }
    rowCount_ = int(table.rows.size());
}

AttachmentTable AttachmentDialog::table() const {
    AttachmentTable t;
    t.names = grid_->columnTitles();
    for (int r = 0; r < grid_->dataRowCount(); ++r) t.rows.append(grid_->rowTexts(r));
    return t;
}

int AttachmentDialog::NextNumber() const {
    // Deleted rows leave gaps in the numbering; the next number follows the highest.
    int highest = 0;
    for (int r = 0; r < grid_->dataRowCount(); ++r)
        highest = std::max(highest, grid_->rowLabel(r).toInt());
    return highest + 1;
}

void AttachmentDialog::Renumber() {
    for (int r = 0; r < grid_->dataRowCount(); ++r) grid_->setRowLabel(r, QString::number(r + 1));
}

void AttachmentDialog::AddRow() {
    const int r = grid_->appendRow(QString::number(NextNumber()));
    grid_->focusCell(r, std::max(0, grid_->focusedColumn()));
}

void AttachmentDialog::InsertRow() {
    const int at = grid_->focusedRow();
    grid_->insertRowAt(at >= 0 ? at : grid_->dataRowCount());
    Renumber();
}

void AttachmentDialog::DeleteRow() {
    grid_->deleteRow(grid_->focusedRow());
}

void AttachmentDialog::AddColumn() {
    grid_->appendColumn(kNewColumnName);
}

void AttachmentDialog::InsertColumn() {
    grid_->insertColumnAt(std::max(0, grid_->focusedColumn()), kNewColumnName);
}

void AttachmentDialog::DeleteColumn() {
    grid_->deleteColumn(grid_->focusedColumn());
}

void AttachmentDialog::GetVarName() {
    const int column = grid_->focusedColumn();
    if (column < 0) return;
    QString name = grid_->columnTitle(column);
    const bool approx = name.endsWith(ApproxMark());
    if (approx) name.chop(1);
    name_->setText(name);
    approx_->setChecked(approx);
}

void AttachmentDialog::RefreshVar() {
    const int column = grid_->focusedColumn();
    if (column < 0) return;
    grid_->setColumnTitle(
        column, name_->text() + (approx_->isChecked() ? QString(ApproxMark()) : QString()));
}

void AttachmentDialog::Save() {
    const AttachmentTable t = table();
    int badRow = 0;
    int badColumn = 0;
    if (FindUnstorableCell(t, &badRow, &badColumn)) {
        // Written as it stands, the values after this cell would move into the wrong columns.
        app_.Message(this,
                     QString::fromLatin1(msg::kAttachmentUnstorable)
                         .arg(badRow < 0 ? QStringLiteral("of names") : QString::number(badRow + 1),
                              t.names.value(badColumn)),
                     QMessageBox::Warning);
        return;
    }
    QString target = path_;
    if (target.isEmpty() ||
        target.compare(QLatin1String(msg::kAttachmentNoName), Qt::CaseInsensitive) == 0) {
        target = app_.SaveFileName(this, QString::fromLatin1(msg::kAttachmentSaveTitle), filter_,
                                   QString(), QStringLiteral("LST"));
        // Without a name nothing is saved; the editor stays open so the table is not lost.
        if (target.isEmpty()) return;
    }
    int written = 0;
    const QByteArray bytes = WriteAttachment(t, &written);
    QString why;
    if (!SaveFileSafely(target, bytes, &why)) {
        app_.Message(this, QString::fromLatin1(msg::kAttachmentSaveFailed).arg(target, why),
                     QMessageBox::Warning);
        return;
    }
    path_ = target;
    rowCount_ = written;
    accept();
}
