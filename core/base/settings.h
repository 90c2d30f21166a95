#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/modes.h"
#include "core/base/solver_options.h"
#include "core/base/special_values.h"

inline constexpr std::uint32_t kDefaultRandomSeed = 1;
inline constexpr std::size_t kMaxUpdateFileName = 128;

// Values that steer a run: the solver options, which the shell copies in before every call and
// a document's options line may override for its runs, and the update file.
struct SolverSettings : SolverOptions {
    std::string updateFileName;      // attachment used for repetitive updates ("" = none)
    bool updateFilePresent = false;  // an update file is named
    int updateStepCount = 1;         // steps of the update file
    std::uint32_t randomSeed = kDefaultRandomSeed;  // seed of the starting values of every run
};

// Values reset at the start of every run; not settable from the shell.
struct RunConstants {
    int outputPrecision = 8;             // digits after the point in equation text and FFT files
    int internalAccuracy = 14;           // digits after the point in the Jacobian file
    double smallest = kSmallValue;       // magnitudes at or below count as zero
    double largest = kBigValue;          // overflow, infinity, value of a failed evaluation
    double negLargest = kMinusBigValue;  // negative infinity
    int expLimit = 50;                   // largest argument EXP accepts
    Arithmetic arithmetic = Arithmetic::kReal;  // complex only when the options line says so
    bool autoIfSearch = true;                   // IF combinations searched one by one
};

// What the shell copies into the core before a run: a document's solver options and its
// attachment.
struct ShellSettingsRecord : SolverOptions {
    std::string attachmentPath;                     // "" when the document has no attachment
    int attachmentRows = 0;                         // value rows of the attachment
    std::uint32_t randomSeed = kDefaultRandomSeed;  // seed of the starting values
};
