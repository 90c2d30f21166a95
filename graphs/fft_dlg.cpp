#include "graphs/fft_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "core/base/charset.h"

namespace {

constexpr int kMaxIndex = 1 << 20;  // beyond the longest series the sweep dialog can ask for
const QString kNoColumn = QStringLiteral("(none)");

// A list of the columns, each holding its position; with `noneFirst` the entry "(none)" comes
// first and stands for kNoFftColumn. The entry of `selected` is chosen, else the first.
QComboBox* ColumnList(const QString& name, const std::vector<std::string>& columns, int selected,
                      bool noneFirst, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    if (noneFirst) box->addItem(kNoColumn, kNoFftColumn);
    for (std::size_t c = 0; c < columns.size(); ++c)
        box->addItem(QString::fromStdString(charset::ToUtf8(columns[c])), static_cast<int>(c));
    box->setCurrentIndex(std::max(box->findData(selected), 0));
    return box;
}

int ColumnOf(const QComboBox* box) {
    return box->currentIndex() < 0 ? 0 : box->currentData().toInt();
}

}  // namespace

CFftDlg::CFftDlg(const std::vector<std::string>& columns, const FftChoice& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("FFT"));
    time_ = ColumnList(QStringLiteral("timeColumn"), columns, initial.timeColumn, false, this);
    real_ = ColumnList(QStringLiteral("realColumn"), columns, initial.realColumn, false, this);
    imag_ = ColumnList(QStringLiteral("imagColumn"), columns, initial.imagColumn, true, this);
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
    c.timeColumn = ColumnOf(time_);
    c.realColumn = ColumnOf(real_);
    c.imagColumn = ColumnOf(imag_);
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
