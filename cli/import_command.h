#pragma once

#include <ostream>

// valdrix import-cf [--full-model] FILE.cf [OUT.alg]: argv holds the arguments after the
// command's name. Prints the import's message and returns 0 (the document was written); prints
// an error and returns 1 when the input is refused or nothing was written, 2 when the command
// line itself is wrong (an unknown option, no input file or too many files).
int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
