#include "core/run/advanced_operations.h"

#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/drive/updates.h"
#include "core/eval/complex_to_real.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/differential.h"
#include "core/lang/save_equations.h"
#include "core/solve/homotopy.h"
#include "core/symbolic/eliminate.h"
#include "core/symbolic/jacobian_outputs.h"
#include "core/symbolic/rewrites.h"
#include "core/symbolic/simplify.h"
#include "core/symbolic/symbolic_messages.h"

namespace {

const std::string kParameter = std::string("t") + '\xEB';  // the homotopy parameter
const std::string kEmbedding = std::string("e") + '\xEB';  // the complex homotopy's offset

bool Save(CoreState& s, bool keepText, bool withValues, const std::string& extension = ".SJC",
          int guessedVariables = -1, bool guessUsedOnly = false) {
    SaveOptions options;
    options.fileName = s.files.baseName + extension;
    options.keepText = keepText;
    options.withValues = withValues;
    options.guessedVariables = guessedVariables;
    options.guessUsedOnly = guessUsedOnly;
    return SaveEquations(s, options);
}

void Rewritten(CoreState& s) {
    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
}

// A rewrite that adds a variable and an equation refuses when the written set could not be
// compiled again.
bool RoomForOneMore(CoreState& s) {
    if (s.names.variableCount + 1 > s.limits.maxVariables) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, rewrite_message::kTooManyVariables);
        ConsoleWriteLine(s.console);
        WriteCapacityHint(s, LimitKind::kVariables, s.names.variableCount + 1L);
        StopWithError(s);
        return false;
    }
    if (s.model.count + 1 > s.limits.maxEquations) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, rewrite_message::kTooManyEquations);
        ConsoleWriteLine(s.console);
        WriteCapacityHint(s, LimitKind::kEquations, s.model.count + 1L);
        StopWithError(s);
        return false;
    }
    return true;
}

bool OnlyConstants(const CodeNode* code) {
    for (const CodeNode* n = code; n != nullptr; n = n->next) {
        if (n->kind != kKindConst && n->kind != kKindEnd && n->kind != kKindDeleted) return false;
    }
    return true;
}

// After the conversion every equation is real; the homotopy parameter must stay so too: its
// imaginary half becomes 0 and its real half takes the parameter's name again.
void KeepParameterReal(CoreState& s) {
    NameTable& names = s.names;
    const int real = FindVariable(names, kParameter + "r");
    const int imaginary = FindVariable(names, kParameter + "i");
    if (imaginary != 0) {
        for (int e = 1; e <= s.model.count; ++e) {
            for (CodeNode* n = s.model.eq[e].code; n != nullptr; n = n->next) {
                if (n->kind != kKindVar || n->var != imaginary) continue;
                n->kind = kKindConst;
                n->sub = kSubPlain;
                n->var = 0;
                n->value = 0.0;
                n->mark = 0;
            }
        }
        s.pool.touch();
    }
    if (real != 0) names.name[real] = kParameter;
    if (imaginary != 0) names.name[imaginary].clear();
}

// Real and imaginary part of each equation side by side; parts that hold no variable (the
// imaginary part of a real equation) are dropped.
void Regroup(CoreState& s) {
    EquationModel& m = s.model;
    const int half = m.count / 2;
    std::vector<Equation> kept;
    for (int k = 1; k <= half; ++k) {
        for (int e : {k, k + half}) {
            if (OnlyConstants(m.eq[e].code)) {
                FreeList(s.pool, m.eq[e].code);
            } else {
                kept.push_back(m.eq[e]);
            }
            m.eq[e] = Equation{};
        }
    }
    for (int e = 2 * half + 1; e <= m.count; ++e) kept.push_back(m.eq[e]);
    for (std::size_t e = 1; e < m.eq.size(); ++e) m.eq[e] = Equation{};
    m.count = static_cast<int>(kept.size());
    for (int e = 1; e <= m.count; ++e) m.eq[e] = kept[e - 1];

    NameTable& names = s.names;
    const int third = names.variableCount / 3;
    for (int i = 1; i <= third; ++i) {
        names.name[i].clear();  // the complex variable itself is gone
        names.value[i + third] = names.value[i];
        names.value[i + 2 * third] = 0.0;
    }
}

