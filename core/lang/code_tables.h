#pragma once

#include <string_view>

// Operator and function codes of compiled equations. The arithmetic binary codes are the
// characters '+', '-', '*', '/', '^'; the named codes come from two ordered tables whose
// positions index their printed names.
namespace code {
inline constexpr unsigned char kSin = 'S', kCos = 'C', kTan = 'T', kArcSin = 's', kArcCos = 'c',
                               kArcTan = 't', kAtan2 = 'A', kExp = 'E', kLn = 'L', kNeg = '-',
                               kInv = 'I', kSquare = '2', kSqrt = 'Q', kAbs = 'B', kStep = 'U',
                               kIf = 'F', kLess = '<', kGreater = '>', kEqual = '=', kThen = 'H',
                               kReal = 'r', kImag = 'i', kConjg = 'j', kMag = 'm', kAngle = 'a',
                               kDeriv = 0xEB, kDelay = 0xE7, kIntegral = 0x9F, kLim = 'l',
                               kArg = 'g', kErf = 'P', kBessJ0 = 'J', kBessJ1 = '1',
                               kBessY0 = 'Y', kBessY1 = 'y', kGammLn = 'G', kGammP = 0xE6;
inline constexpr unsigned char kAdd = '+', kSub = '-', kMul = '*', kDiv = '/', kPow = '^',
                               kAngleOp = '@';
}  // namespace code

inline constexpr int kUnaryCodeCount = 37;
inline constexpr int kBinaryCodeCount = 12;

// Printed name of a code, or "?" when the table has none.
std::string_view UnaryCodeName(unsigned char code);
std::string_view BinaryCodeName(unsigned char code);
// Position 1.. of an exactly equal name, 0 when absent.
int UnaryCodeIndex(std::string_view name);
int BinaryCodeIndex(std::string_view name);
// Code at a position 1.. of the table.
unsigned char UnaryCodeAt(int index);
unsigned char BinaryCodeAt(int index);
