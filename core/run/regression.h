#pragma once

struct CoreState;

// The two routes of least-squares estimation ("ALR"). Both end in the same verdict: the run
// counts as solved only when a convergence test of the fit holds at its result and the sum of
// squares did not rise from the starting values.
enum class FitRoute {
    // Levenberg-Marquardt on the residual of every row (FitLeastSquares); the default.
    kDirect,
    // The sum of squares over the rows rewritten into one equation, its gradient equations
    // written to base.SJC and solved like any equation set, the point found then judged as a
    // least-squares fit. Bounded by the size of one equation (a few hundred rows).
    kRewrite,
};

// "ALR" on the compiled document by the given route; whether the fit was found.
bool CommandRegression(CoreState& s, const char* command, FitRoute route);

// Whether the command is the estimation "ALR" (the list-file key 'R', and 'R' for a solve).
bool IsRegressionCommand(const char* command);
