#pragma once

struct CoreState;
struct TextFile;

// The "Jacobians and Linearizations" outputs. Each reads the derivative records of base.JAC
// and writes equation text to base.SJC:
//   'J' the symbolic Jacobian: the equations inside one comment, then one statement
//       "{d(eqn<e>)/d(<v>)=} <derivative>;" per record, then the starting values of the
//       variables that have terms, so that solving the terms (the stationarity conditions of
//       an objective) starts where the document started;
//   'L' the equations linearized at the current values: per equation the sum of
//       value * 0xE4<v> (the increment of v) over its terms, "=0;";
//   'S' the same with the derivatives as expressions, by equations; 'R' by variables;
//   'T' the numeric form by variables (the transposed Jacobian).
// The terms of an equation come in the reverse of the file's order, those of a variable from
// the last equation read to the first. Numbers that the compiler reads again are written so
// that they read back exactly.

// The interpreter's 'S' branch on the keys after the 'S'. Unless the first key is 'X' and
// while the Jacobian is not available (incremental method, or no valid base.JAC), nothing is
// written and the Jacobian is requested, so that the command builds it and asks again. Sets
// the recompile flag in every case. Returns whether base.SJC was written.
bool SymbolicOperation(CoreState& s, const char* keys);

// Opens base.SJC for writing; "Unable to open file for output" when it cannot be.
bool OpenOutputFile(CoreState& s, TextFile& out);

bool WriteSymbolicJacobian(CoreState& s);
bool WriteLinearizedEquations(CoreState& s);
bool WriteSymbolicLinearized(CoreState& s, bool transposed);
bool WriteTransposedLinearized(CoreState& s);
