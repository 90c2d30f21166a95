#pragma once

struct CoreState;

// Repetitive updates, the 'U' command. With 'S' the set is solved step after step, each step
// after the first taking one row of the update file (updates.h). With 'I' and 'R' the last
// solution is written back into the document's text as starting values or linked constants,
// in base.UPD.

// The update action: 'S', 'I' or 'R' (the command's second character); others do nothing.
void RunUpdate(CoreState& s, char action);

// Writes base.UPD: the document with the number after each `mark` (0xBB for 'I', 0xB0 for
// 'R') replaced by the solved value of the name before it.
void WriteUpdatedText(CoreState& s, unsigned char mark);
