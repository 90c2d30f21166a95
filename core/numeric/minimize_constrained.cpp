/*
 * Primal-dual interior-point method for
 *     min f(x)  subject to  c_E(x) = 0,  c_I(x) >= 0,
 * written with slacks s > 0 as c_I(x) - s = 0 and the barrier problem
 *     min f(x) - mu sum_j ln s_j  subject to  c_E(x) = 0,  c_I(x) - s = 0.
 * Its primal-dual equations, with multipliers y (equalities) and z > 0 (inequalities):
 *     g - J_E^T y - J_I^T z = 0,   c_E = 0,   c_I - s = 0,   S z = mu e.
 *
 * Step. Newton's method on these equations, with W the Hessian of the Lagrangian
 * f - y^T c_E - z^T c_I and Sigma = Z S^-1, after eliminating ds = J_I dx + (c_I - s) and
 * dz = mu / s - z - Sigma ds:
 *     [ W + J_I^T Sigma J_I + dw I   J_E^T ] [  dx ]   [  r   ]
 *     [ J_E                          -dc I ] [ -dy ] = [ -c_E ]
 * with r = -g + J_E^T y + J_I^T (mu/s - Sigma (c_I - s)).
 * Inertia correction: the step is used only when this matrix has exactly n positive and
 * |E| negative eigenvalues (counted from its eigensystem), which makes dx a descent direction
 * of the barrier problem on the linearized constraints. Otherwise dw grows: 1e-4 the first
 * time (else a third of the last dw that worked), then by 100 the first time and 8 afterwards,
 * up to 1e40; a zero eigenvalue (dependent equality gradients) sets dc = 1e-8 mu^(1/4).
 *
 * Step length. Fraction to the boundary with tau = max(0.99, 1 - mu): the largest
 * alpha_max <= 1 with s + alpha ds >= (1 - tau) s, and alpha_z likewise for z. Backtracking by
 * halves from alpha_max on the l1 merit function
 *     phi(x, s) = f - mu sum ln s + nu (|c_E|_1 + |c_I - s|_1)
 * until phi(alpha) <= phi(0) + 1e-4 alpha D, D its directional derivative. nu never falls; it
 * is raised to the largest new multiplier plus one and, where the barrier part of D would
 * still be positive, to what makes D at most half the violation term. Where the first trial
 * is refused, one second-order correction of dx against the curvature of the equalities,
 * (J_E applied to the correction) = -c_E(x + dx), is tried before backtracking. After the
 * step z is kept within [mu / (1e10 s), 1e10 mu / s], which bounds its drift from S z = mu e.
 *
 * Barrier parameter. mu starts at 0.1; when the barrier error (the primal-dual equations'
 * residual, the dual and complementarity parts scaled as the sums of the multipliers
 * require) is at most 10 mu, mu := max(tol / 10, min(mu / 5, mu^1.5)).
 *
 * Stopping rules, in this order, at every iterate:
 *   converged    KktError (minimize_constrained.h) at most the settings' tolerance;
 *   unbounded    f below the settings' lowest value;
 *   limit        the settings' number of iterations done;
 *   no progress  no correction dw up to 1e40 gives the inertia, or the backtracking reaches a
 *                step below 1e-14 without meeting the merit test.
 * Starting point: the given x; s_j = max(c_j(x), 1e-2), z = 1, and y the least-squares
 * multipliers of the equalities (0 when they come out beyond 1e3).
 */
#include "core/numeric/minimize_constrained.h"

#include <algorithm>
#include <cmath>

#include "core/numeric/symmetric_eigen.h"

namespace {

using Vector = std::vector<double>;

constexpr double kInitialMu = 0.1;
constexpr double kSlackFloor = 1e-2;
constexpr double kBarrierFactor = 10.0;
constexpr double kMuShrink = 0.2;
constexpr double kMuPower = 1.5;
constexpr double kArmijo = 1e-4;
constexpr double kSmallestStep = 1e-14;
constexpr double kMultiplierDrift = 1e10;
constexpr double kFirstShift = 1e-4;
constexpr double kLargestShift = 1e40;
constexpr double kInertiaZero = 1e-13;
constexpr double kLargestStartMultiplier = 1e3;

double InfinityNorm(const Vector& v) {
    double m = 0.0;
    for (double x : v) m = std::max(m, std::fabs(x));
    return m;
}

struct Iterate {
    Vector x, s, y, z;
    double f = 0.0;
    Vector c;  // every constraint, in the problem's order
};

class InteriorPoint {
   public:
    InteriorPoint(SmoothProblem& p, const MinimizeSettings& settings)
        : p_(p), settings_(settings), n_(p.VariableCount()), m_(p.ConstraintCount()) {
        for (int i = 0; i < m_; ++i) (p.IsEquality(i) ? equalities_ : inequalities_).push_back(i);
        equality_.resize(static_cast<std::size_t>(m_));
        for (int i = 0; i < m_; ++i) equality_[i] = p.IsEquality(i);
    }

