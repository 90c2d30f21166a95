#include "core/base/console.h"

#include <cstdio>
#include <string>

void ConsoleWrite(Console& console, std::string_view text) {
    if (!console.callback || text.empty()) return;
    char small[256];
    if (text.size() < sizeof small) {
        text.copy(small, text.size());
        small[text.size()] = '\0';
        console.callback(small);
    } else {
        console.callback(std::string(text).c_str());
    }
}

void ConsoleWriteInt(Console& console, long value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4ld", value);
    ConsoleWrite(console, buf);
}

void ConsoleWriteChar(Console& console, char c) {
    ConsoleWrite(console, std::string_view(&c, 1));
}

void ConsoleWriteLine(Console& console) {
    ConsoleWrite(console, "\n");
}
