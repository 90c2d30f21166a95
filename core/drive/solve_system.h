#pragma once

struct CoreState;

// The solve command: square check, IF combinations one after the other, homotopy when chosen
// or as the automatic fall-back. The result is the solved flag.
bool SolveSystem(CoreState& s);
