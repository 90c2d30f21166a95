#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/code_node.h"

// State of the equation compiler. The run reset replaces it with a fresh value; every pass
// of the compiler resets the per-pass part itself.
struct ParserState {
    // Reader.
    std::string source;        // the equation text of the run, read once per compile
    std::string_view input;    // text being read now: the source or a function body
    std::size_t pos = 0;       // index of the next byte of input
    unsigned char ch = 0xDB;   // current character
    bool textRemains = false;  // false once input is exhausted (ch is then 0xDB)
    bool skipped = false;      // blanks or a comment came before the current character
    int charCount = 0;         // characters consumed from the input (error position)
    std::string currentName;   // last name collected from a comment

    // Errors: the first one wins.
    bool error = false;     // the text was rejected
    int errorPosition = 0;  // character position of the first error

    // Grammar.
    int equation = 0;          // number of the equation being read (1-based)
    int depth = 0;             // nesting of relations; 1 is an equation's top level
    int nesting = 0;           // nesting of primaries, refused beyond a fixed limit
    int emitted = 0;           // code nodes of the equation being read
    CodeNode* list = nullptr;  // code being built, parse form, new nodes go in front

    // User functions.
    std::string functionPath;      // folder prefix of NAME.FUN files (the document's folder)
    std::vector<CodeNode*> args;   // argument lists of the function body being read
    int functionDepth = 0;         // function bodies being read, innermost counted
    int functionCallPosition = 0;  // position in the equation text of the outermost call

    // Complex mode.
    std::vector<bool> foundReal;   // by text order: the complex scan found the equation real
    std::vector<int> textOrdinal;  // by equation number: its position in the text (1-based)

    // Linked constants (a number written after 0xB0, tied to the last comment name) and the
    // derivative phase that examines them.
    bool linkedConstants = false;        // a linked constant occurred: the phase walks the code
    bool linkedConstantsAsTerms = true;  // cleared when one is not a term of the top-level sum
};
