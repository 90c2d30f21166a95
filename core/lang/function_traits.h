#pragma once

#include <string_view>

#include "core/lang/code_tables.h"

// What the core knows about each function code, one row per code: the parser and the writer
// take its name from here, the differentiators whether they have a rule, the simplification
// and the folding whether its value may be computed ahead of the run, the elimination how to
// undo it. The rules themselves (a derivative, an evaluation) stay with the module that
// applies them, each in a switch with one case per code; the rows only say which rule applies.
// Every code of code::Unary and code::Binary has exactly one row, which function_traits.cpp
// checks when it compiles.

// Which differentiators have a rule for a function. The one the elimination uses knows only
// the arithmetic, IF, the comparisons and the elementary real functions.
enum class Derivative : unsigned char {
    kNone,        // no rule: the incremental Jacobian has to be used
    kFullOnly,    // a rule in the symbolic Jacobian's differentiator only
    kElementary,  // a rule in both
};

// What a one-argument function does with the complex numbers, which decides where its value
// may be computed from a constant ahead of the run.
enum class ComplexRole : unsigned char {
    kNone,       // a function of one number: folded and simplified from a constant
    kPart,       // REAL, IMAG: a real part of its argument; the real evaluator's value is
                 // right for a real constant, so it is folded, but the simplification, which
                 // does not know the arithmetic of the run, leaves it
    kConjugate,  // CONJG: like kPart, with a complex value
    kPolar,      // MAG, ANGLE: a real part of its argument, which the real evaluator gives
                 // as 0, so a constant is folded in real arithmetic only
};

// How a function treats a negated argument, for moving the sign out: f(-x) = f(x) when even,
// -f(x) when odd. Only the functions whose sign the simplification moves are marked.
enum class Symmetry : unsigned char { kNone, kEven, kOdd };

// How a two-argument code is written.
enum class Notation : unsigned char {
    kInfix,       // left op right: the arithmetic operators and '@'
    kCall,        // NAME(left,right)
    kIfThenElse,  // IF(condition) THEN(value) ELSE(value)
};

struct UnaryTraits {
    code::Unary code;       // the sub byte of its 'U' nodes
    std::string_view name;  // as written and read back; "-" for the unary minus
    Derivative derivative;  // which differentiators have a rule
    ComplexRole complex;    // where a constant argument may be computed ahead
    Symmetry symmetry;      // whether the simplification moves a minus out
    // The function that solves f(u) = y for u, as the elimination uses it; 0 when none.
    unsigned char inverse;
    // inverse(f(x)) = x wherever f is defined, so the simplification may cancel the pair.
    // False where the inverse gives only a principal value (SQUARE, SIN, COS, TAN).
    bool inverseUndoes;
    // The power rules of the simplification treat f(u) as u ^ power; 0 for a function they
    // leave alone (INV stands for the power -1, which is written with it, not rewritten).
    double power;
};

struct BinaryTraits {
    code::Binary code;      // the sub byte of its 'B' nodes
    std::string_view name;  // as written; the parser reads back the kCall and IF names
    Notation notation;      // how the writer writes it and the parser reads it
    Derivative derivative;  // which differentiators have a rule
    // Constant operands fold to the value the real evaluator computes for them. Not for '@'
    // and LIM, whose operands are no values to combine (a phasor, the bounds of an integral),
    // nor for IF and THEN, whose constant forms the folding handles by rules of their own.
    bool folds;
};

// The row of a code, or null for a byte that is no code of that kind.
const UnaryTraits* FindUnaryTraits(unsigned char code);
const BinaryTraits* FindBinaryTraits(unsigned char code);

// Name of a code, or "?" for a byte that is no code of that kind.
std::string_view UnaryCodeName(unsigned char code);
std::string_view BinaryCodeName(unsigned char code);

// The code of a function written with exactly this name, 0 when there is none. The binary
// lookup knows the names written as calls (ATAN2, IF, EQUAL, ...), not the operators.
unsigned char FindUnaryCode(std::string_view name);
unsigned char FindBinaryCode(std::string_view name);
