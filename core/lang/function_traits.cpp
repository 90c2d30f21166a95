#include "core/lang/function_traits.h"

#include <array>
#include <cstddef>

namespace {

using D = Derivative;
using C = ComplexRole;
using S = Symmetry;
using N = Notation;

// clang-format off
constexpr UnaryTraits kUnaryRows[] = {
    // code          name      derivative     complex        symmetry  inverse    undoes power
    {code::kSin,    "SIN",    D::kElementary, C::kNone,      S::kOdd,  code::kArcSin, false, 0},
    {code::kCos,    "COS",    D::kElementary, C::kNone,      S::kEven, code::kArcCos, false, 0},
    {code::kTan,    "TAN",    D::kElementary, C::kNone,      S::kOdd,  code::kArcTan, false, 0},
    {code::kArcSin, "ARCSIN", D::kElementary, C::kNone,      S::kOdd,  code::kSin,    true,  0},
    {code::kArcCos, "ARCCOS", D::kElementary, C::kNone,      S::kNone, code::kCos,    true,  0},
    {code::kArcTan, "ARCTAN", D::kElementary, C::kNone,      S::kOdd,  code::kTan,    true,  0},
    {code::kExp,    "EXP",    D::kElementary, C::kNone,      S::kNone, code::kLn,     true,  0},
    {code::kLn,     "LN",     D::kElementary, C::kNone,      S::kNone, code::kExp,    true,  0},
    {code::kNeg,    "-",      D::kElementary, C::kNone,      S::kNone, code::kNeg,    true,  0},
    {code::kInv,    "INV",    D::kElementary, C::kNone,      S::kOdd,  code::kInv,    true,  0},
    {code::kSquare, "SQUARE", D::kElementary, C::kNone,      S::kNone, code::kSqrt,   false, 2},
    {code::kSqrt,   "SQRT",   D::kElementary, C::kNone,      S::kNone, code::kSquare, true,  0.5},
    {code::kAbs,    "ABS",    D::kElementary, C::kNone,      S::kEven, 0,             false, 0},
    {code::kStep,   "U",      D::kElementary, C::kNone,      S::kNone, 0,             false, 0},
    {code::kReal,   "REAL",   D::kFullOnly,   C::kPart,      S::kNone, 0,             false, 0},
    {code::kImag,   "IMAG",   D::kFullOnly,   C::kPart,      S::kNone, 0,             false, 0},
    {code::kConjg,  "CONJG",  D::kFullOnly,   C::kConjugate, S::kNone, 0,             false, 0},
    {code::kMag,    "MAG",    D::kNone,       C::kPolar,     S::kNone, 0,             false, 0},
    {code::kAngle,  "ANGLE",  D::kNone,       C::kPolar,     S::kNone, 0,             false, 0},
    {code::kErf,    "ERF",    D::kFullOnly,   C::kNone,      S::kNone, 0,             false, 0},
    {code::kBessJ0, "BESSJ0", D::kFullOnly,   C::kNone,      S::kNone, 0,             false, 0},
    {code::kBessJ1, "BESSJ1", D::kFullOnly,   C::kNone,      S::kNone, 0,             false, 0},
    {code::kBessY0, "BESSY0", D::kFullOnly,   C::kNone,      S::kNone, 0,             false, 0},
    {code::kBessY1, "BESSY1", D::kFullOnly,   C::kNone,      S::kNone, 0,             false, 0},
    {code::kGammLn, "GAMMLN", D::kFullOnly,   C::kNone,      S::kNone, 0,             false, 0},
};

constexpr BinaryTraits kBinaryRows[] = {
    // code            name     notation        derivative      folds
    {code::kAdd,      "+",     N::kInfix,      D::kElementary, true},
    {code::kSub,      "-",     N::kInfix,      D::kElementary, true},
    {code::kMul,      "*",     N::kInfix,      D::kElementary, true},
    {code::kDiv,      "/",     N::kInfix,      D::kElementary, true},
    {code::kPow,      "^",     N::kInfix,      D::kElementary, true},
    {code::kAngleOp,  "@",     N::kInfix,      D::kNone,       false},
    {code::kAtan2,    "ATAN2", N::kCall,       D::kFullOnly,   true},
    {code::kIf,       "IF",    N::kIfThenElse, D::kElementary, false},
    {code::kThen,     "THEN",  N::kCall,       D::kElementary, false},
    {code::kLess,     "<",     N::kCall,       D::kElementary, true},
    {code::kGreater,  ">",     N::kCall,       D::kElementary, true},
    {code::kEqual,    "EQUAL", N::kCall,       D::kElementary, true},
    {code::kDeriv,    "D",     N::kCall,       D::kNone,       true},
    {code::kDelay,    "DELAY", N::kCall,       D::kNone,       true},
    {code::kIntegral, "INT",   N::kCall,       D::kNone,       true},
    {code::kLim,      "LIM",   N::kCall,       D::kNone,       false},
    {code::kArg,      "ARG",   N::kCall,       D::kNone,       true},
    {code::kGammP,    "GAMMP", N::kCall,       D::kFullOnly,   true},
};
// clang-format on

// One case per code: a code added to an enum and left out here is named by -Wswitch, and one
// listed here without a row fails the checks below.
constexpr bool IsUnaryCode(unsigned char c) {
    switch (static_cast<code::Unary>(c)) {
        case code::kSin:
        case code::kCos:
        case code::kTan:
        case code::kArcSin:
        case code::kArcCos:
        case code::kArcTan:
        case code::kExp:
        case code::kLn:
        case code::kNeg:
        case code::kInv:
        case code::kSquare:
        case code::kSqrt:
        case code::kAbs:
        case code::kStep:
        case code::kReal:
        case code::kImag:
        case code::kConjg:
        case code::kMag:
        case code::kAngle:
        case code::kErf:
        case code::kBessJ0:
        case code::kBessJ1:
        case code::kBessY0:
        case code::kBessY1:
        case code::kGammLn: return true;
    }
    return false;
}

constexpr bool IsBinaryCode(unsigned char c) {
    switch (static_cast<code::Binary>(c)) {
        case code::kAdd:
        case code::kSub:
        case code::kMul:
        case code::kDiv:
        case code::kPow:
        case code::kAngleOp:
        case code::kAtan2:
        case code::kIf:
        case code::kThen:
        case code::kLess:
        case code::kGreater:
        case code::kEqual:
        case code::kDeriv:
        case code::kDelay:
        case code::kIntegral:
        case code::kLim:
        case code::kArg:
        case code::kGammP: return true;
    }
    return false;
}

// Position of each byte's row, -1 for a byte that is no code.
template <class Row, std::size_t N>
constexpr std::array<int, 256> RowIndex(const Row (&rows)[N]) {
    std::array<int, 256> index{};
    for (int& i : index) i = -1;
    for (std::size_t r = 0; r < N; ++r) index[rows[r].code] = static_cast<int>(r);
    return index;
}

constexpr auto kUnaryIndex = RowIndex(kUnaryRows);
constexpr auto kBinaryIndex = RowIndex(kBinaryRows);

// Every code has exactly one row and every row is a code.
template <class Row, std::size_t N>
constexpr bool OneRowPerCode(const Row (&rows)[N], bool (*isCode)(unsigned char)) {
    for (int c = 0; c < 256; ++c) {
        int count = 0;
        for (const Row& r : rows) count += r.code == c ? 1 : 0;
        if (count != (isCode(static_cast<unsigned char>(c)) ? 1 : 0)) return false;
    }
    return true;
}
static_assert(OneRowPerCode(kUnaryRows, IsUnaryCode), "one row per unary code");
static_assert(OneRowPerCode(kBinaryRows, IsBinaryCode), "one row per binary code");

// The elimination undoes a function with its inverse, so each inverse is a function whose own
// inverse leads back; the simplification's cancelling rests on the same pairs.
constexpr bool InversesPairUp() {
    for (const UnaryTraits& r : kUnaryRows) {
        if (r.inverse == 0) {
            if (r.inverseUndoes) return false;
            continue;
        }
        const int i = kUnaryIndex[r.inverse];
        if (i < 0 || kUnaryRows[i].inverse != r.code) return false;
    }
    return true;
}
static_assert(InversesPairUp(), "inverse functions pair up");

template <class Row, std::size_t N>
const Row* Find(const Row (&rows)[N], const std::array<int, 256>& index, unsigned char code) {
    const int i = index[code];
    return i < 0 ? nullptr : &rows[i];
}

}  // namespace

const UnaryTraits* FindUnaryTraits(unsigned char code) {
    return Find(kUnaryRows, kUnaryIndex, code);
}

const BinaryTraits* FindBinaryTraits(unsigned char code) {
    return Find(kBinaryRows, kBinaryIndex, code);
}

std::string_view UnaryCodeName(unsigned char code) {
    const UnaryTraits* t = FindUnaryTraits(code);
    return t != nullptr ? t->name : "?";
}

std::string_view BinaryCodeName(unsigned char code) {
    const BinaryTraits* t = FindBinaryTraits(code);
    return t != nullptr ? t->name : "?";
}

unsigned char FindUnaryCode(std::string_view name) {
    for (const UnaryTraits& r : kUnaryRows) {
        if (r.name == name) return r.code;
    }
    return 0;
}

unsigned char FindBinaryCode(std::string_view name) {
    for (const BinaryTraits& r : kBinaryRows) {
        if (r.notation != Notation::kInfix && r.name == name) return r.code;
    }
    return 0;
}
