#pragma once

#include <string>

struct CoreState;

// The result file of a run. The run setup names it without touching it; the file is emptied
// (created) when the command begins to produce results: a solve or a stepping run about to
// start, a sweep whose answers were accepted, command F. A command that is refused or
// cancelled before that, or one that writes no results (a check, a rewrite without a solve,
// the write-back of an update), leaves the results of earlier runs as they were, byte for
// byte.
void NameResultFile(CoreState& s, const std::string& name);
// Empties the named result file and opens it for the rows, once per run; false, after the
// console said why, when it cannot be written (the command then stops).
bool BeginResults(CoreState& s);

// Header (at step index 0) and one row of all variables in the result file.
void WriteResultRow(CoreState& s, bool toFile, int stepIndex);
// The parameter line of a two-parameter sweep.
void WriteSweepHeader(CoreState& s, int variable);
// The message for the reason the last iterations ended.
void ReportOutcome(CoreState& s);
// The progress line after an iteration of the first step of a solve loop.
void ShowIteration(CoreState& s, int stepIndex);

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
