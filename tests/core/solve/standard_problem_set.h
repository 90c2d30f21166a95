#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"

// The nonlinear-equation problems of Moré, Garbow and Hillstrom ("Testing unconstrained
// optimization software", ACM TOMS 7, 1981) that fit a document of at most 25 equations, as
// equation text: most written out in tests/data/standard_problems, Watson's function and the
// variably dimensioned one (its size free for the benchmarks) built here from their formulas.
// The reference drivers' initial norms and final x pin the text down. Starts: x0, 10·x0 and 100·x0
// as in the MINPACK test drivers (Watson's x0 is 0, so its scaled starts are all components = 10
// and = 100 instead).
namespace standard {

using Vector = std::vector<double>;

struct Problem {
    std::string name;                    // as the table shows it
    int number = 0;                      // in the collection and in the reference output
    Vector start;                        // x0
    std::vector<std::string> equations;  // in x1..xn, without ';'
};

inline std::string Real(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

inline std::string X(int i) {
    return "x" + std::to_string(i);
}

// x0 scaled as the reference drivers scale it.
inline Vector ScaledStart(const Problem& p, int factor) {
    Vector x = p.start;
    const bool zero = std::all_of(x.begin(), x.end(), [](double v) { return v == 0.0; });
    for (double& v : x) v = (zero && factor != 1) ? factor : v * factor;
    return x;
}

// A document with an options line, the equations and the starting values (byte 0xBB).
inline std::string Document(const Problem& p, const Vector& start, const std::string& options) {
    std::string text = "{Options: " + options + "}\n";
    for (const std::string& e : p.equations) text += e + ";\n";
    for (std::size_t i = 0; i < start.size(); ++i) {
        text += X(static_cast<int>(i) + 1) + " \xbb " + Real(start[i]) + ";\n";
    }
    return text;
}

// The residuals of p's equations at x as the core evaluates their text, an evaluation error as
// HUGE_VAL; the parse and the evaluator are tested on their own.
inline Vector Residuals(const Problem& p, const Vector& x) {
    CoreState s;
    s.settings.autoSimplify = false;
    std::string text;
    for (const std::string& e : p.equations) text += e + ";\n";
    ReadText(s.files.work, text);
    ParseEquationsComplex(s);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (const int v = FindVariable(s.names, X(static_cast<int>(i) + 1)); v != 0) {
            s.names.value[v] = x[i];
        }
    }
    Vector f;
    for (int e = 1; e <= s.model.count; ++e) {
        bool error = false;
        const double r = Evaluate(s, s.model.eq[e].code, error);
        f.push_back(error ? HUGE_VAL : r);
        FreeList(s.pool, s.model.eq[e].code);
    }
    if (s.parser.error || f.size() != p.equations.size()) f.assign(p.equations.size(), HUGE_VAL);
    return f;
}

inline double LargestMagnitude(const Vector& f) {
    double m = 0.0;
    for (double v : f) m = std::max(m, std::fabs(v));
    return m;
}

inline double EuclideanNorm(const Vector& f) {
    double sum = 0.0;
    for (double v : f) sum += v * v;
    return std::sqrt(sum);
}

// Joins terms with " + ", folding a leading minus of a term into " - ".
inline std::string Sum(const std::vector<std::string>& terms) {
    std::string text;
    for (const std::string& t : terms) {
        if (text.empty())
            text = t;
        else if (t[0] == '-')
            text += " - " + t.substr(1);
        else
            text += " + " + t;
    }
    return text.empty() ? "0" : text;
}

namespace detail {

// The gradient of Watson's least-squares function: sum over 29 points t_i = i/29 of
// r_i dr_i/dx_k, with r_i = S1_i - S2_i^2 - 1, S1_i = sum_(j>=2) (j-1) x_j t_i^(j-2),
// S2_i = sum_j x_j t_i^(j-1), plus the terms of r_30 = x1 and r_31 = x2 - x1^2 - 1. Written
// as nested sums, as the published code evaluates it: multiplied out into cubic monomials the
// text would be three times smaller, but from 10 x0 the terms cancel to the last digit.
inline Problem Watson(int n) {
    Problem p{"Watson " + std::to_string(n), 6, Vector(n, 0.0), {}};
    for (int k = 1; k <= n; ++k) {
        std::vector<std::string> terms;
        for (int i = 1; i <= 29; ++i) {
            const double t = i / 29.0;
            std::vector<std::string> s1, s2;
            for (int j = 1; j <= n; ++j) {
                if (j >= 2) s1.push_back(Real((j - 1) * std::pow(t, j - 2)) + "*" + X(j));
                s2.push_back(Real(std::pow(t, j - 1)) + "*" + X(j));
            }
            const std::string sum2 = "(" + Sum(s2) + ")";
            terms.push_back(Real(std::pow(t, k - 2)) + "*(" + std::to_string(k - 1) + " - " +
                            Real(2 * t) + "*" + sum2 + ")*(" + Sum(s1) + " - " + sum2 + "^2 - 1)");
        }
        if (k == 1) terms.push_back("x1*(1 - 2*(x2 - x1^2 - 1))");
        if (k == 2) terms.push_back("(x2 - x1^2 - 1)");
        p.equations.push_back(Sum(terms) + " = 0");
    }
    return p;
}

// f_i = x_i - 1 + i S (1 + 2 S^2) with S = sum_j j (x_j - 1).
inline Problem VariablyDimensioned(int n) {
    Problem p{"Variably dimensioned", 12, {}, {}};
    std::vector<std::string> terms;
    for (int j = 1; j <= n; ++j) {
        p.start.push_back(1 - static_cast<double>(j) / n);
        terms.push_back(std::to_string(j) + "*(" + X(j) + " - 1)");
    }
    const std::string sum = "(" + Sum(terms) + ")";
    for (int i = 1; i <= n; ++i) {
        p.equations.push_back(X(i) + " - 1 + " + std::to_string(i) + "*" + sum + "*(1 + 2*" + sum +
                              "^2) = 0");
    }
    return p;
}

}  // namespace detail

// The problems written out in tests/data/standard_problems (see its README), in file order.
inline std::vector<Problem> Stored() {
    const char* root = std::getenv("VALDRIX_SOURCE_DIR");
    const std::filesystem::path folder =
        std::filesystem::path(root ? root : ".") / "tests/data/standard_problems";
    std::vector<std::filesystem::path> files;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (file.path().extension() == ".txt") files.push_back(file.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Problem> problems;
    for (const std::filesystem::path& path : files) {
        Problem& p = problems.emplace_back();
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            const std::size_t tab = line.find('\t');
            if (line.starts_with('#') || tab == std::string::npos) continue;
            const std::string key = line.substr(0, tab), value = line.substr(tab + 1);
            if (key == "name") p.name = value;
            if (key == "number") p.number = std::stoi(value);
            if (key == "equation") p.equations.push_back(value);
            std::istringstream values(value);
            for (double v; key == "start" && values >> v;) p.start.push_back(v);
        }
    }
    return problems;
}

// The 18 problems in the order of the collection.
inline std::vector<Problem> Problems() {
    std::vector<Problem> all = Stored();
    for (int n : {6, 9}) all.push_back(detail::Watson(n));
    all.push_back(detail::VariablyDimensioned(10));
    std::stable_sort(all.begin(), all.end(),
                     [](const Problem& a, const Problem& b) { return a.number < b.number; });
    return all;
}

// The problem of that name (an empty one when there is none).
inline Problem Find(const std::string& name) {
    for (Problem& p : Problems()) {
        if (p.name == name) return p;
    }
    return {};
}

inline constexpr int kStartFactors[] = {1, 10, 100};

}  // namespace standard
