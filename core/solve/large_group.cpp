#include "core/solve/large_group.h"

#include <klu.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "core/base/core_state.h"

// KLU factorizes P (R \ A) Q = L U, R the largest magnitude of each row, and keeps the pivots
// U(k,k) of the scaled rows. A pivot of A itself is R(p) U(k,k), p the row pivoted at step k:
// that is what the threshold of the ordering elimination is compared with.
//
// A refactorization keeps the pivot order, as the factorization of a small group does. When
// the smallest pivot has fallen below kRefactorReciprocalCondition times the largest, the order
// no longer suits the new terms, and the group is factorized afresh with pivots chosen again
// (eps^(2/3), the bound SUNDIALS uses to re-pivot its KLU factors as well).

namespace {

const double kRefactorReciprocalCondition = std::cbrt(DBL_EPSILON * DBL_EPSILON);

// One group's matrix in compressed columns, where each term of its Jacobian rows goes, and the
// factors.
struct Group {
    int first = 0;
    int size = 0;
    std::vector<int> columnStart;  // size + 1
    std::vector<int> rowIndex;     // by non-zero, ascending within a column
    std::vector<double> values;    // by non-zero
    std::vector<double> factored;  // the values the factors are of
    // Each Jacobian entry and its non-zero; two entries of one row for the same variable add up.
    std::vector<std::pair<const JacobianEntry*, int>> terms;
    std::vector<double> rhs;
    klu_symbolic* symbolic = nullptr;
    klu_numeric* numeric = nullptr;
};

class Factors : public ExternalFactors {
   public:
    Factors() { klu_defaults(&common); }
    ~Factors() override {
        for (auto& g : groups) {
            if (g) Release(*g);
        }
    }
    Factors(const Factors&) = delete;
    Factors& operator=(const Factors&) = delete;

    void Release(Group& g) {
        if (g.numeric != nullptr) klu_free_numeric(&g.numeric, &common);
        if (g.symbolic != nullptr) klu_free_symbolic(&g.symbolic, &common);
    }

    klu_common common;
    std::vector<std::unique_ptr<Group>> groups;  // by group number; null for a small group
};

Factors* FactorsOf(const SolveState& v) {
    return static_cast<Factors*>(v.largeGroupFactors.get());
}

Group* GroupOf(const SolveState& v, int group) {
    Factors* f = FactorsOf(v);
    if (f == nullptr || group < 0 || group >= static_cast<int>(f->groups.size())) return nullptr;
    return f->groups[group].get();
}

// The group's rows as compressed columns. The rows are gathered first (a row may name a
// variable twice), then turned into columns, which leaves each column's rows ascending.
void BuildMatrix(const SolveState& v, Group& g) {
    const int n = g.size;
    std::vector<int> rowStart(n + 1, 0), rowColumn, slotOfColumn(n, -1);
    std::vector<std::pair<const JacobianEntry*, int>> rowTerms;  // entry, row slot
    for (int i = 0; i < n; ++i) {
        rowStart[i] = static_cast<int>(rowColumn.size());
        for (const JacobianEntry* e = v.rowHead[v.pivotEquation[g.first + i]]; e != nullptr;
             e = e->nextInRow) {
            const int j = v.positionOf[v.matchOf[e->variable]] - g.first;
            if (slotOfColumn[j] < rowStart[i]) {
                slotOfColumn[j] = static_cast<int>(rowColumn.size());
                rowColumn.push_back(j);
            }
            rowTerms.emplace_back(e, slotOfColumn[j]);
        }
    }
    rowStart[n] = static_cast<int>(rowColumn.size());

    g.columnStart.assign(n + 1, 0);
    for (int j : rowColumn) ++g.columnStart[j + 1];
    for (int j = 0; j < n; ++j) g.columnStart[j + 1] += g.columnStart[j];
    std::vector<int> next(g.columnStart.begin(), g.columnStart.end() - 1);
    std::vector<int> columnSlot(rowColumn.size());
    g.rowIndex.assign(rowColumn.size(), 0);
    for (int i = 0; i < n; ++i) {
        for (int slot = rowStart[i]; slot < rowStart[i + 1]; ++slot) {
            const int at = next[rowColumn[slot]]++;
            g.rowIndex[at] = i;
            columnSlot[slot] = at;
        }
    }
    g.terms.clear();
    g.terms.reserve(rowTerms.size());
    for (const auto& [entry, slot] : rowTerms) g.terms.emplace_back(entry, columnSlot[slot]);
    g.values.assign(rowColumn.size(), 0.0);
    g.rhs.assign(n, 0.0);
}

void GatherValues(Group& g) {
    std::fill(g.values.begin(), g.values.end(), 0.0);
    for (const auto& [entry, at] : g.terms) g.values[at] += entry->value;
}

// The first Newton step evaluates the Jacobian at the point the analysis factorized it at;
// factorizing the same terms again would cost as much as a step's substitutions many times over.
bool Unchanged(const Group& g) {
    return g.numeric != nullptr && g.values == g.factored;
}

klu_numeric* Factor(Factors& f, Group& g, bool haltIfSingular) {
    f.common.halt_if_singular = haltIfSingular ? 1 : 0;
    return klu_factor(g.columnStart.data(), g.rowIndex.data(), g.values.data(), g.symbolic,
                      &f.common);
}

// Every pivot of the unscaled matrix is above the threshold; a NaN is not.
bool PivotsAboveThreshold(const Group& g, double threshold) {
    const auto* pivots = static_cast<const double*>(g.numeric->Udiag);
    for (int k = 0; k < g.size; ++k) {
        const double scale = g.numeric->Rs != nullptr ? g.numeric->Rs[g.numeric->Pnum[k]] : 1.0;
        if (!(std::fabs(scale * pivots[k]) > threshold)) return false;
    }
    return true;
}

}  // namespace

