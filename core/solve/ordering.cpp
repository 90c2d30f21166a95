// Ordering elimination: chooses the pivot order while eliminating.
//
// Rows wait in buckets by count: the number of their entries whose variable is not pivoted yet
// (capped at the size limit of the equation set), plus the number of equations in the groups
// before the row's own. The next pivot row is the most recently (re)inserted row of the lowest
// count; a short row keeps fill-in small, and the group offset keeps each group's rows behind
// all rows of earlier groups. Within the row the pivot variable is the one with the shortest
// column (structural mode, again for little fill-in) or the term of largest magnitude
// (numerical mode, for stability). A row without an unpivoted entry is structurally singular;
// a numerical pivot of magnitude at most 1e-18 means the row depends on the rows before it.
//
// A column's length counts its entries in pivoted rows as well; between columns of the same
// length the one with fewer entries in rows not yet pivoted wins. Without that second count a
// tridiagonal set makes every column look equally long, a pivot off the diagonal is taken, and
// each step passes one more fill-in on to the next row, so the factors fill half the matrix.
// Both counts are kept up to date as rows are pivoted and fill-ins created, so choosing costs
// nothing per entry beyond the row walk itself.

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/base/console.h"
#include "core/base/core_state.h"
#include "core/solve/grouping.h"
#include "core/solve/solve_messages.h"

namespace {

using grouping::kPivotThreshold;
using solve_message::kDependent;
using solve_message::kSingular;

// Doubly linked lists of equations by count; 0 ends a list. The lowest bucket that may hold a
// row is remembered, so taking the next row does not scan the empty buckets below it again.
class CountBuckets {
   public:
    CountBuckets(int equations, int maxCount)
        : head_(maxCount + 1, 0),
          next_(equations + 1, 0),
          prev_(equations + 1, 0),
          count_(equations + 1, -1) {}

    void insert(int eq, int count) {
        count_[eq] = count;
        prev_[eq] = 0;
        next_[eq] = head_[count];
        if (head_[count] != 0) prev_[head_[count]] = eq;
        head_[count] = eq;
        if (count < lowest_) lowest_ = count;
    }

    void remove(int eq) {
        if (count_[eq] < 0) return;
        if (prev_[eq] != 0) {
            next_[prev_[eq]] = next_[eq];
        } else {
            head_[count_[eq]] = next_[eq];
        }
        if (next_[eq] != 0) prev_[next_[eq]] = prev_[eq];
        count_[eq] = -1;
    }

    // Head of the lowest non-empty bucket, removed; 0 when every bucket is empty.
    int takeLowest() {
        const int buckets = static_cast<int>(head_.size());
        for (; lowest_ < buckets; ++lowest_) {
            const int eq = head_[lowest_];
            if (eq != 0) {
                remove(eq);
                return eq;
            }
        }
        return 0;
    }

   private:
    std::vector<int> head_;   // count -> first equation
    std::vector<int> next_;   // equation -> next equation of its bucket
    std::vector<int> prev_;   // equation -> previous equation of its bucket
    std::vector<int> count_;  // equation -> its bucket (-1 when in none)
    int lowest_ = 0;          // no bucket below it holds a row
};

int RowCount(const CoreState& s, int eq, const std::vector<char>& variableDone) {
    int count = 0;
    for (const JacobianEntry* e = s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow) {
        if (!variableDone[e->variable]) ++count;
    }
    const int offset = grouping::FirstPosition(s.solve, s.solve.groupOf[eq]) - 1;
    return std::min(count, s.limits.maxEquations) + offset;
}

JacobianEntry* ChoosePivot(const SolveState& v, int eq, const std::vector<char>& variableDone,
                           grouping::Mode mode) {
    JacobianEntry* best = nullptr;
    int bestEntries = 0, bestLength = 0;
    double bestMagnitude = 0.0;
    for (JacobianEntry* e = v.rowHead[eq]; e != nullptr; e = e->nextInRow) {
        if (variableDone[e->variable]) continue;
        if (mode == grouping::Mode::kStructural) {
            const int entries = v.columnEntries[e->variable];
            const int length = v.columnLength[e->variable];
            if (best == nullptr || entries < bestEntries ||
                (entries == bestEntries && length < bestLength)) {
                best = e;
                bestEntries = entries;
                bestLength = length;
            }
        } else {
            const double magnitude = std::fabs(e->value);
            if (best == nullptr || magnitude >= bestMagnitude) {
                best = e;
                bestMagnitude = magnitude;
            }
        }
    }
    return best;
}

// The message ends without a line end: the error tail or the caller's next output follows.
void ReportFailure(CoreState& s, int eq, const char* text) {
    ConsoleWrite(s.console, solve_message::kEquation);
    ConsoleWriteInt(s.console, eq);
    ConsoleWrite(s.console, text);
    s.solve.structureFailure = true;
    s.flags.stop = true;
    WarningBeep(s);
    // While IF combinations are searched the next combination is tried, so no error tail.
    if (!s.solve.searchingIfs) ErrorTail(s);
}

}  // namespace

