#pragma once

struct CoreState;

// Repetitive updates, the 'U' command. With 'S' the set is solved step after step, each step
// after the first taking one row of the update file (the document's attachment): a column
// marked with 0xBB gives a starting value, any other column the value at which an appended
// fixing equation holds its variable. With 'I' and 'R' the last solution is written back into
// the document's text as starting values or linked constants, in base.UPD.

// Opens the update file the settings name and reads its header: update mode is on while it is
// open. A file that cannot be opened is reported ("File ... Does Not Exist") and its name
// cleared; the run goes on without updates.
void OpenUpdateFile(CoreState& s);
void CloseUpdateFile(CoreState& s);

// The update action: 'S', 'I' or 'R' (the command's second character); others do nothing.
void RunUpdate(CoreState& s, char action);

// Before every step but the first while update mode is on: the next row of the update file
// goes into the starting values and the fixing equations. False when the table is used up
// (its end or an empty line): the stepping ends before this step.
bool ApplyUpdateRecord(CoreState& s);
// Whether an update run has used up its table.
bool UpdateFileExhausted(const CoreState& s);

// Writes base.UPD: the document with the number after each `mark` (0xBB for 'I', 0xB0 for
// 'R') replaced by the solved value of the name before it.
void WriteUpdatedText(CoreState& s, unsigned char mark);

// Keeps the values of a solve that found a solution, for 'UI' and 'UR' in a later run.
void RememberSolution(CoreState& s);
