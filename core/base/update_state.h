#pragma once

#include <string>
#include <utility>
#include <vector>

// One column of the update file's header line.
struct UpdateColumn {
    std::string name;           // variable name: quotes and the 0xBB mark removed, cut
    bool initialValue = false;  // marked with 0xBB: a starting value; otherwise a fixed value
};

// State of the repetitive updates: the update file of a 'U' command, the equations appended
// for its columns, and the last solution, which 'UI' and 'UR' write back into the text.
struct UpdateState {
    bool mode = false;                  // the update file is open: a 'U' command is running
    std::vector<UpdateColumn> columns;  // the header line, in file order
    int fixingCount = 0;                // fixing equations appended by the last compile
    int line = 1;                       // line of the update file read last (header = 1)
    bool exhausted = false;             // no further row: the stepping ends
    // The values of the last solve that found a solution, by variable name, and the document
    // they belong to; kept across runs (the run setup clears the name table).
    std::string solvedDocument;
    std::vector<std::pair<std::string, double>> solution;
};
