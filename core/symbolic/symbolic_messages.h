#pragma once

// Texts of the differentiation and the Jacobian file.
namespace symbolic_message {
inline constexpr const char* kDerivativeOf = "Deriv of ";  // + kind + name + not implemented
inline constexpr const char* kUnaryFunction = " Unary Function ";
inline constexpr const char* kBinaryFunction = " Binary Function ";
inline constexpr const char* kUseIncremental = "Use Incremental Method";
inline constexpr const char* kIllegalCode = "Illegal Code \"";  // + kind and code bytes
inline constexpr const char* kIllegalCodeEnd = "\" in Function during Derivative";
inline constexpr const char* kWithRespectTo = " wrt ";
inline constexpr const char* kFileIncorrect = "Jacobian File Incorrect";
inline constexpr const char* kIncomplete = "Jacobian Incorrect or Incomplete";
inline constexpr const char* kDerivativeTooLarge = "Derivative Too Large";
}  // namespace symbolic_message
