#include "core/solve/path_following.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/constant_fold.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/numeric/dense_linear.h"
#include "core/solve/residuals.h"
#include "core/symbolic/differentiate.h"

// Pseudo-arclength continuation of the homotopy path.
//
// The n transformed equations H(y) = f(x) - (1 - t) f(x0) = 0 in the n + 1 unknowns
// y = (x, t) define a curve through (x0, 0). Following it by the parameter t fails where t
// turns back (dt/ds = 0); following it by its arclength s does not. At a point y_k on the
// curve the unit tangent tau_k spans the null space of the n x (n + 1) Jacobian DH(y_k); it
// solves the bordered system
//     [ DH(y_k) ; tau_(k-1)^T ] z = e_(n+1),   tau_k = z / |z|,
// whose last row also orients it: tau_k . tau_(k-1) > 0, so the curve is never walked back
// (the first tangent is bordered by e_t, i.e. the direction of increasing t).
// Predictor:  y_p = y_k + h tau_k.
// Corrector:  Newton's method on H(y) = 0 and tau_k . (y - y_p) = 0, the hyperplane through the
//             predicted point normal to the tangent:
//                 [ DH(y) ; tau_k^T ] dy = -[ H(y) ; tau_k . (y - y_p) ],
//             until the largest |H_i| is below the tolerance of the run or the correction is
//             below 1e-10 relative to y (large values leave rounding errors in H above any
//             absolute tolerance; the final Newton iteration at t = 1 sets the accuracy).
// A corrector is rejected (and the step h halved) when it needs more than 8 iterations, when
// a correction is longer than h or longer than the one before (it is not contracting, so the
// predicted point was too far from the curve), when an evaluation fails, or when the new
// tangent turns by more than about 37 degrees (cosine below 0.8: the step may have jumped to
// another branch of the curve). An accepted corrector that took fewer than 3 iterations
// doubles h, one that took more than 5 halves it, as the parameter steps do.
// End: a step whose prediction passes t = 1 is shortened to reach t = 1 exactly and corrected
// within the hyperplane t = 1 instead, which lands on the curve's crossing of t = 1; the final
// Newton iteration of the homotopy refines that point.
// The continuation gives up when h falls below 2e-5 relative to the size of y (the curve
// cannot be resolved any further), after kMaxPathSteps steps, when t falls below -10 (the
// residuals along the curve have grown to eleven times those at the start, and such a curve
// does not come back in practice), or when the curve returns to its starting point in its
// starting direction (a closed loop, as the symmetric Chebyshev problems produce).

namespace {

constexpr int kCorrectorIterations = 8;
constexpr int kFewIterations = 3;
constexpr int kManyIterations = 5;
constexpr double kMinTurnCosine = 0.8;
constexpr double kSmallestStep = 2e-5;
constexpr double kGrow = 2.0;
constexpr double kShrink = 0.5;
constexpr double kLowestParameter = -10.0;
constexpr double kTrackingTolerance = 1e-10;

// Derivative code of one Jacobian term of the homotopy system.
struct Term {
    int row = 0;     // 0-based equation
    int column = 0;  // 0-based unknown; t is column n
    CodeNode* code = nullptr;
};

// The homotopy equations 1..n with their Jacobian, evaluated at points y = (x, t). The
// Jacobian rows the solve keeps hold only the terms of each equation's own group; the
// continuation needs them all, so it differentiates the equations once more.
class HomotopySystem {
   public:
    explicit HomotopySystem(CoreState& s) : s_(s), n_(s.model.count - 1) {
        for (int e = 1; e <= n_; ++e) DifferentiateEquation(e);
    }
    ~HomotopySystem() {
        for (Term& t : terms_) FreeList(s_.pool, t.code);
    }
    HomotopySystem(const HomotopySystem&) = delete;
    HomotopySystem& operator=(const HomotopySystem&) = delete;

    int Size() const { return n_; }

