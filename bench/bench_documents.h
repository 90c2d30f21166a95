#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/run/entry.h"
#include "core/run/run_setup.h"
#include "import/convert.h"

// Equation documents written to a scratch folder for the whole-run benchmarks.
namespace bench {

inline std::string ScratchDocument(const std::string& name, const std::string& text) {
    const auto dir = std::filesystem::temp_directory_path() / "valdrix_bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return path;
}

// The values of the named variables (NaN for a name that is none).
inline std::vector<double> ValuesOf(const CoreState& s, const std::vector<std::string>& variables) {
    std::vector<double> v;
    for (const std::string& name : variables) {
        const int k = FindVariable(s.names, name);
        v.push_back(k > 0 ? s.names.value[k] : std::numeric_limits<double>::quiet_NaN());
    }
    return v;
}

// The starting values a run of ours begins from (guesses, or the seeded random ones).
inline std::vector<double> StartingValues(const std::string& path,
                                          const std::vector<std::string>& variables,
                                          int capacity = 25) {
    CoreState s;
    s.console.callback = nullptr;
    s.settings.capacity = capacity;
    ResetDefaults(s);
    s.files.documentPath = path;
    s.files.baseName = BaseNameOf(path);
    CompileDocument(s);
    const std::vector<double> v = ValuesOf(s, variables);
    FreeEquations(s);
    return v;
}

// The Broyden tridiagonal system: (3 - 2 x_i) x_i - x_(i-1) - 2 x_(i+1) + 1 = 0, from its
// standard starting point x_i = -1 (given as initial guesses, byte 0xBB).
inline std::string BroydenTridiagonal(int n, bool guesses = true) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        const std::string x = "x" + std::to_string(i);
        text += "(3 - 2*" + x + ")*" + x;
        if (i > 1) text += " - x" + std::to_string(i - 1);
        if (i < n) text += " - 2*x" + std::to_string(i + 1);
        text += " + 1 = 0;\n";
    }
    for (int i = 1; guesses && i <= n; ++i) text += "x" + std::to_string(i) + " \xbb -1;\n";
    return text;
}

// u'' = exp(u) on n interior points of [0, 1] with u = 0 at both ends, the second difference
// scaled by (n+1)^2 so that every residual is of order one: tridiagonal, 3 non-zeros a row. No
// guesses: the run starts from its seeded random values.
inline std::string BoundaryValueProblem(int n) {
    const std::string scale = std::to_string((n + 1) * (n + 1));
    std::string text = "{Options: 20 -8}\n";
    for (int i = 1; i <= n; ++i) {
        const std::string u = "u" + std::to_string(i);
        text += "(" + (i > 1 ? "u" + std::to_string(i - 1) : std::string("0")) + " - 2*" + u +
                " + " + (i < n ? "u" + std::to_string(i + 1) : std::string("0")) + ")*" + scale +
                " = EXP(" + u + ");\n";
    }
    return text;
}

// The boundary-value problem of bench::BoundaryValueProblem on an m x m grid of the unit square
// (five-point Laplacian): 5 non-zeros a row, and factors that fill in, as any two-dimensional mesh
// does.
inline std::string GridProblem(int m) {
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
inline std::string BratuProblem(int m) {
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

// The IEEE 118-bus power flow as the import writes it, with its options line; empty, with the
// import's message, when the case cannot be read.
inline std::string Ieee118Document(int& equations, std::string& message) {
    std::ifstream in(std::string(VALDRIX_BENCH_DATA) + "/ieee-cdf/ieee118.cf", std::ios::binary);
    const ImportResult r = ConvertCommonFormatText(in);
    if (!r.ok) {
        message = r.message;
        return {};
    }
    equations = r.equations;
    return "{Options: 30 -9}\n" + r.document;
}

// Whole runs of "S" on the document, files included, as a user's run costs; the benchmark is
// failed when a run does not solve, so a faster failure never reads as a gain.
inline void SolveWholeRuns(benchmark::State& state, const std::string& file,
                           const std::string& text, int capacity) {
    const std::string path = ScratchDocument(file, text);
    CoreState s;
    s.console.callback = nullptr;
    s.settings.capacity = capacity;
    int solved = 0;
    for (auto _ : state) solved += SolverEntry(s, path.c_str(), "S");
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a run did not solve");
}

}  // namespace bench
