#include "core/solve/newton.h"

#include <cmath>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/solve/grouping.h"
#include "core/solve/jacobian_eval.h"
#include "core/solve/residuals.h"
#include "core/solve/results.h"
#include "core/solve/solve_messages.h"
#include "core/solve/trust_region.h"

// Damped Newton iteration over sequential groups.
//
// Each iteration steps the groups in solution order, starting after the leading groups that
// have converged. For a group g with residuals F(x) and Jacobian J the full step solves
// J dx = F and sets x := x - dx. If the residual norm ||F||inf grew (or an evaluation failed)
// the step is halved, x := (x + x_before) / 2, up to 12 times, unless the residual is already
// below tolerance. A group whose halvings ran out stops the iteration from stepping later
// groups. The iteration stops when every group has E(||F||) below the tolerance exponent,
// at the iteration limit, on a stop, when the halvings ran out, or when the largest residual
// grew from one iteration to the next; StopTest names the rule that ended them.
//
// Robust Newton keeps this iteration and replaces the step of each group by a trust-region
// step (trust_region.cpp): its failure to find an acceptable step plays the part of the
// exhausted halvings, and since it lowers each group's Euclidean norm, a largest residual that
// grows does not end its iteration.

namespace {

// The damped Newton step of one group: J dx = F, x := x - dx, then halving toward the previous
// values while the largest residual grew or an evaluation failed. Returns the largest residual
// after the step; halvings counts the halvings.
double DampedGroupStep(CoreState& s, int g, int maxHalvings, int& halvings) {
    SolveState& v = s.solve;
    std::vector<double>& x = s.names.value;
    const int first = grouping::FirstPosition(v, g), last = v.groupLast[g];
    if (v.jacobianUpdate || !v.groupFactored[g]) {
        EvaluateJacobian(s, g, false);
        FactorizeGroup(s, g);
        v.groupFactored[g] = 1;
    }
    const double before = EvaluateGroupResiduals(s, g);
    v.groupNorm[g] = before;

    for (int pos = first; pos <= last; ++pos) v.delta[pos] = v.residual[v.pivotEquation[pos]];
    SubstituteGroup(s, g, v.delta);
    for (int pos = first; pos <= last; ++pos) {
        const int var = v.pivotVariable[pos];
        v.previousValues[var] = x[var];
        x[var] -= v.delta[pos];
    }

    double after = EvaluateGroupResiduals(s, g);
    halvings = 0;
    while ((after > before || v.evaluationError) && halvings <= maxHalvings &&
           ResidualExponent(s, after) >= s.settings.toleranceExponent) {
        ++halvings;
        for (int pos = first; pos <= last; ++pos) {
            const int var = v.pivotVariable[pos];
            x[var] = (x[var] + v.previousValues[var]) * 0.5;
        }
        after = EvaluateGroupResiduals(s, g);
    }
    return after;
}

}  // namespace

void NewtonGroupStep(CoreState& s, int maxHalvings) {
    SolveState& v = s.solve;
    const int tol = s.settings.toleranceExponent;
    const bool trustRegion = UsesTrustRegion(s);
    v.largestResidual = 0.0;
    int iterationWorst = 0;
    bool keepStepping = true;
    bool allConverged = true;
    bool stepFailed = false;  // the last group stepped found no acceptable step

    // The keyboard is polled once per group, so a cancel reaches even a long step of a large
    // set quickly.
    for (int g = v.lastConvergedGroup + 1; g <= v.groupCount && keepStepping && !CancelRequested(s);
         ++g) {
        double after = 0.0;
        if (trustRegion) {
            after = TrustRegionGroupStep(s, g, v.groupNorm[g], v.halvings, stepFailed);
            if (stepFailed) keepStepping = false;
        } else {
            after = DampedGroupStep(s, g, maxHalvings, v.halvings);
            stepFailed = v.halvings >= kMaxHalvings;
            if (v.halvings > maxHalvings) keepStepping = false;
        }
        if (ResidualExponent(s, after) >= tol) allConverged = false;
        if (allConverged) v.lastConvergedGroup = g;

        v.groupNorm[g] = after;
        if (after >= v.largestResidual) {
            v.largestResidual = after;
            iterationWorst = v.largestResidualEquation;
        }
    }
    v.jacobianUpdate = false;

    if (v.firstErrorEquation != 0) {
        ConsoleWrite(s.console, solve_message::kErrorInEquation);
        ConsoleWriteInt(s.console, v.firstErrorEquation);
        if (s.k.arithmetic == Arithmetic::kReal)
            ConsoleWrite(s.console, solve_message::kTryComplex);
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, s.message);
        StopWithError(s);
    }
    if (iterationWorst != 0) v.largestResidualEquation = iterationWorst;
    v.toleranceExponentReached = ResidualExponent(s, v.largestResidual);
    if (stepFailed) s.flags.notFound = true;
}

