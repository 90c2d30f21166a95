#pragma once

#include <bitset>
#include <cstddef>
#include <limits>
#include <string>

#include "core/base/limits.h"
#include "core/base/modes.h"
#include "core/base/special_values.h"

// The solver options: what a document carries in its side file, what the shell's option pages
// edit, what the options line and the command line override, and what the core reads during a
// run. This header is their one description. SolverOptions holds the values with their
// defaults, which are those of a new document; the table below gives each option its name, its
// kind and the values it may take. The core's settings, the shell's record and the document's
// side-file record are all built on SolverOptions, so a default is written only here.
struct SolverOptions {
    SolveMethod method = SolveMethod::kNewton;            // iteration method
    JacobianMode jacobianMode = JacobianMode::kSymbolic;  // exact terms or forward differences
    int maxIterations = 10;      // Newton iterations allowed per solve (per step)
    int toleranceExponent = -3;  // stopping tolerance 1.0E(exponent)
    int stepCount = 50;          // steps of repetitive-update runs (the shell's "Repetitions")
    bool autoSimplify = true;    // constant-fold equations after parsing
    bool autoHomotopy = false;   // retry with homotopy when the method fails
    bool solveInGroups = true;   // order equations into sequential groups
    double deltaJ = 0.001;       // increment of the incremental Jacobian and the probe
    double deltaT = 0.1;         // homotopy step and time step; the sweep step during a sweep
    double minGuess = 0.1;       // lower end of random starting values
    double maxGuess = 1.0;       // upper end of random starting values
    // Direct minimization or the rewritten equations. Like the capacity a program-wide value:
    // the side file does not hold it; the desktop keeps it in its profile, the command line
    // and a document's options line set it for a run.
    OptimizationRoute optimizationRoute = OptimizationRoute::kDirect;
    // Most equations (statements, guesses included) and variables of a run. A program-wide
    // value rather than a document's: the side file does not hold it, the desktop keeps it in
    // its profile, and a document raises it for its own runs on its options line.
    int capacity = Limits::kDefaultCapacity;
};

enum class SolverOption {
    kMethod,
    kJacobianMode,
    kMaxIterations,
    kToleranceExponent,
    kStepCount,
    kAutoSimplify,
    kAutoHomotopy,
    kSolveInGroups,
    kDeltaJ,
    kDeltaT,
    kMinGuess,
    kMaxGuess,
    kCapacity,
    kOptimizationRoute,
};
inline constexpr std::size_t kSolverOptionCount = 14;

enum class OptionKind {
    kChoice,   // one of a list, stored as its position from 0
    kInteger,  // a 32-bit integer
    kSwitch,   // on or off
    kReal,     // a double
};

// The values an option may take: from lowest to highest, with an end itself left out when it
// is marked excluded. An unbounded end is infinite; NaN lies in no domain.
struct OptionDomain {
    double lowest = -std::numeric_limits<double>::infinity();
    double highest = std::numeric_limits<double>::infinity();
    bool lowestExcluded = false;
    bool highestExcluded = false;
};

struct OptionDescription {
    SolverOption option;
    const char* name;  // as messages name it
    OptionKind kind;
    OptionDomain domain;
};

// Increments and the upper end of the starting values must stay clear of the values that count
// as zero; no real setting may reach the value that stands for overflow.
inline constexpr double kLeastIncrement = 1000 * kSmallValue;
inline constexpr OptionDomain kIncrementDomain{kLeastIncrement, kBigValue, true, true};

// In the order of SolverOption.
inline constexpr OptionDescription kSolverOptionTable[kSolverOptionCount] = {
    {SolverOption::kMethod, "method", OptionKind::kChoice, {0, 3}},
    {SolverOption::kJacobianMode, "Jacobian mode", OptionKind::kChoice, {0, 1}},
    {SolverOption::kMaxIterations, "max iterations", OptionKind::kInteger, {1, 1000}},
    {SolverOption::kToleranceExponent, "tolerance exponent", OptionKind::kInteger, {-34, 9}},
    {SolverOption::kStepCount,
     "step count",
     OptionKind::kInteger,
     {1, std::numeric_limits<int>::max()}},
    {SolverOption::kAutoSimplify, "auto simplify", OptionKind::kSwitch, {0, 1}},
    {SolverOption::kAutoHomotopy, "auto homotopy", OptionKind::kSwitch, {0, 1}},
    {SolverOption::kSolveInGroups, "solve in groups", OptionKind::kSwitch, {0, 1}},
    {SolverOption::kDeltaJ, "delta J", OptionKind::kReal, kIncrementDomain},
    {SolverOption::kDeltaT, "delta T", OptionKind::kReal, kIncrementDomain},
    {SolverOption::kMinGuess,
     "min initial guess",
     OptionKind::kReal,
     {kMinusBigValue, kBigValue, true, true}},
    {SolverOption::kMaxGuess, "max initial guess", OptionKind::kReal, kIncrementDomain},
    {SolverOption::kCapacity,
     "capacity",
     OptionKind::kInteger,
     {Limits::kDefaultCapacity, Limits::kMaxCapacity}},
    {SolverOption::kOptimizationRoute, "optimization route", OptionKind::kChoice, {0, 1}},
};

constexpr const OptionDescription& Describe(SolverOption option) {
    return kSolverOptionTable[static_cast<std::size_t>(option)];
}

constexpr bool TableInOptionOrder() {
    for (std::size_t i = 0; i < kSolverOptionCount; ++i) {
        if (static_cast<std::size_t>(kSolverOptionTable[i].option) != i) return false;
    }
    return true;
}
static_assert(TableInOptionOrder(), "kSolverOptionTable must list the options in their order");

// Whether value lies in the option's domain.
bool InDomain(const OptionDescription& description, double value);
// The domain in words, e.g. "from 1 to 1000" or "above 1e-47 and below 1e+50".
std::string DomainText(const OptionDescription& description);

// An option's value as a number: a choice by its position, a switch as 0 or 1.
double OptionValue(const SolverOptions& options, SolverOption option);
// Sets an option from a number read the same way (an integer or a choice is truncated).
void SetOptionValue(SolverOptions& options, SolverOption option, double value);

// Options given one by one to be laid over others, as the command line gives them.
struct SolverOptionOverrides {
    SolverOptions values;                   // the values given
    std::bitset<kSolverOptionCount> given;  // which of them were given

    void Set(SolverOption option, double value);
    bool IsGiven(SolverOption option) const { return given[static_cast<std::size_t>(option)]; }
    // Replaces in options exactly the options given.
    void ApplyTo(SolverOptions& options) const;
};

// Names the system shows for methods, Jacobian modes and optimization routes.
const char* MethodName(SolveMethod method);
const char* JacobianModeName(JacobianMode mode);
const char* OptimizationRouteName(OptimizationRoute route);