    MinimizeResult Run(const Vector& start, const ProgressSink& progress) {
        MinimizeResult result;
        result.x = start;
        it_.x = start;
        if (!Evaluate(it_) || !Derivatives()) {
            result.stop = MinimizeStop::kEvaluationError;
            return result;
        }
        for (int j : inequalities_) it_.s.push_back(std::max(it_.c[j], kSlackFloor));
        it_.z.assign(inequalities_.size(), 1.0);
        it_.y = EqualityMultipliers();
        mu_ = kInitialMu;

        for (;;) {
            Keep(result);
            if (KktError(it_.f, it_.x, g_, it_.c, equality_, jacobian_, result.lambda) <=
                settings_.tolerance) {
                result.stop = MinimizeStop::kConverged;
                return result;
            }
            if (it_.f < settings_.lowestValue) {
                result.stop = MinimizeStop::kUnbounded;
                return result;
            }
            if (result.iterations >= settings_.maxIterations) {
                result.stop = MinimizeStop::kIterationLimit;
                return result;
            }
            ++result.iterations;
            while (BarrierError() <= kBarrierFactor * mu_ && mu_ > settings_.tolerance / 10) {
                mu_ = std::max(settings_.tolerance / 10,
                               std::min(kMuShrink * mu_, std::pow(mu_, kMuPower)));
            }
            if (!Step()) {
                result.stop = MinimizeStop::kNoProgress;
                return result;
            }
            Keep(result);
            if (!progress.Report(
                    result.iterations, it_.f,
                    KktError(it_.f, it_.x, g_, it_.c, equality_, jacobian_, result.lambda))) {
                result.stop = MinimizeStop::kCancelled;
                return result;
            }
        }
    }

   private:
    void Keep(MinimizeResult& result) const {
        result.x = it_.x;
        result.f = it_.f;
        result.lambda = Lambda();
    }

    // The least-squares multipliers of the equalities with z as it is,
    //     min |g - J_I^T z - J_E^T y|,  i.e.  (J_E J_E^T) y = J_E (g - J_I^T z),
    // so that the first Hessian of the Lagrangian holds the curvature of the equalities (with
    // y = 0 a linear objective would give no curvature at all, and the first steps would run
    // far along the constraints). Multipliers beyond 1e3 say the estimate is not to be
    // trusted; then y = 0.
    Vector EqualityMultipliers() const {
        const int eq = static_cast<int>(equalities_.size());
        Vector y(static_cast<std::size_t>(eq), 0.0);
        if (eq == 0) return y;
        Vector r = g_;
        for (std::size_t k = 0; k < inequalities_.size(); ++k) {
            for (int j = 0; j < n_; ++j) r[j] -= it_.z[k] * jacobian_(inequalities_[k], j);
        }
        DenseMatrix normal;
        normal.Reset(eq, eq);
        for (int a = 0; a < eq; ++a) {
            for (int j = 0; j < n_; ++j) y[a] += jacobian_(equalities_[a], j) * r[j];
            for (int b = 0; b <= a; ++b) {
                double sum = 0.0;
                for (int j = 0; j < n_; ++j)
                    sum += jacobian_(equalities_[a], j) * jacobian_(equalities_[b], j);
                normal(a, b) = sum;
            }
        }
        SymmetricEigenSystem e;
        SymmetricEigen(normal, e);
        EigenSolve(e, kInertiaZero * std::max(std::fabs(e.values.back()), 1e-300), y);
        if (InfinityNorm(y) > kLargestStartMultiplier) std::fill(y.begin(), y.end(), 0.0);
        return y;
    }

    bool Evaluate(Iterate& t) {
        t.c.assign(static_cast<std::size_t>(m_), 0.0);
        if (!p_.Values(t.x, t.f, t.c) || !std::isfinite(t.f)) return false;
        for (double v : t.c) {
            if (!std::isfinite(v)) return false;
        }
        return true;
    }

