// Large sparse models solved by a whole run of ours (document in, Jacobian and results files
// out) and in-process by SUNDIALS KINSOL with the KLU sparse direct solver. KINSOL is given the
// residuals of the compiled document and its exact sparse Jacobian (one derivative code per
// non-zero, built once by our symbolic differentiation, evaluated by our evaluator), so its time
// is the method and its linear algebra from the same starting values our run draws; the compile
// is not timed on its side. Registered as BM_Sparse_<problem>_Valdrix and
// BM_Sparse_<problem>_Kinsol; after timing, the two solutions must agree.

#include <benchmark/benchmark.h>
#include <kinsol/kinsol.h>
#include <nvector/nvector_serial.h>
#include <sundials/sundials_context.h>
#include <sunlinsol/sunlinsol_klu.h>
#include <sunmatrix/sunmatrix_sparse.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "core/symbolic/derivative_code.h"

namespace {

constexpr double kResidualTolerance = 1e-8;  // as the documents ask of ours
constexpr double kStepTolerance = 1e-14;
constexpr long kMaxIterations = 200;
// KINSOL bounds a step by 1000 times the norm of the start, which from all zeros (the Bratu
// grid's guesses) stops it after five steps of that length.
constexpr double kMaxStep = 1e10;

// A compiled document as a square system: residual code per equation and the derivative code
// of each structural non-zero, in compressed columns as KLU takes them.
class SparseSystem {
   public:
    SparseSystem(const std::string& path, int capacity) {
        s_.console.callback = nullptr;
        s_.settings.capacity = capacity;
        ResetDefaults(s_);
        s_.files.documentPath = path;
        s_.files.baseName = BaseNameOf(path);
        CompileDocument(s_);
        n_ = s_.names.variableCount;
        ok_ = !s_.flags.parseError && Build();
        start_.assign(s_.names.value.begin() + 1, s_.names.value.begin() + 1 + n_);
    }
    ~SparseSystem() {
        for (CodeNode* d : derivatives_) FreeList(s_.pool, d);
        FreeEquations(s_);
    }
    SparseSystem(const SparseSystem&) = delete;
    SparseSystem& operator=(const SparseSystem&) = delete;

    bool ok() const { return ok_; }
    int size() const { return n_; }
    std::size_t nonZeros() const { return rowOf_.size(); }
    const std::vector<double>& start() const { return start_; }
    std::string NameOf(int variable) const { return s_.names.name[variable + 1]; }

    bool Residuals(const double* x, double* f) {
        Load(x);
        for (int i = 0; i < n_; ++i)
            if (!Value(rows_[static_cast<std::size_t>(i)], f[i])) return false;
        return true;
    }

    // Fills a compressed-column matrix of this structure.
    bool Jacobian(const double* x, SUNMatrix J) {
        Load(x);
        sunindextype* columnStart = SUNSparseMatrix_IndexPointers(J);
        sunindextype* row = SUNSparseMatrix_IndexValues(J);
        double* value = SUNSparseMatrix_Data(J);
        for (std::size_t k = 0; k <= static_cast<std::size_t>(n_); ++k)
            columnStart[k] = columnStart_[k];
        for (std::size_t k = 0; k < rowOf_.size(); ++k) {
            row[k] = rowOf_[k];
            if (!Value(derivatives_[k], value[k])) return false;
        }
        return true;
    }

