#pragma once

#include <functional>

struct CoreState;

// Reset, set-up of the file names, the operation, clean-up: the frame of every run, of a
// command given at the entry as of a run that a command starts within its own (the gradient
// equations that 'O' writes by an "ASJ" run of the document). The operation returns whether
// it did its work. Returns 1 when the run solved, 0 otherwise; nothing escapes it.
int RunFrame(CoreState& s, const char* fileName, const std::function<bool()>& operation);
