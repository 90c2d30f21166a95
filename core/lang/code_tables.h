#pragma once

// Operator and function codes of compiled equations: the sub byte of 'U' and 'B' nodes. The
// arithmetic binary codes are the characters '+', '-', '*', '/', '^'; what the core knows about
// each code, its name included, is its row in function_traits.h. Code that switches over a
// code casts the byte to Unary or Binary, lists every code and has no default, so a code added
// later is named by the compiler; what follows such a switch handles a byte that is no code at
// all.

namespace code {

enum Unary : unsigned char {
    kSin = 'S',
    kCos = 'C',
    kTan = 'T',
    kArcSin = 's',
    kArcCos = 'c',
    kArcTan = 't',
    kExp = 'E',
    kLn = 'L',
    kNeg = '-',
    kInv = 'I',
    kSquare = '2',
    kSqrt = 'Q',
    kAbs = 'B',
    kStep = 'U',
    kReal = 'r',
    kImag = 'i',
    kConjg = 'j',
    kMag = 'm',
    kAngle = 'a',
    kErf = 'P',
    kBessJ0 = 'J',
    kBessJ1 = '1',
    kBessY0 = 'Y',
    kBessY1 = 'y',
    kGammLn = 'G',
};

enum Binary : unsigned char {
    kAdd = '+',
    kSub = '-',
    kMul = '*',
    kDiv = '/',
    kPow = '^',
    kAngleOp = '@',  // magnitude @ angle
    kAtan2 = 'A',
    kIf = 'F',
    kThen = 'H',
    kLess = '<',
    kGreater = '>',
    kEqual = '=',
    kDeriv = 0xEB,
    kDelay = 0xE7,
    kIntegral = 0x9F,
    kLim = 'l',
    kArg = 'g',
    kGammP = 0xE6,
};

}  // namespace code
