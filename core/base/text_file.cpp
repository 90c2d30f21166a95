#include "core/base/text_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "core/base/base_messages.h"

namespace {

using file_mode::kAppend;
using file_mode::kBinary;
using file_mode::kCreate;
using file_mode::kRead;
using file_mode::kReadWrite;
using file_mode::kTemporary;
using file_mode::kWrite;
using file_status::kLastRead;
using file_status::kLastWrite;
using file_status::kLookAhead;
using file_status::kNoReport;

// Error code of operations on a file that is not open.
constexpr int kNotOpen = EBADF;

// errno right after a failing library call; some failures leave it unset.
int LibraryError() {
    return errno > 0 ? errno : EIO;
}

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsStandardStream(std::FILE* stream) {
    return stream == stdin || stream == stdout || stream == stderr;
}

bool Readable(unsigned mode) {
    return (mode & (kRead | kReadWrite)) != 0;
}

bool ReportsAllowed(const TextFile& f) {
    return (f.status & kNoReport) == 0 && !(f.io && f.io->suppressReports);
}

std::FILE* ErrorStream(const TextFile& f) {
    std::FILE* out = f.io ? f.io->errorStream : stderr;
    return out ? out : stderr;
}

void Report(const TextFile& f, int code) {
    const char* name = f.name.empty() ? base_message::kIoUnnamedFile : f.name.c_str();
    std::FILE* out = ErrorStream(f);
    if (code == kIoFormatError) {
        std::fprintf(out, base_message::kIoFormatError, name);
    } else if (code == kIoBeyondEnd) {
        std::fprintf(out, base_message::kIoBeyondEnd, name);
    } else {
        std::fprintf(out, base_message::kIoFileError, name, std::strerror(code));
    }
    std::fflush(out);
}

// Every operation ends here: the outcome becomes the file's and the context's last error,
// and a failure is reported. A stream error is cleared so that the file stays usable.
void Finish(TextFile& f, int code) {
    f.error = code;
    if (f.io) f.io->lastError = code;
    if (code == 0) return;
    if (ReportsAllowed(f)) Report(f, code);
    if (code > 0 && f.stream) std::clearerr(f.stream);
}

// The runtime library's open mode for a set of mode flags.
const char* ModeText(unsigned mode) {
    const bool binary = (mode & kBinary) != 0;
    if (mode & kAppend) {
        if (mode & (kReadWrite | kRead)) return binary ? "ab+" : "a+";
        return binary ? "ab" : "a";
    }
    if (mode & kCreate) return binary ? "wb+" : "w+";
    if ((mode & kReadWrite) || ((mode & kRead) && (mode & kWrite))) return binary ? "rb+" : "r+";
    if (mode & kRead) return binary ? "rb" : "r";
    if (mode & kWrite) return binary ? "wb" : "w";
    return binary ? "rb+" : "r+";
}

// Opens name with mode; on failure returns null with errno describing why.
std::FILE* OpenStream(const std::string& name, unsigned mode) {
    errno = 0;
    std::FILE* stream = std::fopen(name.c_str(), ModeText(mode));
    if (stream && (mode & kTemporary)) std::remove(name.c_str());
    return stream;
}

// Releases the stream without reporting; the standard streams stay open for others.
int Detach(TextFile& f) {
    int code = 0;
    if (f.stream) {
        errno = 0;
        int rc = IsStandardStream(f.stream) ? std::fflush(f.stream) : std::fclose(f.stream);
        if (rc != 0) code = LibraryError();
    }
    f.stream = nullptr;
    f.status &= ~(kLookAhead | kLastRead | kLastWrite);
    f.lookAhead = -1;
    return code;
}

void Attach(TextFile& f, std::FILE* stream, unsigned mode) {
    f.stream = stream;
    f.mode = mode;
    f.writeError = 0;
    f.writeErrorReported = false;
    f.status &= ~(kLookAhead | kLastRead | kLastWrite);
    f.lookAhead = -1;
}

// Gives the buffered look-ahead character back to the stream.
void GiveBack(TextFile& f) {
    if ((f.status & kLookAhead) && f.lookAhead != EOF) std::ungetc(f.lookAhead, f.stream);
    f.status &= ~kLookAhead;
    f.lookAhead = -1;
}

// Readies an open stream for a read; false (with the error recorded) when it is closed.
// An update stream must be repositioned when it turns from writing to reading.
bool BeginRead(TextFile& f) {
    if (!f.stream) {
        Finish(f, kNotOpen);
        return false;
    }
    if (f.status & kLastWrite) std::fseek(f.stream, 0, SEEK_CUR);
    f.status = (f.status & ~kLastWrite) | kLastRead;
    GiveBack(f);
    return true;
}

// Writes text right-aligned in width; returns the characters written, or -1 on an error.
int PutRightAligned(std::FILE* stream, std::string_view text, int width) {
    for (int pad = width - static_cast<int>(text.size()); pad > 0; --pad) {
        if (std::fputc(' ', stream) == EOF) return -1;
    }
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) return -1;
    return std::max(width, static_cast<int>(text.size()));
}

