#include "core/eval/compile.h"

#include <algorithm>
#include <memory>
#include <string>

#include "core/base/core_state.h"
#include "core/eval/constant_fold.h"
#include "core/eval/eval_messages.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

namespace {

// First variable referenced in evaluation order, 0 when none.
int FirstVariable(const CodeNode* code) {
    for (const CodeNode* n = code; n != nullptr; n = n->next) {
        if (n->kind == kKindVar) return n->var;
    }
    return 0;
}

// The variable of a code that begins with a reference to it and refers to no other.
int SingleVariable(const CodeNode* code) {
    const CodeNode* head = SkipDeleted(code);
    if (head == nullptr || head->kind != kKindVar) return 0;
    for (const CodeNode* n = head->next; n != nullptr; n = n->next) {
        if (n->kind == kKindVar && n->var != head->var) return 0;
    }
    return head->var;
}

bool ValidVariable(const CoreState& s, int v) {
    return v > 0 && v <= s.names.variableCount;
}

// Removes the equations whose code was freed and numbers the rest without gaps.
void CompactEquations(CoreState& s) {
    EquationModel& m = s.model;
    ParserState& p = s.parser;
    int kept = 0;
    for (int e = 1; e <= m.count; ++e) {
        if (m.eq[e].code == nullptr) continue;
        ++kept;
        if (kept != e) {
            m.eq[kept] = m.eq[e];
            m.eq[e] = Equation{};
            p.textOrdinal[kept] = p.textOrdinal[e];
            p.textOrdinal[e] = 0;
        }
    }
    for (int e = kept + 1; e <= m.count; ++e) m.eq[e] = Equation{};
    m.count = kept;
}

// An equation appended for a fixed column of the update file holds its variable alone. The
// first step of an update run is the document's own: a variable the document gives a starting
// value (name, 0xBB, value: its range has shrunk to that value) is held there, any other at
// the 0 that the variable alone says, never at its random starting value. The update rows
// then rewrite the value.
void HoldAtDocumentValue(CoreState& s, Equation& q) {
    const int v = FirstVariable(q.code);
    if (!ValidVariable(s, v)) return;
    NameTable& t = s.names;
    const bool given = t.lowBound[v] == t.highBound[v] && t.lowBound[v] == t.value[v];
    t.value[v] = given ? t.value[v] : 0.0;
    FreeList(s.pool, q.code);
    q.code = Finalize(
        s.pool, WrapBinary(s.pool, code::kSub, ConstNode(s.pool, t.value[v]), VarNode(s.pool, v)));
}

void WriteCounts(CoreState& s) {
    ConsoleWriteInt(s.console, s.names.variableCount);
    ConsoleWrite(s.console, eval_message::kVariablesAnd);
    ConsoleWriteInt(s.console, s.model.count);
    ConsoleWrite(s.console, eval_message::kEquationsLine);
    ConsoleWrite(s.console, eval_message::kFindingDerivatives);
}

// The compiler's passes over the source in a core with the largest tables, counting what the
// text needs: statements and variables. The probe prints nothing and evaluates nothing.
long CapacityNeeded(const CoreState& s, Arithmetic arithmetic) {
    auto probe = std::make_unique<CoreState>(Limits::ForCapacity(Limits::kMaxCapacity));
    CoreState& p = *probe;
    p.settings = s.settings;
    p.k = s.k;
    p.k.arithmetic = Arithmetic::kReal;
    p.files.baseName = s.files.baseName;
    p.parser.source = s.parser.source;
    // The update table's fixed columns are equations of the set too (appended after the
    // document's): without them the capacity named would be too small to take the table.
    p.updates.mode = s.updates.mode;
    p.updates.columns = s.updates.columns;
    p.parser.foundReal.assign(static_cast<std::size_t>(p.limits.maxEquations) + 2, false);
    long needed = 0;
    auto pass = [&] {
        const bool read = ReadEquations(p);
        needed = std::max(
            {needed, static_cast<long>(p.model.count), static_cast<long>(p.names.variableCount)});
        return read;
    };
    bool read = pass();
    if (read && arithmetic == Arithmetic::kComplex) {
        ComplexScan(p);
        p.k.arithmetic = Arithmetic::kComplex;
        read = pass();
    }
    if (!read && (p.message == parser_message::kTooManyEquations ||
                  p.message == parser_message::kTooManyVariables)) {
        return Limits::kMaxCapacity + 1L;
    }
    return needed;
}

// A compile refused for the size limits tells how to raise them, with the capacity this
// document needs.
void HintAtLimit(CoreState& s, Arithmetic arithmetic) {
    if (!s.parser.error) return;
    const bool equations = s.message == parser_message::kTooManyEquations;
    if (!equations && s.message != parser_message::kTooManyVariables) return;
    WriteCapacityHint(s, equations ? LimitKind::kEquations : LimitKind::kVariables,
                      CapacityNeeded(s, arithmetic));
    ConsoleWriteLine(s.console);
}

}  // namespace

