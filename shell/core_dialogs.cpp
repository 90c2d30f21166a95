#include "shell/core_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QSpinBox>

#include "shell/charset.h"

namespace {

QComboBox* NameBox(const std::vector<std::string>& names, int current, QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const std::string& n : names) {
        box->addItem(charset::ToUnicode(QByteArray::fromStdString(n)));
    }
    box->setCurrentIndex(std::clamp(current, 0, std::max(0, int(names.size()) - 1)));
    return box;
}

QDoubleSpinBox* ValueBox(double value, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(6);
    box->setRange(-1e12, 1e12);
    box->setValue(value);
    return box;
}

QSpinBox* CountBox(int value, int minimum, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, 1000000);
    box->setValue(value);
    return box;
}

}  // namespace

bool RunGraphGenerationDialog(QWidget* parent, const std::vector<std::string>& names,
                              SweepChoice& choice) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Graph Generation"));
    auto* form = new QFormLayout(&dialog);
    auto* variable = NameBox(names, choice.variable - 1, &dialog);
    auto* from = ValueBox(choice.from, &dialog);
    auto* to = ValueBox(choice.to, &dialog);
    auto* intervals = CountBox(choice.intervals, 1, &dialog);
    auto* second = new QCheckBox(QStringLiteral("Second parameter"), &dialog);
    second->setChecked(choice.secondParameter);
    auto* parameter = NameBox(names, choice.parameter - 1, &dialog);
    auto* paramFrom = ValueBox(choice.paramFrom, &dialog);
    auto* paramTo = ValueBox(choice.paramTo, &dialog);
    auto* paramIntervals = CountBox(choice.paramIntervals, 1, &dialog);
    auto* fft = new QCheckBox(QStringLiteral("Write FFT file"), &dialog);
    fft->setChecked(choice.writeFft);
    form->addRow(QStringLiteral("Variable:"), variable);
    form->addRow(QStringLiteral("From:"), from);
    form->addRow(QStringLiteral("To:"), to);
    form->addRow(QStringLiteral("Intervals:"), intervals);
    form->addRow(second);
    form->addRow(QStringLiteral("Parameter:"), parameter);
    form->addRow(QStringLiteral("From:"), paramFrom);
    form->addRow(QStringLiteral("To:"), paramTo);
    form->addRow(QStringLiteral("Intervals:"), paramIntervals);
    form->addRow(fft);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice.variable = variable->currentIndex() + 1;
    choice.from = from->value();
    choice.to = to->value();
    choice.intervals = intervals->value();
    choice.secondParameter = second->isChecked();
    choice.parameter = parameter->currentIndex() + 1;
    choice.paramFrom = paramFrom->value();
    choice.paramTo = paramTo->value();
    choice.paramIntervals = paramIntervals->value();
    choice.writeFft = fft->isChecked();
    return true;
}

bool RunFftDialog(QWidget* parent, const std::vector<std::string>& columns, FftChoice& choice) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Fast Fourier Transform"));
    auto* form = new QFormLayout(&dialog);
    auto* time = NameBox(columns, choice.timeColumn, &dialog);
    auto* real = NameBox(columns, choice.realColumn, &dialog);
    auto* imag = NameBox(columns, choice.imagColumn, &dialog);
    auto* axis = new QComboBox(&dialog);
    axis->addItems({QStringLiteral("Hz"), QStringLiteral("rad/s"), QStringLiteral("Index")});
    axis->setCurrentIndex(std::clamp(choice.axis, 0, 2));
    auto* low = CountBox(choice.lowIndex, 0, &dialog);
    auto* high = CountBox(choice.highIndex, -1, &dialog);
    form->addRow(QStringLiteral("Time:"), time);
    form->addRow(QStringLiteral("Real part:"), real);
    form->addRow(QStringLiteral("Imaginary part:"), imag);
    form->addRow(QStringLiteral("Axis:"), axis);
    form->addRow(QStringLiteral("From index:"), low);
    form->addRow(QStringLiteral("To index (-1 = last):"), high);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice.timeColumn = time->currentIndex();
    choice.realColumn = real->currentIndex();
    choice.imagColumn = imag->currentIndex();
    choice.axis = axis->currentIndex();
    choice.lowIndex = low->value();
    choice.highIndex = high->value();
    return true;
}

CoreDialogFactory CoreDialogFactory::Standard() {
    CoreDialogFactory f;
    f.graphGeneration = RunGraphGenerationDialog;
    f.fft = RunFftDialog;
    f.fftFile = [](QWidget* parent, std::string& path) {
        const QString chosen = QFileDialog::getOpenFileName(parent, QString(), QString(),
                                                            QStringLiteral("FFT Files (*.FFT)"));
        if (chosen.isEmpty()) return false;
        path = QFile::encodeName(chosen).toStdString();
        return true;
    };
    return f;
}
