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
