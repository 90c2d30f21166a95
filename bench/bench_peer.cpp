// The same problems, from the same starting values, solved by a whole run of ours (document in,
// Jacobian and results files out) and in-process by Eigen's port of MINPACK's hybrid method with
// the analytic Jacobian. Each pair is registered side by side under BM_Pair_<problem>_Valdrix
// and BM_Pair_<problem>_Eigen, so one filtered run gives the ratios.

#include <benchmark/benchmark.h>

#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <string>
#include <unsupported/Eigen/NonLinearOptimization>
#include <vector>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "core/solve/standard_problem_set.h"

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// One problem as a document of ours, with the variables in the order the peer numbers them.
struct Case {
    std::string file;
    std::string text;
    int capacity = 25;
    std::vector<std::string> variables;
};

std::vector<std::string> Numbered(const std::string& stem, int n) {
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) names.push_back(stem + std::to_string(i));
    return names;
}

// The starting values a run of ours begins from (guesses, or the seeded random ones).
VectorXd StartOf(const Case& c, const std::string& path) {
    const std::vector<double> v = bench::StartingValues(path, c.variables, c.capacity);
    return Eigen::Map<const VectorXd>(v.data(), static_cast<Eigen::Index>(v.size()));
}

void Ours(benchmark::State& state, const Case& c) {
    bench::SolveWholeRuns(state, c.file, c.text, c.capacity);
}

// A wrong analytic Jacobian would still converge, only slower, and make the comparison unfair:
// it must agree with central differences at the start.
template <class Functor>
bool JacobianAgrees(const Functor& f, const VectorXd& at) {
    const Eigen::Index n = at.size();
    MatrixXd analytic(n, n);
    f.df(at, analytic);
    VectorXd x = at, up(n), down(n);
    for (Eigen::Index k = 0; k < n; ++k) {
        const double h = 1e-6 * std::max(1.0, std::abs(at[k]));
        x[k] = at[k] + h;
        f(x, up);
        x[k] = at[k] - h;
        f(x, down);
        x[k] = at[k];
        const VectorXd column = (up - down) / (2 * h);
        if ((column - analytic.col(k)).norm() > 1e-5 * std::max(1.0, column.norm())) return false;
    }
    return true;
}

// The peer from our starting values; afterwards its answer must be the one our run reports.
template <class Functor>
void Peer(benchmark::State& state, const Case& c, Functor f) {
    const std::string path = bench::ScratchDocument(c.file, c.text);
    const VectorXd start = StartOf(c, path);
    if (!JacobianAgrees(f, start)) {
        state.SkipWithError("the peer's Jacobian disagrees with its residuals");
        return;
    }
    CoreState ours;
    ours.console.callback = nullptr;
    ours.settings.capacity = c.capacity;
    if (SolverEntry(ours, path.c_str(), "S") != 1) {
        state.SkipWithError("our run did not solve");
        return;
    }
    const std::vector<double> expected = bench::ValuesOf(ours, c.variables);

    VectorXd x;
    Eigen::HybridNonLinearSolverSpace::Status status{};
    Eigen::Index jacobians = 0;
    for (auto _ : state) {
        x = start;
        Eigen::HybridNonLinearSolver<Functor> solver(f);
        status = solver.solve(x);
        jacobians = solver.njev;
        benchmark::DoNotOptimize(x.data());
    }
    double worst = 0.0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const double e = expected[i];
        worst = std::max(
            worst, std::abs(x[static_cast<Eigen::Index>(i)] - e) / std::max(1.0, std::abs(e)));
    }
    if (status != Eigen::HybridNonLinearSolverSpace::RelativeErrorTooSmall || !(worst < 1e-6)) {
        state.SkipWithError("the peer did not reach our solution");
    }
    state.counters["difference"] = worst;
    state.counters["jacobians"] = static_cast<double>(jacobians);
}

// The boundary-value problem of bench::BoundaryValueProblem.
struct BoundaryValue {
    double scale;
    int operator()(const VectorXd& u, VectorXd& f) const {
        const Eigen::Index n = u.size();
        for (Eigen::Index i = 0; i < n; ++i) {
            const double left = i > 0 ? u[i - 1] : 0.0;
            const double right = i + 1 < n ? u[i + 1] : 0.0;
            f[i] = (left - 2 * u[i] + right) * scale - std::exp(u[i]);
        }
        return 0;
    }
    int df(const VectorXd& u, MatrixXd& j) const {
        const Eigen::Index n = u.size();
        j.setZero();
        for (Eigen::Index i = 0; i < n; ++i) {
            if (i > 0) j(i, i - 1) = scale;
            j(i, i) = -2 * scale - std::exp(u[i]);
            if (i + 1 < n) j(i, i + 1) = scale;
        }
        return 0;
    }
};

