#pragma once

// State of the equation compiler (reset at the start of every parse).
struct ParserState {
    bool error = false;        // the text was rejected
    int errorPosition = 0;     // character position of the first error
};
