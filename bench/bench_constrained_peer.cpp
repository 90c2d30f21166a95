// Constrained minimization side by side with Ipopt: the Hock-Schittkowski documents of the
// tests, each compiled once into the same problem (objective, constraints and their exact first
// and second derivatives as compiled code), minimized from the published start by our
// interior-point method and by Ipopt (MUMPS, exact Hessian, the same tolerance). Both call the
// same evaluations, so the times compare the methods and their linear algebra. After timing,
// each result is checked against the published optimum. Registered as
// BM_Constrained_<problem>_Valdrix and BM_Constrained_<problem>_Ipopt.

#include <benchmark/benchmark.h>

#include <IpIpoptApplication.hpp>
#include <IpSolveStatistics.hpp>
#include <IpTNLP.hpp>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/numeric/minimize_constrained.h"
#include "core/run/document_problem.h"
#include "core/run/entry.h"
#include "core/run/published_documents.h"
#include "core/run/run_setup.h"

namespace {

constexpr double kTolerance = 1e-9;
constexpr int kMaxIterations = 200;

// A compiled document and its problem, kept for all the iterations of a benchmark.
class Compiled {
   public:
    explicit Compiled(const published::Document& p) : problem_(s_) {
        const std::string path =
            bench::ScratchDocument("hs_" + p.name + ".alg", p.text);
        s_.console.callback = nullptr;
        ResetDefaults(s_);
        s_.files.documentPath = path;
        s_.files.baseName = BaseNameOf(path);
        CompileDocument(s_);
        ok_ = !s_.flags.parseError && problem_.Build(true);
        start_ = problem_.CurrentPoint();
    }
    ~Compiled() { FreeEquations(s_); }
    bool ok() const { return ok_; }
    DocumentProblem& problem() { return problem_; }
    const std::vector<double>& start() const { return start_; }

   private:
    CoreState s_;
    DocumentProblem problem_;
    bool ok_ = false;
    std::vector<double> start_;
};

bool Agrees(double f, double published) {
    return published == 0.0 ? std::fabs(f) <= 1e-8
                            : std::fabs(f - published) <= 1e-6 * std::fabs(published);
}

void Ours(benchmark::State& state, const published::Document& p) {
    Compiled c(p);
    if (!c.ok()) {
        state.SkipWithError("the document does not compile");
        return;
    }
    MinimizeSettings settings;
    settings.maxIterations = kMaxIterations;
    settings.tolerance = kTolerance;
    MinimizeResult r;
    for (auto _ : state) {
        r = MinimizeInteriorPoint(c.problem(), c.start(), settings);
        benchmark::DoNotOptimize(r.f);
    }
    if (r.stop != MinimizeStop::kConverged || !Agrees(r.f, p.minima.front()))
        state.SkipWithError("our method did not reach the published optimum");
    state.counters["iterations"] = r.iterations;
}

// The document's problem as Ipopt asks for it: dense Jacobian and lower-triangle Hessian,
// g_l <= g(x) <= g_u with [0, 0] for an equality and [0, inf) for an inequality.
class Nlp : public Ipopt::TNLP {
   public:
    Nlp(DocumentProblem& p, const std::vector<double>& start) : p_(p), start_(start) {}
    double f = NAN;
    int n() const { return p_.VariableCount(); }
    int m() const { return p_.ConstraintCount(); }

