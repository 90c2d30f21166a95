#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Marks after which a number is written back: the starting-value sign of an initial guess
// (name, 0xBB, number) and the tie sign of a linked constant (a name, then 0xB0 and the number
// tied to it).
inline constexpr unsigned char kAssignMark = 0xBB;
inline constexpr unsigned char kTieMark = 0xB0;

// The value of a variable by its name as written; none when it is not a variable.
using ValueOfName = std::function<std::optional<double>(const std::string& name)>;

// The equation text with the number after each `mark` replaced by the current value of the
// name it belongs to; every other byte stays as it was.
//
// The number after a name, blanks and the mark belongs to that name; the starting-value mark
// counts only outside comments. A tie mark that begins a constant elsewhere belongs, as the
// compiler ties it, to the last name written in a comment ("{k}" then the mark, or the mark
// then "{k}"); after a number the same byte is the degree sign and is left alone. After the
// mark and any blanks the old number is one of: a run of the mark itself or of 0x9C bytes (a
// place held for a value), or a number (sign, digits and point, an optional exponent). A
// starting value is replaced only when the number is the whole assignment (a ';', a comment
// or the end follows); one given as an expression is left as written. The new number takes
// the width of the old one but at least `minWidth` characters, so that writing back never
// cuts the solution short. Names without a value and values that are not finite leave the old
// number alone.
std::string UpdatedText(std::string_view text, unsigned char mark, const ValueOfName& valueOf,
                        int minWidth);
