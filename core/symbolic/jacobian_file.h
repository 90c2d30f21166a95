#pragma once

#include <vector>

#include "core/base/code_node.h"

struct CoreState;
struct TextFile;

// The symbolic Jacobian of a run, kept in the text file base + ".JAC".
//
// One record per pair (equation e, variable v) where v occurs in e, in equation order and,
// within an equation, in the order the variables are first met in its parse form:
//   a header line  "%7d %7d"        e and v
//   node lines     kind, sub, ' ', "%7d" var, ' ', value as "%14.<accuracy>E"
//                  (the folded derivative in evaluation form, without its ';')
//   an end line    ";"
// and after the last record the line "   0   0   0".

// Differentiates every equation with respect to each of its variables and writes the file.
// Clears the Jacobian needed flag when every equation was done; otherwise (a function without
// a rule, an error, ESC between equations) reports "Jacobian Incorrect or Incomplete" and
// leaves the flag set. The equations' code is unchanged afterwards.
void BuildJacobianFile(CoreState& s);

// Reads the file back into the solver's Jacobian rows: one entry per record, at the head of
// its equation's row, and the diagonal entry where variable = equation. Records of
// equations or variables the current model does not have (a file left by a larger model) are
// skipped. Any real notation is accepted for the values. Returns false, after "Jacobian File
// Incorrect" and the stop signal, when the file cannot be opened or is damaged.
//
// A complete build holds the records it wrote, each derivative exactly as the file gives it
// back; the first read after the build takes them instead of reading and parsing the file
// (the file stays as written for users and the other commands). Later reads read the file.
bool ReadJacobianFile(CoreState& s);
// Frees the records a build holds (a new compile or build makes them useless).
void FreeHeldJacobian(CoreState& s);

// Frees the derivative code of every Jacobian entry and empties the rows, the columns, the
// diagonal and the entry storage; the records a build holds are freed as well.
void FreeJacobianRows(CoreState& s);

// One record of the file: a derivative in evaluation form ending with ';' (owned; null for a
// record without nodes).
struct JacobianRecord {
    int equation = 0;
    int variable = 0;
    CodeNode* code = nullptr;
};

// Reads the records of an open Jacobian file in file order, up to an equation number 0 or the
// end of the file. Returns false at a damaged record; the records before it are kept.
bool ReadJacobianRecords(CoreState& s, TextFile& file, std::vector<JacobianRecord>& records);
