#pragma once

struct CoreState;

void WriteBanner(CoreState& s);
// The per-run reset: banner, then the values reset at every run.
void ResetDefaults(CoreState& s);
// Reads the options line and copies the document into the work file; names the result file,
// which keeps the last results until the command begins its own.
void PrepareRun(CoreState& s);
// PrepareRun followed by the compiler: the common first step of the solving commands.
void CompileDocument(CoreState& s);
// Frees the compiled code of every equation of the model.
void FreeEquations(CoreState& s);
// The next compile reads what an operation wrote: the equations are freed and the work file
// becomes base name + extension.
void ReopenWork(CoreState& s, const char* extension);
