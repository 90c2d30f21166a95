#include "core/solve/results.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/base/result_table.h"
#include "core/solve/solve_messages.h"

void NameResultFile(CoreState& s, const std::string& name) {
    Close(s.files.result);
    Assign(s.files.result, name);
    // A write that failed in an earlier run is that run's; the clean-up of a run that never
    // opens the file must not take it for its own.
    s.files.result.writeError = 0;
    s.files.result.writeErrorReported = false;
    s.flags.resultPending = true;
}

bool BeginResults(CoreState& s) {
    if (!s.flags.resultPending) return true;
    s.flags.resultPending = false;
    return RewriteWorkFile(s, s.files.result);
}

// One line of the table: to the result file and, when echoed, to the console as well.
static void PutTableLine(CoreState& s, const std::string& line, bool toFile, bool echo) {
    if (toFile) {
        WriteString(s.files.result, line);
        WriteLine(s.files.result);
    }
    if (echo) {
        ConsoleWrite(s.console, line);
        ConsoleWriteLine(s.console);
    }
}

void WriteResultRow(CoreState& s, bool toFile, int stepIndex) {
    // Every command that solves has begun its results before its first row; this only makes
    // sure that no row goes to a file still holding an earlier run's.
    if (toFile && !BeginResults(s)) return;
    if (s.solve.resultsByName) {
        WriteResultRowByName(s, toFile, stepIndex);
        return;
    }
    const bool echo = s.shell->ShowResultsInOutput() && stepIndex == 0;
    const int n = s.names.variableCount;
    if (stepIndex == 0) {
        std::string header;
        for (int i = 1; i <= n; ++i) header += ResultNameCell(s.names.name[i]);
        PutTableLine(s, header, toFile, echo);
    }
    std::string row;
    row.reserve(static_cast<std::size_t>(n) * kResultCellWidth);
    for (int i = 1; i <= n; ++i) row += FormatResultValue(s.names.value[i]);
    PutTableLine(s, row, toFile, echo);
}

void WriteSweepHeader(CoreState& s, int variable) {
    if (!BeginResults(s)) return;
    // The position in the list of variables is the column: the rows hold every variable.
    WriteString(s.files.result, ResultParameterLine(s.names.name[variable], variable - 1));
    WriteLine(s.files.result);
}

void ReportOutcome(CoreState& s) {
    const SolveState& v = s.solve;
    switch (v.outcome) {
        case StopReason::kStopped:
            ConsoleWrite(s.console, solve_message::kErrorInSolution);
            ConsoleWriteInt(s.console, v.stepNumber);
            ConsoleWriteLine(s.console);
            WarningBeep(s);
            return;
        case StopReason::kConverged:
            ConsoleWriteLine(s.console);
            ConsoleWrite(s.console, v.optimalityJudgedAfter ? solve_message::kConditionsSolved
                                                            : solve_message::kSolutionFound);
            ConsoleWriteLine(s.console);
            return;
        case StopReason::kIterationLimit:
            ConsoleWrite(s.console, solve_message::kIterationLimit);
            ConsoleWriteInt(s.console, v.stepNumber);
            WarningBeep(s);
            return;
        case StopReason::kStepNotReduced:
        case StopReason::kResidualGrew: {
            const int failed = std::min(v.lastConvergedGroup + 1, v.groupCount);
            ConsoleWrite(s.console, solve_message::kGroupFailedEquation);
            ConsoleWriteInt(s.console, v.groupLast[failed]);
            ConsoleWrite(s.console, solve_message::kGroupFailed);
            ConsoleWriteLine(s.console);
            return;
        }
        case StopReason::kHomotopyFailed:
            ConsoleWriteLine(s.console);  // the homotopy has said why
            return;
        case StopReason::kContinue:  // no iterations ended: nothing to report
            return;
    }
}

void ShowIteration(CoreState& s, int stepIndex) {
    if (stepIndex != 0) return;
    const SolveState& v = s.solve;
    ConsoleWrite(s.console, solve_message::kIterationEquation);
    ConsoleWriteInt(s.console, v.largestResidualEquation);
    ConsoleWrite(s.console, solve_message::kIterationTolerance);
    ConsoleWriteInt(s.console, v.toleranceExponentReached);
    ConsoleWrite(s.console, solve_message::kIterationCount);
    ConsoleWriteInt(s.console, v.iteration);
    if (s.shell->ShowIterationResults()) {
        for (int i = 1; i <= s.names.variableCount; ++i) {
            char value[400];
            std::snprintf(value, sizeof value, "%.12lf", s.names.value[i]);
            ConsoleWrite(s.console, " " + s.names.name[i] + "=" + value);
        }
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, std::string(51, '-'));
    }
    ConsoleWriteLine(s.console);
}

namespace {

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
            header += ResultNameCell(v.resultNames[i]);
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
