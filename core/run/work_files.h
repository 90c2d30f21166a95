#pragma once

#include <string>

// Base name of a document path: the path up to the first '.' of its file-name part (a leading
// '.' of the file name does not count). Empty when the file name has no such '.'. Every file of a
// run is named from it.
std::string BaseNameOf(const std::string& path);

// Whether a document of this name would be one of the files its own runs write: its name,
// from the first '.' of its file name on, is a work-file extension (.TMP, .PRN, .JAC, .FFT,
// .SJC, .KTK, .UPD, .FIT or the settings file's .VDP) or the temporary name of a file written
// whole (.UPD.new, .VDP.new), in any case. The core refuses to run such a document before it
// writes anything; the desktop refuses to open or save one.
bool IsWorkFileName(const std::string& path);

// Whether the existing file at path (an attachment) is one that a run of document writes,
// empties or renames over: a work file or a temporary name of the document's base name,
// however path spells it. The core refuses such a run before it writes anything.
bool IsRunFileOf(const std::string& document, const std::string& path);
