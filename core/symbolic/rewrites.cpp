#include "core/symbolic/rewrites.h"

#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/symbolic/list_file.h"
#include "core/symbolic/symbolic_messages.h"

namespace {

namespace msg = rewrite_message;

const std::string kHomotopyParameter = std::string("t") + '\xEB';

bool Refuse(CoreState& s, const char* message) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, message);
    StopWithError(s);
    return false;
}

// A refusal for the size limits says what capacity the rewritten set needs.
bool Refuse(CoreState& s, const char* message, LimitKind kind, long needed) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, message);
    ConsoleWriteLine(s.console);
    WriteCapacityHint(s, kind, needed);
    StopWithError(s);
    return false;
}

bool IsGreater(unsigned char relation) {
    return relation == '>' || relation == 0xF2;
}
bool IsLess(unsigned char relation) {
    return relation == '<' || relation == 0xF3;
}

// A = left, B = right, as the formulas read (WrapBinary takes the right operand first).
CodeNode* Bin(CoreState& s, unsigned char op, CodeNode* left, CodeNode* right) {
    return WrapBinary(s.pool, op, right, left);
}

// Parse-form copy of an equation's code without deleted nodes.
CodeNode* ParseCopy(CoreState& s, const CodeNode* code) {
    return Strip(s.pool, ToPrefix(CopyList(s.pool, code)));
}

void ReplaceModel(CoreState& s, const std::vector<CodeNode*>& codes,
                  const std::vector<unsigned char>& relations) {
    EquationModel& m = s.model;
    for (int e = 1; e <= m.count; ++e) FreeList(s.pool, m.eq[e].code);
    for (std::size_t e = 1; e < m.eq.size(); ++e) m.eq[e] = Equation{};
    m.count = static_cast<int>(codes.size());
    for (int e = 1; e <= m.count; ++e) {
        m.eq[e].code = Finalize(s.pool, codes[e - 1]);
        m.eq[e].relation = relations[e - 1];
    }
}

}  // namespace

int VariableNamed(CoreState& s, const std::string& name) {
    if (const int v = FindVariable(s.names, name); v != 0) return v;
    NameTable& t = s.names;
    const int v = ++t.variableCount;
    t.name[v] = name;
    t.lowBound[v] = s.settings.minGuess;
    t.highBound[v] = s.settings.maxGuess;
    t.value[v] = s.settings.minGuess + s.rng.unit() * (s.settings.maxGuess - s.settings.minGuess);
    return v;
}

std::string MultiplierName(int equation) {
    return '\xEC' + std::to_string(equation);
}
std::string SlackName(int equation) {
    return '\xE4' + std::to_string(equation);
}

bool LagrangianRewrite(CoreState& s) {
    EquationModel& m = s.model;
    int added = 0;
    for (int e = 1; e <= m.count; ++e) {
        const unsigned char r = m.eq[e].relation;
        if (r == kRelationNone || m.eq[e].retired) continue;
        added += FindVariable(s.names, MultiplierName(e)) == 0;
        if (IsGreater(r) || IsLess(r)) added += FindVariable(s.names, SlackName(e)) == 0;
    }
    if (s.names.variableCount + added > s.limits.maxVariables) {
        return Refuse(s, msg::kTooManyVariables, LimitKind::kVariables,
                      static_cast<long>(s.names.variableCount) + added);
    }

    CodeNode* sum = ZeroNode(s.pool);
    for (int e = 1; e <= m.count; ++e) {
        const unsigned char r = m.eq[e].relation;
        if (m.eq[e].retired) continue;
        CodeNode* c = ParseCopy(s, m.eq[e].code);
        if (r != kRelationNone) {
            const int multiplier = VariableNamed(s, MultiplierName(e));
            if (IsGreater(r) || IsLess(r)) {
                CodeNode* square = WrapUnary(s.pool, code::kSquare,
                                             VarNode(s.pool, VariableNamed(s, SlackName(e))));
                c = Bin(s, IsGreater(r) ? code::kSub : code::kAdd, square, c);
            }
            c = Bin(s, code::kMul, VarNode(s.pool, multiplier), c);
        }
        sum = Bin(s, code::kAdd, c, sum);
    }
    ReplaceModel(s, {sum}, {kRelationNone});
    return true;
}

