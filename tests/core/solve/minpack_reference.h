#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The printed output of the MINPACK test drivers in tests/data/minpack/ (hybrj1 with the
// analytic Jacobian in hyjdrv, hybrd1 with forward differences in hybdrv).
namespace minpack {

// One call of a driver: problem number, size, the L2 norms of the residuals at the start and at
// the end, the exit parameter (1 = converged), the function evaluations and the final x.
struct Call {
    int problem = 0;
    int n = 0;
    double initialNorm = 0.0;
    double finalNorm = 0.0;
    int info = 0;
    int functionEvaluations = 0;
    std::vector<double> x;
};

inline constexpr const char* kAnalytic = "hyjdrv.fortran.ref";
inline constexpr const char* kDifferences = "hybdrv.fortran.ref";

inline std::vector<Call> Read(const std::string& file) {
    const char* root = std::getenv("VALDRIX_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : ".") + "/tests/data/minpack/" + file);
    std::vector<Call> calls;
    bool readingX = false;
    auto last = [](const std::string& line) { return line.substr(line.rfind(' ') + 1); };
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (first == "problem") {
            Call call;
            std::string dimension;
            words >> call.problem >> dimension >> call.n;
            calls.push_back(call);
            readingX = false;
        } else if (first == "summary") {
            break;
        } else if (calls.empty()) {
            continue;
        } else if (line.find("initial l2 norm") != std::string::npos) {
            calls.back().initialNorm = std::stod(last(line));
        } else if (line.find("final l2 norm") != std::string::npos) {
            calls.back().finalNorm = std::stod(last(line));
        } else if (line.find("function evaluations") != std::string::npos) {
            calls.back().functionEvaluations = std::stoi(last(line));
        } else if (line.find("exit parameter") != std::string::npos) {
            calls.back().info = std::stoi(last(line));
        } else if (line.find("final approximate solution") != std::string::npos) {
            readingX = true;
        } else if (readingX) {
            std::istringstream values(line);
            for (double v; values >> v;) calls.back().x.push_back(v);
        }
    }
    return calls;
}

// The drivers start every problem from x0, 10·x0 and 100·x0 in turn (some only from the first
// one or two), so the k-th call of a problem of a given size is the start scaled by 10^k.
inline const Call* Find(const std::vector<Call>& calls, int problem, int n, int factor) {
    int k = 0;
    for (int f = 1; f < factor; f *= 10) ++k;
    for (const Call& c : calls) {
        if (c.problem == problem && c.n == n && k-- == 0) return &c;
    }
    return nullptr;
}

// x is the reference root ref when every |x_i - ref_i| <= tolerance * max(1, |ref_i|).
inline bool SameRoot(const std::vector<double>& x, const std::vector<double>& ref,
                     double tolerance) {
    if (x.size() != ref.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i] - ref[i]) > tolerance * std::max(1.0, std::fabs(ref[i]))) return false;
    }
    return true;
}

}  // namespace minpack
