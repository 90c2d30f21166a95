#pragma once

#include <string>
#include <vector>

// Lines of the work copy the compiler reads are at most this long, unless one token is longer.
inline constexpr std::size_t kWorkLineLength = 79;

// Splits one document line into pieces for the work copy. A longer line is cut after the last
// blank at positions 41 to 79, else after the last '*', else '+', else '-' there, wherever that
// is not inside a token: not after the sign of an exponent (1.5E-10) or of a number that an
// operator comes before (a*-5). Where none of these is found, the cut falls at the nearest
// boundary between two tokens at or before position 79, or, when one token reaches from the
// start of the piece past 79, right after that token. So a number or a name is never cut in
// two, and the pieces compile as the line did. A piece is then as long as its token: the
// compiler and the save that carries the text over read the work copy whole, so no line length
// limits them (the document's size bound does).
std::vector<std::string> CutLine(const std::string& line);
