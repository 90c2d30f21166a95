#include "graphs/graph_generation_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/base/bounds.h"
#include "core/base/charset.h"
#include "graphs/dialog_rules.h"
#include "graphs/graph_messages.h"
#include "graphs/message_box.h"

using namespace graphs;

namespace {

// A sweep takes its step count plus one rows, so the most steps either field offers are the
// core's bound less one; the product of both is checked when the dialog closes.
constexpr int kMaxSteps = static_cast<int>(kMaxSweepSteps - 1);

QLineEdit* NumberField(const QString& name, double value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::number(value, 'g', 10), parent);
    edit->setObjectName(name);
    edit->setValidator(new QDoubleValidator(edit));
    return edit;
}

QComboBox* NameList(const QString& name, const std::vector<std::string>& names, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const std::string& n : names) box->addItem(QString::fromStdString(charset::ToUtf8(n)));
    return box;
}

// A field that does not read as a number counts as out of order.
bool Number(const QLineEdit* edit, double& value) {
    bool ok = false;
    value = edit->text().trimmed().toDouble(&ok);
    return ok;
}

}  // namespace

CGraphGenerationDlg::CGraphGenerationDlg(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent), names_(names) {
    setWindowTitle(QStringLiteral("Graph Generation"));
    const SweepChoice defaults;

    auto* sweep = new QGroupBox(QStringLiteral("Independent Variable"), this);
    auto* sweepForm = new QFormLayout(sweep);
    variable_ = NameList(QStringLiteral("independentVariable"), names, sweep);
    from_ = NumberField(QStringLiteral("from"), defaults.from, sweep);
    to_ = NumberField(QStringLiteral("to"), defaults.to, sweep);
    steps_ = new QSpinBox(sweep);
    steps_->setObjectName(QStringLiteral("steps"));
    steps_->setRange(0, kMaxSteps);
    steps_->setValue(defaults.intervals);
    fftSteps_ = new QComboBox(sweep);
    fftSteps_->setObjectName(QStringLiteral("fftSteps"));
    for (int n : kFftStepCounts) fftSteps_->addItem(QString::number(n), n);
    fftSteps_->setCurrentIndex(fftSteps_->findData(kDefaultFftSteps));
    stepsLabel_ = new QLabel(QStringLiteral("No of Steps"), sweep);
    sweepForm->addRow(QStringLiteral("Variable"), variable_);
    sweepForm->addRow(QStringLiteral("From"), from_);
    sweepForm->addRow(QStringLiteral("To"), to_);
    sweepForm->addRow(stepsLabel_, steps_);
    sweepForm->addRow(QStringLiteral("Steps for FFT"), fftSteps_);
    sweepForm->setRowVisible(fftSteps_, false);

    parametric_ = new QCheckBox(QStringLiteral("Parametric Graph"), this);
    parametric_->setObjectName(QStringLiteral("parametric"));
    auto* param = new QGroupBox(QStringLiteral("Parameter Variable"), this);
    auto* paramForm = new QFormLayout(param);
    parameter_ = NameList(QStringLiteral("parameterVariable"), names, param);
    paramFrom_ = NumberField(QStringLiteral("paramFrom"), defaults.paramFrom, param);
    paramTo_ = NumberField(QStringLiteral("paramTo"), defaults.paramTo, param);
    paramSteps_ = new QSpinBox(param);
    paramSteps_->setObjectName(QStringLiteral("paramSteps"));
    paramSteps_->setRange(1, kMaxSteps);
    paramSteps_->setValue(defaults.paramIntervals);
    paramForm->addRow(QStringLiteral("Variable"), parameter_);
    paramForm->addRow(QStringLiteral("From"), paramFrom_);
    paramForm->addRow(QStringLiteral("To"), paramTo_);
    paramForm->addRow(QStringLiteral("No of Steps"), paramSteps_);

    forFft_ = new QCheckBox(QStringLiteral("For FFT"), this);
    forFft_->setObjectName(QStringLiteral("forFft"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGraphGenerationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGraphGenerationDlg::reject);
    connect(parametric_, &QCheckBox::toggled, this, &CGraphGenerationDlg::OnParametric);
    connect(forFft_, &QCheckBox::toggled, this, &CGraphGenerationDlg::OnForFft);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sweep);
    layout->addWidget(parametric_);
    layout->addWidget(param);
    layout->addWidget(forFft_);
    layout->addWidget(buttons);
    OnParametric(false);
}

void CGraphGenerationDlg::OnParametric(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(parameter_), static_cast<QWidget*>(paramFrom_),
                       static_cast<QWidget*>(paramTo_), static_cast<QWidget*>(paramSteps_)}) {
        w->setEnabled(on);
    }
}

void CGraphGenerationDlg::OnForFft(bool on) {
    auto* form = qobject_cast<QFormLayout*>(steps_->parentWidget()->layout());
    form->setRowVisible(steps_, !on);
    form->setRowVisible(fftSteps_, on);
    if (!on) return;
    // A sweep for an FFT covers one period of an angle.
    from_->setText(QStringLiteral("0"));
    to_->setText(QStringLiteral("6.283185"));
    variable_->setCurrentIndex(FirstRealName(names_));
}

SweepChoice CGraphGenerationDlg::Choice() const {
    SweepChoice c;
    c.variable = variable_->currentIndex() + 1;
    Number(from_, c.from);
    Number(to_, c.to);
    c.writeFft = forFft_->isChecked();
    c.intervals = c.writeFft ? fftSteps_->currentData().toInt() : steps_->value();
    c.secondParameter = parametric_->isChecked();
    if (c.secondParameter) {
        c.parameter = parameter_->currentIndex() + 1;
        Number(paramFrom_, c.paramFrom);
        Number(paramTo_, c.paramTo);
        c.paramIntervals = paramSteps_->value();
    }
    return c;
}

void CGraphGenerationDlg::accept() {
    double from = 0.0, to = 0.0;
    const bool numbers = Number(from_, from) && Number(to_, to);
    const int steps = forFft_->isChecked() ? fftSteps_->currentData().toInt() : steps_->value();
    if (!numbers || !(from < to) || steps <= 0) {
        ShowMessage(this, QString::fromLatin1(message::kFromToOrder));
        return;
    }
    const SweepChoice c = Choice();
    const bool second = c.secondParameter && !c.writeFft;
    if (SweepStepCount(c.intervals, second ? c.paramIntervals : 0) > kMaxSweepSteps) {
        ShowMessage(this, QString::fromStdString(
                              FillIn(message::kTooManySteps, std::to_string(kMaxSweepSteps))));
        return;
    }
    QDialog::accept();
}

bool CGraphGenerationDlg::Ask(const std::vector<std::string>& names, SweepChoice& choice,
                              QWidget* parent) {
    CGraphGenerationDlg dialog(names, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = dialog.Choice();
    return true;
}
