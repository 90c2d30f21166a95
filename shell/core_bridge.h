#pragma once

// The one place where the desktop application reaches the solver core. Every other file of the
// shell includes this header instead of the core's, so the core's layout can change behind it.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/settings.h"
#include "core/base/shell_services.h"
#include "core/base/solver_options.h"
#include "core/run/document_settings.h"
#include "core/run/entry.h"

namespace corebridge {

// One complete run of the process-wide core; only one may be active at a time.
int Run(const std::string& documentPath, const std::string& command);
void Apply(const ShellSettingsRecord& record);
std::vector<std::string> ResultStrings();
// Where the last run's compile rejected the text: the character of the work copy its message
// names. Empty when the text was accepted.
std::optional<int> CompilerErrorPosition();
// Whether the last run's command did its work (solved, swept, wrote its file).
bool CommandDone();
void SetOutput(std::function<void(const char*)> sink);
void SetServices(ShellServices* services);

// The document path up to the first '.' of its file name, the rule the core names its files by;
// empty when the file name has no such '.'.
std::string BaseName(const std::string& documentPath);
// Whether the document would be overwritten by a file its own runs write (model.PRN, ...).
bool IsWorkFileName(const std::string& documentPath);

enum class SettingsRead { kOk, kMissing, kBadFormat, kIncorrectFormat, kNotAFile };
SettingsRead ReadSettings(const std::string& path, DocumentSettings& settings);
const char* SettingsReadMessage(SettingsRead status);
SettingsWriteStatus WriteSettings(const std::string& path, const DocumentSettings& settings);
ShellSettingsRecord RecordFor(const DocumentSettings& settings);
const char* MethodTitle(SolveMethod method);
const char* JacobianTitle(JacobianMode mode);

// How the core cuts a document line for its work copy; the compiler's character positions count
// the pieces.
std::vector<std::string> CutLine(const std::string& line);

}  // namespace corebridge
