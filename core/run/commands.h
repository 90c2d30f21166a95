#pragma once

struct CoreState;

// One operation of the command table, given the whole command string.
using CommandHandler = void (*)(CoreState& s, const char* command);

// The handler of a command letter, or null for letters without an operation.
CommandHandler CommandFor(char letter);