    bool Derivatives() {
        jacobian_.Reset(m_, n_);
        g_.assign(static_cast<std::size_t>(n_), 0.0);
        return p_.Gradients(it_.x, g_, jacobian_);
    }

    Vector Lambda() const {
        Vector lambda(static_cast<std::size_t>(m_), 0.0);
        for (std::size_t k = 0; k < equalities_.size(); ++k) lambda[equalities_[k]] = it_.y[k];
        for (std::size_t k = 0; k < inequalities_.size(); ++k) lambda[inequalities_[k]] = it_.z[k];
        return lambda;
    }

    // The residual of the barrier problem's primal-dual equations, scaled as the dual and
    // complementarity parts require when the multipliers are large.
    double BarrierError() const {
        Vector dual = g_;
        double sumY = 0.0, sumZ = 0.0;
        for (std::size_t k = 0; k < equalities_.size(); ++k) {
            for (int j = 0; j < n_; ++j) dual[j] -= it_.y[k] * jacobian_(equalities_[k], j);
            sumY += std::fabs(it_.y[k]);
        }
        double primal = 0.0, complementarity = 0.0;
        for (std::size_t k = 0; k < inequalities_.size(); ++k) {
            for (int j = 0; j < n_; ++j) dual[j] -= it_.z[k] * jacobian_(inequalities_[k], j);
            sumZ += std::fabs(it_.z[k]);
            primal = std::max(primal, std::fabs(it_.c[inequalities_[k]] - it_.s[k]));
            complementarity = std::max(complementarity, std::fabs(it_.s[k] * it_.z[k] - mu_));
        }
        for (int i : equalities_) primal = std::max(primal, std::fabs(it_.c[i]));
        constexpr double kScaleFloor = 100.0;
        const double sd = std::max(kScaleFloor, (sumY + sumZ) / std::max(1, m_)) / kScaleFloor;
        const double sc =
            std::max(kScaleFloor, sumZ / std::max<std::size_t>(1, inequalities_.size())) /
            kScaleFloor;
        return std::max({InfinityNorm(dual) / sd, primal, complementarity / sc});
    }

    // The KKT matrix with the shifts dw and dc.
    void Assemble(const DenseMatrix& w, double dw, double dc, DenseMatrix& k) const {
        const int e = static_cast<int>(equalities_.size());
        k.Reset(n_ + e, n_ + e);
        for (int a = 0; a < n_; ++a) {
            for (int b = 0; b <= a; ++b) {
                double v = w(a, b);
                for (std::size_t q = 0; q < inequalities_.size(); ++q) {
                    const int row = inequalities_[q];
                    v += jacobian_(row, a) * (it_.z[q] / it_.s[q]) * jacobian_(row, b);
                }
                k(a, b) = v;
            }
            k(a, a) += dw;
        }
        for (int q = 0; q < e; ++q) {
            for (int b = 0; b < n_; ++b) k(n_ + q, b) = jacobian_(equalities_[q], b);
            k(n_ + q, n_ + q) = -dc;
        }
    }

    // The eigensystem of a KKT matrix of the right inertia, or false.
    bool Factor(const DenseMatrix& w, SymmetricEigenSystem& e) {
        const int eq = static_cast<int>(equalities_.size());
        double dc = 0.0;
        double dw = 0.0;
        bool first = true;
        DenseMatrix k;
        for (;;) {
            Assemble(w, dw, dc, k);
            SymmetricEigen(k, e);
            const double largest =
                std::max(std::fabs(e.values.front()), std::fabs(e.values.back()));
            const Inertia in = InertiaOf(e, kInertiaZero * std::max(largest, 1e-300));
            if (in.positive == n_ && in.negative == eq) {
                if (dw > 0.0) lastShift_ = dw;
                return true;
            }
            if (in.zero > 0 && eq > 0 && dc == 0.0) {
                dc = 1e-8 * std::pow(mu_, 0.25);
                continue;
            }
            if (first) {
                dw = lastShift_ == 0.0 ? kFirstShift : std::max(1e-20, lastShift_ / 3);
                first = false;
            } else {
                dw *= lastShift_ == 0.0 ? 100.0 : 8.0;
            }
            if (dw > kLargestShift) return false;
        }
    }

    double Merit(const Iterate& t, double nu) const {
        double value = t.f, violation = 0.0;
        for (std::size_t k = 0; k < inequalities_.size(); ++k) {
            value -= mu_ * std::log(t.s[k]);
            violation += std::fabs(t.c[inequalities_[k]] - t.s[k]);
        }
        for (int i : equalities_) violation += std::fabs(t.c[i]);
        return value + nu * violation;
    }

