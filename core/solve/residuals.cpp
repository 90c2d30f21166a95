#include "core/solve/residuals.h"

#include <cmath>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/evaluator.h"
#include "core/eval/flatten.h"
#include "core/solve/grouping.h"

namespace {

// Probes an undefined residual from its neighbourhood: the variables of earlier groups are
// shifted by delta J, then by steps ten times smaller, until two probes agree.
double ProbeUndefined(CoreState& s, int group, const CodeNode* code) {
    SolveState& v = s.solve;
    std::vector<double>& x = s.names.value;
    const int shifted = (group <= 1) ? 0 : v.groupLast[group - 1];
    auto probe = [&](double shift) {
        for (int pos = 1; pos <= shifted; ++pos) x[v.pivotVariable[pos]] += shift;
        bool error = false;
        const double r = Evaluate(s, code, error);
        for (int pos = 1; pos <= shifted; ++pos) x[v.pivotVariable[pos]] -= shift;
        return r;
    };
    double shift = s.settings.deltaJ;
    double last = probe(shift);
    if (last == kUndefinedValue) return last;
    const double agreement = std::exp(static_cast<double>(s.settings.toleranceExponent));
    for (int refinements = 1;; ++refinements) {
        shift /= 10.0;
        const double next = probe(shift);
        const bool close = std::fabs(next - last) <= agreement;
        last = next;
        if (refinements > 10 || close) break;
    }
    return last;
}

}  // namespace

int ResidualExponent(const CoreState& s, double r) {
    const double a = std::fabs(r);
    if (a <= s.k.smallest) return kZeroResidualExponent;
    if (!std::isfinite(a)) return kFailedResidualExponent;
    return static_cast<int>(std::log10(a));  // truncation toward zero
}

double EvaluateGroupResiduals(CoreState& s, int group) {
    SolveState& v = s.solve;
    v.evaluationError = false;
    v.firstErrorEquation = 0;
    double norm = 0.0;
    for (int pos = grouping::FirstPosition(v, group); pos <= v.groupLast[group]; ++pos) {
        const int eq = v.pivotEquation[pos];
        const CodeNode* code = s.model.eq[eq].code;
        bool error = false;
        double r = Evaluate(s, FlatFor(s, code, s.model.eq[eq].flat), error);
        if (!error && r == kUndefinedValue) r = ProbeUndefined(s, group, code);
        if (error) {
            v.residual[eq] = 0.0;
            v.evaluationError = true;
            norm = s.k.largest;
            if (v.firstErrorEquation == 0) {
                v.firstErrorEquation = eq;
                v.toleranceExponentReached = kFailedResidualExponent;
                v.largestResidualEquation = eq;
            }
            continue;
        }
        v.residual[eq] = r;
        // An undefined residual counts as infinite, so the group cannot converge on it; so does
        // a NaN, which no comparison with the norm would ever let in.
        const double magnitude =
            (r == kUndefinedValue || std::isnan(r)) ? s.k.largest : std::fabs(r);
        if (magnitude > norm) {
            norm = magnitude;
            v.largestResidualEquation = eq;
        }
    }
    return norm;
}
