#include "core/base/solver_options.h"

#include <cmath>
#include <cstdio>

namespace {

// A number as an int; out of range it stops at the nearest end, and NaN gives 0.
int ToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

}  // namespace

bool InDomain(const OptionDescription& d, double value) {
    const bool aboveLowest =
        d.domain.lowestExcluded ? value > d.domain.lowest : value >= d.domain.lowest;
    const bool belowHighest =
        d.domain.highestExcluded ? value < d.domain.highest : value <= d.domain.highest;
    return aboveLowest && belowHighest;  // false for NaN
}

namespace {

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

}  // namespace

std::string DomainText(const OptionDescription& d) {
    const OptionDomain& r = d.domain;
    const bool low = std::isfinite(r.lowest);
    // The largest int stands for no upper end of an integer option.
    const bool high = std::isfinite(r.highest) && !(d.kind == OptionKind::kInteger &&
                                                    r.highest >= std::numeric_limits<int>::max());
    if (!r.lowestExcluded && !r.highestExcluded && low && high) {
        return "from " + Number(r.lowest) + " to " + Number(r.highest);
    }
    std::string text;
    if (low) text = (r.lowestExcluded ? "above " : "at least ") + Number(r.lowest);
    if (high) {
        if (!text.empty()) text += " and ";
        text += (r.highestExcluded ? "below " : "at most ") + Number(r.highest);
    }
    return text.empty() ? std::string("any number") : text;
}

double OptionValue(const SolverOptions& o, SolverOption option) {
    switch (option) {
        case SolverOption::kMethod: return static_cast<int>(o.method);
        case SolverOption::kJacobianMode: return static_cast<int>(o.jacobianMode);
        case SolverOption::kMaxIterations: return o.maxIterations;
        case SolverOption::kToleranceExponent: return o.toleranceExponent;
        case SolverOption::kStepCount: return o.stepCount;
        case SolverOption::kAutoSimplify: return o.autoSimplify ? 1 : 0;
        case SolverOption::kAutoHomotopy: return o.autoHomotopy ? 1 : 0;
        case SolverOption::kSolveInGroups: return o.solveInGroups ? 1 : 0;
        case SolverOption::kDeltaJ: return o.deltaJ;
        case SolverOption::kDeltaT: return o.deltaT;
        case SolverOption::kMinGuess: return o.minGuess;
        case SolverOption::kMaxGuess: return o.maxGuess;
        case SolverOption::kCapacity: return o.capacity;
        case SolverOption::kOptimizationRoute: return static_cast<int>(o.optimizationRoute);
    }
    return 0.0;
}

void SetOptionValue(SolverOptions& o, SolverOption option, double value) {
    const int integer = ToInt(value);
    switch (option) {
        case SolverOption::kMethod: o.method = static_cast<SolveMethod>(integer); return;
        case SolverOption::kJacobianMode:
            o.jacobianMode = static_cast<JacobianMode>(integer);
            return;
        case SolverOption::kMaxIterations: o.maxIterations = integer; return;
        case SolverOption::kToleranceExponent: o.toleranceExponent = integer; return;
        case SolverOption::kStepCount: o.stepCount = integer; return;
        case SolverOption::kAutoSimplify: o.autoSimplify = value != 0; return;
        case SolverOption::kAutoHomotopy: o.autoHomotopy = value != 0; return;
        case SolverOption::kSolveInGroups: o.solveInGroups = value != 0; return;
        case SolverOption::kDeltaJ: o.deltaJ = value; return;
        case SolverOption::kDeltaT: o.deltaT = value; return;
        case SolverOption::kMinGuess: o.minGuess = value; return;
        case SolverOption::kMaxGuess: o.maxGuess = value; return;
        case SolverOption::kCapacity: o.capacity = integer; return;
        case SolverOption::kOptimizationRoute:
            o.optimizationRoute = static_cast<OptimizationRoute>(integer);
            return;
    }
}

void SolverOptionOverrides::Set(SolverOption option, double value) {
    SetOptionValue(values, option, value);
    given.set(static_cast<std::size_t>(option));
}

void SolverOptionOverrides::ApplyTo(SolverOptions& options) const {
    for (const OptionDescription& d : kSolverOptionTable) {
        if (IsGiven(d.option)) SetOptionValue(options, d.option, OptionValue(values, d.option));
    }
}

const char* MethodName(SolveMethod method) {
    switch (method) {
        case SolveMethod::kNewton: return "Newton";
        case SolveMethod::kRobust: return "Robust Newton";
        case SolveMethod::kDishonest: return "Dishonest Newton";
        case SolveMethod::kHomotopy: return "Homotopy";
    }
    return "?";
}

const char* OptimizationRouteName(OptimizationRoute route) {
    switch (route) {
        case OptimizationRoute::kDirect: return "Direct minimization";
        case OptimizationRoute::kRewrite: return "Rewritten equations";
    }
    return "?";
}

const char* JacobianModeName(JacobianMode mode) {
    switch (mode) {
        case JacobianMode::kSymbolic: return "Exact Jacobian";
        case JacobianMode::kIncremental: return "Incremental Jacobian";
    }
    return "?";
}
