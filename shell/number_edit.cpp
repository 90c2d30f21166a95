#include "shell/number_edit.h"

#include <QLocale>
#include <QRegularExpressionValidator>
#include <cmath>

namespace {

// Digits with optional group commas, an optional point and decimals, an optional exponent.
const QRegularExpression kNumberPattern(
    QStringLiteral(R"(^\s*[-+]?[0-9,]*\.?[0-9]*([eE][-+]?[0-9]*)?\s*$)"));

QLocale GroupingLocale() {
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

}  // namespace

NumberEdit::NumberEdit(int decimals, QWidget* parent) : QLineEdit(parent), decimals_(decimals) {
    setValidator(new QRegularExpressionValidator(kNumberPattern, this));
    setAlignment(Qt::AlignRight);
}

QString NumberEdit::Format(double value, int decimals) {
    return GroupingLocale().toString(value, 'f', decimals);
}

std::optional<double> NumberEdit::Parse(const QString& text) {
    QString plain = text.trimmed();
    plain.remove(u',');
    if (plain.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

void NumberEdit::setValue(double value) {
    setText(Format(value, decimals_));
}

std::optional<double> NumberEdit::value() const {
    return Parse(text());
}
