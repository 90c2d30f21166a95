#pragma once

#include <cstdint>

// Bounds on the work one run may do. A small input must never make the core take unbounded
// time or memory: each bound below is checked where the work happens, and a run that reaches
// one ends with a message naming it instead of running out of memory. docs/limits.md lists
// them for users.

// Largest equation document, user function file, result series or settings side file the core
// reads, in bytes. Larger files are refused before their text is used, as is anything under
// such a name that is not a plain file (a pipe, a device).
inline constexpr std::uintmax_t kMaxDocumentBytes = 16u * 1024u * 1024u;

// The Jacobian file is read back only by the run that has just written it, and the derivatives
// of a large model may fill many times kMaxDocumentBytes: it must be a plain file, of any size.
inline constexpr std::uintmax_t kMaxJacobianFileBytes = UINTMAX_MAX;

// Largest attachment (list) file. Its rows are read as numbers line by line, never kept as
// text, and a regression may fit millions of them; past this size the memory the numbers take
// would be the machine's, not the file's.
inline constexpr std::uintmax_t kMaxListFileBytes = 1024u * 1024u * 1024u;

// Deepest nesting of primaries (parentheses, unary minus, function arguments, IF conditions,
// function bodies) the compiler accepts; deeper text would exhaust the machine stack.
inline constexpr int kMaxPrimaryNesting = 200;

// Most code nodes one equation may compile to (a sum of about 5,000 terms). The copies made for
// the angle operator and for the arguments of user functions count, so text that doubles its
// code at every step is refused after a few steps.
inline constexpr int kMaxEquationNodes = 10000;

// The derivative of an equation with respect to one variable may hold at most this many nodes
// per node of the equation, plus the allowance below. Rules such as the product and power rules
// copy their operands, so a long chain of products or powers would otherwise grow with the
// square of its length.
inline constexpr int kDerivativeNodesPerCodeNode = 100;
inline constexpr int kDerivativeNodeAllowance = 20000;

// Most steps one parameter sweep may take: the product of the step counts of the swept
// variable and of the second parameter.
inline constexpr std::int64_t kMaxSweepSteps = 1000000;

// Steps of a sweep of `intervals` intervals, times those of a second parameter of
// `paramIntervals` intervals (0 when there is none); 64-bit, so it never overflows for the
// counts of a dialog.
constexpr std::int64_t SweepStepCount(std::int64_t intervals, std::int64_t paramIntervals = 0) {
    return (intervals + 1) * (paramIntervals + 1);
}

// Evaluations of the residual vector one least-squares fit may take, per parameter and one
// more: twice the limit MINPACK's lmder takes by default, which a hard start passes (NIST's
// MGH09 from its first starting values needs 521 for 4 parameters). A document's maximum
// iterations raise it when larger.
inline constexpr int kFitEvaluationsPerParameter = 200;

// Work between two polls of the keyboard (ESC, or the desktop's Cancel) while differentiating:
// derivative nodes built.
inline constexpr int kNodesBetweenKeyPolls = 4096;
