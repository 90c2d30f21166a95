#pragma once

// Size limits of one run. Every table of the core is sized from one Limits value, so a
// larger model only needs a larger value here.
//
// The limits follow one number, the capacity: the most equations a run may hold and the most
// variables. Equations are counted as the compiler counts them, one per statement ending in
// ';', so starting-value assignments (x = 1;) and initial guesses (x followed by the guess
// sign) count as well, although a guess is consumed before solving. The name table keeps six
// hash slots per variable and the evaluation stack two entries per equation, as the smallest
// capacity always had; a name keeps its 8 significant characters whatever the capacity.
struct Limits {
    static constexpr int kDefaultCapacity = 25;
    static constexpr int kMaxCapacity = 20000;
    static constexpr int kSlotsPerVariable = 6;
    static constexpr int kStackPerEquation = 2;

    int capacity = kDefaultCapacity;                          // what the limits were made for
    int maxEquations = kDefaultCapacity;                      // statements a document may hold
    int maxVariables = kDefaultCapacity;                      // distinct variable names
    int nameSlots = kDefaultCapacity * kSlotsPerVariable;     // hash slots of the name table
    int stackEntries = kDefaultCapacity * kStackPerEquation;  // evaluation stack depth
    int nameChars = 8;                                        // significant characters of a name

    // The core appends equations and variables of its own beyond what a document may write:
    // the fixing equations of a two-parameter sweep and the homotopy parameter's equation.
    static constexpr int kCoreExtraEquations = 3;
    static constexpr int kCoreExtraVariables = 2;

    // The limits of a capacity; one outside 25..20000 is taken as the nearest end, so that no
    // setting, however it was entered, can size the tables below the smallest model or beyond
    // what memory allows.
    static Limits ForCapacity(int capacity) {
        const int c = capacity < kDefaultCapacity ? kDefaultCapacity
                      : capacity > kMaxCapacity   ? kMaxCapacity
                                                  : capacity;
        Limits l;
        l.capacity = c;
        l.maxEquations = c;
        l.maxVariables = c;
        l.nameSlots = c * kSlotsPerVariable;
        l.stackEntries = c * kStackPerEquation;
        return l;
    }

    // Sizes of 1-based tables (index 0 unused).
    int equationTableSize() const { return maxEquations + kCoreExtraEquations + 1; }
    int variableTableSize() const { return maxVariables + kCoreExtraVariables + 1; }
};
