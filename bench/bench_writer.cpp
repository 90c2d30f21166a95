#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/lang/number_text.h"
#include "core/lang/parser.h"
#include "core/lang/writer.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"

namespace {

void Quiet(CoreState& s) {
    s.console.callback = nullptr;
}

std::vector<double> Values(std::size_t n) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    std::vector<double> v(n);
    for (double& x : v) x = mantissa(rng) * std::pow(10.0, exponent(rng));
    return v;
}

void BM_ExactConstant(benchmark::State& state) {
    const std::vector<double> values = Values(1024);
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (double v : values) bytes += ExactConstant(v).size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1024);
    benchmark::DoNotOptimize(bytes);
}

void BM_FormatValue(benchmark::State& state) {
    const std::vector<double> values = Values(1024);
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (double v : values) bytes += FormatValue(v, 8).size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1024);
    benchmark::DoNotOptimize(bytes);
}

// Writing back the compiled Broyden system of 25 equations, as the saves of the advanced
// operations do, into a string.
void BM_WriteEquations(benchmark::State& state) {
    const std::string path =
        bench::ScratchDocument("write25.alg", bench::BroydenTridiagonal(25, false));
    CoreState s;
    Quiet(s);
    ResetDefaults(s);
    s.files.documentPath = path;
    s.files.baseName = BaseNameOf(path);
    CompileDocument(s);
    std::string text;
    for (auto _ : state) {
        text.clear();
        EquationText out(text);
        for (int e = 1; e <= s.model.count; ++e) {
            Equation& eq = s.model.eq[e];
            WriteEquation(s, eq.code, eq.relation, out, WriterStyle{});
            out.LineEnd();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    FreeEquations(s);
    Close(s.files.work);
    Close(s.files.result);
}

// A whole least-squares run ("ALR"): a quadratic through rows of data, from the rewrite of the
// sum of squares to the solved gradient equations and the fit statistics.
void Regression(benchmark::State& state, int rows) {
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, 0.5);
    std::string list = "x y\n";
    for (int i = 0; i < rows; ++i) {
        const double x = 0.25 * i;
        list += std::to_string(x) + " " +
                std::to_string(1.5 + 0.8 * x - 0.02 * x * x + noise(rng)) + "\n";
    }
    const std::string data = bench::ScratchDocument("fit" + std::to_string(rows) + ".LST", list);
    const std::string path = bench::ScratchDocument("fit" + std::to_string(rows) + ".alg",
                                                    "{Options: 20 -6}\ny = a + b*x + c*x^2;\n");
    CoreState s;
    Quiet(s);
    s.settings.updateFileName = data;
    int solved = 0;
    for (auto _ : state) solved += SolverEntry(s, path.c_str(), "ALR");
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a run did not solve");
    state.counters["rows"] = rows;
}

void BM_Regression36(benchmark::State& state) {
    Regression(state, 36);
}
void BM_Regression200(benchmark::State& state) {
    Regression(state, 200);
}

}  // namespace

BENCHMARK(BM_ExactConstant)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FormatValue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteEquations)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Regression36)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regression200)->Unit(benchmark::kMillisecond);
