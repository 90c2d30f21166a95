#pragma once

struct CoreState;

// The equation compiler as the run uses it. The parser of core/lang turns the text into code;
// a compile then gives the variables their starting values, which evaluates the starting-value
// assignments, and folds constants, which evaluates constant operands. Both need the
// evaluator, so the compile as a whole sits above it.

// Compiles the rest of the work file once.
void ParseEquations(CoreState& s);
// The entry of the run setup: in complex mode a real pass, the complex scan, and a second pass.
void ParseEquationsComplex(CoreState& s);

// One pass over s.parser.source: the parser, then starting values and folding.
void CompileSource(CoreState& s);
// Bounds, random values, starting-value assignments and first values of the variables.
void ApplyStartingValues(CoreState& s);
// Folding and the derivative phase, equation by equation.
void PrepareEquations(CoreState& s);