namespace grouping {

void BuildColumns(SolveState& v, int n) {
    std::fill(v.columnHead.begin(), v.columnHead.end(), nullptr);
    for (int pos = n; pos >= 1; --pos) {
        for (JacobianEntry* e = v.rowHead[v.pivotEquation[pos]]; e != nullptr; e = e->nextInRow) {
            e->nextInColumn = v.columnHead[e->variable];
            v.columnHead[e->variable] = e;
        }
    }
}

bool OrderEquations(CoreState& s, Mode mode, const std::vector<char>& factoredGroups) {
    SolveState& v = s.solve;
    const int n = s.model.count;
    const bool numeric = mode == Mode::kNumerical;
    auto ordered = [&](int eq) { return factoredGroups.empty() || !factoredGroups[v.groupOf[eq]]; };
    std::vector<char> equationDone(v.rowHead.size(), 0), variableDone(v.columnHead.size(), 0);
    // Each group's rows are taken one after the other, so a row's position is the next one of
    // its group; with every group ordered that is simply the next position.
    std::vector<int> nextPosition(v.groupLast.size(), 0);
    for (int g = 1; g <= v.groupCount; ++g) nextPosition[g] = FirstPosition(v, g);
    if (factoredGroups.empty()) {
        std::fill(v.matchOf.begin(), v.matchOf.end(), 0);
    } else {
        for (int k = 1; k <= n; ++k) {
            if (ordered(v.pivotEquation[k])) v.matchOf[v.pivotVariable[k]] = 0;
        }
    }

    std::fill(v.columnLength.begin(), v.columnLength.end(), 0);
    std::vector<int> initialCount(n + 1, 0);
    int maxCount = 0, rows = 0;
    for (int eq = 1; eq <= n; ++eq) {
        if (!ordered(eq)) continue;
        ++rows;
        initialCount[eq] = RowCount(s, eq, variableDone);
        maxCount = std::max(maxCount, initialCount[eq]);
        for (const JacobianEntry* e = v.rowHead[eq]; e != nullptr; e = e->nextInRow)
            ++v.columnLength[e->variable];
    }
    v.columnEntries = v.columnLength;
    // Fill-in can raise a row's own count up to the cap, never its group offset; a row of a
    // square set has at most one entry per variable, so n bounds its own count as well.
    CountBuckets buckets(n, maxCount + std::min(s.limits.maxEquations, n));
    for (int eq = 1; eq <= n; ++eq) {
        if (ordered(eq)) buckets.insert(eq, initialCount[eq]);
    }

    for (int taken = 0; taken < rows; ++taken) {
        const int eq = buckets.takeLowest();
        JacobianEntry* pivot = ChoosePivot(v, eq, variableDone, mode);
        if (pivot == nullptr) {
            ReportFailure(s, eq, kSingular);
            return false;
        }
        // Written as "not above" so that a NaN term is rejected as well.
        if (numeric && !(std::fabs(pivot->value) > kPivotThreshold)) {
            ReportFailure(s, eq, kDependent);
            return false;
        }
        const int var = pivot->variable;
        const int k = nextPosition[v.groupOf[eq]]++;
        v.pivotEquation[k] = eq;
        v.pivotVariable[k] = var;
        v.positionOf[eq] = k;
        v.matchOf[var] = eq;
        equationDone[eq] = 1;
        variableDone[var] = 1;
        for (const JacobianEntry* e = v.rowHead[eq]; e != nullptr; e = e->nextInRow)
            --v.columnLength[e->variable];

        EliminateBelow(s, *pivot, equationDone, variableDone, numeric, true);

        for (const JacobianEntry* e = v.columnHead[var]; e != nullptr; e = e->nextInColumn) {
            const int t = e->equation;
            if (equationDone[t]) continue;
            buckets.remove(t);
            buckets.insert(t, RowCount(s, t, variableDone));
        }
    }
    return true;
}

}  // namespace grouping
