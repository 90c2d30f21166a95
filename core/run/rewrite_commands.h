#pragma once

struct CoreState;

// 'D' + keys: differential and integral equations. The keys after 'D' pick the rewrite
// (core/lang/differential.h), whose result is written to base.SJC and solved from there. With
// 'I' as the third character ("DDIT", "DDIB") the steps are run one after the other, as many
// as the settings' step count, each starting where the last one ended, and the rows show the
// document's own variables by name; otherwise ("DDDT", "DDT") the written set is solved once.
bool CommandDifferential(CoreState& s, const char* command);

// 'E': symbolic elimination ("FE") of the marked equations and of the assignments. Done when
// every variable asked for was eliminated and the set written.
bool CommandEliminate(CoreState& s, const char* command);
