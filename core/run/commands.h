#pragma once

struct CoreState;

// One operation of the command table, given the whole command string. Returns whether it did
// its work: a command that solves found its solution in this run, one that rewrites or
// transforms wrote its file.
using CommandHandler = bool (*)(CoreState& s, const char* command);

// The handler of a command letter, or null for letters without an operation.
CommandHandler CommandFor(char letter);
