#pragma once

#include <functional>
#include <string_view>

// The core's message sink: every piece of console text is handed, finished and
// zero-terminated, to the output callback the shell installed.
using OutputCallback = std::function<void(const char*)>;

struct Console {
    OutputCallback callback;  // null: text is dropped
};

void ConsoleWrite(Console& console, std::string_view text);
void ConsoleWriteInt(Console& console, long value);  // "%4d"
void ConsoleWriteChar(Console& console, char c);
void ConsoleWriteLine(Console& console);  // a line end, as its own call
