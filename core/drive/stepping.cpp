#include "core/drive/stepping.h"

#include <chrono>
#include <cstdio>

#include "core/base/core_state.h"
#include "core/drive/drive_messages.h"
#include "core/drive/time_steps.h"
#include "core/drive/updates.h"
#include "core/eval/compile.h"
#include "core/solve/grouping.h"
#include "core/solve/homotopy.h"
#include "core/solve/if_search.h"
#include "core/solve/newton.h"
#include "core/solve/results.h"
#include "core/symbolic/jacobian_file.h"

namespace {

// Between steps any key ends a stepping run, as ESC does within one.
bool KeyPending(CoreState& s) {
    if (!s.flags.cancelled && s.shell->PollKey() >= 0) s.flags.cancelled = true;
    return s.flags.cancelled;
}

void SaveStepStart(CoreState& s) {
    for (int i = 1; i <= s.names.variableCount; ++i) s.solve.stepStartValues[i] = s.names.value[i];
}

void RestoreStepStart(CoreState& s) {
    for (int i = 1; i <= s.names.variableCount; ++i) s.names.value[i] = s.solve.stepStartValues[i];
}

// Moves the fixed values of a sweep on to the next step.
void AdvanceSweep(CoreState& s) {
    SolveState& v = s.solve;
    auto fix = [&](int equation, int variable, double value) {
        // The fixing equation is "variable - constant": its constant is the second node.
        CodeNode* c = s.model.eq[equation].code->next;
        c->value = value;
        s.names.value[variable] = value;
    };
    CodeNode* sweepConst = s.model.eq[v.sweepEquation].code->next;
    const int done = v.stepNumber - 1;  // steps completed so far
    if (v.sweepMode == StepMode::kTwoParameterSweep && done % v.sweepInnerSteps == 0) {
        fix(v.sweepEquation, v.sweepVariable, v.sweepStart);
        CodeNode* p = s.model.eq[v.paramEquation].code->next;
        fix(v.paramEquation, v.paramVariable, p->value + v.paramStep);
    } else {
        fix(v.sweepEquation, v.sweepVariable, sweepConst->value + v.sweepStep);
    }
}

}  // namespace

