#pragma once

#include <ostream>

// valdrix import-cf [--full-model] FILE.cf [OUT.alg]: argv holds the arguments after the
// command's name. Prints the import's message and returns 0 when the document was written, or
// an error and returns 1 when the import refused or could not write it, 2 on a usage error.
int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
