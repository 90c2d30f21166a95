#include "shell/fit_summary.h"

#include <QFile>
#include <cmath>

#include "core/base/fit_table.h"
#include "shell/charset.h"

namespace {

QString Number(double v, int digits) {
    return QString::number(v, 'g', digits);
}

}  // namespace

QStringList FitSummaryLines(const QString& fitPath) {
    QFile file(fitPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = file.readAll();
    FitStatistics fit;
    if (!ParseFitTable(std::string_view(text.constData(), std::size_t(text.size())), fit)) {
        return {};
    }
    QStringList lines;
    for (const FitParameter& p : fit.parameters) {
        QString line =
            charset::ToUnicode(QByteArray::fromStdString(p.name)) + u'=' + Number(p.estimate, 15);
        if (!std::isnan(p.standardError))
            line += QStringLiteral(" \u00B1 ") + Number(p.standardError, 6);
        lines << line;
    }
    if (!std::isnan(fit.residualSd)) {
        lines << QStringLiteral("Residual Standard Deviation=") + Number(fit.residualSd, 6);
    }
    if (!std::isnan(fit.rSquared)) lines << QStringLiteral("R-Squared=") + Number(fit.rSquared, 10);
    lines << QStringLiteral("Observations=%1").arg(fit.observations);
    return lines;
}
