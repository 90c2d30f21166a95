#include "core/symbolic/fit_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/eval/constant_fold.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/symbolic/differentiate.h"
#include "core/symbolic/list_file.h"

namespace {

namespace msg = fit_message;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsLoneVariable(const CodeNode* n) {
    return n != nullptr && n->kind == kKindVar && SubtreeEnd(n) == n;
}

// The variable standing alone on one side of an equation compiled as left - right, left
// side first; 0 when there is none.
int ResponseVariable(CodeNode*& code) {
    CodeNode* head = ToPrefix(code);
    const CodeNode* root = head != nullptr && head->kind == kKindEnd ? head->next : head;
    root = SkipDeleted(root);
    int found = 0;
    if (root != nullptr && root->kind == kKindBinary && root->sub == code::kSub) {
        const CodeNode* right = SkipDeleted(root->next);
        const CodeNode* left = right != nullptr ? SkipDeleted(SubtreeEnd(right)->next) : nullptr;
        if (IsLoneVariable(left)) {
            found = left->var;
        } else if (IsLoneVariable(right)) {
            found = right->var;
        }
    }
    code = ToPostfix(head);
    return found;
}

double RowValue(const ListTable& table, int row, int variable) {
    for (int c = 0; c < table.columns(); ++c) {
        if (table.variables[c] == variable) return table.row(row)[c];
    }
    return kNaN;
}

// A residual code with its variables numbered as in the current name table; null when one of
// them is not there.
CodeNode* Renumbered(CoreState& s, const CodeNode* code, const std::vector<std::string>& names) {
    CodeNode* copy = CopyList(s.pool, code);
    for (CodeNode* n = copy; n != nullptr; n = n->next) {
        if (n->kind != kKindVar) continue;
        const int v = n->var >= 0 && n->var < static_cast<int>(names.size())
                          ? FindVariable(s.names, names[n->var])
                          : 0;
        if (v == 0) {
            FreeList(s.pool, copy);
            return nullptr;
        }
        n->var = v;
    }
    return copy;
}

// dr/dv at the current values; NaN when it cannot be formed or evaluated.
double DerivativeValue(CoreState& s, CodeNode*& code, int v) {
    CodeNode* head = ToPrefix(code);
    CodeNode* d = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    Differentiate(s, head->next, v, d);
    code = ToPostfix(head);
    d = Reverse(d);
    ConstantFold(s, d);
    d = Finalize(s.pool, d);
    bool error = false;
    const double value = Evaluate(s, d, error);
    FreeList(s.pool, d);
    return error ? kNaN : value;
}

// Diagonal of (J^T J)^-1 for the column-major n x p matrix J, from its Householder QR; empty
// when J is not of full column rank.
std::vector<double> InverseNormalDiagonal(std::vector<double> a, int n, int p) {
    auto at = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(j) * n + i]; };
    double largest = 0.0;
    for (double x : a) largest = std::max(largest, std::fabs(x));
    std::vector<double> diagonal(p);
    for (int k = 0; k < p; ++k) {
        double norm = 0.0;
        for (int i = k; i < n; ++i) norm = std::hypot(norm, at(i, k));
        if (!(norm > 1e-13 * largest)) return {};
        const double alpha = at(k, k) > 0 ? -norm : norm;
        // v = x - alpha e1, stored in place; H = I - 2 v v^T / (v^T v).
        at(k, k) -= alpha;
        double vv = 0.0;
        for (int i = k; i < n; ++i) vv += at(i, k) * at(i, k);
        for (int j = k + 1; j < p; ++j) {
            double dot = 0.0;
            for (int i = k; i < n; ++i) dot += at(i, k) * at(i, j);
            const double f = 2.0 * dot / vv;
            for (int i = k; i < n; ++i) at(i, j) -= f * at(i, k);
        }
        diagonal[k] = alpha;
    }
    // R: diagonal as found, above it the transformed columns. Rinv by back substitution, one
    // row of Rinv at a time; ((J^T J)^-1)_jj is the squared norm of row j of Rinv.
    auto r = [&](int i, int j) { return i == j ? diagonal[i] : at(i, j); };
    std::vector<double> result(p);
    for (int j = 0; j < p; ++j) {
        std::vector<double> row(p, 0.0);  // row j of Rinv: zero left of the diagonal
        row[j] = 1.0 / r(j, j);
        for (int k = j + 1; k < p; ++k) {
            double sum = 0.0;
            for (int m = j; m < k; ++m) sum += row[m] * r(m, k);
            row[k] = -sum / r(k, k);
        }
        double squares = 0.0;
        for (double x : row) squares += x * x;
        result[j] = squares;
    }
    return result;
}

std::string Number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", v);
    return text;
}

void Line(CoreState& s, const std::string& text) {
    ConsoleWrite(s.console, text);
    ConsoleWriteLine(s.console);
}

}  // namespace

