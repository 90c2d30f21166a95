#pragma once

struct CoreState;

// What a time-stepping run of differential equations adds to the solve loop. The rewritten
// set (core/lang/differential.h) holds each variable x at the time levels of a step (x0 at
// its start, x1 at its end) and start-value equations x0 - c whose constant c is tied to the
// variable whose value the next step starts from.

// Results by name: rows show the document's own variables, each by the value of its level 0
// in the rewritten set. Store takes the names from the set as compiled from the document,
// before any rewrite; Clear ends it.
void StoreStepResultNames(CoreState& s);
void ClearStepResultNames(CoreState& s);
// The header (at step index 0) and one row by name, to the result file when toFile and, with
// the step number, to the console. Each row shows where its step starts; the row also keeps
// where the step ends, for the run's last row.
void WriteResultRowByName(CoreState& s, bool toFile, int stepIndex);
// The row of the state the last solved step ended in, numbered `number`: without it a run of
// n steps would never show the state its last step reached. Written once, after the last row
// of the steps; nothing when no step was solved or the run shows no results by name.
void WriteStepEndRow(CoreState& s, int number);

// Moves the set on to the next step: every constant tied to a variable takes that variable's
// current value (the sign of the tie does not negate it: the start value of a state variable
// and of the time are tied to the same kind of variable), and the variable of an equation that
// is exactly a variable minus such a constant takes the new value as well.
void AdvanceTimeStep(CoreState& s);