bool BeginWrite(TextFile& f) {
    if (!f.stream) {
        Finish(f, kNotOpen);
        return false;
    }
    // The look-ahead goes back first so that the write lands where the reader stopped.
    GiveBack(f);
    if (f.status & kLastRead) std::fseek(f.stream, 0, SEEK_CUR);
    f.status = (f.status & ~kLastRead) | kLastWrite;
    errno = 0;
    return true;
}

// Records the first failed write; it survives the writes that follow.
void NoteWriteError(TextFile& f, int code) {
    if (code != 0 && f.writeError == 0) f.writeError = code;
}

bool Writable(unsigned mode) {
    return (mode & (kWrite | kReadWrite | kAppend | kCreate)) != 0;
}

void EndWrite(TextFile& f, int printed) {
    const int code = printed < 0 ? LibraryError() : 0;
    NoteWriteError(f, code);
    Finish(f, code);
}

// Outcome of a failed scan: a stream error, the end of the file, or unreadable input.
int ScanError(std::FILE* stream) {
    if (std::ferror(stream)) return LibraryError();
    return std::feof(stream) ? kIoBeyondEnd : kIoFormatError;
}

template <typename T>
T Scan(TextFile& f, const char* format) {
    T value{};
    if (!BeginRead(f)) return value;
    errno = 0;
    if (std::fscanf(f.stream, format, &value) == 1) {
        Finish(f, 0);
    } else {
        Finish(f, ScanError(f.stream));
        value = T{};
    }
    return value;
}