   private:
    bool Build() {
        for (int e = 1; e <= s_.model.count; ++e) {
            const Equation& q = s_.model.eq[e];
            if (q.code == nullptr || q.relation == kRelationRetired) continue;
            rows_.push_back(q.code);
        }
        if (static_cast<int>(rows_.size()) != n_) return false;
        std::vector<std::vector<std::pair<int, CodeNode*>>> columns(static_cast<std::size_t>(n_));
        for (int i = 0; i < n_; ++i) {
            std::set<int> variables;
            for (const CodeNode* c = rows_[static_cast<std::size_t>(i)]; c != nullptr; c = c->next)
                if (c->kind == kKindVar && c->var >= 1 && c->var <= n_) variables.insert(c->var);
            for (int v : variables) {
                bool failed = false;
                CodeNode* d = DerivativeCode(s_, rows_[static_cast<std::size_t>(i)], v, failed);
                if (failed) return false;
                if (d != nullptr) columns[static_cast<std::size_t>(v - 1)].push_back({i, d});
            }
        }
        columnStart_.push_back(0);
        for (auto& column : columns) {
            std::sort(column.begin(), column.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& [row, code] : column) {
                rowOf_.push_back(row);
                derivatives_.push_back(code);
            }
            columnStart_.push_back(static_cast<sunindextype>(rowOf_.size()));
        }
        return true;
    }

    void Load(const double* x) {
        for (int i = 0; i < n_; ++i) s_.names.value[i + 1] = x[i];
    }

    bool Value(const CodeNode* code, double& value) {
        bool error = false;
        value = Evaluate(s_, code, error);
        return !error && std::isfinite(value);
    }

    CoreState s_;
    int n_ = 0;
    bool ok_ = false;
    std::vector<double> start_;
    std::vector<CodeNode*> rows_;
    std::vector<sunindextype> columnStart_;
    std::vector<sunindextype> rowOf_;
    std::vector<CodeNode*> derivatives_;
};

int KinsolResiduals(N_Vector u, N_Vector f, void* system) {
    auto* s = static_cast<SparseSystem*>(system);
    return s->Residuals(N_VGetArrayPointer(u), N_VGetArrayPointer(f)) ? 0 : 1;
}

int KinsolJacobian(N_Vector u, N_Vector, SUNMatrix J, void* system, N_Vector, N_Vector) {
    auto* s = static_cast<SparseSystem*>(system);
    return s->Jacobian(N_VGetArrayPointer(u), J) ? 0 : 1;
}

struct KinsolOutcome {
    bool solved = false;
    int flag = 0;  // KINSol's return value
    long iterations = 0;
    long jacobians = 0;
    std::vector<double> x;
};

// One whole solve, KINSOL's and KLU's setup and analysis included: Newton with a line search
// and a fresh Jacobian at every iteration, as ours takes.
KinsolOutcome SolveWithKinsol(SparseSystem& system) {
    KinsolOutcome out;
    const auto n = static_cast<sunindextype>(system.size());
    SUNContext context = nullptr;
    if (SUNContext_Create(nullptr, &context) != 0) return out;
    N_Vector u = N_VNew_Serial(n, context);
    N_Vector scale = N_VNew_Serial(n, context);
    std::copy(system.start().begin(), system.start().end(), N_VGetArrayPointer(u));
    N_VConst(1.0, scale);
    SUNMatrix J = SUNSparseMatrix(n, n, static_cast<sunindextype>(system.nonZeros()), CSC_MAT,
                                  context);
    SUNLinearSolver solver = SUNLinSol_KLU(u, J, context);
    void* memory = KINCreate(context);
    bool ready = memory != nullptr && KINInit(memory, KinsolResiduals, u) == KIN_SUCCESS &&
                 KINSetUserData(memory, &system) == KIN_SUCCESS &&
                 KINSetFuncNormTol(memory, kResidualTolerance) == KIN_SUCCESS &&
                 KINSetScaledStepTol(memory, kStepTolerance) == KIN_SUCCESS &&
                 KINSetNumMaxIters(memory, kMaxIterations) == KIN_SUCCESS &&
                 KINSetMaxSetupCalls(memory, 1) == KIN_SUCCESS &&
                 KINSetMaxNewtonStep(memory, kMaxStep) == KIN_SUCCESS &&
                 KINSetLinearSolver(memory, solver, J) == KIN_SUCCESS &&
                 KINSetJacFn(memory, KinsolJacobian) == KIN_SUCCESS;
    if (ready) {
        out.flag = KINSol(memory, u, KIN_LINESEARCH, scale, scale);
        out.solved = out.flag >= 0;
        KINGetNumNonlinSolvIters(memory, &out.iterations);
        KINGetNumJacEvals(memory, &out.jacobians);
        const double* x = N_VGetArrayPointer(u);
        out.x.assign(x, x + n);
    }
    KINFree(&memory);
    SUNLinSolFree(solver);
    SUNMatDestroy(J);
    N_VDestroy(scale);
    N_VDestroy(u);
    SUNContext_Free(&context);
    return out;
}

struct Case {
    std::string file;
    std::string text;
    int capacity = 0;
};

void Ours(benchmark::State& state, const Case& c) {
    bench::SolveWholeRuns(state, c.file, c.text, c.capacity);
}

// The peer from our starting values; afterwards its answer must be the one our run reports.
void Peer(benchmark::State& state, const Case& c) {
    const std::string path = bench::ScratchDocument(c.file, c.text);
    SparseSystem system(path, c.capacity);
    if (!system.ok()) {
        state.SkipWithError("the document is not a square system with derivatives");
        return;
    }
    KinsolOutcome outcome;
    for (auto _ : state) outcome = SolveWithKinsol(system);
    if (!outcome.solved) {
        state.SkipWithError(("KINSOL did not solve: " + std::string(KINGetReturnFlagName(outcome.flag)) +
                             " after " + std::to_string(outcome.iterations) + " iterations")
                                .c_str());
        return;
    }
    CoreState s;
    s.console.callback = nullptr;
    s.settings.capacity = c.capacity;
    if (SolverEntry(s, path.c_str(), "S") != 1) {
        state.SkipWithError("our run did not solve");
        return;
    }
    std::vector<std::string> names;
    for (int i = 0; i < system.size(); ++i) names.push_back(system.NameOf(i));
    const std::vector<double> ours = bench::ValuesOf(s, names);
    double difference = 0.0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const double d = std::fabs(ours[i] - outcome.x[i]) / std::max(1.0, std::fabs(ours[i]));
        difference = std::isnan(d) ? INFINITY : std::max(difference, d);
    }
    state.counters["difference"] = difference;
    state.counters["iterations"] = static_cast<double>(outcome.iterations);
    state.counters["jacobians"] = static_cast<double>(outcome.jacobians);
    state.counters["nonzeros"] = static_cast<double>(system.nonZeros());
    if (difference > 1e-6) state.SkipWithError("the solutions differ");
}