    bool get_nlp_info(Ipopt::Index& n, Ipopt::Index& m, Ipopt::Index& nnzJacobian,
                      Ipopt::Index& nnzHessian, IndexStyleEnum& style) override {
        n = this->n();
        m = this->m();
        nnzJacobian = n * m;
        nnzHessian = n * (n + 1) / 2;
        style = C_STYLE;
        return true;
    }
    bool get_bounds_info(Ipopt::Index n, Ipopt::Number* xl, Ipopt::Number* xu, Ipopt::Index m,
                         Ipopt::Number* gl, Ipopt::Number* gu) override {
        for (int i = 0; i < n; ++i) {
            xl[i] = -2e19;
            xu[i] = 2e19;
        }
        for (int i = 0; i < m; ++i) {
            gl[i] = 0.0;
            gu[i] = p_.IsEquality(i) ? 0.0 : 2e19;
        }
        return true;
    }
    bool get_starting_point(Ipopt::Index n, bool, Ipopt::Number* x, bool, Ipopt::Number*,
                            Ipopt::Number*, Ipopt::Index, bool, Ipopt::Number*) override {
        for (int i = 0; i < n; ++i) x[i] = start_[i];
        return true;
    }
    bool eval_f(Ipopt::Index n, const Ipopt::Number* x, bool, Ipopt::Number& value) override {
        std::vector<double> c(static_cast<std::size_t>(m()));
        return p_.Values(Point(n, x), value, c);
    }
    bool eval_grad_f(Ipopt::Index n, const Ipopt::Number* x, bool, Ipopt::Number* g) override {
        std::vector<double> gradient;
        jacobian_.Reset(m(), n);
        if (!p_.Gradients(Point(n, x), gradient, jacobian_)) return false;
        for (int i = 0; i < n; ++i) g[i] = gradient[i];
        return true;
    }
    bool eval_g(Ipopt::Index n, const Ipopt::Number* x, bool, Ipopt::Index m,
                Ipopt::Number* g) override {
        double value = 0.0;
        std::vector<double> c(static_cast<std::size_t>(m));
        if (!p_.Values(Point(n, x), value, c)) return false;
        for (int i = 0; i < m; ++i) g[i] = c[i];
        return true;
    }
    bool eval_jac_g(Ipopt::Index n, const Ipopt::Number* x, bool, Ipopt::Index m, Ipopt::Index,
                    Ipopt::Index* rows, Ipopt::Index* columns, Ipopt::Number* values) override {
        if (values == nullptr) {
            for (int i = 0, k = 0; i < m; ++i) {
                for (int j = 0; j < n; ++j, ++k) {
                    rows[k] = i;
                    columns[k] = j;
                }
            }
            return true;
        }
        std::vector<double> gradient;
        jacobian_.Reset(m, n);
        if (!p_.Gradients(Point(n, x), gradient, jacobian_)) return false;
        for (int i = 0, k = 0; i < m; ++i) {
            for (int j = 0; j < n; ++j, ++k) values[k] = jacobian_(i, j);
        }
        return true;
    }
    // Ipopt's Lagrangian is sigma f + lambda^T g; ours f - lambda^T c.
    bool eval_h(Ipopt::Index n, const Ipopt::Number* x, bool, Ipopt::Number sigma, Ipopt::Index m,
                const Ipopt::Number* lambda, bool, Ipopt::Index, Ipopt::Index* rows,
                Ipopt::Index* columns, Ipopt::Number* values) override {
        if (values == nullptr) {
            for (int i = 0, k = 0; i < n; ++i) {
                for (int j = 0; j <= i; ++j, ++k) {
                    rows[k] = i;
                    columns[k] = j;
                }
            }
            return true;
        }
        std::vector<double> weights(static_cast<std::size_t>(m));
        for (int i = 0; i < m; ++i) weights[i] = sigma != 0.0 ? -lambda[i] / sigma : -lambda[i];
        DenseMatrix h;
        if (!p_.Hessian(Point(n, x), weights, h)) return false;
        if (sigma == 0.0) {  // the constraints' part alone: take f's Hessian away again
            DenseMatrix hf;
            if (!p_.Hessian(Point(n, x), {}, hf)) return false;
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j <= i; ++j) h(i, j) -= hf(i, j);
            }
        }
        const double scale = sigma != 0.0 ? sigma : 1.0;
        for (int i = 0, k = 0; i < n; ++i) {
            for (int j = 0; j <= i; ++j, ++k) values[k] = scale * h(i, j);
        }
        return true;
    }
    void finalize_solution(Ipopt::SolverReturn, Ipopt::Index, const Ipopt::Number*,
                           const Ipopt::Number*, const Ipopt::Number*, Ipopt::Index,
                           const Ipopt::Number*, const Ipopt::Number*, Ipopt::Number value,
                           const Ipopt::IpoptData*, Ipopt::IpoptCalculatedQuantities*) override {
        f = value;
    }

   private:
    static std::vector<double> Point(Ipopt::Index n, const Ipopt::Number* x) {
        return std::vector<double>(x, x + n);
    }
    DocumentProblem& p_;
    std::vector<double> start_;
    DenseMatrix jacobian_;
};

void Peer(benchmark::State& state, const published::Document& p) {
    Compiled c(p);
    if (!c.ok()) {
        state.SkipWithError("the document does not compile");
        return;
    }
    Ipopt::SmartPtr<Ipopt::IpoptApplication> app = IpoptApplicationFactory();
    app->Options()->SetIntegerValue("print_level", 0);
    app->Options()->SetStringValue("sb", "yes");
    app->Options()->SetStringValue("linear_solver", "mumps");
    app->Options()->SetNumericValue("tol", kTolerance);
    app->Options()->SetIntegerValue("max_iter", kMaxIterations);
    if (app->Initialize() != Ipopt::Solve_Succeeded) {
        state.SkipWithError("Ipopt does not start");
        return;
    }
    Ipopt::SmartPtr<Nlp> nlp = new Nlp(c.problem(), c.start());
    Ipopt::ApplicationReturnStatus status = Ipopt::Internal_Error;
    for (auto _ : state) {
        status = app->OptimizeTNLP(nlp);
        benchmark::DoNotOptimize(nlp->f);
    }
    if ((status != Ipopt::Solve_Succeeded && status != Ipopt::Solved_To_Acceptable_Level) ||
        !Agrees(nlp->f, p.minima.front())) {
        state.SkipWithError("Ipopt did not reach the published optimum");
    }
    const Ipopt::SmartPtr<Ipopt::SolveStatistics> statistics = app->Statistics();
    state.counters["iterations"] = IsValid(statistics) ? statistics->IterationCount() : 0;
}

const bool kRegistered = [] {
    for (const published::Document& p : published::Read(VALDRIX_BENCH_DATA "/hs")) {
        const std::string name = std::string("BM_Constrained_") + p.name;
        benchmark::RegisterBenchmark((name + "_Valdrix").c_str(), Ours, p)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((name + "_Ipopt").c_str(), Peer, p)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