    double Violation(const Iterate& t) const {
        double v = 0.0;
        for (std::size_t k = 0; k < inequalities_.size(); ++k)
            v += std::fabs(t.c[inequalities_[k]] - t.s[k]);
        for (int i : equalities_) v += std::fabs(t.c[i]);
        return v;
    }

    // Largest alpha in (0, 1] with v + alpha dv >= (1 - tau) v.
    static double ToBoundary(const Vector& v, const Vector& dv, double tau) {
        double alpha = 1.0;
        for (std::size_t k = 0; k < v.size(); ++k) {
            if (dv[k] < 0.0) alpha = std::min(alpha, -tau * v[k] / dv[k]);
        }
        return alpha;
    }

    // Solves the KKT system for the right-hand side of the equalities' values ce; dx and dy
    // out.
    void Solve(const SymmetricEigenSystem& e, const Vector& rhsX, const Vector& ce, Vector& dx,
               Vector& dy) const {
        const int eq = static_cast<int>(equalities_.size());
        Vector r(static_cast<std::size_t>(n_ + eq));
        for (int a = 0; a < n_; ++a) r[a] = rhsX[a];
        for (int q = 0; q < eq; ++q) r[n_ + q] = -ce[q];
        EigenSolve(e, 0.0, r);
        dx.assign(r.begin(), r.begin() + n_);
        dy.resize(static_cast<std::size_t>(eq));
        for (int q = 0; q < eq; ++q) dy[q] = -r[n_ + q];
    }

    Iterate Trial(const Vector& dx, const Vector& ds, double alpha) const {
        Iterate t;
        t.x = it_.x;
        for (int j = 0; j < n_; ++j) t.x[j] += alpha * dx[j];
        t.s = it_.s;
        for (std::size_t k = 0; k < t.s.size(); ++k) t.s[k] += alpha * ds[k];
        return t;
    }

