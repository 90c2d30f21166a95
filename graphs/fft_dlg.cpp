#include "graphs/fft_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "core/base/charset.h"
#include "graphs/dialog_rules.h"

using namespace graphs;

namespace {

constexpr int kMaxIndex = 1 << 20;  // beyond the longest series the sweep dialog can ask for

QComboBox* ColumnList(const QString& name, const std::vector<std::string>& columns, int selected,
                      QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const std::string& c : columns) box->addItem(QString::fromStdString(charset::ToUtf8(c)));
    box->setCurrentIndex(selected);
    return box;
}

}  // namespace

CFftDlg::CFftDlg(const std::vector<std::string>& columns, const FftChoice& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("FFT"));
    const FftColumns pre = PreselectFftColumns(columns);
    time_ = ColumnList(QStringLiteral("timeColumn"), columns, pre.time, this);
    real_ = ColumnList(QStringLiteral("realColumn"), columns, pre.real, this);
    imag_ = ColumnList(QStringLiteral("imagColumn"), columns, pre.imag, this);
    axis_ = new QComboBox(this);
    axis_->setObjectName(QStringLiteral("axis"));
    axis_->addItems({QStringLiteral("Frequency [Hz]"), QStringLiteral("Angular frequency [rad/s]"),
                     QStringLiteral("Sample index")});
    axis_->setCurrentIndex(std::clamp(initial.axis, 0, 2));
    low_ = new QSpinBox(this);
    low_->setObjectName(QStringLiteral("lowIndex"));
    low_->setRange(0, kMaxIndex);
    low_->setValue(std::max(initial.lowIndex, 0));
    // -1 stands for the last output index, whatever the length of the series.
    high_ = new QSpinBox(this);
    high_->setObjectName(QStringLiteral("highIndex"));
    high_->setRange(-1, kMaxIndex);
    high_->setSpecialValueText(QStringLiteral("last"));
    high_->setValue(initial.highIndex);
    // The range never runs backwards: raising the lowest index lifts the highest with it.
    connect(low_, &QSpinBox::valueChanged, this, [this](int low) {
        if (high_->value() >= 0 && high_->value() < low) high_->setValue(low);
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Independent Variable:"), time_);
    form->addRow(QStringLiteral("Re ( Y ):"), real_);
    form->addRow(QStringLiteral("Im ( Y ):"), imag_);
    form->addRow(QStringLiteral("X axis show as:"), axis_);
    form->addRow(QStringLiteral("X Samples From:"), low_);
    form->addRow(QStringLiteral("X Samples To:"), high_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

FftChoice CFftDlg::Choice() const {
    FftChoice c;
    c.timeColumn = time_->currentIndex();
    c.realColumn = real_->currentIndex();
    c.imagColumn = imag_->currentIndex();
    c.axis = axis_->currentIndex();
    c.lowIndex = low_->value();
    c.highIndex = high_->value();
    return c;
}

bool CFftDlg::Ask(const std::vector<std::string>& columns, FftChoice& choice, QWidget* parent) {
    CFftDlg dialog(columns, choice, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = dialog.Choice();
    return true;
}
