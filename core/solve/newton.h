#pragma once

#include "core/base/modes.h"

struct CoreState;

inline constexpr int kMaxHalvings = 11;  // a step is halved at most 12 times

// One damped Newton step over every group after the last converged one.
void NewtonGroupStep(CoreState& s, int maxHalvings = kMaxHalvings);
// Iterates Newton steps until convergence, the iteration limit or a failure.
void NewtonIterate(CoreState& s, int stepIndex);
// Whether the last iteration converged: tolerance reached in every group.
bool Converged(const CoreState& s);
// The termination test after an iteration: why the iterations end, or kContinue, in which case
// the largest residual is remembered for the next test.
StopReason StopTest(CoreState& s);
// Resets the iteration state before a new sequence of iterations.
void ResetIteration(CoreState& s);