bool CollectFitData(CoreState& s, FitData& fit) {
    ListTable rows;
    if (!ReadListFile(s, rows, true)) return false;
    fit.names = s.names.name;
    std::vector<int> response(s.model.count + 1, 0);
    for (int e = 1; e <= s.model.count; ++e) response[e] = ResponseVariable(s.model.eq[e].code);
    for (int r = 0; r < rows.rows(); ++r) {
        for (int e = 1; e <= s.model.count; ++e) {
            fit.residuals.push_back(
                Finalize(s.pool, SubstituteRow(s, s.model.eq[e].code, rows, r)));
            fit.observed.push_back(response[e] != 0 ? RowValue(rows, r, response[e]) : kNaN);
        }
    }
    return true;
}

void FreeFitData(CoreState& s, FitData& fit) {
    for (CodeNode*& code : fit.residuals) FreeList(s.pool, code);
    fit = FitData{};
}

FitStatistics ComputeFitStatistics(CoreState& s, const FitData& fit) {
    FitStatistics stats;
    const int n = static_cast<int>(fit.residuals.size());
    std::vector<CodeNode*> codes;
    for (const CodeNode* code : fit.residuals) {
        CodeNode* copy = Renumbered(s, code, fit.names);
        if (copy == nullptr) break;
        codes.push_back(copy);
    }
    auto release = [&] {
        for (CodeNode* c : codes) FreeList(s.pool, c);
    };
    if (n == 0 || static_cast<int>(codes.size()) != n) {
        release();
        return stats;
    }

    std::vector<int> parameters;
    for (const CodeNode* code : codes) {
        for (const CodeNode* node = code; node != nullptr; node = node->next) {
            if (node->kind == kKindVar) parameters.push_back(node->var);
        }
    }
    std::sort(parameters.begin(), parameters.end());
    parameters.erase(std::unique(parameters.begin(), parameters.end()), parameters.end());
    const int p = static_cast<int>(parameters.size());

    bool finite = true;
    std::vector<double> jacobian(static_cast<std::size_t>(n) * p);
    double sumObserved = 0.0;
    bool allObserved = true;
    for (int i = 0; i < n; ++i) {
        bool error = false;
        const double r = Evaluate(s, codes[i], error);
        finite = finite && !error && std::isfinite(r);
        stats.rss += r * r;
        allObserved = allObserved && !std::isnan(fit.observed[i]);
        sumObserved += fit.observed[i];
        for (int j = 0; j < p; ++j) {
            const double d = DerivativeValue(s, codes[i], parameters[j]);
            jacobian[static_cast<std::size_t>(j) * n + i] = d;
            finite = finite && std::isfinite(d);
        }
    }
    release();
    if (!finite) return stats;

    stats.valid = true;
    stats.observations = n;
    for (int v : parameters) {
        stats.names.push_back(s.names.name[v]);
        stats.estimates.push_back(s.names.value[v]);
    }
    stats.rms = std::sqrt(stats.rss / n);
    if (n > p) {
        stats.haveResidualSd = true;
        stats.residualSd = std::sqrt(stats.rss / (n - p));
        const std::vector<double> diagonal = InverseNormalDiagonal(jacobian, n, p);
        if (!diagonal.empty()) {
            stats.haveErrors = true;
            for (double d : diagonal)
                stats.standardErrors.push_back(stats.residualSd * std::sqrt(d));
        }
    }
    if (allObserved) {
        const double mean = sumObserved / n;
        double total = 0.0;
        for (double y : fit.observed) total += (y - mean) * (y - mean);
        if (total > 0.0) {
            stats.haveRSquared = true;
            stats.rSquared = 1.0 - stats.rss / total;
        }
    }
    return stats;
}

void ReportFitStatistics(CoreState& s, const FitStatistics& stats) {
    if (!stats.valid) return;
    ConsoleWriteLine(s.console);
    Line(s, msg::kTitle + std::to_string(stats.observations) + msg::kObservations +
                std::to_string(stats.names.size()) + msg::kParameters);
    Line(s, msg::kHeader);
    for (std::size_t j = 0; j < stats.names.size(); ++j) {
        char text[160];
        std::snprintf(text, sizeof text, "%-9s %22s %22s", stats.names[j].c_str(),
                      Number(stats.estimates[j]).c_str(),
                      stats.haveErrors ? Number(stats.standardErrors[j]).c_str() : "-");
        Line(s, text);
    }
    if (!stats.haveErrors) Line(s, msg::kNoErrors);
    Line(s, msg::kRss + Number(stats.rss));
    Line(s, msg::kRms + Number(stats.rms));
    if (stats.haveResidualSd) Line(s, msg::kResidualSd + Number(stats.residualSd));
    if (stats.haveRSquared) Line(s, msg::kRSquared + Number(stats.rSquared));
}
