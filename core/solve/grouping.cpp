// Structure analysis and grouping.
//
// The structural ordering pairs every equation with a variable (a matching found by symbolic
// elimination). Equation e depends on equation m when e's row holds the variable paired with m.
// Groups are formed by depth-first walks in pivot order: a walk from an ungrouped equation takes
// it and every ungrouped equation it depends on, directly or not, into one new group. Whatever
// a group depends on is therefore in the group itself or in an earlier one, so the groups can be
// solved one after the other with the values of earlier groups held fixed; the terms that tie a
// group to earlier groups are dropped from the Jacobian.

#include "core/solve/grouping.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/base/console.h"
#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/solve/jacobian_eval.h"
#include "core/solve/large_group.h"
#include "core/solve/solve_messages.h"

namespace {

// Depth-first walk that gives each equation reached its group and its place in the new order.
// Kept on an explicit stack of (equation, next entry of its row): a chain of thousands of
// equations is one walk as deep as the chain, deeper than the machine stack of a worker thread
// would allow for recursion.
struct GroupWalk {
    SolveState& v;
    std::vector<int> order;  // equations in the order the walks reach them
    std::vector<std::pair<int, const JacobianEntry*>> pending;

    void take(int eq, int group) {
        v.groupOf[eq] = group;
        order.push_back(eq);
        pending.emplace_back(eq, v.rowHead[eq]);
    }

    void visit(int eq, int group) {
        take(eq, group);
        while (!pending.empty()) {
            const JacobianEntry*& e = pending.back().second;
            if (e == nullptr) {
                pending.pop_back();
                continue;
            }
            const int m = v.matchOf[e->variable];
            e = e->nextInRow;
            if (m != 0 && v.groupOf[m] == 0) take(m, group);
        }
    }
};

void Unlink(CoreState& s, JacobianEntry** link) {
    JacobianEntry* e = *link;
    *link = e->nextInRow;
    if (e->code != nullptr) {
        FreeList(s.pool, e->code);
        e->code = nullptr;
    }
    if (s.solve.diagonal[e->equation] == e) s.solve.diagonal[e->equation] = nullptr;
}

// Structural pass: every present term counts as 1.0. Entries naming no variable of the tables
// (a stale Jacobian file) cannot be solved for and are dropped here.
void PrepareStructuralRows(CoreState& s, int n) {
    SolveState& v = s.solve;
    const int lastVariable = static_cast<int>(v.columnHead.size()) - 1;
    for (int eq = 1; eq <= n; ++eq) {
        v.diagonal[eq] = nullptr;
        JacobianEntry** link = &v.rowHead[eq];
        while (*link != nullptr) {
            JacobianEntry* e = *link;
            if (e->variable < 1 || e->variable > lastVariable) {
                Unlink(s, link);
                continue;
            }
            e->value = 1.0;
            if (e->variable == eq) v.diagonal[eq] = e;
            link = &e->nextInRow;
        }
    }
}

}  // namespace

