#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/base/code_node.h"
#include "core/base/list_tokens.h"

struct CoreState;

namespace list_message {
inline constexpr const char* kAttached = "List File Attached";
inline constexpr const char* kFile = "File ";
inline constexpr const char* kDoesNotExist = " Does Not Exist";
inline constexpr const char* kRow = "Row ";
inline constexpr const char* kShortRow = " of the list file has fewer values than names: left out";
inline constexpr const char* kNoNumber =
    " of the list file holds a value that is no finite number (nan, inf): left out";
}  // namespace list_message

// One data row of the attached list file: the values of the named columns that are variables
// of the equations, by variable number (the first column of a name counts).
struct ListRow {
    int line = 0;                                // line of the file, the header being line 1
    std::vector<std::pair<int, double>> values;  // variable, value
};

// Reads the attached list file (the settings' update file name): "List File Attached", a line
// end and its name on the console (unless quiet), then the rows. Empty lines are skipped; a row
// with fewer values than the header has names is left out with a note, rather than read with zeros
// in place of the missing values. Returns false, after "File <name> Does Not Exist", when the file
// cannot be opened.
bool ReadListFile(CoreState& s, std::vector<ListRow>& rows, bool quiet = false);

// A copy of an equation's code (evaluation form) in parse form without deleted nodes, every
// reference to a variable of the row replaced by a constant with the row's value.
CodeNode* SubstituteRow(CoreState& s, const CodeNode* code, const ListRow& row);
