#include <benchmark/benchmark.h>

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/eval/flatten.h"
#include "core/eval/special_functions.h"
#include "core/lang/code_string.h"

namespace {

// x, then 19 pairs of an operand and an operator: a 40-node equation in evaluation form whose
// values stay moderate, so every guard runs its ordinary path.
CodeNode* BuildChain(CoreState& s) {
    s.names.variableCount = 2;
    s.names.value[1] = 1.25;
    s.names.value[2] = 0.75;
    const unsigned char ops[] = {'+', '*', '-', '/'};
    CodeNode* head = VarNode(s.pool, 1);
    CodeNode* tail = head;
    auto append = [&](CodeNode* n) {
        tail->next = n;
        tail = n;
    };
    for (int i = 0; i < 19; ++i) {
        if (i % 2 == 0)
            append(VarNode(s.pool, 2));
        else
            append(ConstNode(s.pool, 1.0 + 0.1 * i));
        append(MakeNode(s.pool, kKindBinary, ops[i % 4], 0, 0.0, 0, nullptr));
    }
    append(MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr));
    return head;
}

// The flattened form is what repeated evaluation runs; `fromList` measures the code list
// flattened on every call, as one-off evaluations do.
void RunChain(benchmark::State& state, bool complexMode, bool fromList = false) {
    CoreState s;
    s.k.arithmetic = complexMode ? Arithmetic::kComplex : Arithmetic::kReal;
    CodeNode* code = BuildChain(s);
    const int nodes = CountNodes(code) - 1;
    FlatCode flat;
    Flatten(s, code, flat);
    bool error = false;
    for (auto _ : state) {
        if (fromList)
            benchmark::DoNotOptimize(Evaluate(s, code, error));
        else
            benchmark::DoNotOptimize(Evaluate(s, flat, error));
    }
    state.counters["ns_per_node"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * nodes,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    FreeList(s.pool, code);
}

void BM_EvaluateReal40(benchmark::State& state) {
    RunChain(state, false);
}
void BM_EvaluateComplex40(benchmark::State& state) {
    RunChain(state, true);
}
void BM_EvaluateListReal40(benchmark::State& state) {
    RunChain(state, false, true);
}

template <double (*F)(CoreState&, double)>
void BM_Special(benchmark::State& state) {
    CoreState s;
    double x = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(F(s, x));
        x = (x > 12.0) ? 0.5 : x + 0.37;
    }
}

void BM_GammaLn(benchmark::State& state) {
    double x = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GammaLn(x));
        x = (x > 12.0) ? 0.5 : x + 0.37;
    }
}

void BM_GammaP(benchmark::State& state) {
    CoreState s;
    double x = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GammaP(s, 2.5, x));
        x = (x > 12.0) ? 0.5 : x + 0.37;
    }
}

}  // namespace

BENCHMARK(BM_EvaluateReal40);
BENCHMARK(BM_EvaluateComplex40);
BENCHMARK(BM_EvaluateListReal40);
BENCHMARK(BM_GammaLn);
BENCHMARK(BM_GammaP);
BENCHMARK_TEMPLATE(BM_Special, Erf);
BENCHMARK_TEMPLATE(BM_Special, BesselJ0);
BENCHMARK_TEMPLATE(BM_Special, BesselJ1);
BENCHMARK_TEMPLATE(BM_Special, BesselY0);
BENCHMARK_TEMPLATE(BM_Special, BesselY1);
