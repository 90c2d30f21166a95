#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/expression_generator.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "core/symbolic/simplify.h"

namespace {

void Quiet(CoreState& s) {
    s.console.callback = nullptr;
}

// One equation of `terms` generated expressions added together, with the identities that
// simplification rewrites among them.
std::string LargeEquation(int terms) {
    ExpressionGenerator generator(5, true);
    std::string text = "y = ";
    for (int i = 0; i < terms; ++i) text += (i ? " + " : "") + generator.Expression(4);
    return text + ";\n";
}

void BM_SimplifyLargeEquation(benchmark::State& state) {
    const std::string path =
        bench::ScratchDocument("simplify.alg", LargeEquation(static_cast<int>(state.range(0))));
    CoreState s;
    Quiet(s);
    ResetDefaults(s);
    s.settings.autoSimplify = false;
    s.files.documentPath = path;
    s.files.baseName = BaseNameOf(path);
    CompileDocument(s);
    if (s.flags.parseError || s.model.count != 1) {
        state.SkipWithError("the generated equation was not compiled");
        return;
    }
    CodeNode* original = s.model.eq[1].code;
    const int before = CountNodes(original);
    int after = 0;
    for (auto _ : state) {
        s.model.eq[1].code = CopyList(s.pool, original);
        SimplifyEquation(s, 1);
        after = CountNodes(s.model.eq[1].code);
        FreeList(s.pool, s.model.eq[1].code);
    }
    s.model.eq[1].code = original;
    state.counters["nodes_before"] = before;
    state.counters["nodes_after"] = after;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * before);
    FreeEquations(s);
}

// A whole run of command D: the document compiled, rewritten into one trapezoidal step,
// written, compiled again and stepped `steps` times with a row per step.
void BM_TimeStepRun(benchmark::State& state) {
    const std::string path = bench::ScratchDocument(
        "spring.alg", "D(p, t) = v;\nD(v, t) = -4*p - 0.5*v;\np \xBB 1;\nv \xBB 0;\nt \xBB 0;\n");
    CoreState s;
    Quiet(s);
    int solved = 0;
    for (auto _ : state) {
        ResetDefaults(s);
        s.settings.stepCount = static_cast<int>(state.range(0));
        solved += SolverEntry(s, path.c_str(), "DDIT");
    }
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a run did not solve");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(BM_SimplifyLargeEquation)->Arg(10)->Arg(40)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimeStepRun)->Arg(100)->Unit(benchmark::kMillisecond);
