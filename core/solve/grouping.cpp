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
    ConsoleWriteInt(s.console, n);
    ConsoleWrite(s.console, solve_message::kSolvableIn);
    ConsoleWriteInt(s.console, v.groupCount);
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

    EvaluateJacobian(s, 0, true);
    PrepareStructuralRows(s, n);
    grouping::BuildColumns(v, n);
    if (!grouping::OrderEquations(s, grouping::Mode::kStructural)) return;

    grouping::GroupEquations(s);
    grouping::DropCrossGroupEntries(s);
    grouping::BuildColumns(v, n);

    for (int g = 1; g <= v.groupCount; ++g) EvaluateJacobian(s, g, false);
    if (!grouping::OrderEquations(s, grouping::Mode::kNumerical)) return;
    grouping::BuildColumns(v, n);
    // From here on the diagonal pointer of an equation is its pivot entry.
    std::fill(v.variablePosition.begin(), v.variablePosition.end(), 0);
    for (int k = 1; k <= n; ++k) {
        v.diagonal[v.pivotEquation[k]] =
            grouping::FindEntry(v.rowHead[v.pivotEquation[k]], v.pivotVariable[k]);
        v.variablePosition[v.pivotVariable[k]] = k;
    }
}