bool SolveSteps(CoreState& s, int count, StepMode mode) {
    SolveState& v = s.solve;
    s.flags.solveRan = true;
    SaveStepStart(s);
    if (s.settings.jacobianMode == JacobianMode::kSymbolic && !ReadJacobianFile(s)) {
        s.flags.solved = false;
        return false;
    }

    AnalyseStructure(s);  // starts from one group in equation order
    if (v.structureFailure) {
        FreeJacobianRows(s);
        s.flags.solved = false;
        return false;
    }
    for (int g = 0; g <= v.groupCount; ++g) v.groupFactored[g] = 0;

    ConsoleWrite(s.console, drive_message::kSolving);
    ConsoleWrite(s.console, std::string(73, '-') + "\n");
    const auto start = std::chrono::steady_clock::now();
    s.flags.stop = false;
    int stepIndex = 0;
    bool solved = true;
    while (solved && !s.flags.stop && !(s.flags.notFound && stepIndex > 0) && stepIndex < count) {
        if (stepIndex > 0 && KeyPending(s)) {  // cancelled: the rows so far stay
            solved = false;
            break;
        }
        if (stepIndex > 0 && s.updates.mode) {
            // A step without a row of its own would only repeat the one before.
            if (!ApplyUpdateRecord(s)) break;
            SaveStepStart(s);
        }
        bool converged;
        if (s.settings.method == SolveMethod::kHomotopy) {
            converged = HomotopyIterate(s, stepIndex);
        } else {
            NewtonIterate(s, stepIndex);
            converged = v.outcome == StopReason::kConverged;
        }
        converged = converged && !v.structureFailure;
        solved = converged;
        if (s.flags.cancelled) {  // the iterations were cut short: nothing more to report
            solved = false;
            break;
        }
        s.flags.notFound = false;
        if (solved && IfConditionsHold(s)) {
            if (stepIndex == 0) ReportOutcome(s);
            WriteResultRow(s, true, stepIndex);
            // The first row is handed to the system at once, so that a file that cannot take it
            // is known before a long run goes on; later failures are recorded as they happen.
            if (stepIndex == 0) Flush(s.files.result);
            if (!WorkFileWritten(s, s.files.result)) {
                solved = false;
                break;
            }
            ++stepIndex;
            ++v.stepNumber;
            if (!s.flags.stop && mode != StepMode::kTimeSteps) {
                AdvanceSweep(s);
            } else if (!s.flags.stop && v.stepNumber <= v.numberOfSteps) {
                AdvanceTimeStep(s);  // a single solve has no next step to prepare
            }
            SaveStepStart(s);
            s.shell->Progress(v.stepNumber - 1, v.numberOfSteps);
            continue;
        }
        if (v.lastCombination) {
            ReportOutcome(s);
            if (converged) ConsoleWrite(s.console, drive_message::kIfsNotOk);
        } else {
            RestoreStepStart(s);
        }
        solved = false;
        s.flags.notFound = true;
    }
    // A time-stepping run that goes no further ends with the state its last step reached.
    const bool runEnds =
        !solved || s.flags.stop || s.flags.cancelled || v.stepNumber > v.numberOfSteps;
    if (mode == StepMode::kTimeSteps && runEnds) WriteStepEndRow(s, v.stepNumber);
    const auto end = std::chrono::steady_clock::now();
    char line[64];
    std::snprintf(line, sizeof line, drive_message::kSolvedFor,
                  std::chrono::duration<double>(end - start).count());
    ConsoleWrite(s.console, line);
    FreeJacobianRows(s);
    s.flags.solved = solved;
    if (solved) RememberSolution(s);
    return solved;
}

bool SolveOnce(CoreState& s) {
    if (s.settings.jacobianMode == JacobianMode::kSymbolic && s.flags.jacobianNeeded) {
        BuildJacobianFile(s);
        if (s.flags.jacobianNeeded) {
            s.flags.solved = false;
            return false;
        }
    }
    s.solve.numberOfSteps = 1;
    return SolveSteps(s, 1, StepMode::kTimeSteps);
}

void RunSteps(CoreState& s, StepMode mode) {
    SolveState& v = s.solve;
    if (s.flags.recompile) {
        ParseEquationsComplex(s);
        if (s.flags.parseError) return;
    }
    if (!BeginResults(s)) return;  // the stepping begins: the last results give way
    v.stepNumber = 1;
    bool solved = true;
    while (solved) {
        if (v.stepNumber > v.numberOfSteps || KeyPending(s) || s.flags.stop ||
            UpdateFileExhausted(s)) {
            break;
        }
        if (s.settings.jacobianMode == JacobianMode::kSymbolic && s.flags.jacobianNeeded) {
            BuildJacobianFile(s);
            if (s.flags.jacobianNeeded) {
                s.flags.solved = false;
                break;
            }
        }
        v.lastCombination = true;
        if (s.settings.jacobianMode == JacobianMode::kSymbolic &&
            !s.parser.linkedConstantsAsTerms) {
            // A tied constant inside a product reaches the Jacobian terms: each step is
            // solved on its own, with terms made from the constants of that step.
            solved = SolveSteps(s, 1, mode);
            if (s.parser.linkedConstants) s.flags.jacobianNeeded = true;
        } else {
            solved = SolveSteps(s, v.numberOfSteps - v.stepNumber + 1, mode);
        }
    }
    // Steps solved one call at a time may end between calls (a key, a Jacobian that failed).
    if (mode == StepMode::kTimeSteps) WriteStepEndRow(s, v.stepNumber);
    s.flags.recompile = true;
}