    // H(y) into h (n values); false when an evaluation fails or is undefined.
    bool Residuals(const std::vector<double>& y, std::vector<double>& h) {
        Set(y);
        h.assign(static_cast<std::size_t>(n_), 0.0);
        for (int e = 1; e <= n_; ++e) {
            bool error = false;
            const double r = Evaluate(s_, s_.model.eq[e].code, error);
            if (error || r == kUndefinedValue || !std::isfinite(r)) return false;
            h[e - 1] = r;
        }
        return true;
    }

    // DH(y) into the first n rows of j, which has n + 1 rows and columns; the last row is
    // left for the bordering vector.
    bool Jacobian(const std::vector<double>& y, DenseMatrix& j) {
        Set(y);
        j.Reset(n_ + 1, n_ + 1);
        for (const Term& t : terms_) {
            bool error = false;
            const double d = Evaluate(s_, t.code, error);
            if (error || d == kUndefinedValue || !std::isfinite(d)) return false;
            j(t.row, t.column) = d;
        }
        return true;
    }

   private:
    void Set(const std::vector<double>& y) {
        for (int i = 0; i <= n_; ++i) s_.names.value[i + 1] = y[i];
    }

    void DifferentiateEquation(int e) {
        Equation& eq = s_.model.eq[e];
        CodeNode* head = ToPrefix(eq.code);
        // In parse form the ';' that ends the equation comes first; the expression follows it.
        CodeNode* root = (head != nullptr && head->kind == kKindEnd) ? head->next : head;
        std::vector<char> seen(static_cast<std::size_t>(n_ + 2), 0);
        for (const CodeNode* node = head; node != nullptr; node = node->next) {
            if (node->kind != kKindVar || node->var < 1 || node->var > n_ + 1) continue;
            if (seen[static_cast<std::size_t>(node->var)]) continue;
            seen[static_cast<std::size_t>(node->var)] = 1;
            CodeNode* d = MakeNode(s_.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
            Differentiate(s_, root, node->var, d);
            d = Reverse(d);
            ConstantFold(s_, d);
            terms_.push_back({e - 1, node->var - 1, Reverse(d)});
        }
        eq.code = ToPostfix(head);
    }

    CoreState& s_;
    int n_;
    std::vector<Term> terms_;
};

double LargestMagnitude(const std::vector<double>& v) {
    double m = 0.0;
    for (double x : v) m = std::max(m, std::fabs(x));
    return m;
}

double Distance(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return std::sqrt(sum);
}

double Dot(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
    return sum;
}

// The progress line of the homotopy: the parameter and the residual exponent.
void ShowProgress(CoreState& s, double t, double largest) {
    char line[64];
    std::snprintf(line, sizeof line, "%.8f ", t);
    ConsoleWrite(s.console, line);
    ConsoleWriteInt(s.console, ResidualExponent(s, largest));
    ConsoleWriteLine(s.console);
}

class Continuation {
   public:
    Continuation(CoreState& s, HomotopySystem& h)
        : s_(s), h_(h), n_(h.Size()), size_(static_cast<std::size_t>(n_ + 1)) {}

    // The unit tangent at y oriented by `previous`, into tangent.
    bool Tangent(const std::vector<double>& y, const std::vector<double>& previous,
                 std::vector<double>& tangent) {
        if (!h_.Jacobian(y, j_)) return false;
        for (int c = 0; c <= n_; ++c) j_(n_, c) = previous[c];
        if (!LuFactorize(j_, pivots_)) return false;
        tangent.assign(size_, 0.0);
        tangent[n_] = 1.0;
        LuSolve(j_, pivots_, tangent);
        const double length = Norm2(tangent, n_ + 1);
        if (!(length > 0.0) || !std::isfinite(length)) return false;
        for (double& v : tangent) v /= length;
        return true;
    }

