#include "core/solve/time_steps.h"

#include <cstdio>
#include <string>
#include <vector>

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

std::vector<double> ValuesOf(const CoreState& s, const std::vector<int>& variables) {
    std::vector<double> values;
    values.reserve(variables.size());
    for (const int variable : variables)
        values.push_back(variable != 0 ? s.names.value[variable] : 0.0);
    return values;
}

// One row by name: numbered on the console, the cells alone in the result file.
void WriteNamedRow(CoreState& s, const std::vector<double>& values, bool toFile, int number) {
    std::string row;
    for (const double value : values) row += FormatResultValue(value);
    ConsoleWriteInt(s.console, number);
    ConsoleWrite(s.console, row);
    ConsoleWriteLine(s.console);
    if (toFile) {
        WriteString(s.files.result, row);
        WriteLine(s.files.result);
    }
}

}  // namespace

void StoreStepResultNames(CoreState& s) {
    SolveState& v = s.solve;
    v.resultsByName = true;
    v.resultNames.assign(s.names.name.begin() + 1,
                         s.names.name.begin() + 1 + s.names.variableCount);
    v.resultVariables.assign(v.resultNames.size(), 0);
    v.resultEndVariables.assign(v.resultNames.size(), 0);
    v.stepEndValues.clear();
}

void ClearStepResultNames(CoreState& s) {
    SolveState& v = s.solve;
    v.resultsByName = false;
    v.resultNames.clear();
    v.resultVariables.clear();
    v.resultEndVariables.clear();
    v.stepEndValues.clear();
}

void WriteResultRowByName(CoreState& s, bool toFile, int stepIndex) {
    SolveState& v = s.solve;
    if (stepIndex == 0) {
        std::string header;
        for (std::size_t i = 0; i < v.resultNames.size(); ++i) {
            v.resultVariables[i] = FindVariable(s.names, v.resultNames[i] + "0");
            v.resultEndVariables[i] = FindVariable(s.names, v.resultNames[i] + "1");
            header += NameCell(v.resultNames[i]);
        }
        if (toFile) {
            WriteString(s.files.result, header);
            WriteLine(s.files.result);
        }
        ConsoleWrite(s.console, header);
        ConsoleWriteLine(s.console);
    }
    WriteNamedRow(s, ValuesOf(s, v.resultVariables), toFile, stepIndex + 1);
    // Kept now: a later step that fails leaves the level values wherever its iterations did.
    v.stepEndValues = ValuesOf(s, v.resultEndVariables);
}

void WriteStepEndRow(CoreState& s, int number) {
    SolveState& v = s.solve;
    if (!v.resultsByName || v.stepEndValues.empty()) return;
    WriteNamedRow(s, v.stepEndValues, true, number);
    v.stepEndValues.clear();
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
