#include <algorithm>
#include <string>

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/function_traits.h"
#include "core/lang/parser.h"

// Between the two passes of a complex compile, the equations of the real pass are sorted
// into real and complex ones. A real equation keeps one residual in the second pass and its
// lone variable stays one real variable; a complex equation is split into a real and an
// imaginary residual over pairs of real variables.

namespace {

// A value that is real whatever the variables hold: a plain constant or a call of a
// function whose result is real.
bool IsRealValue(const CodeNode* n) {
    if (n == nullptr) return false;
    if (IsPlainConst(n)) return true;
    const UnaryTraits* f = n->kind == kKindUnary ? FindUnaryTraits(n->sub) : nullptr;
    return f != nullptr && (f->complex == ComplexRole::kPart || f->complex == ComplexRole::kPolar);
}

void AddRealVariable(CoreState& s, int var) {
    if (var < 1 || var > s.names.variableCount) return;
    const std::string& name = s.names.name[var];
    auto& real = s.names.realNames;
    if (std::find(real.begin(), real.end(), name) == real.end()) real.push_back(name);
}

// top: the first node of an equation's code in parse form.
bool IsRealEquation(CoreState& s, const CodeNode* top) {
    if (top == nullptr) return false;
    if (IsRealValue(top)) return true;
    if (top->kind != kKindBinary) return false;
    const CodeNode* right = SkipDeleted(top->next);
    const CodeNode* rightEnd = right ? SubtreeEnd(right) : nullptr;
    const CodeNode* left = rightEnd ? SkipDeleted(rightEnd->next) : nullptr;
    if (left == nullptr) return false;
    if (IsRealValue(right) && IsRealValue(left)) return true;
    if (right->kind == kKindVar && IsRealValue(left)) {
        AddRealVariable(s, right->var);
        return true;
    }
    if (left->kind == kKindVar && IsRealValue(right)) {
        AddRealVariable(s, left->var);
        return true;
    }
    return false;
}

}  // namespace

void ComplexScan(CoreState& s) {
    ParserState& p = s.parser;
    EquationModel& m = s.model;
    const std::size_t ordinals = static_cast<std::size_t>(s.limits.maxEquations) + 2;
    if (p.foundReal.size() < ordinals) p.foundReal.resize(ordinals, false);
    for (int e = 1; e <= m.count; ++e) {
        Equation& q = m.eq[e];
        if (q.code == nullptr) continue;
        CodeNode* list = ToPrefix(q.code);
        const bool real = IsRealEquation(s, SkipDeleted(list));
        q.code = ToPostfix(list);
        q.complex = !real;
        const int ordinal = e < static_cast<int>(p.textOrdinal.size()) ? p.textOrdinal[e] : 0;
        if (ordinal > 0 && ordinal < static_cast<int>(p.foundReal.size())) {
            p.foundReal[ordinal] = real;
        }
    }
}
