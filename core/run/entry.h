#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/base/console.h"
#include "core/base/settings.h"
// The front ends name and refuse documents by the rules of the run's own files.
#include "core/run/work_files.h"

struct CoreState;
class ShellServices;

// One complete run of the core on a saved document: reset, set-up, the command, clean-up.
// Returns 1 when the last solve found a solution, 0 otherwise (always 0 after a parse error).
int SolverEntry(CoreState& s, const char* fileName, const char* command);

// Prepares the run and compiles the document without solving: 1 when the text was accepted.
int CheckDocument(CoreState& s, const char* fileName);

// Whether the command of the last run did its work, for a caller that judges runs of every
// command alike (a script's exit status): a command that solves (S, G, D, K, O, an A sequence
// whose third character is R) found its solution in that run; one that rewrites or transforms
// wrote its file (A, E with every marked variable eliminated, F, W); U as the solved flag its
// actions use; R never. Unlike SolverEntry's result it is never an earlier run's.
bool CommandDone(const CoreState& s);

// Where the compiler rejected the text in the last run: the character of its work copy that its
// message ends with (" at character N"). Empty when every compile of the run accepted its text,
// so a front end can point at the error without reading the message back.
std::optional<int> CompilerErrorPosition(const CoreState& s);

// The name=value strings of the variables after a run, "%s=%.15lf", in variable order.
void GetResultStrings(const CoreState& s, std::vector<std::string>& list);

// Whether the letter starts a command the core knows (the first character of a command).
bool IsKnownCommand(char letter);

// The entry points the application uses; they act on one process-wide core.
int SolverEntry(const char* fileName, const char* command);
int CheckDocument(const char* fileName);
bool CommandDone();
std::optional<int> CompilerErrorPosition();
void SetOutputCallback(void (*callback)(const char*));
void SetOutputFunction(OutputCallback callback);
void SetShellServices(ShellServices* services);  // null restores the default services
void ApplyShellSettings(const ShellSettingsRecord& record);
void GetResultStrings(std::vector<std::string>& list);
CoreState& GlobalCore();
