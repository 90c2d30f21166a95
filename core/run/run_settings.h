#pragma once

#include "core/base/settings.h"

// The copy the shell makes into the core before every run.
void ApplyShellSettings(SolverSettings& settings, const ShellSettingsRecord& record);
// The values reset at the start of every run.
void ResetRunConstants(RunConstants& constants);
