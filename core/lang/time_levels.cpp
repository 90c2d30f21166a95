#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/differential.h"
#include "core/lang/function_traits.h"
#include "core/lang/lang_messages.h"

// Time stepping turns every variable v into its values at the time levels 0..m (named v0,
// v1, ...) and every derivative D(x, t) into a variable of its own per level (named by the
// increment sign 0xE4, x and the level). The step h is the derivative slot of t at level 0
// (0xE4 t 0). Level 0 takes over the number of the variable as written, whose own equations
// are all replaced, so the rewritten set needs exactly the variables it uses:
//   level k of v      v + N*k                      (N variables before the rewrite)
//   derivative of x   after the N*(m+1) level values, m+1 numbers per differentiated x
//   the step h        the derivative of t at level 0 when t has one, else the last number

namespace {

namespace msg = difint_message;

class LevelPlan {
   public:
    LevelPlan(const CoreState& s, const DerivativeScan& scan, int lastLevel)
        : n_(s.names.variableCount), levels_(lastLevel + 1), t_(scan.independent) {
        int next = n_ * levels_;
        derivativeBase_.assign(static_cast<std::size_t>(n_) + 1, 0);
        for (int v = 1; v <= n_; ++v) {
            if (!scan.hasDerivative[v]) continue;
            derivativeBase_[v] = next;
            next += levels_;
        }
        step_ = derivativeBase_[t_] != 0 ? Derivative(t_, 0) : ++next;
        count_ = next;
    }

    int Level(int v, int k) const { return v + n_ * k; }
    int Derivative(int x, int k) const { return derivativeBase_[x] + k + 1; }
    int Step() const { return step_; }
    int Independent() const { return t_; }
    int Last() const { return levels_ - 1; }
    int VariableCount() const { return count_; }
    bool HasDerivative(int v) const { return derivativeBase_[v] != 0; }

    // The names of the rewritten set, by number.
    std::vector<std::string> Names(const CoreState& s) const {
        std::vector<std::string> names(static_cast<std::size_t>(count_) + 1);
        for (int v = 1; v <= n_; ++v) {
            for (int k = 0; k < levels_; ++k) {
                const std::string level = std::to_string(k);
                names[Level(v, k)] = s.names.name[v] + level;
                if (HasDerivative(v)) names[Derivative(v, k)] = '\xE4' + s.names.name[v] + level;
            }
        }
        names[step_] = '\xE4' + s.names.name[t_] + "0";
        return names;
    }

