#pragma once

// The modes of a run. Every switch over one of them lists each value and has no default, so the
// compiler names a switch that misses a value added later.

// Iteration method; the values are the ones documents and side files store.
enum class SolveMethod : int {
    kNewton = 0,     // ordinary Newton
    kRobust = 1,     // controlled step variation of Newton
    kDishonest = 2,  // Newton with fewer Jacobian evaluations
    kHomotopy = 3,   // continuation from the starting values
};

// How the Jacobian terms are obtained; the values are the ones side files store.
enum class JacobianMode : int {
    kSymbolic = 0,     // exact terms from the symbolic Jacobian file
    kIncremental = 1,  // forward differences
};

// How the minimization commands (O, K) and the regression (ALR) find their optimum.
enum class OptimizationRoute : int {
    kDirect = 0,   // minimization methods on the objective, with the exact Hessian
    kRewrite = 1,  // Newton's method on the rewritten stationarity equations
};

// Arithmetic of the evaluator for a run.
enum class Arithmetic {
    kReal,
    kComplex,  // complex values; equations are split into real and imaginary residuals
};

// How the branches of IF constructs are chosen.
enum class IfMode {
    kRandom,  // too many combinations to try: branches drawn at random
    kMasks,   // every combination tried in turn
    kNone,    // no IF to choose, or the search is off
};

// How a stepping run moves on after a solved step.
enum class StepMode {
    kTimeSteps,          // no fixed value changes (time steps, and no sweep running)
    kOneParameterSweep,  // the swept variable advances by the sweep step
    kTwoParameterSweep,  // the inner variable advances; the parameter at every inner round
};

// Why a sequence of Newton iterations (or a homotopy path) ended.
enum class StopReason {
    kContinue,        // not ended: iterate again
    kStopped,         // an error stopped the run (evaluation, singular or dependent equations)
    kConverged,       // every group's residual below the tolerance
    kIterationLimit,  // the limit came with the residual still at or above the tolerance
    kStepNotReduced,  // the halvings of a step ran out without reducing its residual
    kResidualGrew,    // the largest residual grew from one iteration to the next
    kHomotopyFailed,  // the homotopy path could not be followed to its end
};
