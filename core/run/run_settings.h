#pragma once

#include "core/base/settings.h"

// The copy the shell makes into the core before every run.
void ApplyShellSettings(SolverSettings& settings, const ShellSettingsRecord& record);
// The values reset at the start of every run.
void ResetRunConstants(RunConstants& constants);

// Names the system shows for methods and Jacobian modes.
const char* MethodName(int method);
const char* JacobianModeName(int mode);
