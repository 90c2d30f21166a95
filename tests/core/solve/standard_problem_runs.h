#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "core/solve/minpack_reference.h"
#include "core/solve/standard_problem_set.h"

// Each method run on the standard problems as the robustness table counts them: shared by the
// test that holds the methods to their counts and by the tool that writes the table.
namespace standard {

// A run counts as solved when it reports a solution and the largest published residual at its
// x is at most this.
inline constexpr double kSolvedBelow = 1e-6;
// Iterations per solve (the largest the settings allow; the reference drivers allow hybrj1
// 100 (n + 1) function evaluations) and the tolerance exponent.
inline constexpr const char* kRunOptions = "1000 -8";

struct Method {
    const char* name;     // as the table heads its column
    const char* id;       // of the test
    const char* keyword;  // of the options line
    bool autoHomotopy;
    // Runs it solves at least. Newton and Dishonest Newton are unchanged methods: their counts
    // are exact. The others are one below what they solve, so that a single path that a
    // harmless change of rounding turns elsewhere does not fail the test.
    int atLeast;
};

inline constexpr Method kMethods[] = {
    {"Newton", "Newton", "NEWTON", false, 42},
    {"Robust Newton", "RobustNewton", "ROBUST", false, 50},
    {"Dishonest Newton", "DishonestNewton", "DISHONEST", false, 29},
    {"Homotopy", "Homotopy", "HOMOTOPY", false, 33},
    {"Newton, auto homotopy", "Newtonautohomotopy", "NEWTON", true, 42},
    {"Robust Newton, auto homotopy", "RobustNewtonautohomotopy", "ROBUST", true,
     50},  // 48 asked for
};

struct Outcome {
    bool reported = false;      // the run reported a solution
    Vector x;                   // where it ended
    double largest = 0.0;       // largest published residual at x
    int iterations = 0;         // Newton iterations and homotopy correctors, every phase
    bool referenceRoot = true;  // x is the root MINPACK reached from this start (if it did)
    bool Solved() const { return reported && largest <= kSolvedBelow; }
};

inline int CountIterations(const std::string& console) {
    static const std::regex progress(R"(^-?[0-9]+\.[0-9]{8} +-?[0-9]+$)");
    int count = 0;
    std::istringstream in(console);
    for (std::string line; std::getline(in, line);) {
        if (line.find("  Iter:") != std::string::npos || std::regex_match(line, progress)) ++count;
    }
    return count;
}

// Runs p from factor x0 with method m as a document in folder; the core's other settings (the
// Jacobian mode, its increment) are the caller's.
inline Outcome Solve(CoreState& s, const std::filesystem::path& folder, const Problem& p,
                     int factor, const Method& m, const std::vector<minpack::Call>& reference) {
    std::string console;
    s.console.callback = [&console](const char* text) { console += text; };
    s.settings.autoHomotopy = m.autoHomotopy;
    const std::string path = (folder / "problem.alg").string();
    std::ofstream(path, std::ios::binary)
        << Document(p, ScaledStart(p, factor), std::string(kRunOptions) + " " + m.keyword);
    Outcome o;
    o.reported = SolverEntry(s, path.c_str(), "S") == 1 &&
                 console.find("Solution Found!") != std::string::npos;
    s.console.callback = nullptr;
    for (std::size_t i = 1; i <= p.start.size(); ++i) {
        for (int v = 1; v <= s.names.variableCount; ++v) {
            if (s.names.name[v] == X(static_cast<int>(i))) o.x.push_back(s.names.value[v]);
        }
    }
    o.largest = o.x.size() == p.start.size() ? LargestMagnitude(Residuals(p, o.x)) : HUGE_VAL;
    if (!std::isfinite(o.largest)) o.largest = HUGE_VAL;
    o.iterations = CountIterations(console);
    const minpack::Call* ref =
        minpack::Find(reference, p.number, static_cast<int>(p.start.size()), factor);
    if (ref != nullptr && ref->info == 1) o.referenceRoot = minpack::SameRoot(o.x, ref->x, 1e-4);
    return o;
}

}  // namespace standard
