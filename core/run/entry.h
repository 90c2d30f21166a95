#pragma once

#include <string>
#include <vector>

#include "core/base/console.h"
#include "core/base/settings.h"

struct CoreState;
class ShellServices;

// One complete run of the core on a saved document: reset, set-up, the command, clean-up.
// Returns 1 when the last solve found a solution, 0 otherwise (always 0 after a parse error).
int SolverEntry(CoreState& s, const char* fileName, const char* command);

// Prepares the run and compiles the document without solving: 1 when the text was accepted.
int CheckDocument(CoreState& s, const char* fileName);

// The name=value strings of the variables after a run, "%s=%.15lf", in variable order.
void GetResultStrings(const CoreState& s, std::vector<std::string>& list);

// The entry points the application uses; they act on one process-wide core.
int SolverEntry(const char* fileName, const char* command);
int CheckDocument(const char* fileName);
void SetOutputCallback(void (*callback)(const char*));
void SetOutputFunction(OutputCallback callback);
void SetShellServices(ShellServices* services);  // null restores the default services
void ApplyShellSettings(const ShellSettingsRecord& record);
void GetResultStrings(std::vector<std::string>& list);
CoreState& GlobalCore();
