#pragma once

#include <cstdio>

#include "cli/cli_options.h"

// Runs the front end's command on its document; returns the process exit status.
int RunDocument(const CliOptions& options, std::FILE* out, std::FILE* err);