namespace grouping {

void GroupEquations(CoreState& s) {
    SolveState& v = s.solve;
    const int n = s.model.count;
    if (s.settings.solveInGroups) {
        std::vector<int> variableOf(v.rowHead.size(), 0);
        for (int k = 1; k <= n; ++k) {
            variableOf[v.pivotEquation[k]] = v.pivotVariable[k];
            v.groupOf[v.pivotEquation[k]] = 0;
        }
        GroupWalk walk{v, {}, {}};
        walk.order.reserve(n);
        int groups = 0;
        for (int k = 1; k <= n; ++k) {
            const int eq = v.pivotEquation[k];
            if (v.groupOf[eq] != 0) continue;
            walk.visit(eq, ++groups);
            v.groupLast[groups] = static_cast<int>(walk.order.size());
        }
        for (int pos = 1; pos <= n; ++pos) {
            const int eq = walk.order[pos - 1];
            v.pivotEquation[pos] = eq;
            v.pivotVariable[pos] = variableOf[eq];
            v.positionOf[eq] = pos;
        }
        v.groupCount = groups;
    } else {
        for (int k = 1; k <= n; ++k) v.groupOf[v.pivotEquation[k]] = 1;
        v.groupCount = 1;
        v.groupLast[1] = n;
    }
    WriteGroupCount(s);
}

void WriteGroupCount(CoreState& s) {
    ConsoleWriteInt(s.console, s.model.count);
    ConsoleWrite(s.console, solve_message::kSolvableIn);
    ConsoleWriteInt(s.console, s.solve.groupCount);
    ConsoleWrite(s.console, solve_message::kGroups);
    ConsoleWriteLine(s.console);
}

void DropCrossGroupEntries(CoreState& s) {
    SolveState& v = s.solve;
    for (int eq = 1; eq <= s.model.count; ++eq) {
        JacobianEntry** link = &v.rowHead[eq];
        while (*link != nullptr) {
            const int m = v.matchOf[(*link)->variable];
            // A variable paired with no equation is not solved for: it acts as a constant.
            if (m == 0 || v.groupOf[m] != v.groupOf[eq] || (*link)->fill) {
                Unlink(s, link);
            } else {
                link = &(*link)->nextInRow;
            }
        }
    }
}

}  // namespace grouping

namespace {

// The sets that fit the default tables keep the grouping of the ordering elimination; larger
// ones are grouped by their blocks, at a cost in proportion to their terms. A set without a
// matching for every equation is structurally singular whatever its size, and the ordering
// elimination names the equation that is left without a variable.
bool FormGroups(CoreState& s) {
    if (s.model.count > Limits::kDefaultCapacity && grouping::FindBlocks(s)) return true;
    if (!grouping::OrderEquations(s, grouping::Mode::kStructural)) return false;
    grouping::GroupEquations(s);
    return true;
}

// Numerical pass: the large groups are factorized apart (large_group.h), the others by the
// ordering elimination, which also takes a large group whose factors have a pivot at or below
// the threshold and so names the equation that depends on others. The groups are independent
// of each other here, and the ordering elimination meets them in their order, so a failure is
// reported for the first group that has one.
bool FactorizeGroups(CoreState& s) {
    SolveState& v = s.solve;
    large_group::Reset(v);
    std::vector<char> apart(v.groupCount + 1, 0);
    for (int g = 1; g <= v.groupCount; ++g) {
        const int first = grouping::FirstPosition(v, g);
        const int size = grouping::LastPosition(v, g) - first + 1;
        if (size >= large_group::kMinSize) {
            apart[g] = large_group::Analyse(s, g, first, size, grouping::kPivotThreshold);
        }
    }
    return grouping::OrderEquations(s, grouping::Mode::kNumerical, apart);
}

}  // namespace

void AnalyseStructure(CoreState& s) {
    SolveState& v = s.solve;
    const int n = s.model.count;
    v.structureFailure = false;
    v.positionOf[0] = 0;
    v.groupLast[0] = 0;
    for (int k = 1; k <= n; ++k) {
        v.pivotEquation[k] = k;
        v.pivotVariable[k] = 0;
        v.positionOf[k] = k;
        v.groupOf[k] = 1;
    }
    v.groupCount = 1;
    v.groupLast[1] = n;
    large_group::Reset(v);

    EvaluateJacobian(s, 0, true);
    PrepareStructuralRows(s, n);
    grouping::BuildColumns(v, n);
    if (!FormGroups(s)) return;
    grouping::DropCrossGroupEntries(s);
    grouping::BuildColumns(v, n);

    for (int g = 1; g <= v.groupCount; ++g) EvaluateJacobian(s, g, false);
    if (!FactorizeGroups(s)) return;
    grouping::BuildColumns(v, n);
    // From here on the diagonal pointer of an equation is its pivot entry.
    std::fill(v.variablePosition.begin(), v.variablePosition.end(), 0);
    for (int k = 1; k <= n; ++k) {
        v.diagonal[v.pivotEquation[k]] =
            grouping::FindEntry(v.rowHead[v.pivotEquation[k]], v.pivotVariable[k]);
        v.variablePosition[v.pivotVariable[k]] = k;
    }
}
