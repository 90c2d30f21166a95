#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comparison of a whole run's output with its recorded expectation: text exactly, numbers
// within a tolerance, with a line diff when they differ.

// Two numbers agree when |a - b| <= max(relative * max(|a|, |b|), absolute).
struct Tolerance {
    double relative = 1e-9;
    double absolute = 1e-12;
};

// Replaces what may differ between two runs that behave the same: the elapsed time of
// "Solved for %.3lf seconds" becomes "<time>", and the scratch folder's path "<dir>".
std::string MaskVarying(std::string text, const std::string& scratchDir);

// One line against its expectation: the text between numbers must be equal byte for byte;
// numbers must agree within the tolerance; a number with blanks before it must end in the
// same column (the columns of the result table are right-aligned), so a width change shows.
// When they differ, why is set to a short explanation.
bool LinesAgree(std::string_view expected, std::string_view actual, const Tolerance& tolerance,
                std::string* why = nullptr);

// Compares two texts line by line. Returns an empty string when they agree, otherwise a
// readable diff: "-" expected lines, "+" actual lines, two lines of context, with the reason
// for a changed line. Texts that are not valid UTF-8 (the single-byte output files) show bytes
// above 127 as \xNN.
std::string DiffTexts(const std::string& expected, const std::string& actual,
                      const Tolerance& tolerance);
