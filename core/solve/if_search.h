#pragma once

struct CoreState;

inline constexpr int kMaxIfCombinations = 32;

// Number of IF constructs in the equations as compiled.
int CountIfs(const CoreState& s);
// Builds the working equations of one combination of IF branches from the saved set.
void SelectIfBranches(CoreState& s, int mask);
// Whether the conditions of the chosen branches hold at the current values.
bool IfConditionsHold(CoreState& s);
// Frees the condition list.
void ClearIfConditions(CoreState& s);