bool Converged(const CoreState& s) {
    const SolveState& v = s.solve;
    // A largest residual that is NaN is no measure of anything, however the exponent reads.
    return v.toleranceExponentReached < s.settings.toleranceExponent &&
           v.lastConvergedGroup >= v.groupCount && !std::isnan(v.largestResidual);
}

void ResetIteration(CoreState& s) {
    SolveState& v = s.solve;
    s.flags.notFound = false;
    v.previousLargestResidual = s.k.largest;
    v.toleranceExponentReached = kFailedResidualExponent;
    v.largestResidualEquation = 0;
    v.iteration = 0;
    v.lastConvergedGroup = 0;
    v.jacobianUpdate = true;
    v.outcome = StopReason::kContinue;
    ResetTrustRegion(s);
}

// The Jacobian is evaluated at every iteration for Newton and Robust Newton. Dishonest Newton
// keeps the last factors while its steps go well: it refreshes them at the first iteration,
// after a step that needed two or more halvings and at every fifth iteration.
static bool JacobianDue(const CoreState& s) {
    const SolveState& v = s.solve;
    if (s.settings.method != SolveMethod::kDishonest) return true;
    return v.iteration == 1 || v.halvings >= 2 || v.iteration % 5 == 0;
}

void NewtonIterate(CoreState& s, int stepIndex) {
    SolveState& v = s.solve;
    ResetIteration(s);
    for (;;) {
        // A cancel ends the iterations before another one starts; the run keeps what it has.
        if (CancelRequested(s)) {
            v.outcome = StopReason::kStopped;
            return;
        }
        ++v.iteration;
        for (int i = 1; i <= s.names.variableCount; ++i) v.previousValues[i] = s.names.value[i];
        v.jacobianUpdate = JacobianDue(s);
        if (!s.flags.stop) NewtonGroupStep(s);
        ShowIteration(s, stepIndex);
        v.outcome = StopTest(s);
        if (v.outcome != StopReason::kContinue) return;
    }
}

StopReason StopTest(CoreState& s) {
    SolveState& v = s.solve;
    const int tolerance = s.settings.toleranceExponent;
    const bool atLimit = v.iteration >= s.settings.maxIterations;
    // An error stopped the run: an evaluation failed, or the equations are singular or
    // dependent (the structure analysis raises the stop flag with them).
    if (s.flags.stop) return StopReason::kStopped;
    // Every group's residual is below the tolerance.
    if (Converged(s)) return StopReason::kConverged;
    // The iteration limit, with the largest residual still at or above the tolerance.
    if (atLimit && v.toleranceExponentReached >= tolerance) return StopReason::kIterationLimit;
    // The halvings of a step ran out before its group's residual fell.
    if (s.flags.notFound) return StopReason::kStepNotReduced;
    // The largest residual grew from the last iteration; staying equal is allowed. Trust-region
    // steps only ever lower a group's Euclidean norm; the largest residual may rise on the way,
    // which is no sign of divergence.
    if (!UsesTrustRegion(s) && v.largestResidual > v.previousLargestResidual) {
        return StopReason::kResidualGrew;
    }
    // The iteration limit, the other rules not applying.
    if (atLimit) return StopReason::kIterationLimit;
    v.previousLargestResidual = v.largestResidual;
    return StopReason::kContinue;
}
