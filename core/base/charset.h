#pragma once

#include <string>
#include <string_view>

// Equation text is single-byte: bytes above 127 are the Greek letters and signs of the equation
// language. Every front end shows them through this one table (the desktop's editor, the
// terminal, the graphs), and every one of the 256 bytes has a character of its own, so text
// shown and taken back keeps its bytes.
namespace charset {

// The Unicode code point a byte shows as.
char32_t CodePointOf(unsigned char byte);

// The byte that shows as a code point, or -1 when no byte does.
int ByteOf(char32_t codePoint);

// Single-byte text as UTF-8.
std::string ToUtf8(std::string_view text);

}  // namespace charset
