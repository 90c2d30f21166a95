#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/settings.h"
#include "core/base/solver_options.h"

// A document's solver options, kept beside the document in the fixed 72-byte side file
// base + ".VDP", with what the shell keeps for the document besides them.
struct DocumentSettings : SolverOptions {
    std::uint32_t differentialMethod = 0;  // 0 Trapezoidal, 1 Gear, 2 Backward Euler
    std::uint32_t lastResult = 0;          // not stored in the side file
    std::string attachmentPath;            // not stored in the side file
    std::uint32_t updateStepCount = 0;     // not stored in the side file
};

inline constexpr std::size_t kSettingsFileSize = 72;
inline constexpr std::uint32_t kSettingsFileVersion = 0x00020000;

enum class SettingsFileStatus {
    kOk,         // all fields read
    kMissing,    // no side file: the defaults stay
    kTruncated,  // the file ended early: fields before the end were read
    kBadValue,   // a field holds a value outside its domain: it was skipped, the others read
    kNotAFile,   // a folder, a device or pipe, or an oversized file: not read, the settings stay
};

// Name of the side file of a document ("" when the path has no base name).
std::string SettingsFileName(const std::string& documentPath);

// Reads the side file into settings; fields are replaced one by one in file order, so a file
// that ends early leaves the fields before its end read. A field outside its option's domain
// keeps the setting it had and is named in warnings (one line each, for the console).
SettingsFileStatus ReadSettingsFile(const std::string& path, DocumentSettings& settings,
                                    std::vector<std::string>* warnings = nullptr);
// The message for a failed read ("" for kOk and kMissing).
const char* SettingsFileMessage(SettingsFileStatus status);
enum class SettingsWriteStatus {
    kOk,            // the record is in place
    kCannotCreate,  // no file could be created beside the document: nothing changed
    kWriteFailed,   // writing or replacing failed: the old file, if any, is unchanged
};

// Writes the record; the old file is replaced only once the new one is complete.
SettingsWriteStatus WriteSettingsFile(const std::string& path, const DocumentSettings& settings);

// The copy the shell makes before every run.
ShellSettingsRecord MakeShellSettingsRecord(const DocumentSettings& settings);
