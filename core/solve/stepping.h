#pragma once

struct CoreState;

// Step modes of the solve loop: 0 time steps, 1 one-parameter sweep, 2 two-parameter sweep.
inline constexpr int kStepTime = 0, kStepSweep = 1, kStepSweep2 = 2;

// The solve loop: `count` steps from the run's current step, one result row per solved step.
// Returns whether the last step was solved.
bool SolveSteps(CoreState& s, int count, int mode);
// One solve of the current equations (the Jacobian file is built first when needed).
bool SolveOnce(CoreState& s);
// The stepping driver of sweeps and time-stepping runs.
void RunSteps(CoreState& s, int mode);