// A '^n' name: the n-th program argument. Returns false for other names.
bool IsArgumentReference(const std::string& name) {
    return name.size() > 1 && name[0] == '^' &&
           std::all_of(name.begin() + 1, name.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

std::string Trimmed(const std::string& s) {
    const char* blanks = " \t\r\n";
    std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// Turns '^n' and '*prompt' names into file names; false when no name can be had.
bool ResolveName(const TextFile& f, const std::string& name, std::string& resolved) {
    if (IsArgumentReference(name)) {
        if (!f.io || name.size() > 9) return false;
        std::size_t n = std::stoul(name.substr(1));
        if (n >= f.io->args.size()) return false;
        resolved = f.io->args[n];
        return true;
    }
    if (!name.empty() && name[0] == '*') {
        std::FILE* in = f.io ? f.io->promptIn : stdin;
        std::FILE* out = f.io ? f.io->promptOut : stdout;
        if (out) {
            std::fputs(name.c_str() + 1, out);
            std::fflush(out);
        }
        std::string line;
        for (int c; in && (c = std::getc(in)) != EOF && c != '\n';) line += static_cast<char>(c);
        resolved = Trimmed(line);
        return !resolved.empty();
    }
    resolved = name;
    return true;
}

// Opens by history keyword; returns 0 or the history error (2, 3 or 4) with errno set.
int OpenByHistory(TextFile& f, const std::string& name, const std::string& history) {
    const unsigned binary = f.mode & kBinary;
    const std::string h = Lower(history);
    std::FILE* stream = nullptr;
    unsigned mode = 0;
    if (h == "new") {
        if (Exists(name)) {
            errno = EEXIST;
            return 4;
        }
        mode = binary | kRead | kWrite | kCreate;
        stream = OpenStream(name, mode);
    } else if (h == "old" || h == "unknown") {
        mode = binary | kRead | kWrite;
        stream = OpenStream(name, mode);
        if (!stream) {
            mode = binary | (h == "old" ? kRead : kRead | kWrite | kCreate);
            stream = OpenStream(name, mode);
        }
    } else {
        errno = EINVAL;
        return 3;
    }
    if (!stream) return 2;
    Attach(f, stream, mode);
    f.name = name;
    return 0;
}

// Directory part plus file name up to its last '.', or the whole name when it has none.
std::string WithoutExtension(const std::string& name) {
    std::size_t slash = name.find_last_of("/\\");
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name;
    return name.substr(0, dot);
}

int ClampedLength(std::size_t n) {
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

}  // namespace

// Text of "%d" and of "%.*E": the Jacobian file writes thousands of them per run, and
// to_chars gives the same digits as the runtime's formatted output at a fraction of the cost.
std::string_view DecimalText(int v) {
    static thread_local char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return {buf, static_cast<std::size_t>(r.ptr - buf)};
}

std::string_view ExponentText(double v, int digits) {
    static thread_local char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, digits);
    // The letters are the exponent's 'e' and those of "inf" and "nan"; the runtime's toupper
    // goes through the locale for each character, which showed in profiles of large files.
    for (char* p = buf; p != r.ptr; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    return {buf, static_cast<std::size_t>(r.ptr - buf)};
}

TextFile::~TextFile() {
    Detach(*this);
}

void Assign(TextFile& f, const std::string& name) {
    f.name = name;
}

bool IsOpen(const TextFile& f) {
    return f.stream != nullptr;
}

namespace {

// Opens the file's name again in `direction` (kRead or kWrite), keeping its binary and
// temporary flags.
void Reopen(TextFile& f, unsigned direction) {
    const unsigned mode = (f.mode & (kBinary | kTemporary)) | direction;
    std::FILE* stream = OpenStream(f.name, mode);
    if (!stream) {
        Finish(f, LibraryError());
        return;
    }
    Attach(f, stream, mode);
    Finish(f, 0);
}

}  // namespace

void Reset(TextFile& f) {
    if (f.stream == stdin) {  // a file bound to the console input keeps reading it
        Attach(f, stdin, kRead);
        Finish(f, 0);
        return;
    }
    Detach(f);
    Reopen(f, kRead);
}

void Rewrite(TextFile& f) {
    if (f.stream == stdout) {
        Attach(f, stdout, kWrite);
        Finish(f, 0);
        return;
    }
    Detach(f);
    // Emptying a large file by truncation is much slower than dropping it and starting a
    // new one, which matters for work files that are rewritten on every run. A folder of the
    // name is never removed: the open below fails on it instead.
    std::error_code ec;
    if (f.scratch && !f.name.empty() && !std::filesystem::is_directory(f.name, ec)) {
        std::remove(f.name.c_str());
    }
    Reopen(f, kWrite);
}

void OpenWithHistory(TextFile& f, const std::string& name, const std::string& history,
                     int* status) {
    Detach(f);
    std::string resolved;
    int code = 0;
    if (!ResolveName(f, name, resolved)) {
        errno = EINVAL;
        code = 1;
    } else if (Lower(resolved) == "-stdin") {
        Attach(f, stdin, kRead);
        f.name = "stdin";
    } else if (Lower(resolved) == "-stdout") {
        Attach(f, stdout, kWrite);
        f.name = "stdout";
    } else {
        code = OpenByHistory(f, resolved, history);
    }
    const int cause = code == 0 ? 0 : LibraryError();
    // The history outcome has its own reporting; the file keeps the runtime error number.
    f.error = cause;
    if (f.io) f.io->lastError = cause;
    if (status) {
        *status = code == 4 ? 2 : code;
        return;
    }
    if (code == 0 || !ReportsAllowed(f)) return;
    std::FILE* out = ErrorStream(f);
    if (code == 4) {
        std::fprintf(out, base_message::kOpenNewExists, resolved.c_str());
    } else {
        std::fprintf(out, base_message::kOpenError, std::strerror(cause));
    }
    std::fflush(out);
}

void Close(TextFile& f) {
    if (!f.stream) return;
    const bool writing = Writable(f.mode);
    const int code = Detach(f);
    // Buffered text reaches the file only now: a full disk often shows here first.
    if (writing) NoteWriteError(f, code);
    Finish(f, code);
}

void Flush(TextFile& f) {
    if (!f.stream) return;
    errno = 0;
    const int code = std::fflush(f.stream) != 0 ? LibraryError() : 0;
    NoteWriteError(f, code);
    Finish(f, code);
}

void Erase(TextFile& f) {
    const bool standard = IsStandardStream(f.stream);
    int code = Detach(f);
    if (code == 0 && standard) code = EPERM;  // never delete a file for the console streams
    if (code == 0) {
        errno = 0;
        if (std::remove(f.name.c_str()) == 0) {
            f.name.clear();
        } else {
            code = LibraryError();
        }
    }
    Finish(f, code);
}

void Rename(TextFile& f, const std::string& newName) {
    int code = Detach(f);
    if (code == 0) {
        std::string target = newName;
        if (!newName.empty() && newName[0] == '.') target = WithoutExtension(f.name) + newName;
        errno = 0;
        if (std::rename(f.name.c_str(), target.c_str()) == 0) {
            f.name = target;
        } else {
            code = LibraryError();
        }
    }
    Finish(f, code);
}

bool Eof(TextFile& f) {
    if (!f.stream) {
        Finish(f, kNotOpen);
        return true;
    }
    if (!Readable(f.mode)) return true;  // nothing can be read from an output file
    BeginRead(f);
    errno = 0;
    int c = std::getc(f.stream);
    if (c != EOF) {
        std::ungetc(c, f.stream);
        return false;
    }
    // Only failures are recorded, so that the error of the last read survives the test.
    if (std::ferror(f.stream)) Finish(f, LibraryError());
    return true;
}

InputFileState CheckInputFile(const std::string& name, std::uintmax_t limit) {
    std::error_code ec;
    const auto status = std::filesystem::status(name, ec);
    if (ec || !std::filesystem::exists(status)) return InputFileState::kMissing;
    if (std::filesystem::is_directory(status)) return InputFileState::kFolder;
    // A device or a pipe may never end; only files whose size is known are read.
    if (!std::filesystem::is_regular_file(status)) return InputFileState::kNotPlain;
    const std::uintmax_t size = std::filesystem::file_size(name, ec);
    if (ec) return InputFileState::kMissing;
    return size > limit ? InputFileState::kTooLarge : InputFileState::kOk;
}

std::string InputFileRefusal(InputFileState state, std::uintmax_t limit) {
    switch (state) {
        case InputFileState::kOk:
        case InputFileState::kMissing: return {};
        case InputFileState::kFolder: return base_message::kItIsAFolder;
        case InputFileState::kNotPlain: return base_message::kNotPlain;
        case InputFileState::kTooLarge:
            return base_message::kLargerThan + std::to_string(limit) + base_message::kBytes;
    }
    return {};
}

bool Exists(const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) return false;
    std::FILE* stream = std::fopen(name.c_str(), "r");
    if (!stream) return false;
    std::fclose(stream);
    return true;
}

int ReadInteger(TextFile& f) {
    return Scan<int>(f, "%d");
}
unsigned ReadUnsigned(TextFile& f) {
    return Scan<unsigned>(f, "%u");
}
long ReadLong(TextFile& f) {
    return Scan<long>(f, "%ld");
}
unsigned long ReadUnsignedLong(TextFile& f) {
    return Scan<unsigned long>(f, "%lu");
}
double ReadReal(TextFile& f) {
    return Scan<double>(f, "%lf");
}

std::string ReadString(TextFile& f, int length, bool pad) {
    std::string text;
    if (!BeginRead(f)) return text;
    errno = 0;
    while (static_cast<int>(text.size()) < length) {
        int c = std::getc(f.stream);
        if (c == EOF || c == '\n') {
            f.lookAhead = c;
            f.status |= kLookAhead;
            break;
        }
        text += static_cast<char>(c);
    }
    if (pad && static_cast<int>(text.size()) < length) text.resize(length, ' ');
    Finish(f, std::ferror(f.stream) ? LibraryError() : 0);
    return text;
}

bool ReadWholeLine(TextFile& f, std::string& line, std::size_t limit) {
    line.clear();
    if (!BeginRead(f)) return false;
    errno = 0;
    int c = 0;
    // The stream belongs to this file alone: the unlocked read saves a lock per character.
    // A line ends at a line feed, a carriage return and line feed, or a carriage return alone,
    // so a file from a system that ends its lines with CR is not read as one line.
    while (line.size() < limit && (c = getc_unlocked(f.stream)) != EOF && c != '\n') {
        if (c == '\r') {
            const int next = getc_unlocked(f.stream);
            if (next != '\n' && next != EOF) std::ungetc(next, f.stream);
            c = '\n';
            break;
        }
        line += static_cast<char>(c);
    }
    if (line.size() >= limit && c != '\n') {  // cut at the limit: the rest stays unread
        Finish(f, std::ferror(f.stream) ? LibraryError() : 0);
        return true;
    }
    const bool gotLine = c == '\n' || !line.empty();
    Finish(f, std::ferror(f.stream) ? LibraryError() : 0);
    return gotLine;
}

void ReadLine(TextFile& f) {
    if (!BeginRead(f)) return;
    errno = 0;
    int c;
    while ((c = std::getc(f.stream)) != EOF && c != '\n') {
    }
    if (c == '\n') {
        Finish(f, 0);
    } else {
        Finish(f, std::ferror(f.stream) ? LibraryError() : kIoBeyondEnd);
    }
}

void WriteString(TextFile& f, const char* text, int length, int width) {
    if (!BeginWrite(f)) return;
    const int n = std::max(length, 0);
    // Written byte for byte: a formatted write would end the text at its first zero byte,
    // and everything after it would silently be lost. A negative width counts as none.
    if (width == kNoWidth || width < 0) {
        EndWrite(f, PutRightAligned(f.stream, std::string_view(text, n), 0));
    } else if (width < n) {
        EndWrite(f, PutRightAligned(f.stream, std::string_view(text, width), 0));
    } else {
        EndWrite(f, PutRightAligned(f.stream, std::string_view(text, n), width));
    }
}

void WriteString(TextFile& f, const std::string& text, int width) {
    WriteString(f, text.c_str(), ClampedLength(text.size()), width);
}

void WriteChar(TextFile& f, char c, int width) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth) {
        EndWrite(f, std::fprintf(f.stream, "%c", c));
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*c", width, c));
    }
}

