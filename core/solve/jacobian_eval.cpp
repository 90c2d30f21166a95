#include "core/solve/jacobian_eval.h"

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/eval/flatten.h"
#include "core/eval/guarded.h"
#include "core/lang/code_string.h"
#include "core/solve/solve_messages.h"

namespace {

// Equations of a group in pivot order; group 0 means every equation.
template <typename F>
void ForEachEquation(CoreState& s, int group, F f) {
    const SolveState& v = s.solve;
    int first = 1, last = s.model.count;
    if (group > 0) {
        first = (group == 1) ? 1 : v.groupLast[group - 1] + 1;
        last = v.groupLast[group];
    }
    for (int pos = first; pos <= last; ++pos) f(v.pivotEquation[pos]);
}

void JacobianError(CoreState& s, int equation) {
    SolveState& v = s.solve;
    if (v.evaluationError) return;  // only the first failure is reported
    v.evaluationError = true;
    v.firstErrorEquation = equation;
    ConsoleWrite(s.console, solve_message::kJacobianEvaluation);
    ConsoleWriteInt(s.console, equation);
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, s.message);
}

// An entry's derivative code as the evaluator runs it, kept from one evaluation to the next.
const FlatCode& EntryCode(CoreState& s, const JacobianEntry& e) {
    std::vector<FlatCache>& cache = s.eval.entryCode;
    if (e.slot >= cache.size()) cache.resize(e.slot + 1);
    return FlatFor(s, e.code, cache[e.slot]);
}

JacobianEntry* AddEntry(CoreState& s, int equation, int variable) {
    JacobianEntry* e = s.solve.entries.allocate();
    e->equation = equation;
    e->variable = variable;
    e->nextInRow = s.solve.rowHead[equation];
    s.solve.rowHead[equation] = e;
    if (variable == equation) s.solve.diagonal[equation] = e;
    return e;
}

}  // namespace

void EvaluateJacobianSymbolic(CoreState& s, int group, bool structural) {
    ForEachEquation(s, group, [&](int eq) {
        for (JacobianEntry* e = s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow) {
            if (e->code == nullptr) {
                e->value = 0.0;
            } else if (structural) {
                e->value = 1.0;
            } else {
                bool error = false;
                const double v = Evaluate(s, EntryCode(s, *e), error);
                if (error) {
                    e->value = 0.0;
                    JacobianError(s, eq);
                } else {
                    e->value = v;
                }
            }
        }
    });
}

// Forward differences (f(x + dJ) - f(x)) / dJ of the variables an equation uses. The creating
// pass builds each row from the variables of its code; later passes only refresh the entries
// the analysis kept, so the fill-in positions of the elimination stay in place (at 0) and the
// terms of earlier groups, which the analysis dropped, are not formed again.
void EvaluateJacobianIncremental(CoreState& s, int group, bool creating) {
    const double dJ = s.settings.deltaJ;
    std::vector<double>& x = s.names.value;
    FlatCode flat;  // the equation's code flattened once for its 1 + n evaluations
    ForEachEquation(s, group, [&](int eq) {
        const CodeNode* code = s.model.eq[eq].code;
        bool error = false;
        Flatten(s, code, flat);
        const double f0 = Evaluate(s, flat, error);
        if (error) {
            JacobianError(s, eq);
            return;
        }
        auto quotient = [&](int var, double& out) {
            x[var] += dJ;
            bool e1 = false;
            const double f1 = Evaluate(s, flat, e1);
            x[var] -= dJ;
            if (e1) {
                JacobianError(s, eq);
                return false;
            }
            out = GuardedDiv(s, GuardedSub(s, f1, f0), dJ);
            return true;
        };
        if (creating) {
            // The scatter marks of the elimination, clear outside it, tell which variables
            // already have their entry, so a long equation costs one pass over its code.
            std::vector<char>& has = s.solve.workMark;
            s.solve.rowHead[eq] = nullptr;
            s.solve.diagonal[eq] = nullptr;
            bool ok = true;
            for (const CodeNode* n = code; n != nullptr && ok; n = n->next) {
                if (n->kind != kKindVar || n->var < 1 ||
                    static_cast<std::size_t>(n->var) >= has.size() || has[n->var]) {
                    continue;
                }
                double value = 0.0;
                ok = quotient(n->var, value);
                if (ok) {
                    AddEntry(s, eq, n->var)->value = value;
                    has[n->var] = 1;
                }
            }
            for (const JacobianEntry* e = s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow)
                has[e->variable] = 0;
        } else {
            for (JacobianEntry* e = s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow) {
                if (e->fill) {
                    e->value = 0.0;
                } else if (!quotient(e->variable, e->value)) {
                    e->value = 0.0;
                }
            }
        }
    });
}

void EvaluateJacobianIncremental(CoreState& s, int group) {
    EvaluateJacobianIncremental(s, group, false);
}

void EvaluateJacobian(CoreState& s, int group, bool structural) {
    if (s.settings.jacobianMode == JacobianMode::kIncremental) {
        EvaluateJacobianIncremental(s, group, structural);
    } else {
        EvaluateJacobianSymbolic(s, group, structural);
    }
}