bool LeastSquaresRewrite(CoreState& s) {
    ListTable rows;
    if (!ReadListFile(s, rows)) return false;
    EquationModel& m = s.model;
    // The sum holds a copy of every equation for every row; a long list would make one
    // equation larger than the compiler reads back.
    long long perRow = 0;
    for (int e = 1; e <= m.count; ++e) perRow += CountNodes(m.eq[e].code) + 2;
    if (perRow * rows.rows() > kMaxEquationNodes) return Refuse(s, msg::kEquationTooLong);
    CodeNode* sum = ZeroNode(s.pool);
    for (int r = 0; r < rows.rows(); ++r) {
        for (int e = 1; e <= m.count; ++e) {
            CodeNode* c = WrapUnary(s.pool, code::kSquare, SubstituteRow(s, m.eq[e].code, rows, r));
            sum = Bin(s, code::kAdd, c, sum);
        }
    }
    ReplaceModel(s, {sum}, {kRelationNone});
    s.settings.jacobianMode = JacobianMode::kSymbolic;
    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
    s.flags.jacobianRequested = true;
    return true;
}

bool ReplicateRows(CoreState& s) {
    ListTable rows;
    if (!ReadListFile(s, rows)) return false;
    EquationModel& m = s.model;
    if (static_cast<long>(rows.rows()) * m.count > s.limits.maxEquations) {
        return Refuse(s, msg::kTooManyEquations, LimitKind::kEquations,
                      static_cast<long>(rows.rows()) * m.count);
    }
    std::vector<CodeNode*> codes;
    std::vector<unsigned char> relations;
    for (int r = 0; r < rows.rows(); ++r) {
        for (int e = 1; e <= m.count; ++e) {
            codes.push_back(SubstituteRow(s, m.eq[e].code, rows, r));
            relations.push_back(m.eq[e].relation);
        }
    }
    ReplaceModel(s, codes, relations);
    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
    return true;
}

bool StartSystemHomotopyRewrite(CoreState& s) {
    EquationModel& m = s.model;
    NameTable& names = s.names;
    const int n = m.count;
    if (n < names.variableCount) return Refuse(s, msg::kNotEnoughEquations);
    if (n > names.variableCount) return Refuse(s, msg::kTooManyEquations);
    // The parameter is one of the variables the core adds itself; its table has room for it.
    if (n + 1 >= static_cast<int>(m.eq.size()) || n + 1 >= static_cast<int>(names.name.size())) {
        return Refuse(s, msg::kTooManyVariables);
    }
    const int t = n + 1;
    for (int i = 1; i <= n; ++i) {
        Equation& eq = m.eq[i];
        CodeNode* f = Strip(s.pool, ToPrefix(eq.code));
        CodeNode* start =
            Bin(s, code::kSub, Bin(s, code::kPow, VarNode(s.pool, i), TwoNode(s.pool)),
                OneNode(s.pool));
        CodeNode* blend =
            Bin(s, code::kMul, start, Bin(s, code::kSub, OneNode(s.pool), VarNode(s.pool, t)));
        eq.code =
            Finalize(s.pool, Bin(s, code::kAdd, Bin(s, code::kMul, f, VarNode(s.pool, t)), blend));
    }
    for (int v = 1; v <= n; ++v) names.value[v] = 1.0;
    names.variableCount = t;
    names.name[t] = kHomotopyParameter;
    names.value[t] = 0.0;
    names.lowBound[t] = names.highBound[t] = 0.0;
    m.count = t;
    m.eq[t] = Equation{};
    m.eq[t].code = Finalize(s.pool, Bin(s, code::kSub, VarNode(s.pool, t), OneNode(s.pool)));
    m.eq[t].relation = kRelationEqual;
    s.settings.method = SolveMethod::kHomotopy;
    s.settings.jacobianMode = JacobianMode::kSymbolic;
    s.flags.jacobianNeeded = true;
    return true;
}
