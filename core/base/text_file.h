#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// State shared by all text files of one core.
struct IoContext {
    std::FILE* errorStream = stderr;  // where error reports go
};

// Status flags of a text file.
namespace file_status {
inline constexpr unsigned kNoReport = 4;  // a failure is left to the caller to report
}  // namespace file_status

// A sequential text file, read line by line or written, that never throws: every operation
// records its outcome in `error` and reports a failure.
struct TextFile {
    std::FILE* stream = nullptr;  // null while closed
    std::string name;             // external name; empty when none was assigned
    bool writing = false;         // the open stream was opened for writing
    unsigned status = 0;          // file_status flags
    int error = 0;                // 0 or an errno value
    IoContext* io = nullptr;      // shared context; a file without one reports to stderr
    // Rewritten over what it holds and cut to its new length when closed (work files, which
    // every run writes again at nearly the same length).
    bool scratch = false;
    // First failure of a write or of the close since the file was opened; later successes do
    // not clear it, so a caller learns at the end whether the whole file was written.
    int writeError = 0;
    bool writeErrorReported = false;  // the run has told the user about writeError
    // Bookkeeping of an open stream: bytes written since it was opened, and for a scratch file
    // written over its old text, the length that text had (-1 when there is nothing to cut).
    std::uintmax_t written = 0;
    std::intmax_t cutFrom = -1;
    std::unique_ptr<char[]> buffer;  // the stream's buffer, ours so that opening asks no size
    std::string memory;              // the text a stream opened by ReadText reads

    TextFile() = default;
    explicit TextFile(IoContext* context) : io(context) {}
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();
};

void Assign(TextFile& f, const std::string& name);
void Reset(TextFile& f);    // open for reading
// Opens the file for reading text that the caller has just written to it and closed without
// error, from memory: what it reads is what the file now holds, without reading it back.
void ReadText(TextFile& f, std::string text);
void Rewrite(TextFile& f);  // open for writing, creating or emptying the file
void Close(TextFile& f);
void Flush(TextFile& f);  // hands buffered text to the system; a failure counts as a write's
bool IsOpen(const TextFile& f);
bool Exists(const std::string& name);

// What stands under a name that is to be read whole: a plain file of at most limit bytes, or
// something that must not be read (missing, a folder, a device or pipe, a larger file).
enum class InputFileState { kOk, kMissing, kFolder, kNotPlain, kTooLarge };
InputFileState CheckInputFile(const std::string& name, std::uintmax_t limit);
// Why a file in that state is not read, in the words a message puts after its name: "it is a
// folder", "not a plain file", "larger than N bytes" (N the limit it was checked against).
// Empty for kOk, and for a missing file, which its name alone explains.
std::string InputFileRefusal(InputFileState state, std::uintmax_t limit);

// Reads the rest of the current line and consumes its line end. A line longer than limit is
// cut there; its rest is left for the next read.
bool ReadWholeLine(TextFile& f, std::string& line, std::size_t limit = SIZE_MAX);
// Writes text byte for byte, zero bytes included.
void WriteString(TextFile& f, std::string_view text);
void WriteLine(TextFile& f);
// The text "%d" gives v, and the text "%.*E" gives v with `digits` digits after the point
// (upper-case letters). Valid until the next call on the same thread.
std::string_view DecimalText(int v);
std::string_view ExponentText(double v, int digits);