void ApplyStartingValues(CoreState& s) {
    NameTable& t = s.names;
    EquationModel& m = s.model;
    const double low = s.settings.minGuess;
    const double high = s.settings.maxGuess;
    for (int v = 1; v <= t.variableCount; ++v) {
        t.lowBound[v] = low;
        t.highBound[v] = high;
        t.value[v] = low + s.rng.unit() * (high - low);
    }

    // In text order, so that a later assignment of a variable overrides an earlier one.
    for (int e = 1; e <= m.count; ++e) {
        Equation& q = m.eq[e];
        if (q.code == nullptr) continue;
        bool failed = false;
        if (q.updateColumn != 0) {
            HoldAtDocumentValue(s, q);
            continue;
        }
        if (q.relation == kRelationGuess) {
            // x ~ expression: the code x - expression gives x the expression's value.
            const int v = FirstVariable(q.code);
            if (ValidVariable(s, v)) {
                const double residual = Evaluate(s, q.code, failed);
                const double x = failed ? 0.0 : t.value[v] - residual;
                t.value[v] = x;
                t.lowBound[v] = x;
                t.highBound[v] = x;
            }
            FreeList(s.pool, q.code);
            q.code = nullptr;
        } else if (const int v = SingleVariable(q.code); ValidVariable(s, v)) {
            // One Newton-like step from the random value: exact for x = constant.
            const double residual = Evaluate(s, q.code, failed);
            t.value[v] = failed ? 0.5 : t.value[v] - residual;
        }
    }
    CompactEquations(s);
}

void PrepareEquations(CoreState& s) {
    ParserState& p = s.parser;
    EquationModel& m = s.model;
    for (int e = 1; e <= m.count; ++e) {
        Equation& q = m.eq[e];
        if (q.code == nullptr) continue;
        const std::string earlier = s.message;
        s.message.clear();

        CodeNode* list = ToPrefix(q.code);
        if (s.settings.autoSimplify) ConstantFold(s, list);
        if (p.linkedConstants && !LinkedConstantsOnlyAsTerms(list)) {
            p.linkedConstantsAsTerms = false;
        }
        // Finalize strips what folding removed, including a removed head.
        q.code = Finalize(s.pool, list);

        if (!s.message.empty()) {
            ConsoleWrite(s.console, s.message);
            ConsoleWrite(s.console, eval_message::kInEquation);
            ConsoleWrite(s.console, std::to_string(e));
            ConsoleWriteLine(s.console);
        }
        if (!earlier.empty()) s.message = earlier;  // the first message stays
    }
}

void CompileSource(CoreState& s) {
    if (!ReadEquations(s)) return;
    ApplyStartingValues(s);
    WriteCounts(s);
    PrepareEquations(s);
}

void ParseEquations(CoreState& s) {
    LoadSource(s);
    CompileSource(s);
    HintAtLimit(s, s.k.arithmetic);
}

void ParseEquationsComplex(CoreState& s) {
    LoadSource(s);
    const Arithmetic arithmetic = s.k.arithmetic;
    s.k.arithmetic = Arithmetic::kReal;
    s.names.realNames.clear();
    s.parser.foundReal.assign(static_cast<std::size_t>(s.limits.maxEquations) + 2, false);
    CompileSource(s);
    if (arithmetic == Arithmetic::kComplex && !s.parser.error) {
        ComplexScan(s);
        s.k.arithmetic = Arithmetic::kComplex;
        CompileSource(s);
    }
    s.k.arithmetic = arithmetic;
    HintAtLimit(s, arithmetic);
}