   private:
    int n_;
    int levels_;
    int t_;
    std::vector<int> derivativeBase_;  // variable -> number before its level-0 derivative
    int step_ = 0;
    int count_ = 0;
};

// Every new name must come back from the text as its own variable: within the significant
// characters, unlike the others, and not a name the compiler reads as something else.
bool NamesReadBack(const CoreState& s, const std::vector<std::string>& names) {
    for (int v = 1; v <= s.names.variableCount; ++v) {
        if (s.names.name[v].empty()) return false;
    }
    std::set<std::string> seen;
    for (std::size_t v = 1; v < names.size(); ++v) {
        const std::string& name = names[v];
        if (static_cast<int>(name.size()) > s.limits.nameChars) return false;
        if (FindUnaryCode(name) != 0 || FindBinaryCode(name) != 0 || name == "PI") return false;
        if (!seen.insert(name).second) return false;
    }
    return true;
}

// Left and right as the formula reads them.
CodeNode* Bin(CoreState& s, unsigned char op, CodeNode* left, CodeNode* right) {
    return WrapBinary(s.pool, op, right, left);
}

CodeNode* Var(CoreState& s, int v) {
    return VarNode(s.pool, v);
}

// A start value: a constant that takes the value of variable `tie` between steps.
CodeNode* TiedConstant(CoreState& s, double value, int tie) {
    CodeNode* c = ConstNode(s.pool, value);
    c->var = tie;
    return c;
}

// The equation at level k: each variable at that level, each D(x, t) the derivative of x
// there.
CodeNode* CopyAtLevel(CoreState& s, const CodeNode* list, const LevelPlan& plan, int k) {
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    for (const CodeNode* n = list; n != nullptr; n = n->next) {
        CodeNode* c = nullptr;
        if (n->kind == kKindBinary && n->sub == code::kDeriv) {
            const CodeNode* x = n->next->next;  // after t; the scan made sure of both
            c = Var(s, plan.Derivative(x->var, k));
            n = x;
        } else {
            c = MakeNode(s.pool, n->kind, n->sub, n->var, n->value, n->mark, nullptr);
            if (c->kind == kKindVar) c->var = plan.Level(c->var, k);
        }
        *tail = c;
        tail = &c->next;
    }
    return head;
}

// x_k - ((x'_k + x'_(k-1)) * (h * 0.5) + x_(k-1)), or x_k - (x'_k * h + x_(k-1)).
CodeNode* StepEquation(CoreState& s, const LevelPlan& plan, int x, int k, bool trapezoidal) {
    const int h = plan.Step();
    CodeNode* increment =
        trapezoidal
            ? Bin(s, code::kMul,
                  Bin(s, code::kAdd, Var(s, plan.Derivative(x, k)), Var(s, plan.Derivative(x, k - 1))),
                  Bin(s, code::kMul, Var(s, h), ConstNode(s.pool, 0.5)))
            : Bin(s, code::kMul, Var(s, plan.Derivative(x, k)), Var(s, h));
    return Bin(s, code::kSub, Var(s, plan.Level(x, k)),
               Bin(s, code::kAdd, increment, Var(s, plan.Level(x, k - 1))));
}

struct NewEquation {
    CodeNode* code;
    unsigned char relation;
};

// The equations of steps 1..last: each equation at every level, the steps of every
// differentiated variable, its start value, and the time levels with the step and the start
// time. A start value is tied to the variable's last level, which holds the value the next
// run of the steps starts from: negatively for a state variable, positively for the time.
std::vector<NewEquation> BuildEquations(CoreState& s, const LevelPlan& plan, bool trapezoidal) {
    std::vector<NewEquation> out;
    const int last = plan.Last();
    for (int e = 1; e <= s.model.count; ++e) {
        const Equation& q = s.model.eq[e];
        for (int k = 0; k <= last; ++k) out.push_back({CopyAtLevel(s, q.code, plan, k), q.relation});
    }
    for (int x = 1; x <= s.names.variableCount; ++x) {
        if (!plan.HasDerivative(x)) continue;
        for (int k = 1; k <= last; ++k) {
            out.push_back({StepEquation(s, plan, x, k, trapezoidal), kRelationEqual});
        }
        CodeNode* start = TiedConstant(s, s.names.value[x], -plan.Level(x, last));
        out.push_back({Bin(s, code::kSub, Var(s, plan.Level(x, 0)), start), kRelationEqual});
    }
    const int t = plan.Independent(), h = plan.Step();
    for (int k = 1; k <= last; ++k) {
        CodeNode* next = Bin(s, code::kAdd, Var(s, plan.Level(t, k - 1)), Var(s, h));
        out.push_back({Bin(s, code::kSub, Var(s, plan.Level(t, k)), next), kRelationEqual});
    }
    out.push_back({Bin(s, code::kSub, Var(s, h), ConstNode(s.pool, s.settings.deltaT)),
                   kRelationEqual});
    CodeNode* start = TiedConstant(s, s.names.value[t], plan.Level(t, last));
    out.push_back({Bin(s, code::kSub, Var(s, plan.Level(t, 0)), start), kRelationEqual});
    return out;
}

void InstallVariables(CoreState& s, const LevelPlan& plan, const std::vector<std::string>& names) {
    NameTable& t = s.names;
    const int n = t.variableCount;
    std::vector<double> value(names.size(), 0.0);
    for (int v = 1; v <= n; ++v) {
        for (int k = 0; k <= plan.Last(); ++k) value[plan.Level(v, k)] = t.value[v];
    }
    value[plan.Step()] = s.settings.deltaT;
    t.variableCount = plan.VariableCount();
    for (int v = 1; v <= t.variableCount; ++v) {
        t.name[v] = names[v];
        t.value[v] = value[v];
        t.lowBound[v] = t.highBound[v] = value[v];
    }
}

void InstallEquations(CoreState& s, const std::vector<NewEquation>& equations) {
    EquationModel& m = s.model;
    for (int e = 1; e <= m.count; ++e) FreeList(s.pool, m.eq[e].code);
    for (std::size_t e = 1; e < m.eq.size(); ++e) m.eq[e] = Equation{};
    m.count = static_cast<int>(equations.size());
    for (int e = 1; e <= m.count; ++e) {
        m.eq[e].code = equations[e - 1].code;
        m.eq[e].relation = equations[e - 1].relation;
    }
}

bool Refuse(CoreState& s, const char* text) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, text);
    WarningBeep(s);
    return false;
}

// Steps 1..last, refused when the rewritten set would pass the run's limits or its names
// would not read back as distinct variables.
bool RewriteSteps(CoreState& s, const DerivativeScan& scan, int last, bool trapezoidal) {
    const LevelPlan plan(s, scan, last);
    const int equations = s.model.count * (last + 1) + scan.derivativeCount * (last + 1) + last + 2;
    if (plan.VariableCount() > s.limits.maxVariables || equations > s.limits.maxEquations) {
        Refuse(s, msg::kIllegalNumber);
        // One capacity covers both counts: the hint names the larger need.
        const bool variables = plan.VariableCount() > s.limits.maxVariables;
        ConsoleWriteLine(s.console);
        WriteCapacityHint(s, variables ? LimitKind::kVariables : LimitKind::kEquations,
                          std::max<long>(plan.VariableCount(), equations));
        return false;
    }
    const std::vector<std::string> names = plan.Names(s);
    if (!NamesReadBack(s, names)) return Refuse(s, msg::kLevelNames);
    const std::vector<NewEquation> rewritten = BuildEquations(s, plan, trapezoidal);
    InstallEquations(s, rewritten);
    InstallVariables(s, plan, names);
    return true;
}

}  // namespace

bool ImplicitStep(CoreState& s, const DerivativeScan& scan, bool trapezoidal) {
    return RewriteSteps(s, scan, 1, trapezoidal);
}

bool StepChain(CoreState& s, const DerivativeScan& scan) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, msg::kNumberOfIntervals);
    ConsoleWriteInt(s.console, kDifIntIntervals);
    return RewriteSteps(s, scan, kDifIntIntervals, true);
}
