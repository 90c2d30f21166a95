#pragma once

#include <string>

struct CoreState;

// What a save writes.
struct SaveOptions {
    std::string fileName;       // output file; empty: base name + ".SJC"
    bool keepText = false;      // carry the comments and statement layout of base.TMP over
    bool withValues = false;    // append the current values as starting values
    int guessedVariables = -1;  // only variables 1..this get starting values (-1: all)
    bool guessUsedOnly = false;  // only variables a written equation refers to get them
};

// Writes the compiled equation set as equation text that the compiler reads again.
//
// With keepText the run's work copy (base.TMP) is walked statement by statement: blanks, line
// ends and comments before a statement are copied where they stand, comments inside it follow
// it, and the statement itself is replaced by the next equation of the model (an initial
// guess, whose top relation is 0xBB, takes none and is dropped; an equation the elimination
// retired is not written, while one only marked for elimination is, with its mark 0x85). A
// comment left open at the end of the text is closed, so that what is written after it stays
// equation text. Without keepText the equations are written one per
// line. Equations beyond the statements of the text (made by a rewrite) follow one per line,
// then the starting values when asked for. Returns whether the file was written.
bool SaveEquations(CoreState& s, const SaveOptions& options);
