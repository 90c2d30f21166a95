#include "core/base/result_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "core/base/bounds.h"
#include "core/base/list_tokens.h"
#include "core/base/text_file.h"

namespace {

constexpr std::string_view kParameterTag = "PARAMETER:";
// The parameter line: the tag, the name right-aligned in 10 characters, two blanks and the
// column right-aligned in 7.
constexpr std::size_t kParameterNameWidth = 10;
constexpr std::size_t kParameterColumnWidth = 7;
// Large enough for the cell of any double, the widest being %f of the largest (309 digits).
constexpr std::size_t kCellBuffer = 400;
// A stream is read in pieces of this size; a line may span several.
constexpr std::size_t kReadPiece = 64 * 1024;

// The column a parameter line states: digits (a '+' before them allowed) that an int holds.
int ColumnNumber(std::string_view cell) {
    if (!cell.empty() && cell.front() == '+') cell.remove_prefix(1);
    if (cell.empty() || cell.front() == '-') return -1;
    int column = -1;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), column);
    if (error != std::errc() || end != cell.data() + cell.size()) return -1;
    return column;
}

// The text right-aligned in width characters; a longer text is not cut.
std::string RightAligned(std::string_view text, std::size_t width) {
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + std::string(text);
}

}  // namespace

std::string ResultNameCell(std::string_view name) {
    return RightAligned(name, kResultCellWidth);
}

std::string FormatResultValue(double v) {
    char cell[kCellBuffer];
    const double a = std::fabs(v);
    if ((a > 1e-5 && a < 1e5) || a <= 1e-50)
        std::snprintf(cell, sizeof cell, "%*.7lf", kResultCellWidth, v);
    else
        std::snprintf(cell, sizeof cell, "%*.6le", kResultCellWidth, v);
    return cell;
}

std::string ResultParameterLine(std::string_view name, int column) {
    return std::string(kParameterTag) + RightAligned(name, kParameterNameWidth) + "  " +
           RightAligned(std::to_string(column), kParameterColumnWidth);
}

double ResultCellNumber(std::string_view cell) {
    double value = 0.0;
    return ParseNumberCell(cell, value) ? value : std::numeric_limits<double>::quiet_NaN();
}

TableLines::TableLines(std::string_view text) : text_(text) {}

TableLines::TableLines(std::istream& in, std::uintmax_t byteLimit) : in_(&in), left_(byteLimit) {}

bool TableLines::Refill() {
    if (in_ == nullptr || cut_ || !*in_) return false;
    buffer_.erase(0, pos_);
    pos_ = 0;
    // One byte past the bound tells a stream that holds more from one that ends there.
    const std::size_t want = left_ < kReadPiece ? static_cast<std::size_t>(left_) + 1 : kReadPiece;
    const std::size_t kept = buffer_.size();
    buffer_.resize(kept + want);
    in_->read(buffer_.data() + kept, static_cast<std::streamsize>(want));
    std::size_t got = static_cast<std::size_t>(in_->gcount());
    if (got > left_) {
        cut_ = true;
        got = static_cast<std::size_t>(left_);
    }
    left_ -= got;
    buffer_.resize(kept + got);
    text_ = buffer_;
    return got > 0;
}

bool TableLines::Next(std::string_view& line) {
    for (;;) {
        std::size_t end = pos_ + scanned_;
        while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
        scanned_ = end - pos_;
        if (end < text_.size()) {
            // A CR that ends what has been read may be the first half of a CR LF.
            if (text_[end] == '\r' && end + 1 == text_.size() && Refill()) continue;
            end = pos_ + scanned_;  // the same line end, wherever the refill moved the text
            line = text_.substr(pos_, scanned_);
            pos_ = end + 1;
            if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
            scanned_ = 0;
            return true;
        }
        if (Refill()) continue;
        scanned_ = 0;
        // A last line cut by the bound is not whole: it is left out.
        if (pos_ >= text_.size() || cut_) {
            pos_ = text_.size();
            return false;
        }
        line = text_.substr(pos_);
        pos_ = text_.size();
        return true;
    }
}

ResultTableReader::ResultTableReader(TableLines& lines, TableStart start) : lines_(lines) {
    std::string_view line;
    ended_ = !NextLine(line);
    if (ended_) return;
    if (start == TableStart::kParameterLineAllowed &&
        line.substr(0, kParameterTag.size()) == kParameterTag) {
        head_.parameterLine = true;
        std::string_view rest = line.substr(kParameterTag.size());
        head_.parameterName = std::string(NextListToken(rest));
        head_.parameterColumn = ColumnNumber(NextListToken(rest));
        ended_ = !NextLine(line);
        if (ended_) return;
    }
    head_.names = ListTokens(line);
}

bool ResultTableReader::NextLine(std::string_view& line) {
    if (!lines_.Next(line)) return false;
    ++lineNumber_;
    return true;
}

bool ResultTableReader::NextRow(std::vector<std::string_view>& cells) {
    cells.clear();
    std::string_view line;
    if (ended_ || !NextLine(line)) {
        ended_ = true;
        return false;
    }
    for (std::string_view cell = NextListToken(line); !cell.empty(); cell = NextListToken(line)) {
        cells.push_back(cell);
    }
    ended_ = cells.empty();
    return !ended_;
}

int CountListRows(const std::string& path) {
    if (CheckInputFile(path, kMaxDocumentBytes) != InputFileState::kOk) return 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    TableLines lines(in, kMaxDocumentBytes);
    ResultTableReader table(lines, TableStart::kHeader);
    std::vector<std::string_view> cells;
    int rows = 0;
    while (table.NextRow(cells)) ++rows;
    return rows;
}
