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
inline constexpr const char* kSideFileIncorrect = "Incorect File Format";
inline constexpr const char* kSideFileBadValue = "Bad File Format";
}  // namespace run_message