// With the homotopy method every equation but the last is offset by a new variable e, which
// the added last equation holds at the homotopy step.
bool Embed(CoreState& s) {
    if (!RoomForOneMore(s)) return false;
    EquationModel& m = s.model;
    NameTable& names = s.names;
    const int e = ++names.variableCount;
    names.name[e] = kEmbedding;
    names.value[e] = s.settings.deltaT;
    names.lowBound[e] = names.highBound[e] = s.settings.deltaT;
    for (int i = 1; i < m.count; ++i) {
        CodeNode* code = Strip(s.pool, ToPrefix(m.eq[i].code));
        m.eq[i].code = Finalize(s.pool, WrapBinary(s.pool, code::kSub, VarNode(s.pool, e), code));
    }
    const int last = ++m.count;
    m.eq[last] = Equation{};
    m.eq[last].code = Finalize(
        s.pool,
        WrapBinary(s.pool, code::kSub, ConstNode(s.pool, s.settings.deltaT), VarNode(s.pool, e)));
    m.eq[last].relation = kRelationEqual;
    return true;
}

bool ComplexToReal(CoreState& s, bool keepText) {
    if (!ConvertComplexToReal(s)) {
        StopWithError(s);
        return false;
    }
    KeepParameterReal(s);
    SimplifyEquations(s, 1, s.model.count);
    Regroup(s);
    if (s.settings.method == SolveMethod::kHomotopy && !Embed(s)) return false;
    Rewritten(s);
    return Save(s, keepText, false);
}

bool HomotopyRewrite(CoreState& s) {
    if (!RoomForOneMore(s)) return false;
    const SolveMethod method = s.settings.method;
    const JacobianMode jacobianMode = s.settings.jacobianMode;
    HomotopyTransform(s);
    // The transformation prepares a solve that does not follow here: the run's settings stay
    // as they were, and the parameter's constant is not followed by any solve.
    s.settings.method = method;
    s.settings.jacobianMode = jacobianMode;
    s.solve.homotopyConstant = nullptr;
    Rewritten(s);
    return Save(s, true, true);
}

bool FilterOperation(CoreState& s, const char* keys, bool& keepText) {
    const char key = keys[0];
    if (key == 'S') {
        SimplifyEquations(s, 1, s.model.count);
        keepText = true;
        Rewritten(s);
        return Save(s, keepText, false);
    }
    if (key == 'B' || key == 'E') {
        const bool eliminated = EliminateMarked(s, key);
        Rewritten(s);
        // An eliminated variable gets no starting value: it would come back without an
        // equation.
        return Save(s, keepText, true, ".SJC", -1, true) && eliminated;
    }
    if (key == 'C') return ComplexToReal(s, keepText);
    if (key == 'H') {
        if (StartSystemHomotopyRewrite(s)) Rewritten(s);
        return false;
    }
    if (key == 'K' || key == 'L') {
        const int documentVariables = s.names.variableCount;
        if (!LagrangianRewrite(s)) return false;
        s.settings.jacobianMode = JacobianMode::kSymbolic;
        Rewritten(s);
        if (key == 'L') {
            keepText = true;
            return Save(s, keepText, false);
        }
        s.flags.jacobianRequested = true;
        // The document's own starting values go with the rewritten problem; multipliers and
        // slacks get theirs when it is compiled.
        return Save(s, keepText, true, ".KTK", documentVariables);
    }
    if (key == 'N') {
        keepText = true;
        return HomotopyRewrite(s);
    }
    return false;
}

// The least-squares rewrite keeps its result in memory for the solve that follows it. The
// replicated set is written like "AT" writes a set (base.SJC), as nothing follows it in the
// run. Both read the document's attachment; without one, 'G' does nothing.
bool ListOperation(CoreState& s, char key) {
    bool saved = false;
    if (key == 'R') {
        LeastSquaresRewrite(s);
    } else if (key == 'G' && s.settings.updateFilePresent && ReplicateRows(s)) {
        saved = Save(s, false, false);
    }
    CloseUpdateFile(s);  // update mode ends with any list operation
    s.updates.fixingCount = 0;
    return saved;
}

}  // namespace

bool AdvancedOperations(CoreState& s, const char* keys) {
    s.flags.jacobianRequested = false;
    if (keys == nullptr) return false;
    bool keepText = false;
    switch (keys[0]) {
        case 'A': return Save(s, true, false);
        case 'D':
            // A refused set raises the parse error flag and is not written.
            if (!DifIntCommand(s, keys[1], keys[1] != '\0' ? keys[2] : '\0')) return false;
            Rewritten(s);
            return Save(s, false, false);
        case 'F': return FilterOperation(s, keys + 1, keepText);
        case 'I': return Save(s, true, true);
        case 'L': return ListOperation(s, keys[1]);
        case 'S': return SymbolicOperation(s, keys + 1);
        case 'T': return Save(s, false, false);
        default: return false;  // the letter is the command's as typed: any byte may come
    }
}
