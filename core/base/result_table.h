#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The result table: the text a run writes its results in (base.PRN, base.FFT, a spectrum) and
// every part of the program reads back, the FFT, the graphs and the desktop's viewer among
// them. Its layout:
//
//   PARAMETER:<name>  <column>     only a two-parameter sweep or a spectrum of several sweeps
//   <name> <name> ...              the header, one cell per column
//   <value> <value> ...            one row per line
//                                  a line without cells ends the table; nothing after it counts
//
// Cells are separated by any run of blanks, tabs and ';' (list_tokens.h); the writer pads each
// to kResultCellWidth characters and separates them by nothing else. Lines end in LF, CR LF or a
// lone CR. This module owns the layout: the writers take their cells and lines from it, and
// every reader reads through ResultTableReader, so that no two parts of the program read one
// file differently.

inline constexpr int kResultCellWidth = 15;

// A header cell: the name right-aligned in the cell width (a longer name takes more).
std::string ResultNameCell(std::string_view name);

// A value cell: fixed with 7 decimals for ordinary magnitudes and zero, exponent form with 6
// decimals for |v| >= 1e5 and for tiny non-zero values.
std::string FormatResultValue(double v);

// The line before the header of a table that holds several sweeps of a second parameter: its
// name and its 0-based column, which readers take as the parameter's column.
std::string ResultParameterLine(std::string_view name, int column);

// A cell as a number: strictly a decimal number with '.' as the point whatever the locale; NaN
// for anything else ("?", a repeated header name, "inf", "nan"), so that no reader takes text
// for a value, and each decides what a row without one means.
double ResultCellNumber(std::string_view cell);

// The lines of a table, from text in memory or read from a stream as they are needed, without
// their line ends. A stream is read to at most byteLimit bytes, however it grows while it is
// read; a last line cut by the bound is no line.
class TableLines {
   public:
    explicit TableLines(std::string_view text);
    explicit TableLines(std::istream& in, std::uintmax_t byteLimit = UINTMAX_MAX);

    // The next line, valid until the next call; false at the end of the text.
    bool Next(std::string_view& line);

   private:
    bool Refill();

    std::istream* in_ = nullptr;  // null for text in memory
    std::uintmax_t left_ = 0;     // bytes the stream may still give
    bool cut_ = false;            // the stream held more than the bound
    std::string buffer_;          // what was read of the stream and not yet taken
    std::string_view text_;       // the text: the caller's, or buffer_
    std::size_t pos_ = 0;         // start of the next line in text_
    std::size_t scanned_ = 0;     // bytes after pos_ known to hold no line end
};

// Whether a table may begin with a "PARAMETER:" line (a result table) or begins with its header
// whatever that holds (an attachment table, read by the same rules otherwise).
enum class TableStart { kParameterLineAllowed, kHeader };

// The lines before the rows.
struct ResultTableHead {
    bool parameterLine = false;      // the first line began with "PARAMETER:"
    std::string parameterName;       // the first cell after "PARAMETER:"; "" without one
    int parameterColumn = -1;        // the column the line states; -1 when it states none
    std::vector<std::string> names;  // the header's names, in column order
};

// Reads a table: the head at once, then the rows one by one. The first line is a parameter
// line when its first 10 characters are "PARAMETER:"; the next line (the first otherwise) is
// the header, whatever it holds.
class ResultTableReader {
   public:
    explicit ResultTableReader(TableLines& lines,
                               TableStart start = TableStart::kParameterLineAllowed);

    const ResultTableHead& head() const { return head_; }

    // The cells of the next row, views into its line that stay valid until the next call;
    // false at the end of the table: a line without cells or the end of the text.
    bool NextRow(std::vector<std::string_view>& cells);

    // The line of the row last read, counted from 1 at the first line of the text.
    int lineNumber() const { return lineNumber_; }

   private:
    bool NextLine(std::string_view& line);

    TableLines& lines_;
    ResultTableHead head_;
    int lineNumber_ = 0;
    bool ended_ = false;
};

// The rows of the attachment table at path as the core reads them: a table that begins with its
// header, read by the rules above. 0 when the file cannot be read whole (missing, a folder, not
// a plain file, larger than a document may be).
int CountListRows(const std::string& path);
