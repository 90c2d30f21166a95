#pragma once

#include "core/numeric/levenberg_marquardt.h"

struct CoreState;
struct FitStatistics;
class FitModel;

// Least-squares estimation ('ALR') of the document's compiled model from the rows of the
// attached list file, by the method made for it: the residual of every row is minimized with
// Levenberg-Marquardt from the document's starting values (levenberg_marquardt.h), or, for a
// model linear in its parameters, by one QR factorization. No expression is built over the
// rows, so their number is bounded by memory alone.
//
// The console shows the list file, the size of the problem and the method, one line per
// iteration, then why the fit ended. "Solution Found!" and a solved run only when a
// convergence test held and the sum of squares did not rise from the start; otherwise a
// message names what failed. A solved fit writes the estimates to the result file, reports
// its statistics (fit_statistics.h) and writes them to base name + ".FIT" (fit_table.h); any
// older .FIT is removed first. Afterwards the run's variables are the parameters alone, at
// the best values found, as the result strings show them.
bool FitLeastSquares(CoreState& s);

// The tolerances and evaluation limit of a fit. ftol, xtol and gtol are 1e-10, or 10^exponent
// when the document's tolerance exponent is below -10, but never below 1e-15, past the
// precision of double arithmetic; the limit is kFitEvaluationsPerParameter (parameters + 1)
// evaluations of the residuals, or the document's maximum iterations when that is larger.
LmSettings FitSettings(const CoreState& s, int parameters);

// Removes base name + ".FIT", so that a file left by an earlier fit never stands for this one.
void RemoveFitFile(CoreState& s);

// The statistics of a fit that the tests passed, on the console and in the .FIT file.
void PublishFitStatistics(CoreState& s, const FitStatistics& statistics);

// The message for an ended fit (why it converged, or what failed) and whether it counts as
// solved: converged, and the sum of squares not above its start. A solved fit of the direct
// route ends in "Solution Found!"; on the rewrite route the solve of the gradient equations
// has said that already, and a failure says that its solution is no least-squares fit.
bool ReportFitEnd(CoreState& s, const LmResult& result, const LmSettings& settings,
                  const FitModel& model, bool rewrite = false);
