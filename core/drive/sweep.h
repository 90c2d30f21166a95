#pragma once

struct CoreState;

// The parameter sweep of command G.
void ParameterSweep(CoreState& s);
