#pragma once

#include <string>
#include <string_view>

#include "core/base/bounds.h"
#include "core/base/code_node.h"

struct CoreState;

// The equation compiler: a recursive-descent parser driven one character at a time. Every
// grammar routine starts at the current character (s.parser.ch), consumes what belongs to
// it, leaves the first character that does not as the new current character, and adds its
// code in front of s.parser.list (parse form). A rejected text raises s.parser.error with the
// first message in s.message and its position in s.parser.errorPosition.

// Byte the reader returns at the end of the text (a blank of the editor font).
inline constexpr unsigned char kEndOfText = 0xDB;

// The parser's part of a compile; the whole compile, with the steps that evaluate code, is
// in core/eval/compile.h.
void LoadSource(CoreState& s);  // the rest of s.files.work into s.parser.source
// One pass over s.parser.source into the name table and the equation model. False, after the
// error was reported, when the text was rejected.
bool ReadEquations(CoreState& s);
void ComplexScan(CoreState& s);  // after a real pass: real equations and real variables
void AppendUpdateFileEquations(CoreState& s);  // update mode: the fixing equations
void ReportParseError(CoreState& s);

// Character classes of the equation text.
bool IsBlankChar(unsigned char c);
bool IsIdentifierStart(unsigned char c);
bool IsIdentifierBody(unsigned char c);
bool IsPrimaryStart(unsigned char c);
bool IsRelationChar(unsigned char c);
// A whole name of the language: an identifier-start byte, then identifier-body bytes.
bool IsName(std::string_view text);

// Reader.
void StartReading(CoreState& s, std::string_view text);  // and reads the first character
void NextChar(CoreState& s);
void PushBack(CoreState& s);  // the current character is read again by the next NextChar
void ParseError(CoreState& s, const std::string& message);

// Grammar.
void Relation(CoreState& s);
void SimpleExpression(CoreState& s);
void Term(CoreState& s);
void Factor(CoreState& s);
void Primary(CoreState& s);
void ParenthesisedRelation(CoreState& s);       // from the '(' to past the ')'
void Number(CoreState& s, unsigned char form);  // form: ' ' real, 0xDF imaginary
std::string Identifier(CoreState& s);
CodeNode* ParseSubRelation(CoreState& s);  // a Relation compiled into a list of its own
void Emit(CoreState& s, NodeKind kind, unsigned char sub, int var = 0, double value = 0.0);
// Counts nodes against the equation's bound; false, with "Equation Too Long" raised, past it.
bool ChargeNodes(CoreState& s, int nodes);
void LinkRun(CoreState& s, CodeNode* run);  // puts a whole parse-form run in front

// Names.
int LookupName(CoreState& s, const std::string& name);
void EmitVariable(CoreState& s, const std::string& name, bool designated);
// A call of NAME when NAME.FUN exists in the function folder; false (nothing read) otherwise.
bool CallUserFunction(CoreState& s, const std::string& name);
std::string FunctionPathPrefix(const std::string& baseName);

// Numbers: the text of a number token normalised for conversion, and its conversion.
std::string NormaliseNumber(std::string token);
bool ConvertNumber(const std::string& token, double& value);

// Whether every linked constant of a parse-form list is a term of its top-level sum.
bool LinkedConstantsOnlyAsTerms(const CodeNode* list);
