// Whole runs of large sparse models at raised capacity: compile, Jacobian file, analysis,
// Newton, results file. The cost should follow the number of non-zeros.

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "import/convert.h"

namespace {

// The boundary-value problem of bench::BoundaryValueProblem on an m x m grid of the unit square
// (five-point Laplacian): 5 non-zeros a row, and factors that fill in, as any two-dimensional mesh
// does.
std::string GridProblem(int m) {
    const std::string scale = std::to_string((m + 1) * (m + 1));
    auto u = [m](int i, int j) {
        if (i < 1 || j < 1 || i > m || j > m) return std::string("0");
        return "g" + std::to_string((i - 1) * m + j);
    };
    std::string text = "{Options: 20 -8}\n";
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= m; ++j) {
            text += "(" + u(i - 1, j) + " + " + u(i + 1, j) + " + " + u(i, j - 1) + " + " +
                    u(i, j + 1) + " - 4*" + u(i, j) + ")*" + scale + " = EXP(" + u(i, j) + ");\n";
        }
    }
    return text;
}

// The Bratu problem on an m x m grid of the unit square: Laplacian(u) + 6 exp(u) = 0 with u = 0
// on the boundary, from u = 0 at every point (given as guesses, so the set needs capacity for
// twice its equations). Five non-zeros a row and a Jacobian that is symmetric in pattern.
std::string BratuProblem(int m) {
    const std::string scale = std::to_string((m + 1) * (m + 1));
    auto u = [m](int i, int j) {
        if (i < 1 || j < 1 || i > m || j > m) return std::string("0");
        return "b" + std::to_string((i - 1) * m + j);
    };
    std::string text = "{Options: 20 -8}\n";
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= m; ++j) {
            text += "(" + u(i - 1, j) + " + " + u(i + 1, j) + " + " + u(i, j - 1) + " + " +
                    u(i, j + 1) + " - 4*" + u(i, j) + ")*" + scale + " + 6*EXP(" + u(i, j) +
                    ") = 0;\n";
        }
    }
    for (int k = 1; k <= m * m; ++k) text += "b" + std::to_string(k) + " \xbb 0;\n";
    return text;
}

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
    SolveAtCapacity(state, "grid" + std::to_string(m) + ".alg", GridProblem(m), m * m, m * m);
}

void BM_SolveBratu(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    SolveAtCapacity(state, "bratu" + std::to_string(m) + ".alg", BratuProblem(m), 2 * m * m, m * m);
}

// Its Jacobian is full: the build of the Jacobian file and the dense factorization show.
void BM_SolveDenseLinear(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    SolveAtCapacity(state, "dense" + std::to_string(n) + ".alg", DenseLinearModel(n), n, n);
}

// The IEEE 118-bus power flow as the import writes it; its starting values are statements
// until they are applied, so it needs twice its equations.
void BM_SolveIeee118(benchmark::State& state) {
    std::ifstream in(std::string(VALDRIX_BENCH_DATA) + "/ieee-cdf/ieee118.cf", std::ios::binary);
    const ImportResult r = ConvertCommonFormatText(in);
    if (!r.ok) {
        state.SkipWithError(r.message.c_str());
        return;
    }
    SolveAtCapacity(state, "ieee118.alg", "{Options: 30 -9}\n" + r.document, 2 * r.equations,
                    r.equations);
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