void WriteInteger(TextFile& f, int v, int width) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth) {
        EndWrite(f, PutRightAligned(f.stream, DecimalText(v), 7));
    } else if (width >= 0) {
        EndWrite(f, PutRightAligned(f.stream, DecimalText(v), width));
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*o", -width, static_cast<unsigned>(v)));
    }
}

void WriteUnsigned(TextFile& f, unsigned v, int width) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth) {
        EndWrite(f, std::fprintf(f.stream, "%7u", v));
    } else if (width >= 0) {
        EndWrite(f, std::fprintf(f.stream, "%*u", width, v));
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*o", -width, v));
    }
}

void WriteLong(TextFile& f, long v, int width) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth) {
        EndWrite(f, std::fprintf(f.stream, "%7ld", v));
    } else if (width >= 0) {
        EndWrite(f, std::fprintf(f.stream, "%*ld", width, v));
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*lo", -width, static_cast<unsigned long>(v)));
    }
}

void WriteUnsignedLong(TextFile& f, unsigned long v, int width) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth) {
        EndWrite(f, std::fprintf(f.stream, "%7lu", v));
    } else if (width >= 0) {
        EndWrite(f, std::fprintf(f.stream, "%*lu", width, v));
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*lo", -width, v));
    }
}

void WriteReal(TextFile& f, double v, int width, int precision) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth && precision == kNoWidth) {
        EndWrite(f, std::fprintf(f.stream, "% G", v));
        return;
    }
    // A precision without a width is written in the narrowest field.
    const int w = width == kNoWidth ? 0 : width;
    if (precision == kNoWidth) {
        EndWrite(f, std::fprintf(f.stream, "%*E", w, v));
    } else if (precision < 0) {
        EndWrite(f, PutRightAligned(f.stream, ExponentText(v, -precision), w));
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*.*f", w, precision, v));
    }
}

