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

// Texts of the simplification.
namespace simplify_message {
inline constexpr const char* kSimplifying = "\nSimplifying Equation No: ";  // then each "%4d"
}  // namespace simplify_message

// Texts of the Jacobian and linearization outputs.
namespace jacobian_output_message {
inline constexpr const char* kSavingSymbolicJacobian = "Saving Symbolic Jacobian to File:  ";
inline constexpr const char* kSymbolicJacobianFound = "Symbolic Jacobian Found!";
inline constexpr const char* kSavingLinearized = "Saving Linearized Equations to File:  ";
inline constexpr const char* kSavingSymbolicLinearized =
    "Saving Symbolic Linearized Equations to File:  ";
inline constexpr const char* kSavingTransposed = "Saving Transposed Linearized Equations";
inline constexpr const char* kSavingEquations = "Saving Equations";
inline constexpr const char* kEquationsLinearized = "Equations Linearized!";
inline constexpr const char* kFileIncorrect = "Jacobian File Incorrect";
}  // namespace jacobian_output_message

// Texts of the optimization, regression and homotopy rewrites.
namespace rewrite_message {
inline constexpr const char* kTooManyVariables = "Too Many Variables";
inline constexpr const char* kTooManyEquations = "Too Many Equations";
inline constexpr const char* kNotEnoughEquations = "Not enough equations";
inline constexpr const char* kEquationTooLong = "Equation Too Long";
}  // namespace rewrite_message

// Texts of the attached list file.
namespace list_message {
inline constexpr const char* kAttached = "List File Attached";
inline constexpr const char* kFile = "File ";
inline constexpr const char* kDoesNotExist = " Does Not Exist";
inline constexpr const char* kRow = "Row ";
inline constexpr const char* kShortRow = " of the list file has fewer values than names: left out";
}  // namespace list_message

// Texts of the symbolic elimination.
namespace eliminate_message {
inline constexpr const char* kSubstituting = "Substituting ";  // + "%4d" equation + line end
inline constexpr const char* kVariable = "Variable ";          // + name + kCannotBeEliminated
inline constexpr const char* kCannotBeEliminated = " Cannot Be Eliminated";
inline constexpr const char* kNotFound = "Variable to eliminate not found";
inline constexpr const char* kIllegalCode = "Illegal internal code \"";  // + kind, code bytes
inline constexpr const char* kIllegalCodeEnd = "\" found";
}  // namespace eliminate_message
