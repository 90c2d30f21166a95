#pragma once

#include <QString>
#include <QStringList>

// The lines the Properties tree shows for a least-squares fit, read from the statistics file
// the core wrote beside the document (base name + ".FIT"): one "name=estimate ± standard error"
// line per parameter (the estimate with 15 significant digits, as a solve shows its values),
// then the residual standard deviation, R-squared and the number of observations where the
// fit has them. Empty when the file cannot be read or is not such a file.
QStringList FitSummaryLines(const QString& fitPath);
