#pragma once

// Texts of the entry, the run setup, the command table and the side file.
namespace run_message {
inline constexpr const char* kBanner = "VALDRIX Version 2.00\n";
inline constexpr const char* kInitializingFiles = "Initializing Files...\n";
inline constexpr const char* kReadingEquations = "Reading Equations...\n";
inline constexpr const char* kFile = "File ";  // + document path + does not exist
inline constexpr const char* kDoesNotExist = " Does Not Exist";
inline constexpr const char* kNoExtension = "Document name has no extension: nothing was run";
inline constexpr const char* kInternalError = "Internal error: ";
inline constexpr const char* kNameOfWorkFile =
    "Document name is that of a work file its run would write: rename the document "
    "(nothing was run)";
// + the attachment's name + the end.
inline constexpr const char* kAttachmentIsRunFile = "Attachment ";
inline constexpr const char* kAttachmentIsRunFileEnd =
    " is a file the run writes beside its document: rename it (nothing was run)";
inline constexpr const char* kUnknownCommand = "Unknown command ";  // + letter or #byte
inline constexpr const char* kRunCancelled = "Run Cancelled";
inline constexpr const char* kExactJacobianNeeded =
    "Nothing written: the symbolic Jacobian terms need the Exact Jacobian method, and the "
    "Incremental one is chosen";
inline constexpr const char* kOutputIncomplete = "Results not complete: the run is not solved";
inline constexpr const char* kSideFileIncorrect = "Incorect File Format";
inline constexpr const char* kSideFileBadValue = "Bad File Format";
inline constexpr const char* kSideFileNotAFile =
    "Not a plain file (a folder, a device or pipe, or too large): not read, the settings stay";
// A number outside its option's domain: field name, the token, the domain in words.
inline constexpr const char* kOptionsLineField = "Options line: ";
inline constexpr const char* kSideFileField = "Settings file: ";
inline constexpr const char* kDifferentialMethodName = "differential method";  // the field
inline constexpr const char* kNotIn = " is not ";
inline constexpr const char* kIgnored = ", ignored";
}  // namespace run_message

// Texts of the minimization commands: the methods' progress and the verdict on the point found.
namespace optimize_message {
inline constexpr const char* kTrustRegion = "\nMinimizing by trust-region Newton steps...\n";
inline constexpr const char* kInteriorPoint = "\nMinimizing by interior-point steps...\n";
inline constexpr const char* kIteration = "Iter:";     // + count
inline constexpr const char* kObjective = "  f: ";     // + value
inline constexpr const char* kOptimality = "  Opt: ";  // + the method's optimality measure
inline constexpr const char* kIterationLimit = "Iteration limit reached before a minimum";
inline constexpr const char* kNoProgress = "No step lowers the objective any further";
inline constexpr const char* kUnbounded = "Objective is unbounded below";
inline constexpr const char* kNotEvaluated =
    "Objective or constraints cannot be evaluated at the starting values";
inline constexpr const char* kNotEvaluatedAtEnd =
    "Objective or constraints cannot be evaluated at the point reached";
inline constexpr const char* kComplexMode =
    "Minimization needs real arithmetic: the document is in complex mode";
inline constexpr const char* kMaximum = "Stationary point is a maximum";
inline constexpr const char* kSaddle = "Stationary point is a saddle point";
inline constexpr const char* kNotStationary = "Gradient does not vanish: not a stationary point";
inline constexpr const char* kConstraint = "Constraint ";  // + equation number
inline constexpr const char* kNotSatisfied = " is not satisfied";
inline constexpr const char* kNotActive = " is not active but its multiplier is not zero";
inline constexpr const char* kMultiplierOf = "Multiplier of constraint ";  // + equation number
inline constexpr const char* kWrongSign = " has the wrong sign";
inline constexpr const char* kMinimumValue = "Minimum value: ";
inline constexpr const char* kObjectiveValue = "Objective value: ";
inline constexpr const char* kMultipliers = "Multipliers:";
}  // namespace optimize_message

// Texts of the rewrite commands D and E.
namespace rewrite_command_message {
inline constexpr const char* kEliminationDone = "Elimination DONE!";
}  // namespace rewrite_command_message
