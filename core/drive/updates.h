#pragma once

struct CoreState;

// The update file of repetitive updates (the document's attachment) as the stepping reads it:
// each step after the first takes one row, a column marked with 0xBB giving a starting value,
// any other column the value at which an appended fixing equation holds its variable. The
// command that runs the steps and writes solutions back is in update_command.h.

// Opens the update file the settings name and reads its header: update mode is on while it is
// open. A file that cannot be opened is reported ("File ... Does Not Exist") and its name
// cleared; the run goes on without updates.
void OpenUpdateFile(CoreState& s);
void CloseUpdateFile(CoreState& s);

// Before every step but the first while update mode is on: the next row of the update file
// goes into the starting values and the fixing equations. False when the table is used up
// (its end or an empty line): the stepping ends before this step.
bool ApplyUpdateRecord(CoreState& s);
// Whether an update run has used up its table.
bool UpdateFileExhausted(const CoreState& s);

// Keeps the values of a solve that found a solution, for 'UI' and 'UR' in a later run.
void RememberSolution(CoreState& s);
