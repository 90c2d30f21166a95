#include <string>
#include <utility>
#include <vector>

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

namespace {

// Every pass starts from empty tables. The real-variable list of the complex scan survives,
// since the second pass of a complex compile is what reads it.
void ResetPass(CoreState& s) {
    ParserState& p = s.parser;
    EquationModel& m = s.model;
    for (std::size_t i = 1; i < m.eq.size(); ++i) {
        FreeList(s.pool, m.eq[i].code);
        m.eq[i] = Equation{};
    }
    m.count = 0;

    std::vector<std::string> real = std::move(s.names.realNames);
    s.names.clear();
    s.names.realNames = std::move(real);

    FreeList(s.pool, p.list);
    p.list = nullptr;
    for (CodeNode* arg : p.args) FreeList(s.pool, arg);
    p.args.clear();
    p.error = false;
    p.errorPosition = 0;
    p.equation = 0;
    p.depth = 0;
    p.nesting = 0;
    p.currentName.clear();
    p.functionDepth = 0;
    p.functionCallPosition = 0;
    p.functionPath = FunctionPathPrefix(s.files.baseName);
    p.linkedConstants = false;
    p.linkedConstantsAsTerms = true;
    p.textOrdinal.assign(m.eq.size(), 0);
}

bool FoundReal(const ParserState& p, int ordinal) {
    return ordinal > 0 && ordinal < static_cast<int>(p.foundReal.size()) && p.foundReal[ordinal];
}

// In complex mode a residual is complex while the solver works with real residuals: the
// equation gives the real part, and a copy multiplied by j gives Re(j*r) = -Im(r), so the
// pair vanishes exactly when r does. Starting-value assignments are not split: they are
// consumed before solving, and a copy would assign its value to the wrong half.
void SplitComplexEquation(CoreState& s, int e, CodeNode* list) {
    EquationModel& m = s.model;
    if (m.count >= s.limits.maxEquations) {
        // Dropping the imaginary half would leave a set that looks square but is not.
        ParseError(s, parser_message::kTooManyEquations);
        return;
    }
    const int c = ++m.count;
    CodeNode* copy = WrapBinary(s.pool, code::kMul, ImaginaryOne(s.pool), CopyList(s.pool, list));
    m.eq[c].code = Finalize(s.pool, copy);
    m.eq[c].relation = m.eq[e].relation;
    m.eq[c].designated = m.eq[e].designated;
    m.eq[c].complex = true;
    m.eq[e].complex = true;
    s.parser.textOrdinal[c] = s.parser.textOrdinal[e];
}

// One equation: a relation followed by ';'.
void ReadEquation(CoreState& s, int ordinal) {
    ParserState& p = s.parser;
    EquationModel& m = s.model;
    const int e = ++m.count;
    p.equation = e;
    m.eq[e].relation = kRelationNone;
    m.eq[e].designated = 0;
    m.eq[e].complex = false;
    p.textOrdinal[e] = ordinal;
    p.list = nullptr;
    p.emitted = 0;

    Relation(s);
    if (!p.error) {
        if (p.ch == ';') {
            NextChar(s);
        } else {
            ConsoleWrite(s.console, parser_message::kCharacter);
            ConsoleWriteChar(s.console, static_cast<char>(p.ch));
            ParseError(s, parser_message::kSemicolonExpected);
        }
    }
    CodeNode* list = p.list;
    p.list = nullptr;
    if (!p.error && s.k.arithmetic == Arithmetic::kComplex && !FoundReal(p, ordinal) &&
        m.eq[e].relation != kRelationGuess) {
        SplitComplexEquation(s, e, list);
    }
    m.eq[e].code = Finalize(s.pool, list);
}

}  // namespace

// The columns of the update file that hold fixed values become equations of their own after
// the document's: each holds its variable alone (the compile turns it into "variable - value"
// at the value the document gives), and every update row rewrites the value. A column name
// that is not a name of the language could never be referred to and gets no equation; a
// starting-value column needs none, since its value is simply assigned.
void AppendUpdateFileEquations(CoreState& s) {
    UpdateState& u = s.updates;
    u.fixingCount = 0;
    if (!u.mode) return;
    EquationModel& m = s.model;
    for (std::size_t c = 0; c < u.columns.size() && !s.parser.error; ++c) {
        const UpdateColumn& column = u.columns[c];
        if (column.initialValue || !IsName(column.name)) continue;
        if (m.count >= s.limits.maxEquations) {
            ParseError(s, parser_message::kTooManyEquations);
            return;
        }
        const int v = LookupName(s, column.name);
        if (v == 0) return;  // the name table refused it and said why
        const int e = ++m.count;
        m.eq[e] = Equation{};
        m.eq[e].code = Finalize(s.pool, VarNode(s.pool, v));
        m.eq[e].relation = kRelationEqual;
        m.eq[e].updateColumn = static_cast<int>(c) + 1;
        s.parser.textOrdinal[e] = 0;
        ++u.fixingCount;
    }
}

void ReportParseError(CoreState& s) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, s.message);
    ConsoleWrite(s.console, parser_message::kAtCharacter);
    ConsoleWrite(s.console, std::to_string(s.parser.errorPosition));
    ConsoleWriteLine(s.console);
    WarningBeep(s);
    s.flags.parseError = true;
}

bool ReadEquations(CoreState& s) {
    ParserState& p = s.parser;
    ResetPass(s);
    StartReading(s, p.source);
    int ordinal = 0;
    while (p.textRemains && !p.error) {
        if (s.model.count >= s.limits.maxEquations) {
            ParseError(s, parser_message::kTooManyEquations);
            break;
        }
        ReadEquation(s, ++ordinal);
    }
    if (!p.error) AppendUpdateFileEquations(s);
    if (p.error) {
        ReportParseError(s);
        return false;
    }
    return true;
}
