#pragma once

#include <string>
#include <vector>

#include "core/run/entry.h"

struct CoreState;

inline constexpr std::size_t kWorkLineLength = 79;

// Splits one document line into pieces of at most 79 characters, cut after blanks, '*', '+'
// or '-' between positions 41 and 79, never inside a number's exponent.
std::vector<std::string> CutLine(std::string line);

void WriteBanner(CoreState& s);
// The per-run reset: banner, then the values reset at every run.
void ResetDefaults(CoreState& s);
// Reads the options line and copies the document into the work file; empties the result file.
void PrepareRun(CoreState& s);
void PrepareAndReset(CoreState& s);
// PrepareAndReset followed by the compiler: the common first step of the solving commands.
void CompileDocument(CoreState& s);
// Frees the compiled code of every equation of the model.
void FreeEquations(CoreState& s);
