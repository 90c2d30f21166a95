#pragma once

struct CoreState;

// The commands that write equation text and may solve what they wrote.

// 'A' + keys: the advanced operation of the keys. When it needs the symbolic Jacobian the
// Jacobian file is built; then with 'R' as the third character the terms of the Jacobian are
// written ("SJ") and solved, otherwise the operation is run again. The estimation "ALR" is a
// fit of its own (regression.h). With the incremental Jacobian the operations that write its
// terms write nothing, and say so.
bool CommandAdvanced(CoreState& s, const char* command);

// 'O': unconstrained optimization of the document's objective: a nested run "ASJ" writes the
// gradient equations to base.SJC, which are then solved.
bool CommandOptimize(CoreState& s, const char* command);

// 'K' + keys ("KFK"): constrained optimization: the Lagrangian is written to base.KTK, compiled,
// differentiated, its stationarity conditions written to base.SJC and solved.
bool CommandConstrained(CoreState& s, const char* command);
