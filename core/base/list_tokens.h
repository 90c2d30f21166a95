#pragma once

#include <string>
#include <string_view>
#include <vector>

// The cells of a table line of the attachment (list) file, of the repetitive updates that read
// it, and of the result series the FFT reads: cells are separated by any run of blanks, tabs
// and ';'. A carriage return before the line end counts as a blank, so files with Windows line
// ends read like any other.
std::vector<std::string> ListTokens(std::string_view line);

// The next cell of a line, taken off the front of rest; empty when the line holds no more.
// Reading a table cell by cell this way copies nothing.
std::string_view NextListToken(std::string_view& rest);

// A value token: a trailing 0xB0 is dropped; 0xDF is `big`, "-" 0xDF its negative, "?" the
// undefined value; anything else is read as a number with '.' as the decimal point whatever
// the locale, and a token that is not a number as a whole, "nan" and "inf" among them, gives 0.
double ListValue(std::string_view token, double big);

// A header name as a variable name: one pair of surrounding double quotes and a trailing
// 0xBB removed, cut to the significant length of names.
std::string ListColumnName(std::string name, int nameChars);

// Whether a header name carries the starting-value mark 0xBB (inside or after its quotes).
bool ListColumnMarked(std::string_view name);

// A cell read strictly as a number ('.' as the point, an optional sign and exponent): false
// for anything else, so that a cell that is not a number is never taken for 0.
bool ParseNumberCell(std::string_view cell, double& value);
