// Whole runs of large sparse models at raised capacity: compile, Jacobian file, analysis,
// Newton, results file. The cost should follow the number of non-zeros.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/run/entry.h"

namespace {

// A dense linear model: n equations, each holding every one of the n variables, with a dominant
// diagonal so that it is well conditioned. Twenty terms a line keep the lines short.
std::string DenseLinearModel(int n) {
    std::string text = "{Options: 20 -8}\n";
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const int c = (i * j) % 7 + 1 + (i == j ? 3 * n : 0);
            text += std::to_string(c) + "*d" + std::to_string(j);
            if (j < n) text += j % 20 == 0 ? " +\n" : " + ";
        }
        text += " = " + std::to_string(i) + ";\n";
    }
    return text;
}

void Quiet(CoreState& s) {
    s.console.callback = nullptr;
}

void SolveAtCapacity(benchmark::State& state, const std::string& name, const std::string& text,
                     int capacity, int equations) {
    const std::string path = bench::ScratchDocument(name, text);
    CoreState s;
    Quiet(s);
    s.settings.capacity = capacity;
    int solved = 0;
    for (auto _ : state) solved += SolverEntry(s, path.c_str(), "S");
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a run did not solve");
    state.counters["equations"] = equations;
    state.counters["us_per_equation"] = benchmark::Counter(
        static_cast<double>(equations) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SolveBoundaryValue(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    SolveAtCapacity(state, "bvp" + std::to_string(n) + ".alg", bench::BoundaryValueProblem(n), n,
                    n);
}

void BM_SolveGrid(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    SolveAtCapacity(state, "grid" + std::to_string(m) + ".alg", bench::GridProblem(m), m * m, m * m);
}

void BM_SolveBratu(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    SolveAtCapacity(state, "bratu" + std::to_string(m) + ".alg", bench::BratuProblem(m), 2 * m * m,
                    m * m);
}

// Its Jacobian is full: the build of the Jacobian file and the dense factorization show.
void BM_SolveDenseLinear(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    SolveAtCapacity(state, "dense" + std::to_string(n) + ".alg", DenseLinearModel(n), n, n);
}

// The IEEE 118-bus power flow; its starting values are statements until they are applied, so
// it needs twice its equations.
void BM_SolveIeee118(benchmark::State& state) {
    int equations = 0;
    std::string message;
    const std::string text = bench::Ieee118Document(equations, message);
    if (text.empty()) {
        state.SkipWithError(message.c_str());
        return;
    }
    SolveAtCapacity(state, "ieee118.alg", text, 2 * equations, equations);
}

}  // namespace

BENCHMARK(BM_SolveBoundaryValue)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveGrid)->Arg(10)->Arg(32)->Arg(70)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveBratu)->Arg(20)->Arg(40)->Arg(70)->Arg(99)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveDenseLinear)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveIeee118)->Unit(benchmark::kMillisecond);