    // Corrects the predicted point y onto the curve within the hyperplane through y normal to
    // `normal`; returns the iterations used, or 0 when the corrector was rejected. h is the
    // length of the step that predicted y.
    int Correct(std::vector<double>& y, const std::vector<double>& normal, double h) {
        const std::vector<double> predicted = y;
        const int tolerance = s_.settings.toleranceExponent;
        double previousLength = HUGE_VAL;
        for (int iteration = 1; iteration <= kCorrectorIterations; ++iteration) {
            if (s_.flags.stop) return 0;
            if (!h_.Residuals(y, residual_) || !h_.Jacobian(y, j_)) return 0;
            for (int c = 0; c <= n_; ++c) j_(n_, c) = normal[c];
            right_.assign(size_, 0.0);
            for (int i = 0; i < n_; ++i) right_[i] = -residual_[i];
            for (int c = 0; c <= n_; ++c) right_[n_] -= normal[c] * (y[c] - predicted[c]);
            if (!LuFactorize(j_, pivots_)) return 0;
            LuSolve(j_, pivots_, right_);
            const double length = Norm2(right_, n_ + 1);
            if (!std::isfinite(length) || length > h || length > previousLength) return 0;
            previousLength = length;
            for (int c = 0; c <= n_; ++c) y[c] += right_[c];
            if (!h_.Residuals(y, residual_)) return 0;
            const double largest = LargestMagnitude(residual_);
            ShowProgress(s_, y[n_], largest);
            if (ResidualExponent(s_, largest) < tolerance ||
                length <= kTrackingTolerance * std::max(1.0, LargestMagnitude(y))) {
                return iteration;
            }
        }
        return 0;
    }

   private:
    CoreState& s_;
    HomotopySystem& h_;
    int n_;
    std::size_t size_;
    DenseMatrix j_;
    std::vector<int> pivots_;
    std::vector<double> residual_, right_;
};

}  // namespace

bool FollowPath(CoreState& s, const std::vector<double>& start) {
    HomotopySystem system(s);
    Continuation path(s, system);
    const int n = system.Size();
    std::vector<double> y(start.begin() + 1, start.begin() + n + 2);  // x1..xn, t
    std::vector<double> tangent, next, nextTangent;
    std::vector<double> upward(static_cast<std::size_t>(n + 1), 0.0);
    upward[n] = 1.0;
    bool ok = path.Tangent(y, upward, tangent);
    const std::vector<double> origin = y, originTangent = tangent;
    bool leftOrigin = false;
    double h = std::max(s.settings.deltaT, kSmallestStep);
    auto finish = [&](const std::vector<double>& point) {
        for (int c = 0; c <= n; ++c) s.names.value[c + 1] = point[c];
    };
    // A cancel is seen at every step of the path, not only when it ends.
    for (int steps = 0; ok && steps < kMaxPathSteps && !CancelRequested(s) && !s.flags.stop;
         ++steps) {
        if (h < kSmallestStep * std::max(1.0, LargestMagnitude(y))) break;
        next = y;
        // A step that would pass t = 1 is aimed at t = 1 and corrected within t = 1: the
        // result is the point where the curve crosses it.
        if (tangent[n] > 0.0 && y[n] + h * tangent[n] >= 1.0) {
            const double toEnd = (1.0 - y[n]) / tangent[n];
            for (int c = 0; c <= n; ++c) next[c] += toEnd * tangent[c];
            next[n] = 1.0;
            if (path.Correct(next, upward, toEnd) > 0) {
                finish(next);
                return true;
            }
            h = kShrink * std::min(h, toEnd);
            continue;
        }
        for (int c = 0; c <= n; ++c) next[c] += h * tangent[c];
        const int iterations = path.Correct(next, tangent, h);
        if (iterations == 0 || !path.Tangent(next, tangent, nextTangent) ||
            Dot(nextTangent, tangent) < kMinTurnCosine) {
            h *= kShrink;
            continue;
        }
        if (next[n] >= 1.0) {
            // The curve bends up past t = 1 within the step: a shorter one stops below t = 1,
            // and the step after it ends on t = 1.
            h *= kShrink;
            continue;
        }
        y = next;
        tangent = nextTangent;
        if (y[n] < kLowestParameter) break;
        // A curve that comes back to where the continuation started, in the same direction,
        // is a closed loop: it never reaches t = 1.
        const double away = Distance(y, origin);
        if (away > 2.0 * h) leftOrigin = true;
        if (leftOrigin && away < h && Dot(tangent, originTangent) > 0.0) break;
        if (iterations < kFewIterations)
            h *= kGrow;
        else if (iterations > kManyIterations)
            h *= kShrink;
    }
    finish(y);
    return false;
}
