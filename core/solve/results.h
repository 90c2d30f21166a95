#pragma once

#include <string>

struct CoreState;

inline constexpr int kResultCellWidth = 15;

// One cell of a result row: fixed with 7 decimals for ordinary magnitudes and zero, exponent
// form with 6 decimals for |v| >= 1e5 and for tiny non-zero values.
std::string FormatResultValue(double v);

// Header (at step index 0) and one row of all variables in the result file.
void WriteResultRow(CoreState& s, bool toFile, int stepIndex);
// "PARAMETER:" line of a two-parameter sweep.
void WriteSweepHeader(CoreState& s, int variable);
// The message for the reason the last iterations ended.
void ReportOutcome(CoreState& s);
// The progress line after an iteration of the first step of a solve loop.
void ShowIteration(CoreState& s, int stepIndex);
