#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/base/code_node.h"

struct CoreState;
struct TextFile;

// Equation text on its way to a file or a string, with the column the next character takes.
//
// Lines of an expression break after a token that ends in ' ', '=', '+', '-' or ')' once the
// column has passed 68, after one ending in '*', '/', '^', '(' or '@' once it has passed 72,
// and before any token that would pass column 80. A token is never split, so a number keeps
// its exponent ("1.5E-10") and a name its prefix bytes; a line end is a blank to the compiler,
// so every broken line reads back as written.
class EquationText {
   public:
    explicit EquationText(std::string& text) : text_(&text) {}
    explicit EquationText(TextFile& file) : file_(&file), text_(&buffer_) {}
    EquationText(const EquationText&) = delete;
    EquationText& operator=(const EquationText&) = delete;
    ~EquationText() { Flush(); }

    void Put(std::string_view raw);      // as is; the column follows the line ends in it
    void Token(std::string_view token);  // part of an expression, subject to the line rules
    void LineEnd();
    void BreakBefore(std::size_t length, int lastColumn);  // line end when it would pass
    void Flush();                                          // pending text to the file

    int column = 0;  // characters on the current line

   private:
    TextFile* file_ = nullptr;
    std::string buffer_;
    std::string* text_;
};

// How constants are written.
struct WriterStyle {
    bool exactNumbers = true;   // shortest text that reads back the same double
    int width = 8;              // otherwise FormatConstant within this width
    // Constants tied to a variable are written after byte 0xB0 and the variable's name in a
    // comment ("\xB0{x1}0.5"), which the compiler reads back as the same tie.
    bool linkedPrefix = false;
    double big = 1e50;          // the run's largest value
};

// The operand class of the run that starts at node (parse form), which decides where the
// writer puts parentheses: 0 binary '+' and anything unlisted, 1 '-', 2 '*', 3 '/', 4 '^',
// 5 other binary codes, 6 unary '-', 7 other unary codes, 8 variable, 9 constant >= 0,
// 10 constant < 0.
int OperandClass(const CodeNode* node);

// Writes the expression of the run that starts at `run` (parse form, deleted nodes skipped)
// with as few parentheses as the precedence of the compiler allows, and returns its operand
// class. A list that ends inside the run writes nothing, prints "Equation Ended Prematurely"
// and reports a run error.
int WriteCode(CoreState& s, const CodeNode* run, EquationText& out, const WriterStyle& style);

// The text of a constant node as WriteCode writes it, without the prefix of a tie.
std::string ConstantText(const CodeNode* node, const WriterStyle& style);

// Writes an equation (evaluation form, the residual left - right as compiled) in relation form:
// "x=2*y; ", "x+y=3; ", "x^2+y-3=0; ", or "expression; " for a blank relation. The list is
// turned to parse form for the walk and back, so it is unchanged afterwards.
void WriteEquation(CoreState& s, CodeNode*& code, unsigned char relation, EquationText& out,
                   const WriterStyle& style);

// Starting values as statements "name" 0xBB "value;  ", four to a line, fewer when the line
// reaches column 69; variables without a name are left out. Exact values read back as the
// same doubles; otherwise FormatValue within `width` characters.
void WriteGuesses(CoreState& s, EquationText& out, const std::vector<int>& variables, bool exact,
                  int width);

// Variables 1..variable count, for WriteGuesses.
std::vector<int> AllVariables(const CoreState& s);
