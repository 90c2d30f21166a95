#include "shell/option_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "shell/colour_picker.h"
#include "shell/equation_app.h"
#include "shell/number_edit.h"
#include "shell/shell_messages.h"

namespace {

constexpr int kRealDecimals = 6;
const char* const kDifferentialMethods[] = {"Trapezoidal", "Gear", "Backward Euler"};

QComboBox* List(const char* name, const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

NumberEdit* Field(const char* name, int decimals, QWidget* parent) {
    auto* edit = new NumberEdit(decimals, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
    auto* box = new QCheckBox(QLatin1String(text), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QString Number(double v) {
    return QString::number(v, 'g', 6);
}

// The values an option may take, in words, for the message of a refused field.
QString DomainText(const OptionDomain& d, bool negated) {
    const double low = negated ? -d.highest : d.lowest;
    const double high = negated ? -d.lowest : d.highest;
    if (std::isfinite(low) && std::isfinite(high)) {
        return QString::fromLatin1(msg::kRangeFromTo).arg(Number(low), Number(high));
    }
    if (std::isfinite(low)) {
        return QString::fromLatin1(d.lowestExcluded ? msg::kRangeAbove : msg::kRangeFrom)
            .arg(Number(low));
    }
    return QString::fromLatin1(msg::kRangeUpTo).arg(Number(high));
}

// One field read back: its number, truncated for integer options, checked against the
// option's domain. `negated`: the field shows the option's value with the opposite sign.
bool ReadOption(const NumberEdit* edit, const QString& label, SolverOption option, bool negated,
                double& value, QString* error) {
    const OptionDescription& d = Describe(option);
    const std::optional<double> typed = edit->value();
    if (typed) {
        double v = *typed;
        if (d.kind == OptionKind::kInteger) v = std::trunc(v);
        if (negated) v = -v;
        if (InDomain(d, v)) {
            value = v;
            return true;
        }
    }
    if (error != nullptr) {
        *error =
            QString::fromLatin1(msg::kFieldOutOfRange).arg(label, DomainText(d.domain, negated));
    }
    return false;
}

void Refuse(QWidget* parent, const QString& text) {
    if (EquationApp* app = EquationApp::instance())
        app->Message(parent, text, QMessageBox::Warning);
    else
        QMessageBox::warning(parent, QString::fromLatin1(msg::kProgramName), text);
}

}  // namespace

CMethodPrPage::CMethodPrPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MethodPage"));
    QStringList methods;
    for (int m = 0; m <= 3; ++m) {
        methods << QLatin1String(corebridge::MethodTitle(static_cast<SolveMethod>(m)));
    }
    method_ = List("solvingMethod", methods, this);
    jacobian_ = List("jacobianMethod",
                     {QLatin1String(corebridge::JacobianTitle(JacobianMode::kSymbolic)),
                      QLatin1String(corebridge::JacobianTitle(JacobianMode::kIncremental))},
                     this);
    tolerance_ = Field("tolerance", 0, this);
    deltaJ_ = Field("deltaJ", kRealDecimals, this);
    maxIterations_ = Field("maxIterations", 0, this);
    repetitions_ = Field("repetitions", 0, this);
    minGuess_ = Field("minGuess", kRealDecimals, this);
    maxGuess_ = Field("maxGuess", kRealDecimals, this);
    QStringList differential;
    for (const char* m : kDifferentialMethods) differential << QLatin1String(m);
    differential_ = List("differentialMethod", differential, this);
    deltaT_ = Field("deltaT", kRealDecimals, this);
    solveInGroups_ = Check("solveInGroups", "Solve in Groups", this);
    autoHomotopy_ = Check("autoHomotopy", "Automatic Homotopy", this);
    autoSimplify_ = Check("autoSimplify", "Auto Simplify Equations", this);

    auto* tolerance = new QHBoxLayout;
    tolerance->addWidget(new QLabel(QStringLiteral("10"), this));
    auto* minus = new QLabel(QStringLiteral("-"), this);
    minus->setAlignment(Qt::AlignTop);
    tolerance->addWidget(minus);
    tolerance->addWidget(tolerance_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Solving Method:"), method_);
    form->addRow(QStringLiteral("Jacobian Method:"), jacobian_);
    form->addRow(QStringLiteral("Min. Tolerance:"), tolerance);
    form->addRow(QStringLiteral("Delta J:"), deltaJ_);
    form->addRow(QStringLiteral("Max Iterations:"), maxIterations_);
    form->addRow(QStringLiteral("Repetitions:"), repetitions_);

    auto* guess = new QGroupBox(QStringLiteral("Initial Guess"), this);
    auto* guessForm = new QFormLayout(guess);
    guessForm->addRow(QStringLiteral("Minimum"), minGuess_);
    guessForm->addRow(QStringLiteral("Maximum"), maxGuess_);
    auto* diff = new QGroupBox(QStringLiteral("Differential Equations"), this);
    auto* diffForm = new QFormLayout(diff);
    diffForm->addRow(differential_);
    diffForm->addRow(QStringLiteral("Delta T:"), deltaT_);

    auto* right = new QVBoxLayout;
    right->addWidget(guess);
    right->addWidget(diff);
    right->addWidget(solveInGroups_);
    right->addWidget(autoHomotopy_);
    right->addWidget(autoSimplify_);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(right);
}

void CMethodPrPage::Load(const DocumentSettings& s) {
    method_->setCurrentIndex(static_cast<int>(s.method));
    jacobian_->setCurrentIndex(static_cast<int>(s.jacobianMode));
    tolerance_->setValue(std::abs(s.toleranceExponent));
    deltaJ_->setValue(s.deltaJ);
    maxIterations_->setValue(s.maxIterations);
    repetitions_->setValue(s.stepCount);
    minGuess_->setValue(s.minGuess);
    maxGuess_->setValue(s.maxGuess);
    differential_->setCurrentIndex(
        static_cast<int>(std::min<std::uint32_t>(s.differentialMethod, 2)));
    deltaT_->setValue(s.deltaT);
    solveInGroups_->setChecked(s.solveInGroups);
    autoHomotopy_->setChecked(s.autoHomotopy);
    autoSimplify_->setChecked(s.autoSimplify);
}

bool CMethodPrPage::Store(DocumentSettings& settings, QString* error) const {
    double tolerance = 0, deltaJ = 0, maxIterations = 0, repetitions = 0, minGuess = 0,
           maxGuess = 0, deltaT = 0;
    const bool ok =
        ReadOption(tolerance_, QStringLiteral("Min. Tolerance"), SolverOption::kToleranceExponent,
                   true, tolerance, error) &&
        ReadOption(deltaJ_, QStringLiteral("Delta J"), SolverOption::kDeltaJ, false, deltaJ,
                   error) &&
        ReadOption(maxIterations_, QStringLiteral("Max Iterations"), SolverOption::kMaxIterations,
                   false, maxIterations, error) &&
        ReadOption(repetitions_, QStringLiteral("Repetitions"), SolverOption::kStepCount, false,
                   repetitions, error) &&
        ReadOption(minGuess_, QStringLiteral("Initial Guess Minimum"), SolverOption::kMinGuess,
                   false, minGuess, error) &&
        ReadOption(maxGuess_, QStringLiteral("Initial Guess Maximum"), SolverOption::kMaxGuess,
                   false, maxGuess, error) &&
        ReadOption(deltaT_, QStringLiteral("Delta T"), SolverOption::kDeltaT, false, deltaT, error);
    if (!ok) return false;
    settings.method = static_cast<SolveMethod>(method_->currentIndex());
    settings.jacobianMode = static_cast<JacobianMode>(jacobian_->currentIndex());
    settings.toleranceExponent = static_cast<int>(tolerance);
    settings.deltaJ = deltaJ;
    settings.maxIterations = static_cast<int>(maxIterations);
    settings.stepCount = static_cast<int>(repetitions);
    settings.minGuess = minGuess;
    settings.maxGuess = maxGuess;
    settings.differentialMethod = static_cast<std::uint32_t>(differential_->currentIndex());
    settings.deltaT = deltaT;
    settings.solveInGroups = solveInGroups_->isChecked();
    settings.autoHomotopy = autoHomotopy_->isChecked();
    settings.autoSimplify = autoSimplify_->isChecked();
    return true;
}

CGeneralPrPage::CGeneralPrPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GeneralPage"));
    const EditorSettings defaults;
    showIterations_ = Check("showIterations", "Show results for each iteration (converg.)", this);
    showDerivatives_ = Check("showDerivatives", "Show derivative information", this);
    showResults_ = Check("showResults", "Show results in output view", this);
    capacity_ = Field("capacity", 0, this);
    optimizationRoute_ = List("optimizationRoute",
                              {QString::fromLatin1(OptimizationRouteName(OptimizationRoute::kDirect)),
                               QString::fromLatin1(OptimizationRouteName(OptimizationRoute::kRewrite))},
                              this);
    equation_ = new CColourPicker(QStringLiteral("Equation"), defaults.equationColor, this);
    equation_->setObjectName(QStringLiteral("equationColour"));
    comments_ = new CColourPicker(QStringLiteral("Comments"), defaults.commentsColor, this);
    comments_->setObjectName(QStringLiteral("commentsColour"));
    background_ = new CColourPicker(QStringLiteral("Background"), defaults.backgroundColor, this);
    background_->setObjectName(QStringLiteral("backgroundColour"));

    auto* colours = new QFormLayout;
    colours->addRow(QStringLiteral("Equation Color:"), equation_);
    colours->addRow(QStringLiteral("Comments Color:"), comments_);
    colours->addRow(QStringLiteral("Background Color:"), background_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(showIterations_);
    layout->addWidget(showDerivatives_);
    layout->addWidget(showResults_);
    auto* capacity = new QFormLayout;
    capacity->addRow(QStringLiteral("Capacity (equations and variables):"), capacity_);
    capacity->addRow(QStringLiteral("Minimization (O, K, ALR):"), optimizationRoute_);
    layout->addLayout(capacity);
    layout->addLayout(colours);
    layout->addStretch();
}

void CGeneralPrPage::Load(const GeneralOptions& o) {
    showIterations_->setChecked(o.showIterations);
    showDerivatives_->setChecked(o.showDerivatives);
    showResults_->setChecked(o.showResults);
    capacity_->setValue(o.capacity);
    optimizationRoute_->setCurrentIndex(static_cast<int>(o.optimizationRoute));
    equation_->setColour(o.equationColor);
    comments_->setColour(o.commentsColor);
    background_->setColour(o.backgroundColor);
}

bool CGeneralPrPage::Store(GeneralOptions& o, QString* error) const {
    double capacity = 0;
    if (!ReadOption(capacity_, QStringLiteral("Capacity"), SolverOption::kCapacity, false, capacity,
                    error)) {
        return false;
    }
    o.capacity = static_cast<int>(capacity);
    o.optimizationRoute = static_cast<OptimizationRoute>(optimizationRoute_->currentIndex());
    o.showIterations = showIterations_->isChecked();
    o.showDerivatives = showDerivatives_->isChecked();
    o.showResults = showResults_->isChecked();
    o.equationColor = equation_->colour();
    o.commentsColor = comments_->colour();
    o.backgroundColor = background_->colour();
    return true;
}

CValdrixProperty::CValdrixProperty(const QString& title, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsSheet"));
    setWindowTitle(title);
    tabs_ = new QTabWidget(this);
    method_ = new CMethodPrPage(tabs_);
    general_ = new CGeneralPrPage(tabs_);
    tabs_->addTab(method_, QStringLiteral("Method"));
    tabs_->addTab(general_, QStringLiteral("General"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CValdrixProperty::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

void CValdrixProperty::accept() {
    DocumentSettings method;
    refusal_.clear();
    if (!method_->Store(method, &refusal_)) {
        tabs_->setCurrentWidget(method_);
        Refuse(this, refusal_);
        return;
    }
    GeneralOptions general;
    if (!general_->Store(general, &refusal_)) {
        tabs_->setCurrentWidget(general_);
        Refuse(this, refusal_);
        return;
    }
    QDialog::accept();
}
