#pragma once

#include <ostream>

// valdrix import-cf [--full-model] FILE.cf [OUT.alg]: argv holds the arguments after the
// command's name. Prints the import's message and returns 0, or an error and returns 1.
int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
