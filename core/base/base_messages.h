#pragma once

// Texts of the bottom folder: the error tail every layer ends its errors with, the report of a
// work file that cannot be written, and the text-file layer's reports (formats of printf).
namespace base_message {
inline constexpr const char* kErrorTail = "Error ...";
inline constexpr const char* kCannotWrite = "Cannot write ";  // + name + ": " + why
inline constexpr const char* kFolderInTheWay = "a folder has that name";
inline constexpr const char* kFile = "File ";  // + name + one of the four below
inline constexpr const char* kDoesNotExist = " Does Not Exist";
inline constexpr const char* kIsAFolder = " Is a Folder";
inline constexpr const char* kNotAPlainFile = " Is Not a Plain File";
inline constexpr const char* kTooLarge = " Is Too Large: more than ";  // + bytes + kBytes
inline constexpr const char* kBytes = " bytes";
inline constexpr const char* kCannotRead = "Cannot read ";  // + name + ": " + why
// Why a front end does not read a file, after its name (InputFileRefusal).
inline constexpr const char* kItIsAFolder = "it is a folder";
inline constexpr const char* kNotPlain = "not a plain file";
inline constexpr const char* kLargerThan = "larger than ";  // + bytes + kBytes
inline constexpr const char* kIoFileError = "IO: file '%s' %s\n";
inline constexpr const char* kIoUnnamedFile = "input";
// The line after a message of the size limits:
// "(limit 25 equations; raise it with the CAPACITY option to 473)".
inline constexpr const char* kLimitOpen = "(limit ";
inline constexpr const char* kLimitEquations = " equations";
inline constexpr const char* kLimitVariables = " variables";
inline constexpr const char* kRaiseCapacity = "; raise it with the CAPACITY option";
inline constexpr const char* kRaiseCapacityTo = " to ";
inline constexpr const char* kBeyondCapacity =
    "; the document needs more than the largest CAPACITY, ";
inline constexpr const char* kLimitClose = ")";
}  // namespace base_message
