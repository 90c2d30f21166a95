#include "core/drive/sweep.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/drive/drive_messages.h"
#include "core/drive/stepping.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/solve/results.h"

namespace {

// Appends the equation "variable - value = 0" that holds a swept variable at its value.
int AppendFixingEquation(CoreState& s, int variable, double value) {
    const int e = s.model.count + 1;
    if (e >= static_cast<int>(s.model.eq.size())) return 0;
    CodeNode* code =
        WrapBinary(s.pool, code::kSub, ConstNode(s.pool, value), VarNode(s.pool, variable));
    s.model.eq[e] = Equation{};
    s.model.eq[e].code = Finalize(s.pool, code);
    s.model.eq[e].relation = kRelationEqual;
    s.model.count = e;
    s.names.value[variable] = value;
    return e;
}

// Why a dialog's answer cannot be swept, or empty when it can.
std::string SweepRefusal(const SweepChoice& c, int variables) {
    const bool second = c.secondParameter && !c.writeFft;
    if (c.variable < 1 || c.variable > variables ||
        (second && (c.parameter < 1 || c.parameter > variables))) {
        return drive_message::kSweepNoVariable;
    }
    if (second && c.parameter == c.variable) return drive_message::kSweepSameVariable;
    if (c.intervals < 1 || (second && c.paramIntervals < 1)) return drive_message::kSweepNoSteps;
    // A NaN start would be held by its fixing equation and counted as solved; an infinite
    // range has no steps.
    const auto finite = [](double from, double to) {
        return std::isfinite(from) && std::isfinite(to) && std::isfinite(to - from);
    };
    if (!finite(c.from, c.to) || (second && !finite(c.paramFrom, c.paramTo))) {
        return drive_message::kSweepNoNumber;
    }
    if (SweepStepCount(c.intervals, second ? c.paramIntervals : 0) > kMaxSweepSteps) {
        return drive_message::kSweepTooManySteps + std::to_string(kMaxSweepSteps);
    }
    return {};
}

}  // namespace

void ParameterSweep(CoreState& s) {
    SolveState& v = s.solve;
    const int n = s.names.variableCount;
    if (n < 2) {
        const std::string text = drive_message::kNotEnoughVariables;
        if (!s.shell->MessageBox(text)) {
            ConsoleWrite(s.console, text);
            ConsoleWriteLine(s.console);
        }
        return;
    }
    std::vector<std::string> names(s.names.name.begin() + 1, s.names.name.begin() + n + 1);
    SweepChoice choice;
    if (!s.shell->GraphGenerationDialog(names, choice)) return;
    if (const std::string refusal = SweepRefusal(choice, n); !refusal.empty()) {
        // An answer the sweep cannot take is said, never taken for a cancel.
        ConsoleWrite(s.console, refusal);
        ConsoleWriteLine(s.console);
        WarningBeep(s);
        return;
    }

    // Only an accepted answer begins the sweep: a cancelled or refused one has left the
    // results of the last run as they were. base.PRN is emptied even when the table goes to
    // base.FFT, so that no older table stands beside the new one.
    if (!BeginResults(s)) return;
    v.numberOfSteps = 1;
    if (choice.writeFft) {
        Close(s.files.result);
        Assign(s.files.result, s.files.baseName + extension::kFft);
        if (!RewriteWorkFile(s, s.files.result)) return;
    }
    int outerSteps = 1;
    v.sweepMode = StepMode::kOneParameterSweep;
    if (choice.secondParameter && !choice.writeFft) {
        v.sweepMode = StepMode::kTwoParameterSweep;
        v.paramVariable = choice.parameter;
        v.paramEquation = AppendFixingEquation(s, choice.parameter, choice.paramFrom);
        v.paramStep = (choice.paramTo - choice.paramFrom) / choice.paramIntervals;
        outerSteps = choice.paramIntervals + 1;
        WriteSweepHeader(s, choice.parameter);
    }
    v.sweepVariable = choice.variable;
    v.sweepStart = choice.from;
    v.sweepEquation = AppendFixingEquation(s, choice.variable, choice.from);
    if (v.sweepEquation == 0 ||
        (v.sweepMode == StepMode::kTwoParameterSweep && v.paramEquation == 0))
        return;
    v.sweepStep = (choice.to - choice.from) / choice.intervals;
    s.settings.deltaT = v.sweepStep;
    v.sweepInnerSteps = choice.intervals + 1;
    v.numberOfSteps = v.sweepInnerSteps * outerSteps;
    s.flags.recompile = false;  // the fixing equations must not be compiled away
    RunSteps(s, v.sweepMode);
    v.sweepMode = StepMode::kTimeSteps;
}
