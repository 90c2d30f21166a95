#pragma once

#include <cstdint>
#include <string>

enum SolveMethod : int { kMethodNewton = 0, kMethodRobust = 1, kMethodDishonest = 2, kMethodHomotopy = 3 };
enum JacobianMode : int { kJacobianSymbolic = 0, kJacobianIncremental = 1 };

// Values that steer a run. The shell copies them in before every call; a document's options
// line may override some of them for its runs.
struct SolverSettings {
    int method = kMethodNewton;       // iteration method
    int jacobianMode = kJacobianSymbolic;  // exact terms or forward differences
    int maxIterations = 10;           // Newton iterations allowed per solve (per step)
    int toleranceExponent = -3;       // stopping tolerance 1.0E(exponent)
    int stepCount = 50;               // steps of repetitive-update runs
    bool autoSimplify = true;         // constant-fold equations after parsing
    double deltaJ = 0.001;            // increment of the incremental Jacobian and the probe
    double deltaT = 0.1;              // homotopy step, time step; sweep step during a sweep
    double minGuess = 0.1;            // lower end of random starting values
    double maxGuess = 1.0;            // upper end of random starting values
    bool solveInGroups = true;        // order equations into sequential groups
    bool autoHomotopy = false;        // retry with homotopy when the method fails
    std::string updateFileName;       // attachment used for repetitive updates ("" = none)
    bool updateFilePresent = false;   // an update file is named
    int updateStepCount = 1;          // steps of the update file
    std::uint32_t randomSeed = 1;     // seed of the starting-value generator of every run
};

// Values reset at the start of every run; not settable from the shell.
struct RunConstants {
    int outputPrecision = 8;       // digits after the point in equation text and FFT files
    int internalAccuracy = 14;     // digits after the point in the Jacobian file
    double smallest = 1e-50;       // magnitudes at or below count as zero
    double largest = 1e50;         // overflow, infinity, value of a failed evaluation
    double negLargest = -1e50;     // negative infinity
    int expLimit = 50;             // largest argument EXP accepts
    bool complexMode = false;      // complex arithmetic (options line)
    bool autoIfSearch = true;      // IF combinations searched one by one
    int lastResidualExponent = -99;  // shown by the iteration display
};

// What the shell copies into the core before a run: a document's solver options and its
// attachment.
struct ShellSettingsRecord {
    int method = kMethodNewton;
    int jacobianMode = kJacobianSymbolic;
    int maxIterations = 10;
    int repetitions = 50;
    int toleranceExponent = -3;
    std::uint8_t autoSimplify = 1;
    std::uint8_t autoHomotopy = 0;
    std::uint8_t solveInGroups = 1;
    double deltaJ = 0.001;
    double deltaT = 0.1;
    double minGuess = 0.1;
    double maxGuess = 1.0;
    std::string attachmentPath;    // "" when the document has no attachment
    int attachmentRows = 0;        // value rows of the attachment
    std::uint32_t randomSeed = 1;  // seed of the starting values
};

inline constexpr std::size_t kMaxUpdateFileName = 128;
