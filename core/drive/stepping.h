#pragma once

#include "core/base/modes.h"

struct CoreState;

// The solve loop: `count` steps from the run's current step, one result row per solved step.
// Returns whether the last step was solved.
bool SolveSteps(CoreState& s, int count, StepMode mode);
// One solve of the current equations (the Jacobian file is built first when needed).
bool SolveOnce(CoreState& s);
// The stepping driver of sweeps and time-stepping runs.
void RunSteps(CoreState& s, StepMode mode);