void WriteBoolean(TextFile& f, bool v, int width) {
    if (!BeginWrite(f)) return;
    if (width == kNoWidth) {
        EndWrite(f, std::fputs(v ? " TRUE" : "FALSE", f.stream) == EOF ? -1 : 0);
    } else {
        EndWrite(f, std::fprintf(f.stream, "%*s", width, v ? "TRUE" : "FALSE"));
    }
}

void WriteBytes(TextFile& f, std::string_view text) {
    if (!BeginWrite(f)) return;
    const bool written = std::fwrite(text.data(), 1, text.size(), f.stream) == text.size();
    EndWrite(f, written ? 0 : -1);
}

void WriteLine(TextFile& f) {
    if (!BeginWrite(f)) return;
    EndWrite(f, std::fputc('\n', f.stream) == EOF ? -1 : 0);
}

void Page(TextFile& f) {
    if (!BeginWrite(f)) return;
    EndWrite(f, std::fputc('\f', f.stream) == EOF ? -1 : 0);
}

long SizeInBlocks(TextFile& f) {
    if (!f.stream) {
        Finish(f, kNotOpen);
        return 0;
    }
    // The look-ahead goes back so that the saved position is where the reader stands.
    GiveBack(f);
    errno = 0;
    const long here = std::ftell(f.stream);
    long size = -1;
    if (here >= 0 && std::fseek(f.stream, 0, SEEK_END) == 0) size = std::ftell(f.stream);
    if (here >= 0) std::fseek(f.stream, here, SEEK_SET);
    f.status &= ~(kLastRead | kLastWrite);  // a seek allows either direction next
    if (size < 0) {
        Finish(f, LibraryError());
        return 0;
    }
    Finish(f, 0);
    return (size + 511) / 512;
}
