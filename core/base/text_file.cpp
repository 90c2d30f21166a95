#include "core/base/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "core/base/base_messages.h"

namespace {

using file_status::kNoReport;

// Error code of operations on a file that is not open.
constexpr int kNotOpen = EBADF;

// errno right after a failing library call; some failures leave it unset.
int LibraryError() {
    return errno > 0 ? errno : EIO;
}

bool ReportsAllowed(const TextFile& f) {
    return (f.status & kNoReport) == 0;
}

std::FILE* ErrorStream(const TextFile& f) {
    std::FILE* out = f.io ? f.io->errorStream : stderr;
    return out ? out : stderr;
}

void Report(const TextFile& f, int code) {
    const char* name = f.name.empty() ? base_message::kIoUnnamedFile : f.name.c_str();
    std::FILE* out = ErrorStream(f);
    std::fprintf(out, base_message::kIoFileError, name, std::strerror(code));
    std::fflush(out);
}

// Every operation ends here: the outcome becomes the file's error, and a failure is
// reported. A stream error is cleared so that the file stays usable.
void Finish(TextFile& f, int code) {
    f.error = code;
    if (code == 0) return;
    if (ReportsAllowed(f)) Report(f, code);
    if (f.stream) std::clearerr(f.stream);
}

// Room for the stream's buffer: given before the first read or write, it spares the library
// asking the system for the file's block size on every opening.
constexpr std::size_t kBufferSize = 8192;

// A scratch file written over longer old text is cut to what was written since it was opened;
// anything else is left as it is.
int CutToWritten(TextFile& f) {
    if (!f.writing || f.cutFrom < 0 || f.written >= static_cast<std::uintmax_t>(f.cutFrom)) {
        return 0;
    }
    errno = 0;
    if (std::fflush(f.stream) != 0) return LibraryError();
    return ::ftruncate(::fileno(f.stream), static_cast<off_t>(f.written)) == 0 ? 0
                                                                            : LibraryError();
}

// Releases the stream without reporting.
int Detach(TextFile& f) {
    int code = 0;
    if (f.stream) {
        code = CutToWritten(f);
        errno = 0;
        if (std::fclose(f.stream) != 0 && code == 0) code = LibraryError();
    }
    f.stream = nullptr;
    f.memory.clear();
    return code;
}

void Attach(TextFile& f, std::FILE* stream, bool writing) {
    f.stream = stream;
    f.writing = writing;
    f.written = 0;
    f.writeError = 0;
    f.writeErrorReported = false;
    Finish(f, 0);
}

// Removing a file and creating it anew costs several times what writing over it in place does,
// and truncating it to nothing costs more still (the system then flushes what replaces it). So
// a scratch file that is a plain file under this one name is written over and cut at the close.
// Anything else under the name is removed first, as a link or a file of several names must be:
// writing through it would change another file, perhaps the document. The name is looked up
// once, by the open: a link is not followed, and a pipe or device there is not waited on.
// A folder is never removed (unlink refuses it); the open then fails on it.
std::FILE* OpenScratch(TextFile& f) {
    const char* name = f.name.c_str();
    const int fd = ::open(name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat entry;
        if (::fstat(fd, &entry) == 0 && S_ISREG(entry.st_mode) && entry.st_nlink == 1) {
            if (std::FILE* stream = ::fdopen(fd, "w")) {
                f.cutFrom = entry.st_size;
                return stream;
            }
        }
        ::close(fd);
    }
    if (fd >= 0 || errno != ENOENT) ::unlink(name);
    return std::fopen(name, "w");
}

// Opens the file's name again for reading or writing.
void Reopen(TextFile& f, bool writing) {
    errno = 0;
    f.cutFrom = -1;
    std::FILE* stream = !writing    ? std::fopen(f.name.c_str(), "r")
                        : f.scratch ? OpenScratch(f)
                                    : std::fopen(f.name.c_str(), "w");
    if (!stream) {
        Finish(f, LibraryError());
        return;
    }
    if (!f.buffer) f.buffer = std::make_unique<char[]>(kBufferSize);
    std::setvbuf(stream, f.buffer.get(), _IOFBF, kBufferSize);
    Attach(f, stream, writing);
}

// Readies an open stream for a read or a write; false (with the error recorded) when it is
// closed.
bool Begin(TextFile& f) {
    if (!f.stream) {
        Finish(f, kNotOpen);
        return false;
    }
    errno = 0;
    return true;
}

// Records the first failed write; it survives the writes that follow.
void NoteWriteError(TextFile& f, int code) {
    if (code != 0 && f.writeError == 0) f.writeError = code;
}

void EndWrite(TextFile& f, bool written) {
    const int code = written ? 0 : LibraryError();
    NoteWriteError(f, code);
    Finish(f, code);
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

void Reset(TextFile& f) {
    Detach(f);
    Reopen(f, false);
}

void ReadText(TextFile& f, std::string text) {
    Detach(f);
    f.memory = std::move(text);
    errno = 0;
    std::FILE* stream = ::fmemopen(f.memory.data(), f.memory.size(), "r");
    if (!stream) {
        Finish(f, LibraryError());
        return;
    }
    Attach(f, stream, false);
}

void Rewrite(TextFile& f) {
    Detach(f);
    Reopen(f, true);
}

void Close(TextFile& f) {
    if (!f.stream) return;
    const int code = Detach(f);
    // Buffered text reaches the file only now: a full disk often shows here first.
    if (f.writing) NoteWriteError(f, code);
    Finish(f, code);
}

void Flush(TextFile& f) {
    if (!f.stream) return;
    errno = 0;
    const int code = std::fflush(f.stream) != 0 ? LibraryError() : 0;
    NoteWriteError(f, code);
    Finish(f, code);
}

InputFileState CheckInputFile(const std::string& name, std::uintmax_t limit) {
    // One question to the system gives the kind and the size.
    struct stat entry;
    if (::stat(name.c_str(), &entry) != 0) return InputFileState::kMissing;
    if (S_ISDIR(entry.st_mode)) return InputFileState::kFolder;
    // A device or a pipe may never end; only files whose size is known are read.
    if (!S_ISREG(entry.st_mode)) return InputFileState::kNotPlain;
    return static_cast<std::uintmax_t>(entry.st_size) > limit ? InputFileState::kTooLarge
                                                              : InputFileState::kOk;
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

bool ReadWholeLine(TextFile& f, std::string& line, std::size_t limit) {
    line.clear();
    if (!Begin(f)) return false;
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

void WriteString(TextFile& f, std::string_view text) {
    if (!Begin(f)) return;
    // Written byte for byte: a formatted write would end the text at its first zero byte,
    // and everything after it would silently be lost.
    const std::size_t put = std::fwrite(text.data(), 1, text.size(), f.stream);
    f.written += put;
    EndWrite(f, put == text.size());
}

void WriteLine(TextFile& f) {
    if (!Begin(f)) return;
    const bool put = std::fputc('\n', f.stream) != EOF;
    f.written += put ? 1 : 0;
    EndWrite(f, put);
}