// f_i = x_i - 1 + i S (1 + 2 S^2), S = sum_j j (x_j - 1): every entry of the Jacobian is set.
struct VariablyDimensioned {
    int operator()(const VectorXd& x, VectorXd& f) const {
        const double s = Sum(x);
        for (Eigen::Index i = 0; i < x.size(); ++i) f[i] = x[i] - 1 + (i + 1) * s * (1 + 2 * s * s);
        return 0;
    }
    int df(const VectorXd& x, MatrixXd& j) const {
        const double s = Sum(x);
        const double d = 1 + 6 * s * s;
        for (Eigen::Index r = 0; r < x.size(); ++r) {
            for (Eigen::Index k = 0; k < x.size(); ++k) {
                j(r, k) = (r == k ? 1.0 : 0.0) + static_cast<double>((r + 1) * (k + 1)) * d;
            }
        }
        return 0;
    }
    static double Sum(const VectorXd& x) {
        double s = 0.0;
        for (Eigen::Index k = 0; k < x.size(); ++k) s += (k + 1) * (x[k] - 1);
        return s;
    }
};

// x^2 + y^2 = 25 and y = 2x - 2.
struct CircleAndLine {
    int operator()(const VectorXd& v, VectorXd& f) const {
        f[0] = v[0] * v[0] + v[1] * v[1] - 25;
        f[1] = v[1] - 2 * v[0] + 2;
        return 0;
    }
    int df(const VectorXd& v, MatrixXd& j) const {
        j << 2 * v[0], 2 * v[1], -2, 1;
        return 0;
    }
};

// (3 - 2 x_i) x_i - x_(i-1) - 2 x_(i+1) + 1 = 0.
struct BroydenTridiagonal {
    int operator()(const VectorXd& x, VectorXd& f) const {
        const Eigen::Index n = x.size();
        for (Eigen::Index i = 0; i < n; ++i) {
            f[i] = (3 - 2 * x[i]) * x[i] + 1;
            if (i > 0) f[i] -= x[i - 1];
            if (i + 1 < n) f[i] -= 2 * x[i + 1];
        }
        return 0;
    }
    int df(const VectorXd& x, MatrixXd& j) const {
        const Eigen::Index n = x.size();
        j.setZero();
        for (Eigen::Index i = 0; i < n; ++i) {
            if (i > 0) j(i, i - 1) = -1;
            j(i, i) = 3 - 4 * x[i];
            if (i + 1 < n) j(i, i + 1) = -2;
        }
        return 0;
    }
};

template <class Functor>
void Pair(const std::string& problem, const std::string& size, const Case& c, Functor f,
          benchmark::TimeUnit unit) {
    const std::string suffix = size.empty() ? "" : "/" + size;
    benchmark::RegisterBenchmark(("BM_Pair_" + problem + "_Valdrix" + suffix).c_str(), Ours, c)
        ->Unit(unit);
    benchmark::RegisterBenchmark(("BM_Pair_" + problem + "_Eigen" + suffix).c_str(), Peer<Functor>,
                                 c, f)
        ->Unit(unit);
}

// The dense peer is left out at 5,000 equations: its Jacobian alone is 200 MB and each of its
// factorizations some 10^11 operations.
const bool kRegistered = [] {
    Pair("CircleAndLine", "", {"peer2.alg", "x^2 + y^2 = 25;\ny = 2*x - 2;\n", 25, {"x", "y"}},
         CircleAndLine{}, benchmark::kMicrosecond);
    Pair("BroydenTridiagonal", "10",
         {"peer_broyden10.alg", "{Options: 20 -8}\n" + bench::BroydenTridiagonal(10), 25,
          Numbered("x", 10)},
         BroydenTridiagonal{}, benchmark::kMicrosecond);
    // The statements count the starting values too: 30 variables need a capacity of 60.
    for (int n : {10, 30}) {
        const standard::Problem vd = standard::detail::VariablyDimensioned(n);
        Pair("VariablyDimensioned", std::to_string(n),
             {"peer_vd" + std::to_string(n) + ".alg", standard::Document(vd, vd.start, "100 -8"),
              std::max(2 * n, 25), Numbered("x", n)},
             VariablyDimensioned{}, benchmark::kMicrosecond);
    }
    for (int n : {10, 100, 1000}) {
        Pair("BoundaryValue", std::to_string(n),
             {"peer_bvp" + std::to_string(n) + ".alg", bench::BoundaryValueProblem(n),
              std::max(n, 25), Numbered("u", n)},
             BoundaryValue{static_cast<double>((n + 1) * (n + 1))}, benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
