#pragma once

// Texts of the parser.
namespace parser_message {
inline constexpr const char* kParenExpected = "Error: \")\" expected";
inline constexpr const char* kIllegalCharacter = "Illegal Character #";  // + decimal byte
inline constexpr const char* kThenExpected = "THEN expected";
inline constexpr const char* kElseExpected = "ELSE expected";
inline constexpr const char* kCommaExpected = "Comma expected";
inline constexpr const char* kFunctionError = "Error in Function \"";  // + name + '"'
inline constexpr const char* kFunctionFileError = "Error in Function File";
inline constexpr const char* kNumericFormat = "Numeric Format Error";
inline constexpr const char* kNameTableFull = "Name Table Is Full";
inline constexpr const char* kTooManyVariables = "Too Many Variables";
inline constexpr const char* kTooManyEquations = "Too Many Equations";
inline constexpr const char* kSemicolonExpected = " Error: \";\" expected";
inline constexpr const char* kNestedTooDeeply = "Expression Nested Too Deeply";
inline constexpr const char* kEquationTooLong = "Equation Too Long";
inline constexpr const char* kCharacter = "Char ";  // + the character before a missing ';'
inline constexpr const char* kAtCharacter = " at character ";  // message + this + position
}  // namespace parser_message

// Texts of the save of equation text.
namespace save_message {
inline constexpr const char* kSaving = "\nSaving Equations...\n";
inline constexpr const char* kSaved = "Equations Saved to File:  ";
inline constexpr const char* kResetError = "Reset error";
inline constexpr const char* kUnableToOpen = "Unable to open file for output";
}  // namespace save_message

// Texts of the differential and integral rewrites.
namespace difint_message {
inline constexpr const char* kIndependentExpression =
    "Independent Variable Expressions Not Allowed";
inline constexpr const char* kMultipleIndependent = "Multiple Independent Variables Not Allowed";
inline constexpr const char* kOnlySimpleVariable = "Only Derivatives of Simple Variable Permitted";
inline constexpr const char* kIntegrandIncorrect = "Integrand Incorrect";
inline constexpr const char* kIntegrationVariable = "Variable of Integration Incorrect";
inline constexpr const char* kLimitSyntax = "Integral Limit Syntax Incorrect";
inline constexpr const char* kNoIndependent =
    "\n\nSyntax Error!!\nThere is no independent variable!";
inline constexpr const char* kNoChanges = "Syntax Error, No Changes";
inline constexpr const char* kNumberOfIntervals = "Number of Intervals:";
inline constexpr const char* kIllegalNumber = "Illegal Number";
inline constexpr const char* kNotImplemented = "Operation Not Implemented";
inline constexpr const char* kLevelNames = "Names of Time Levels Too Long or Not Unique";
}  // namespace difint_message

// Texts of the equation writer.
namespace writer_message {
inline constexpr const char* kEndedPrematurely = "Equation Ended Prematurely";
}  // namespace writer_message
