// Writes the table of docs/robustness.md: each method's runs on the 18 standard problems from
// x0, 10 x0 and 100 x0 beside the MINPACK hybrj1 reference. The counts it shows are held by
// StandardProblemCounts in tests/core/solve/standard_problems_test.cpp.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/solve/standard_problem_runs.h"

namespace {

int Solved(const std::vector<standard::Outcome>& outcomes) {
    int n = 0;
    for (const standard::Outcome& o : outcomes) n += o.Solved() ? 1 : 0;
    return n;
}

std::string Start(int factor) {
    return factor == 1 ? std::string("x0") : std::to_string(factor) + " x0";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs(
            "usage: valdrix_robustness_table TABLE.md\n"
            "  VALDRIX_SOURCE_DIR names the source tree (tests/data/minpack)\n",
            stderr);
        return 2;
    }
    const std::vector<minpack::Call> reference = minpack::Read(minpack::kAnalytic);
    if (reference.empty()) {
        std::fputs("valdrix_robustness_table: no MINPACK reference; set VALDRIX_SOURCE_DIR\n",
                   stderr);
        return 1;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "valdrix_robustness_table";
    std::filesystem::create_directories(folder);
    std::vector<std::vector<standard::Outcome>> columns;
    CoreState s;
    for (const standard::Method& m : standard::kMethods) {
        columns.emplace_back();
        for (const standard::Problem& p : standard::Problems()) {
            for (int factor : standard::kStartFactors) {
                columns.back().push_back(standard::Solve(s, folder, p, factor, m, reference));
            }
        }
    }
    std::filesystem::remove_all(folder);

    std::ofstream out(argv[1]);
    out << "| Problem | n | Start | MINPACK hybrj1 |";
    for (const standard::Method& m : standard::kMethods) out << " " << m.name << " |";
    out << "\n|---|---|---|---|";
    for (std::size_t i = 0; i < std::size(standard::kMethods); ++i) out << "---|";
    out << "\n";
    std::size_t row = 0;
    int referenceSolved = 0;
    for (const standard::Problem& p : standard::Problems()) {
        const int n = static_cast<int>(p.start.size());
        for (int factor : standard::kStartFactors) {
            out << "| " << p.name << " | " << n << " | " << Start(factor) << " | ";
            const minpack::Call* ref = minpack::Find(reference, p.number, n, factor);
            if (ref == nullptr) {
                out << "not run |";
            } else {
                const bool solved = ref->finalNorm <= standard::kSolvedBelow;
                referenceSolved += solved ? 1 : 0;
                out << (solved ? "solved" : "no") << " (" << ref->functionEvaluations << " fev) |";
            }
            for (const auto& column : columns) {
                const standard::Outcome& o = column[row];
                if (o.Solved()) {
                    out << " " << o.iterations << (o.referenceRoot ? "" : "*") << " |";
                } else {
                    out << " no (" << o.iterations << ") |";
                }
            }
            out << "\n";
            ++row;
        }
    }
    out << "| **Solved of 54** | | | **" << referenceSolved << "** |";
    for (const auto& column : columns) out << " **" << Solved(column) << "** |";
    out << "\n";
    return out.good() ? 0 : 1;
}