    bool Step() {
        DenseMatrix w;
        w.Reset(n_, n_);
        if (!p_.Hessian(it_.x, Lambda(), w)) return false;
        SymmetricEigenSystem e;
        if (!Factor(w, e)) return false;

        const std::size_t ni = inequalities_.size();
        Vector rI(ni), sigma(ni);
        for (std::size_t k = 0; k < ni; ++k) {
            rI[k] = it_.c[inequalities_[k]] - it_.s[k];
            sigma[k] = it_.z[k] / it_.s[k];
        }
        Vector rhs(static_cast<std::size_t>(n_));
        for (int j = 0; j < n_; ++j) rhs[j] = -g_[j];
        for (std::size_t q = 0; q < equalities_.size(); ++q) {
            for (int j = 0; j < n_; ++j) rhs[j] += jacobian_(equalities_[q], j) * it_.y[q];
        }
        for (std::size_t k = 0; k < ni; ++k) {
            const double weight = mu_ / it_.s[k] - sigma[k] * rI[k];
            for (int j = 0; j < n_; ++j) rhs[j] += jacobian_(inequalities_[k], j) * weight;
        }
        Vector ce(equalities_.size());
        for (std::size_t q = 0; q < equalities_.size(); ++q) ce[q] = it_.c[equalities_[q]];
        Vector dx, dy;
        Solve(e, rhs, ce, dx, dy);
        Vector ds(ni), dz(ni);
        for (std::size_t k = 0; k < ni; ++k) {
            double jdx = 0.0;
            for (int j = 0; j < n_; ++j) jdx += jacobian_(inequalities_[k], j) * dx[j];
            ds[k] = jdx + rI[k];
            dz[k] = mu_ / it_.s[k] - it_.z[k] - sigma[k] * ds[k];
        }

        // The penalty: above every new multiplier, and large enough for descent.
        double largestMultiplier = 0.0;
        for (std::size_t q = 0; q < dy.size(); ++q)
            largestMultiplier = std::max(largestMultiplier, std::fabs(it_.y[q] + dy[q]));
        for (std::size_t k = 0; k < ni; ++k)
            largestMultiplier = std::max(largestMultiplier, std::fabs(it_.z[k] + dz[k]));
        nu_ = std::max(nu_, largestMultiplier + 1.0);
        double barrierSlope = 0.0;
        for (int j = 0; j < n_; ++j) barrierSlope += g_[j] * dx[j];
        for (std::size_t k = 0; k < ni; ++k) barrierSlope -= mu_ * ds[k] / it_.s[k];
        const double violation = Violation(it_);
        if (violation > 0.0 && barrierSlope > 0.0) {
            nu_ = std::max(nu_, 2.0 * barrierSlope / violation);
        }
        const double slope = barrierSlope - nu_ * violation;

        const double tau = std::max(0.99, 1.0 - mu_);
        const double alphaMax = ToBoundary(it_.s, ds, tau);
        const double alphaZ = ToBoundary(it_.z, dz, tau);
        const double merit = Merit(it_, nu_);
        double alpha = alphaMax;
        Iterate trial = Trial(dx, ds, alpha);
        const bool evaluated = Evaluate(trial);
        bool accepted = evaluated && Merit(trial, nu_) <= merit + kArmijo * alpha * slope;
        if (!accepted && evaluated && !equalities_.empty()) {
            // The full step may be refused only for the curvature of the equalities: correct dx
            // so that their linearization at the trial point is met as well.
            Vector corrected(equalities_.size());
            for (std::size_t q = 0; q < equalities_.size(); ++q)
                corrected[q] = trial.c[equalities_[q]];
            Vector zero(static_cast<std::size_t>(n_), 0.0), cx, cy;
            Solve(e, zero, corrected, cx, cy);
            Vector dxSoc = dx, dsSoc = ds;
            for (int j = 0; j < n_; ++j) dxSoc[j] += cx[j];
            for (std::size_t k = 0; k < ni; ++k) {
                for (int j = 0; j < n_; ++j) dsSoc[k] += jacobian_(inequalities_[k], j) * cx[j];
            }
            const double alphaSoc = ToBoundary(it_.s, dsSoc, tau);
            Iterate soc = Trial(dxSoc, dsSoc, alphaSoc);
            if (Evaluate(soc) && Merit(soc, nu_) <= merit + kArmijo * alphaSoc * slope) {
                trial = std::move(soc);
                alpha = alphaSoc;
                accepted = true;
            }
        }
        while (!accepted) {
            alpha *= 0.5;
            if (alpha < kSmallestStep) return false;
            trial = Trial(dx, ds, alpha);
            accepted = Evaluate(trial) && Merit(trial, nu_) <= merit + kArmijo * alpha * slope;
        }

        trial.y = it_.y;
        for (std::size_t q = 0; q < dy.size(); ++q) trial.y[q] += alpha * dy[q];
        trial.z = it_.z;
        for (std::size_t k = 0; k < ni; ++k) {
            const double z = it_.z[k] + alphaZ * dz[k];
            trial.z[k] = std::clamp(z, mu_ / (kMultiplierDrift * trial.s[k]),
                                    kMultiplierDrift * mu_ / trial.s[k]);
        }
        const Iterate previous = it_;
        it_ = std::move(trial);
        if (!Derivatives()) {
            it_ = previous;
            Derivatives();
            return false;
        }
        return true;
    }

    SmoothProblem& p_;
    const MinimizeSettings& settings_;
    int n_, m_;
    std::vector<int> equalities_, inequalities_;
    std::vector<bool> equality_;
    Iterate it_;
    Vector g_;
    DenseMatrix jacobian_;
    double mu_ = kInitialMu;
    double nu_ = 1.0;
    double lastShift_ = 0.0;
};

}  // namespace

MinimizeResult MinimizeInteriorPoint(SmoothProblem& problem, const std::vector<double>& start,
                                     const MinimizeSettings& settings,
                                     const ProgressSink& progress) {
    InteriorPoint method(problem, settings);
    return method.Run(start, progress);
}

double KktError(double f, const std::vector<double>& x, const std::vector<double>& g,
                const std::vector<double>& c, const std::vector<bool>& equality,
                const DenseMatrix& jacobian, const std::vector<double>& lambda) {
    Vector dual = g;
    double violation = 0.0, complementarity = 0.0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        for (std::size_t j = 0; j < dual.size(); ++j)
            dual[j] -= lambda[i] * jacobian(static_cast<int>(i), static_cast<int>(j));
        if (equality[i]) {
            violation = std::max(violation, std::fabs(c[i]));
        } else {
            violation = std::max(violation, -c[i]);
            complementarity = std::max(complementarity, std::fabs(lambda[i] * c[i]));
        }
    }
    return std::max({InfinityNorm(dual) / std::max(1.0, InfinityNorm(g)),
                     violation / std::max(1.0, InfinityNorm(x)),
                     complementarity / std::max(1.0, std::fabs(f))});
}
