#pragma once

// Size limits of one run. Every table of the core is sized from one Limits value, so a
// larger model only needs a larger value here.
struct Limits {
    int maxEquations = 25;  // equations a document may hold
    int maxVariables = 25;  // distinct variable names
    int nameSlots = 150;    // hash slots of the name table
    int stackEntries = 50;  // evaluation stack depth
    int nameChars = 8;      // significant characters of a name

    // The core appends equations and variables of its own beyond what a document may write:
    // the fixing equations of a two-parameter sweep and the homotopy parameter's equation.
    static constexpr int kCoreExtraEquations = 3;
    static constexpr int kCoreExtraVariables = 2;

    // Sizes of 1-based tables (index 0 unused).
    int equationTableSize() const { return maxEquations + kCoreExtraEquations + 1; }
    int variableTableSize() const { return maxVariables + kCoreExtraVariables + 1; }
};
