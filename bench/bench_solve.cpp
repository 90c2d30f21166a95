#include <benchmark/benchmark.h>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "core/symbolic/jacobian_file.h"

namespace {

void Quiet(CoreState& s) {
    s.console.callback = nullptr;
}

void BM_Parse(benchmark::State& state) {
    const std::string text = bench::BroydenTridiagonal(25, false);
    const std::string path = bench::ScratchDocument("parse25.alg", text);
    CoreState s;
    Quiet(s);
    for (auto _ : state) {
        state.PauseTiming();
        ResetDefaults(s);
        s.files.documentPath = path;
        s.files.baseName = BaseNameOf(path);
        PrepareRun(s);
        state.ResumeTiming();
        ParseEquationsComplex(s);
        state.PauseTiming();
        FreeEquations(s);
        Close(s.files.work);
        Close(s.files.result);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["chars_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * text.size(), benchmark::Counter::kIsRate);
}

void BM_BuildJacobian(benchmark::State& state) {
    const std::string path = bench::ScratchDocument("jac10.alg", bench::BroydenTridiagonal(10));
    CoreState s;
    Quiet(s);
    ResetDefaults(s);
    s.files.documentPath = path;
    s.files.baseName = BaseNameOf(path);
    CompileDocument(s);
    for (auto _ : state) {
        BuildJacobianFile(s);
        benchmark::DoNotOptimize(s.flags.jacobianNeeded);
    }
    FreeEquations(s);
}

void SolveWhole(benchmark::State& state, const std::string& name, const std::string& text) {
    const std::string path = bench::ScratchDocument(name, text);
    CoreState s;
    Quiet(s);
    int solved = 0;
    for (auto _ : state) solved += SolverEntry(s, path.c_str(), "S");
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a run did not solve");
}

void BM_Solve2(benchmark::State& state) {
    SolveWhole(state, "solve2.alg", "x^2 + y^2 = 25;\ny = 2*x - 2;\n");
}

void BM_Solve10(benchmark::State& state) {
    SolveWhole(state, "solve10.alg", "{Options: 20 -8}\n" + bench::BroydenTridiagonal(10));
}

void BM_Sweep(benchmark::State& state) {
    const std::string path = bench::ScratchDocument("sweep.alg", "y = 2*x^2 + 1;\n");
    CoreState s;
    Quiet(s);
    s.defaultShell.sweepVariable = "x";
    s.defaultShell.sweep.from = 0.0;
    s.defaultShell.sweep.to = 1.0;
    s.defaultShell.sweep.intervals = 9999;  // 10,000 steps
    for (auto _ : state) SolverEntry(s, path.c_str(), "G");
    state.counters["steps"] = 10000;
}

}  // namespace

BENCHMARK(BM_Parse);
BENCHMARK(BM_BuildJacobian)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Solve2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Solve10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sweep)->Unit(benchmark::kMillisecond);