void Pair(const std::string& problem, const std::string& size, const Case& c) {
    const std::string suffix = size.empty() ? "" : "/" + size;
    benchmark::RegisterBenchmark(("BM_Sparse_" + problem + "_Valdrix" + suffix).c_str(), Ours, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_Sparse_" + problem + "_Kinsol" + suffix).c_str(), Peer, c)
        ->Unit(benchmark::kMillisecond);
}

[[maybe_unused]] const bool kRegistered = [] {
    for (int n : {100, 1000, 5000}) {
        Pair("BoundaryValue", std::to_string(n),
             {"kin_bvp" + std::to_string(n) + ".alg", bench::BoundaryValueProblem(n), n});
    }
    for (int m : {10, 32, 70}) {
        Pair("Grid", std::to_string(m),
             {"kin_grid" + std::to_string(m) + ".alg", bench::GridProblem(m), m * m});
    }
    for (int m : {20, 40, 70}) {
        Pair("Bratu", std::to_string(m),
             {"kin_bratu" + std::to_string(m) + ".alg", bench::BratuProblem(m), 2 * m * m});
    }
    int equations = 0;
    std::string message;
    const std::string ieee = bench::Ieee118Document(equations, message);
    if (!ieee.empty()) Pair("Ieee118", "", {"kin_ieee118.alg", ieee, 2 * equations});
    return true;
}();

}  // namespace
