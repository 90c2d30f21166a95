#pragma once

#include <string>
#include <string_view>

// Documents and console text are single-byte: bytes above 127 are the Greek letters and
// symbols of the equation language. This turns them into UTF-8 for a terminal.
std::string ToUtf8(std::string_view text);
