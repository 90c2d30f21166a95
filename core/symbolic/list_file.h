#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/base/code_node.h"
#include "core/base/list_tokens.h"

struct CoreState;

// The data rows of the attached list file, for the columns whose names are variables of the
// equations (the first column of a name counts): one value per such column and row, stored
// row after row in one array, so that a table of any length takes three allocations that
// grow, not one per row or cell.
struct ListTable {
    std::vector<int> variables;  // the variable of each kept column
    std::vector<double> values;  // row by row, variables.size() values each
    std::vector<int> lines;      // line of the file of each row, the header being line 1

    int rows() const { return static_cast<int>(lines.size()); }
    int columns() const { return static_cast<int>(variables.size()); }
    const double* row(int r) const {
        return values.data() + static_cast<std::size_t>(r) * columns();
    }
};

// Reads the attached list file (the settings' update file name): "List File Attached", a line
// end and its name on the console (unless quiet), then the rows. Cells are separated as in
// every table file (list_tokens.h). Empty lines are skipped; a row with fewer values than the
// header has names is left out with a note, rather than read with zeros in place of the
// missing values. Returns false, after "File <name> Does Not Exist", when the file cannot be
// opened.
bool ReadListFile(CoreState& s, ListTable& table, bool quiet = false);

// A copy of an equation's code (evaluation form) in parse form without deleted nodes, every
// reference to a variable of the table replaced by a constant with the row's value.
CodeNode* SubstituteRow(CoreState& s, const CodeNode* code, const ListTable& table, int row);