namespace large_group {

void Reset(SolveState& v) {
    v.largeGroupFactors.reset();
}

bool Analyse(CoreState& s, int group, int first, int size, double pivotThreshold) {
    SolveState& v = s.solve;
    if (!v.largeGroupFactors) v.largeGroupFactors = std::make_unique<Factors>();
    Factors& f = *FactorsOf(v);
    if (static_cast<int>(f.groups.size()) <= group) f.groups.resize(group + 1);

    auto g = std::make_unique<Group>();
    g->first = first;
    g->size = size;
    BuildMatrix(v, *g);
    GatherValues(*g);
    // Solved in groups, a group is one block already, its matching the diagonal; KLU's own
    // search for blocks would only find the same block again, and might pair the rows with
    // other variables than the matching does.
    f.common.btf = s.settings.solveInGroups ? 0 : 1;
    g->symbolic = klu_analyze(g->size, g->columnStart.data(), g->rowIndex.data(), &f.common);
    if (g->symbolic != nullptr) g->numeric = Factor(f, *g, true);
    const bool ok = g->numeric != nullptr && f.common.status == KLU_OK &&
                    PivotsAboveThreshold(*g, pivotThreshold);
    if (!ok) {
        f.Release(*g);
        return false;
    }
    g->factored = g->values;
    f.groups[group] = std::move(g);
    return true;
}

bool Holds(const SolveState& v, int group) {
    return GroupOf(v, group) != nullptr;
}

void Refactorize(CoreState& s, int group) {
    Factors& f = *FactorsOf(s.solve);
    Group& g = *GroupOf(s.solve, group);
    GatherValues(g);
    if (Unchanged(g)) return;
    g.factored = g.values;
    f.common.halt_if_singular = 1;
    bool stable = g.numeric != nullptr &&
                  klu_refactor(g.columnStart.data(), g.rowIndex.data(), g.values.data(), g.symbolic,
                               g.numeric, &f.common) != 0 &&
                  f.common.status == KLU_OK;
    if (stable) {
        klu_rcond(g.symbolic, g.numeric, &f.common);
        stable = f.common.rcond >= kRefactorReciprocalCondition;
    }
    if (stable) return;
    if (g.numeric != nullptr) klu_free_numeric(&g.numeric, &f.common);
    // Even a singular matrix keeps factors, so that the step can still be taken and halved.
    g.numeric = Factor(f, g, false);
}

void Solve(CoreState& s, int group, std::vector<double>& f) {
    Factors& factors = *FactorsOf(s.solve);
    Group& g = *GroupOf(s.solve, group);
    for (int j = 0; j < g.size; ++j) g.rhs[j] = f[g.first + j];
    const bool solved = g.numeric != nullptr &&
                        klu_solve(g.symbolic, g.numeric, g.size, 1, g.rhs.data(), &factors.common);
    // A zero pivot gives the largest number, as the guarded division of the small groups does,
    // and the step halving can deal with it.
    for (int j = 0; j < g.size; ++j) {
        f[g.first + j] = solved && std::isfinite(g.rhs[j]) ? g.rhs[j] : s.k.largest;
    }
}

long FactorEntries(const SolveState& v, int group) {
    const Group* g = GroupOf(v, group);
    if (g == nullptr || g->numeric == nullptr) return 0;
    return static_cast<long>(g->numeric->lnz) + g->numeric->unz - g->size + g->numeric->nzoff;
}

}  // namespace large_group
