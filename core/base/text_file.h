#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// State shared by all text files of one core: the last I/O error of any operation, the
// switch that silences error reports, and the program arguments that '^n' names refer to.
struct IoContext {
    int lastError = 0;                // error code of the last operation on any file
    bool suppressReports = false;     // no error report is printed while set
    std::vector<std::string> args;    // program arguments; args[0] is the program
    std::FILE* errorStream = stderr;  // where error reports go
    std::FILE* promptIn = stdin;      // where '*' names read the file name from
    std::FILE* promptOut = stdout;    // where '*' names write their prompt
};

// Mode flags of a text file.
namespace file_mode {
inline constexpr unsigned kReadWrite = 1, kAppend = 2, kRead = 4, kWrite = 8, kCreate = 16,
                          kBinary = 64, kTemporary = 1024;
}
// Status flags of a text file.
namespace file_status {
inline constexpr unsigned kLookAhead = 3, kNoReport = 4;
// Direction of the last access, kept so that an update stream is repositioned before it
// switches between reading and writing, as the runtime library requires.
inline constexpr unsigned kLastRead = 256, kLastWrite = 512;
}  // namespace file_status
// Error codes besides the runtime library's positive error numbers.
inline constexpr int kIoBeyondEnd = -1;
inline constexpr int kIoFormatError = -2;

// A sequential text file with exact write formats and error codes that never throws.
struct TextFile {
    std::FILE* stream = nullptr;  // null while closed
    std::string name;             // external name; empty when none was assigned
    unsigned mode = 0;            // file_mode flags of the open stream
    unsigned status = 0;          // file_status flags
    int lookAhead = -1;           // character read ahead by the last string read, -1 at end
    int error = 0;                // 0, kIoBeyondEnd, kIoFormatError or an errno value
    IoContext* io = nullptr;      // shared context; a file without one reports to stderr
    bool scratch = false;         // rewritten by removing and creating anew (work files)
    // First failure of a write or of the close since the file was opened; later successes do
    // not clear it, so a caller learns at the end whether the whole file was written.
    int writeError = 0;
    bool writeErrorReported = false;  // the run has told the user about writeError

    TextFile() = default;
    explicit TextFile(IoContext* context) : io(context) {}
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();
};

// Optional field width or precision of the write operations.
inline constexpr int kNoWidth = -0x7fffffff;

void Assign(TextFile& f, const std::string& name);
void Reset(TextFile& f);    // open for reading
void Rewrite(TextFile& f);  // open for writing, creating or emptying the file
void OpenWithHistory(TextFile& f, const std::string& name, const std::string& history,
                     int* status = nullptr);
void Close(TextFile& f);
void Flush(TextFile& f);  // hands buffered text to the system; a failure counts as a write's
void Erase(TextFile& f);
void Rename(TextFile& f, const std::string& newName);
bool Eof(TextFile& f);
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

int ReadInteger(TextFile& f);
unsigned ReadUnsigned(TextFile& f);
long ReadLong(TextFile& f);
unsigned long ReadUnsignedLong(TextFile& f);
double ReadReal(TextFile& f);
// Reads up to length characters, stopping before a line end or at end of file; with pad the
// result is filled with blanks to length. The stopping character stays buffered.
std::string ReadString(TextFile& f, int length, bool pad = false);
// Reads the rest of the current line and consumes its line end. A line longer than limit is
// cut there; its rest is left for the next read.
bool ReadWholeLine(TextFile& f, std::string& line, std::size_t limit = SIZE_MAX);
void ReadLine(TextFile& f);  // skip the rest of the current line and its line end

void WriteString(TextFile& f, const char* text, int length, int width = kNoWidth);
void WriteString(TextFile& f, const std::string& text, int width = kNoWidth);
void WriteChar(TextFile& f, char c, int width = kNoWidth);
void WriteInteger(TextFile& f, int v, int width = kNoWidth);
void WriteUnsigned(TextFile& f, unsigned v, int width = kNoWidth);
void WriteLong(TextFile& f, long v, int width = kNoWidth);
void WriteUnsignedLong(TextFile& f, unsigned long v, int width = kNoWidth);
void WriteReal(TextFile& f, double v, int width = kNoWidth, int precision = kNoWidth);
void WriteBoolean(TextFile& f, bool v, int width = kNoWidth);
// Writes text byte for byte, zero bytes included: for a writer that formats whole lines itself.
void WriteBytes(TextFile& f, std::string_view text);
// The text WriteInteger gives v (without the width), and the text WriteReal gives v with the
// precision -digits (exponent form, upper-case letters). Valid until the next call on the same
// thread.
std::string_view DecimalText(int v);
std::string_view ExponentText(double v, int digits);
void WriteLine(TextFile& f);
void Page(TextFile& f);
long SizeInBlocks(TextFile& f);
