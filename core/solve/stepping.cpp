#include "core/solve/stepping.h"

#include <chrono>
#include <cstdio>

#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/solve/grouping.h"
#include "core/solve/homotopy.h"
#include "core/solve/if_search.h"
#include "core/solve/newton.h"
#include "core/solve/results.h"
#include "core/solve/solve_messages.h"
#include "core/solve/time_steps.h"
#include "core/symbolic/jacobian_file.h"

namespace {

bool KeyPending(CoreState& s) {
    return s.shell->PollKey() >= 0;
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

    ConsoleWrite(s.console, solve_message::kSolving);
    ConsoleWrite(s.console, std::string(73, '-') + "\n");
    const auto start = std::chrono::steady_clock::now();
    s.flags.stop = false;
    int stepIndex = 0;
    bool solved = true;
    while (solved && !s.flags.stop && !(s.flags.notFound && stepIndex > 0) && stepIndex < count) {
        if (stepIndex > 0 && KeyPending(s)) break;  // cancelled: the rows so far stay
        bool converged;
        if (s.settings.method == SolveMethod::kHomotopy) {
            converged = HomotopyIterate(s, stepIndex);
        } else {
            NewtonIterate(s, stepIndex);
            converged = v.outcome == StopReason::kConverged;
        }
        converged = converged && !v.structureFailure;
        solved = converged;
        s.flags.notFound = false;
        if (solved && IfConditionsHold(s)) {
            if (stepIndex == 0) ReportOutcome(s);
            WriteResultRow(s, true, stepIndex);
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
            if (converged) ConsoleWrite(s.console, solve_message::kIfsNotOk);
        } else {
            RestoreStepStart(s);
        }
        solved = false;
        s.flags.notFound = true;
    }
    const auto end = std::chrono::steady_clock::now();
    char line[64];
    std::snprintf(line, sizeof line, solve_message::kSolvedFor,
                  std::chrono::duration<double>(end - start).count());
    ConsoleWrite(s.console, line);
    FreeJacobianRows(s);
    s.flags.solved = solved;
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
    v.stepNumber = 1;
    bool solved = true;
    while (solved) {
        if (v.stepNumber > v.numberOfSteps || KeyPending(s) || s.flags.stop) break;
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
    s.flags.recompile = true;
}
