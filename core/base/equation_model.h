#pragma once

#include <vector>

#include "core/base/code_node.h"
#include "core/base/flat_code.h"
#include "core/base/limits.h"

// Relation characters of an equation's top level.
inline constexpr unsigned char kRelationNone = ' ';
inline constexpr unsigned char kRelationEqual = '=';
// Written in place of '=', it marks an equation whose variable is to be eliminated; the
// elimination keeps the mark on the equations it retires. Until then the equation is an
// equation like any other.
inline constexpr unsigned char kRelationRetired = 0x85;
inline constexpr unsigned char kRelationGuess = 0xBB;

struct Equation {
    CodeNode* code = nullptr;                // evaluation form, owned
    unsigned char relation = kRelationNone;  // top-level relation as written
    int designated = 0;                      // designated variable (0 = none)
    bool complex = false;                    // complex scan: the equation is complex
    int updateColumn = 0;  // appended to hold this column of the update file (1-based); 0 if not
    bool retired = false;  // its variable was eliminated everywhere: no longer written or used
    FlatCache flat;        // code as the evaluator runs it, while the code stays as it is
};

// The equations of one run, numbered from 1.
struct EquationModel {
    explicit EquationModel(const Limits& limits) : eq(limits.equationTableSize()) {}
    // Tables of another size; only for a model without code (the code lists are not freed).
    void resize(const Limits& limits) { eq.assign(limits.equationTableSize(), Equation{}); }
    int count = 0;  // equations in use
    std::vector<Equation> eq;
};
