#include "graphs/result_table.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>

namespace graphs {

namespace {

constexpr std::string_view kParameterTag = "PARAMETER:";

bool IsSeparator(char c) {
    return c == ' ' || c == ';' || c == '\t' || c == '\n' || c == '\r';
}

// A cell that is not a number reads as NaN, so it leaves a gap instead of a false zero.
float ToFloat(const std::string& cell) {
    const char* begin = cell.c_str();
    char* end = nullptr;
    errno = 0;
    const float v = std::strtof(begin, &end);
    if (end == begin || *end != '\0') return std::numeric_limits<float>::quiet_NaN();
    return v;  // out-of-range values read as +-infinity; drawing skips them
}

// A column number that no ColumnIndex holds names no column.
std::optional<ColumnIndex> ToColumn(const std::string& cell) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(cell.c_str(), &end, 10);
    if (end == cell.c_str() || *end != '\0' || errno == ERANGE) return std::nullopt;
    if (v < 0 || v > kMaxColumnIndex) return std::nullopt;
    return static_cast<ColumnIndex>(v);
}

bool ReadLine(std::istream& in, std::string& line) {
    return static_cast<bool>(std::getline(in, line));
}

// Reads the parameter line (if any) and the header line from an open file.
ResultHeader ReadHeaderLines(std::istream& in) {
    ResultHeader h;
    std::string line;
    if (!ReadLine(in, line)) return h;
    if (line.compare(0, kParameterTag.size(), kParameterTag) == 0) {
        const std::vector<std::string> tokens = SplitFields(line);
        if (tokens.size() > 1) h.parameterName = tokens[1];
        if (tokens.size() > 2) h.parameterColumn = ToColumn(tokens[2]).value_or(-1);
        if (!ReadLine(in, line)) return h;
    }
    h.names = SplitFields(line);
    return h;
}

// Names past the last position a ColumnIndex holds cannot be drawn: they read as missing.
std::optional<ColumnIndex> Find(const std::vector<std::string>& names, const std::string& name) {
    const std::size_t searchable =
        std::min(names.size(), static_cast<std::size_t>(kMaxColumnIndex) + 1);
    for (std::size_t i = 0; i < searchable; ++i) {
        if (names[i] == name) return static_cast<ColumnIndex>(i);
    }
    return std::nullopt;
}

bool Rematch(const std::vector<std::string>& names, const std::string& name, ColumnIndex& index) {
    if (index >= 0 && static_cast<std::size_t>(index) < names.size() && names[index] == name)
        return true;
    const std::optional<ColumnIndex> found = Find(names, name);
    if (!found) return false;
    index = *found;
    return true;
}

std::int64_t Nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSeparator(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsSeparator(line[i])) ++i;
        if (i > start) fields.emplace_back(line.substr(start, i - start));
    }
    return fields;
}

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim),
                     static_cast<std::int64_t>(st.st_size)};
}

std::optional<ResultHeader> ReadResultHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return ReadHeaderLines(in);
}

std::optional<std::string> MatchCurves(const std::vector<std::string>& names,
                                       std::vector<GraphCurve>& curves) {
    for (GraphCurve& c : curves) {
        if (!Rematch(names, c.xName, c.xIndex)) return c.xName;
        if (!Rematch(names, c.yName, c.yIndex)) return c.yName;
    }
    return std::nullopt;
}

ResultTable::Result ResultTable::Read(const std::string& path, std::vector<GraphCurve>& curves,
                                      std::optional<FileStamp>* stamp) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {ReadOutcome::Unreadable, {}};
    const std::optional<FileStamp> now = ReadFileStamp(path);
    if (stamp != nullptr && stamp->has_value() && now == **stamp)
        return {ReadOutcome::Unchanged, {}};

    const ResultHeader header = ReadHeaderLines(in);
    std::vector<GraphCurve> matched = curves;
    if (std::optional<std::string> missing = MatchCurves(header.names, matched)) {
        return {ReadOutcome::MissingColumn, *missing};
    }
    curves = std::move(matched);
    if (stamp != nullptr) *stamp = now;

    Clear();
    parameterName = header.parameterName;
    parameterColumn = header.parameterName.empty() ? -1 : header.parameterColumn;
    for (const GraphCurve& c : curves) {
        columns[c.xIndex];
        columns[c.yIndex];
    }

    std::string line;
    while (ReadLine(in, line)) {
        const std::vector<std::string> cells = SplitFields(line);
        if (cells.empty()) break;  // a blank line ends the table
        for (auto& [index, values] : columns) {
            // A short row still gives every column a value, so x and y stay paired row by row.
            values.push_back(static_cast<std::size_t>(index) < cells.size()
                                 ? ToFloat(cells[index])
                                 : std::numeric_limits<float>::quiet_NaN());
        }
        if (parameterColumn >= 0 && static_cast<std::size_t>(parameterColumn) < cells.size()) {
            const float p = ToFloat(cells[parameterColumn]);
            if (!std::isnan(p) && (parameterValues.empty() || p != parameterValues.back())) {
                parameterValues.push_back(p);
                parameterRows.push_back(rowCount);
            }
        }
        ++rowCount;
    }
    return {ReadOutcome::Read, {}};
}

const std::vector<float>* ResultTable::Column(ColumnIndex index) const {
    const auto it = columns.find(index);
    return it == columns.end() ? nullptr : &it->second;
}

void ResultTable::Clear() {
    columns.clear();
    parameterName.clear();
    parameterColumn = -1;
    parameterValues.clear();
    parameterRows.clear();
    rowCount = 0;
}

}  // namespace graphs
