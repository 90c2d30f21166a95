#pragma once

#include <istream>
#include <string>

#include "import/power_flow_model.h"

struct ImportResult {
    bool ok = false;
    std::string document;    // the generated equation text; empty when !ok
    std::string message;     // what the user is told: where the document went, or why not
    std::string outputPath;  // where the document was (or would have been) written
    int equations = 0;       // equations of the document, as many as its variables
    int statements = 0;      // equations, settings and starting values: the capacity a run needs
};

// Converts Common Format data into the equation document's text without touching any file.
// A document that a run could not read or hold is not formed either. On failure message says
// why and document stays empty.
ImportResult ConvertCommonFormatText(std::istream& in, const ImportOptions& options = {});

// Reads inputPath and writes the document to outputPath (CommonFormatOutputName of the input
// when empty). The document is written to a temporary file (outputPath + ".new") and renamed
// into place, so a failed import leaves no partial document and an existing one untouched; a
// pipe or a device under that name is written into instead. The input is read only when it is
// a plain file within the document size bound, and never written: an output or temporary that
// is the input file, under any name or link, is refused.
ImportResult ConvertCommonFormat(const std::string& inputPath, const std::string& outputPath = {},
                                 const ImportOptions& options = {});

// The input path up to the first '.' of its file name, followed by ".ALG".
std::string CommonFormatOutputName(const std::string& inputPath);
