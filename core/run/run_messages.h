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
inline constexpr const char* kNotIn = " is not ";
inline constexpr const char* kIgnored = ", ignored";
}  // namespace run_message
