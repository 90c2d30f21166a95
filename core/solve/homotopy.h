#pragma once

struct CoreState;

inline constexpr int kMaxHomotopySteps = 50;
inline constexpr double kSmallestHomotopyStep = 2e-5;

// Rewrites every equation f(x) = 0 into f(x) - (1 - t) f(x0) = 0 with a new last variable t
// and a last equation t - c = 0.
void HomotopyTransform(CoreState& s);
// Follows t from 0 to 1 and finishes with Newton at t = 1; returns whether it converged.
bool HomotopyIterate(CoreState& s, int stepIndex);
// Removes the parameter's equation and variable again.
void RemoveHomotopyParameter(CoreState& s);
