#include "core/drive/fit_statistics.h"

#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <cstdio>

#include "core/base/core_state.h"
#include "core/drive/drive_messages.h"
#include "core/numeric/dense_linear.h"

namespace {

namespace msg = fit_message;

// (J^T J)^-1 from the pivoted factors, by original column, p x p row by row; empty when J is
// not of full column rank.
std::vector<double> Covariance(const QrFactors& qr, const std::vector<int>& permutation) {
    const int p = static_cast<int>(permutation.size());
    if (QrRank(qr) < p) return {};
    // R^-1, upper triangular, column by column: R u_j = e_j.
    std::vector<double> inverse(static_cast<std::size_t>(p) * p, 0.0);
    auto rinv = [&](int i, int j) -> double& {
        return inverse[static_cast<std::size_t>(i) * p + j];
    };
    for (int j = 0; j < p; ++j) {
        rinv(j, j) = 1.0 / qr.qr(j, j);
        for (int i = j - 1; i >= 0; --i) {
            double sum = 0.0;
            for (int k = i + 1; k <= j; ++k) sum += qr.qr(i, k) * rinv(k, j);
            rinv(i, j) = -sum / qr.qr(i, i);
        }
    }
    std::vector<double> c(inverse.size(), 0.0);
    for (int a = 0; a < p; ++a) {
        for (int b = a; b < p; ++b) {
            double sum = 0.0;
            for (int k = b; k < p; ++k) sum += rinv(a, k) * rinv(b, k);
            const std::size_t ab = static_cast<std::size_t>(permutation[a]) * p + permutation[b];
            const std::size_t ba = static_cast<std::size_t>(permutation[b]) * p + permutation[a];
            c[ab] = c[ba] = sum;
        }
    }
    return c;
}

std::string Number(double v) {
    if (std::isnan(v)) return "-";
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", v);
    return text;
}

void Line(CoreState& s, const std::string& text) {
    ConsoleWrite(s.console, text);
    ConsoleWriteLine(s.console);
}

std::string Percent(const char* format, double level) {
    char text[32];
    std::snprintf(text, sizeof text, format, 100.0 * level);
    return text;
}

}  // namespace

bool ComputeFitStatistics(LeastSquaresProblem& problem, const std::vector<double>& x,
                          const std::vector<std::string>& names,
                          const std::vector<double>& observed, FitStatistics& f) {
    const int n = problem.Observations();
    const int p = problem.Parameters();
    f = FitStatistics{};
    std::vector<double> r(static_cast<std::size_t>(n));
    QrFactors qr;
    qr.qr.Reset(n, p);
    if (!problem.Residuals(x, r) || !problem.Jacobian(x, qr.qr)) return false;
    std::vector<int> permutation;
    QrFactorizePivoted(qr, permutation);

    f.observations = n;
    f.degreesOfFreedom = n - p;
    const double norm = Norm2(r, n);
    f.residualSumOfSquares = norm * norm;
    f.rms = std::sqrt(f.residualSumOfSquares / n);
    for (int j = 0; j < p; ++j) f.parameters.push_back({names[j], x[j]});
    if (f.degreesOfFreedom > 0) {
        f.residualSd = std::sqrt(f.residualSumOfSquares / f.degreesOfFreedom);
        const std::vector<double> c = Covariance(qr, permutation);
        if (!c.empty()) {
            const boost::math::students_t t(f.degreesOfFreedom);
            const double quantile =
                boost::math::quantile(boost::math::complement(t, (1.0 - f.confidence) / 2));
            for (int j = 0; j < p; ++j) {
                FitParameter& b = f.parameters[j];
                b.standardError = f.residualSd * std::sqrt(c[static_cast<std::size_t>(j) * p + j]);
                b.tValue = b.estimate / b.standardError;
                b.lower = b.estimate - quantile * b.standardError;
                b.upper = b.estimate + quantile * b.standardError;
            }
            for (int j = 0; j < p; ++j) {
                for (int k = 0; k < p; ++k) {
                    f.correlation.push_back(c[static_cast<std::size_t>(j) * p + k] /
                                            std::sqrt(c[static_cast<std::size_t>(j) * p + j] *
                                                      c[static_cast<std::size_t>(k) * p + k]));
                }
            }
        }
    }
    double sum = 0.0;
    bool allObserved = true;
    for (double y : observed) {
        allObserved = allObserved && !std::isnan(y);
        sum += y;
    }
    if (allObserved && n > 0) {
        const double mean = sum / n;
        double total = 0.0;
        for (double y : observed) total += (y - mean) * (y - mean);
        if (total > 0.0) {
            f.rSquared = 1.0 - f.residualSumOfSquares / total;
            if (f.degreesOfFreedom > 0) {
                f.adjustedRSquared = 1.0 - (1.0 - f.rSquared) * (n - 1) / f.degreesOfFreedom;
            }
        }
    }
    return true;
}

void ReportFitStatistics(CoreState& s, const FitStatistics& f) {
    ConsoleWriteLine(s.console);
    Line(s, msg::kTitle + std::to_string(f.observations) + msg::kObservations +
                std::to_string(f.parameters.size()) + msg::kParameters);
    char text[200];
    std::snprintf(text, sizeof text, msg::kParameterLine, msg::kParameterHeading, msg::kEstimate,
                  msg::kStandardError, msg::kTValue, Percent(msg::kLower, f.confidence).c_str(),
                  Percent(msg::kUpper, f.confidence).c_str());
    Line(s, text);
    for (const FitParameter& b : f.parameters) {
        std::snprintf(text, sizeof text, msg::kParameterLine, b.name.c_str(),
                      Number(b.estimate).c_str(), Number(b.standardError).c_str(),
                      Number(b.tValue).c_str(), Number(b.lower).c_str(), Number(b.upper).c_str());
        Line(s, text);
    }
    if (!f.haveErrors()) Line(s, msg::kNoErrors);
    Line(s, msg::kRss + Number(f.residualSumOfSquares));
    Line(s, msg::kRms + Number(f.rms));
    if (!std::isnan(f.residualSd)) Line(s, msg::kResidualSd + Number(f.residualSd));
    Line(s, msg::kDegreesOfFreedom + std::to_string(f.degreesOfFreedom));
    if (!std::isnan(f.rSquared)) Line(s, msg::kRSquared + Number(f.rSquared));
    if (!std::isnan(f.adjustedRSquared))
        Line(s, msg::kAdjustedRSquared + Number(f.adjustedRSquared));
    if (!f.haveErrors()) return;
    Line(s, msg::kCorrelation);
    std::string row;
    std::snprintf(text, sizeof text, msg::kCorrelationName, "");
    row = text;
    for (const FitParameter& b : f.parameters) {
        std::snprintf(text, sizeof text, msg::kCorrelationHead, b.name.c_str());
        row += text;
    }
    Line(s, row);
    for (std::size_t j = 0; j < f.parameters.size(); ++j) {
        std::snprintf(text, sizeof text, msg::kCorrelationName, f.parameters[j].name.c_str());
        row = text;
        for (std::size_t k = 0; k < f.parameters.size(); ++k) {
            std::snprintf(text, sizeof text, msg::kCorrelationCell, f.correlationAt(j, k));
            row += text;
        }
        Line(s, row);
    }
}
