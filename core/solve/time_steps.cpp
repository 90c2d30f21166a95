#include "core/solve/time_steps.h"

#include <cstdio>
#include <string>

#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/solve/results.h"

namespace {

int TiedVariable(const CoreState& s, const CodeNode* n) {
    if (n->kind != kKindConst || n->var == 0) return 0;
    const int v = n->var < 0 ? -n->var : n->var;
    return v <= s.names.variableCount ? v : 0;
}

// The variable of an equation whose code is exactly "variable - tied constant", else 0.
int FixedVariable(const CoreState& s, const CodeNode* code) {
    const CodeNode* x = SkipDeleted(code);
    const CodeNode* c = x ? SkipDeleted(x->next) : nullptr;
    const CodeNode* op = c ? SkipDeleted(c->next) : nullptr;
    if (x == nullptr || x->kind != kKindVar || c == nullptr || TiedVariable(s, c) == 0 ||
        op == nullptr || op->kind != kKindBinary || op->sub != code::kSub ||
        SkipDeleted(op->next) != nullptr) {
        return 0;
    }
    return x->var;
}

std::string NameCell(const std::string& name) {
    char cell[64];
    std::snprintf(cell, sizeof cell, "%15s", name.c_str());
    return cell;
}

}  // namespace

void StoreStepResultNames(CoreState& s) {
    SolveState& v = s.solve;
    v.resultsByName = true;
    v.resultNames.assign(s.names.name.begin() + 1,
                         s.names.name.begin() + 1 + s.names.variableCount);
    v.resultVariables.assign(v.resultNames.size(), 0);
}

void ClearStepResultNames(CoreState& s) {
    SolveState& v = s.solve;
    v.resultsByName = false;
    v.resultNames.clear();
    v.resultVariables.clear();
}

void WriteResultRowByName(CoreState& s, bool toFile, int stepIndex) {
    SolveState& v = s.solve;
    std::string header;
    if (stepIndex == 0) {
        for (std::size_t i = 0; i < v.resultNames.size(); ++i) {
            v.resultVariables[i] = FindVariable(s.names, v.resultNames[i] + "0");
            header += NameCell(v.resultNames[i]);
        }
        if (toFile) {
            WriteString(s.files.result, header);
            WriteLine(s.files.result);
        }
        ConsoleWrite(s.console, header);
        ConsoleWriteLine(s.console);
    }
    std::string row;
    for (const int variable : v.resultVariables) {
        row += FormatResultValue(variable != 0 ? s.names.value[variable] : 0.0);
    }
    ConsoleWriteInt(s.console, stepIndex + 1);
    ConsoleWrite(s.console, row);
    ConsoleWriteLine(s.console);
    if (toFile) {
        WriteString(s.files.result, row);
        WriteLine(s.files.result);
    }
}

void AdvanceTimeStep(CoreState& s) {
    for (int e = 1; e <= s.model.count; ++e) {
        CodeNode* code = s.model.eq[e].code;
        bool tied = false;
        for (CodeNode* n = code; n != nullptr; n = n->next) {
            if (const int v = TiedVariable(s, n); v != 0) {
                n->value = s.names.value[v];
                tied = true;
            }
        }
        if (!tied) continue;
        if (const int x = FixedVariable(s, code); x != 0) {
            s.names.value[x] = SkipDeleted(SkipDeleted(code)->next)->value;
        }
    }
}
