#pragma once

#include <QString>
#include <optional>

// Where the solver's messages point in an equation document. The compiler counts characters of
// the work copy it reads (the document without its options line, its long lines cut into pieces
// of at most 79 characters) and numbers the equations of the compiled model (the statements
// ending in ';' that are no initial guesses). These functions map both back to the text the
// editor shows (its lines end in a single line feed).
namespace locator {

// A span of the text: [start, end).
struct TextSpan {
    int start = 0;
    int end = 0;
    bool operator==(const TextSpan&) const = default;
};

// The position in `text` of the character the compiler reports as its 1-based character
// `workPosition`; clamped to the text.
int DocumentPosition(const QString& text, int workPosition);

// The statement holding `position`: from its first character that is no blank and no comment to
// its ';' (inclusive), or to the end of the text.
std::optional<TextSpan> StatementAt(const QString& text, int position);

// The 1-based equation `number` of the compiled model.
std::optional<TextSpan> EquationSpan(const QString& text, int number);

// What an Output line names: a character of the work copy (a compiler message) or an equation.
struct Reference {
    enum class Kind { kCharacter, kEquation };
    Kind kind;
    int number;
};
std::optional<Reference> ReferenceIn(const QString& line);

}  // namespace locator
