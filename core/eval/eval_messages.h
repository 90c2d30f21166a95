#pragma once

// Texts of the evaluator, the special functions, the complex conversion and the compile.
namespace eval_message {
inline constexpr const char* kStackOverflow = "Stack Overflow, equation too complex or incorrect";
inline constexpr const char* kStackUnderflow = "Stack underflow, equation incorrect";
inline constexpr const char* kEndedPrematurely = "Equation ended prematurely, syntax error ";
inline constexpr const char* kTangentInfinite = "Tangent result Near Infinity";
inline constexpr const char* kLogOfNonPositive = "Log of Zero or Negative Number";
inline constexpr const char* kInverseOfZero = "Inverse of Zero";
inline constexpr const char* kRootOfNegative = "Square Root of Negative Number";
inline constexpr const char* kFractionalPowerOfNegative = "Fractional Power of Negative Number";
inline constexpr const char* kExpOverflow = "Overflow in EXP";
inline constexpr const char* kGammaPrecision = "Precision Problems in GAMMA or ERF";
inline constexpr const char* kGammaSeriesNegative = "pause in GSER - x less than 0";
inline constexpr const char* kGammaArgument = "Argument of GAMMA or ERF must be positive";
inline constexpr const char* kNotImplemented = " Not Implemented";  // after what is not
inline constexpr const char* kVariableComplexPower = "Variable Complex Power ";
inline constexpr const char* kNonPositivePower = "Non Positive Integer Power ";
inline constexpr const char* kConvertingComplex = "Converting Complex to Real";
inline constexpr const char* kInEquation = " in Equation ";  // message + this + number
inline constexpr const char* kVariablesAnd = " variables and ";
inline constexpr const char* kEquationsLine = " equations \n";
inline constexpr const char* kFindingDerivatives = "Finding Derivatives of Equations...\n";
}  // namespace eval_message
