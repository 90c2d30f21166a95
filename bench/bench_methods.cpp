#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/drive/stepping.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "core/solve/standard_problem_set.h"
#include "core/symbolic/jacobian_file.h"

// Robust Newton against Newton on the standard problems that Newton solves: all of those runs
// together and a few of them alone, each as the solve alone (structure analysis and iterations,
// from the compiled equations and their Jacobian file) and as the whole run of the solve
// command.
namespace {

// A compiled document with its Jacobian file, ready to be solved again and again.
struct Prepared {
    std::unique_ptr<CoreState> s = std::make_unique<CoreState>();
    std::vector<double> start;

    Prepared(const std::string& name, const std::string& text) {
        const std::string path = bench::ScratchDocument(name, text);
        s->console.callback = nullptr;
        ResetDefaults(*s);
        s->files.documentPath = path;
        s->files.baseName = BaseNameOf(path);
        CompileDocument(*s);
        BuildJacobianFile(*s);
        start = s->names.value;
    }
    bool Solve() {
        s->names.value = start;
        return SolveOnce(*s);
    }
};

struct Case {
    const char* problem;
    int factor;
};

// Args: case index, method (0 Newton, 1 Robust Newton).
const Case kCases[] = {
    {"Rosenbrock", 1},
    {"Powell singular", 1},
    {"Helical valley", 100},
    {"Wood", 10},
    {"Watson 6", 1},
    {"Brown almost-linear", 1},
    {"Broyden tridiagonal", 10},
    {"Variably dimensioned", 1},
};
const char* const kMethods[] = {"NEWTON", "ROBUST"};

std::string DocumentFor(const Case& c, const char* method) {
    for (const standard::Problem& p : standard::Problems()) {
        if (p.name == c.problem) {
            return standard::Document(p, standard::ScaledStart(p, c.factor),
                                      std::string("100 -8 ") + method);
        }
    }
    return {};
}

std::string Label(const Case& c, const char* method) {
    return std::string(c.problem) + " " + std::to_string(c.factor) + "x0 " + method;
}

void BM_SolveOnly(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const char* method = kMethods[state.range(1)];
    Prepared p("method.alg", DocumentFor(c, method));
    int solved = 0;
    for (auto _ : state) solved += p.Solve() ? 1 : 0;
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a solve failed");
    state.SetLabel(Label(c, method));
}

// Every run of the standard set (18 problems from x0, 10 x0, 100 x0) that Newton solves, one
// after the other with the method of the argument.
void BM_NewtonSolvedSet(benchmark::State& state) {
    const char* method = kMethods[state.range(0)];
    std::vector<Prepared> runs;
    int k = 0;
    for (const standard::Problem& p : standard::Problems()) {
        for (int factor : standard::kStartFactors) {
            const auto start = standard::ScaledStart(p, factor);
            const std::string name = "set" + std::to_string(k++) + ".alg";
            Prepared newton(name, standard::Document(p, start, "100 -8 NEWTON"));
            if (!newton.Solve()) continue;
            runs.emplace_back(name, standard::Document(p, start, std::string("100 -8 ") + method));
        }
    }
    int solved = 0;
    for (auto _ : state) {
        for (Prepared& r : runs) solved += r.Solve() ? 1 : 0;
    }
    state.counters["runs"] = static_cast<double>(runs.size());
    state.counters["solved"] =
        static_cast<double>(solved) / static_cast<double>(state.iterations());
    state.SetLabel(method);
}

void BM_WholeRun(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const char* method = kMethods[state.range(1)];
    const std::string path = bench::ScratchDocument("whole.alg", DocumentFor(c, method));
    CoreState s;
    s.console.callback = nullptr;
    int solved = 0;
    for (auto _ : state) solved += SolverEntry(s, path.c_str(), "S");
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a run failed");
    state.SetLabel(Label(c, method));
}

void Cases(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < static_cast<int>(std::size(kCases)); ++i) {
        for (int m = 0; m < 2; ++m) b->Args({i, m});
    }
}

}  // namespace

BENCHMARK(BM_NewtonSolvedSet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveOnly)->Apply(Cases)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeRun)->Apply(Cases)->Unit(benchmark::kMicrosecond);
