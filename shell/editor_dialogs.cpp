#include "shell/editor_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A text with its choice of time: "File Time" or "System Time".
QGroupBox* PageText(const QString& title, const char* name, const QString& text, int time,
                    QLineEdit*& edit, QRadioButton*& systemTime, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    edit = new QLineEdit(text, box);
    edit->setObjectName(QLatin1String(name));
    auto* fileTime = new QRadioButton(QStringLiteral("File Time"), box);
    systemTime = new QRadioButton(QStringLiteral("System Time"), box);
    systemTime->setObjectName(QLatin1String(name) + QStringLiteral("SystemTime"));
    auto* group = new QButtonGroup(box);
    group->addButton(fileTime);
    group->addButton(systemTime);
    (time != 0 ? systemTime : fileTime)->setChecked(true);
    auto* times = new QHBoxLayout;
    times->addWidget(fileTime);
    times->addWidget(systemTime);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(edit);
    layout->addLayout(times);
    return box;
}

}  // namespace

CPageSetupDlg::CPageSetupDlg(const PageSetup& setup, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PageSetupDialog"));
    setWindowTitle(QStringLiteral("Page Setup"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageText(QStringLiteral("Header"), "header", setup.header, setup.headerTime,
                               header_, headerSystemTime_, this));
    layout->addWidget(PageText(QStringLiteral("Footer"), "footer", setup.footer, setup.footerTime,
                               footer_, footerSystemTime_, this));
    layout->addWidget(OkCancel(this));
}

PageSetup CPageSetupDlg::value() const {
    PageSetup p;
    p.header = header_->text();
    p.footer = footer_->text();
    p.headerTime = headerSystemTime_->isChecked() ? 1 : 0;
    p.footerTime = footerSystemTime_->isChecked() ? 1 : 0;
    return p;
}

CSetTabStops::CSetTabStops(int tabStops, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TabStopsDialog"));
    setWindowTitle(QStringLiteral("Set Tab Stops"));
    tabStops_ = new QSpinBox(this);
    tabStops_->setObjectName(QStringLiteral("tabStops"));
    tabStops_->setRange(EditorSettings::kMinTabStops, EditorSettings::kMaxTabStops);
    tabStops_->setValue(tabStops);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Tab Stops:"), tabStops_);
    form->addRow(OkCancel(this));
}

int CSetTabStops::value() const {
    return tabStops_->value();
}

CMoveCursorDlg::CMoveCursorDlg(int position, int last, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MoveCursorDialog"));
    setWindowTitle(QStringLiteral("Move Cursor"));
    position_ = new QSpinBox(this);
    position_->setObjectName(QStringLiteral("position"));
    position_->setRange(0, std::max(0, last));
    position_->setValue(position);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Jump to Position No:"), position_);
    form->addRow(OkCancel(this));
}

int CMoveCursorDlg::value() const {
    return position_->value();
}
