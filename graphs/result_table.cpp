#include "graphs/result_table.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

namespace graphs {

namespace {

constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

// A cell that is not a number reads as NaN, so it leaves a gap instead of a false zero. A number
// beyond the largest float is infinite (the narrowing alone would be undefined); drawing skips it.
float ToFloat(std::string_view cell) {
    const double v = ResultCellNumber(cell);
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (std::fabs(v) > std::numeric_limits<float>::max()) return v < 0 ? -kInfinity : kInfinity;
    return static_cast<float>(v);
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

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim),
                     static_cast<std::int64_t>(st.st_size)};
}

std::optional<ResultHeader> ReadResultHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    TableLines lines(in);
    return ResultTableReader(lines).head();
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

    TableLines lines(in);
    ResultTableReader reader(lines);
    const ResultHeader& header = reader.head();
    std::vector<GraphCurve> matched = curves;
    if (std::optional<std::string> missing = MatchCurves(header.names, matched)) {
        return {ReadOutcome::MissingColumn, *missing};
    }
    curves = std::move(matched);
    if (stamp != nullptr) *stamp = now;

    Clear();
    parameterName = header.parameterName;
    parameterColumn = header.parameterColumn;
    for (const GraphCurve& c : curves) {
        columns[c.xIndex];
        columns[c.yIndex];
    }

    std::vector<std::string_view> cells;
    while (reader.NextRow(cells)) {
        for (auto& [index, values] : columns) {
            // A short row still gives every column a value, so x and y stay paired row by row.
            values.push_back(static_cast<std::size_t>(index) < cells.size() ? ToFloat(cells[index])
                                                                            : kNoValue);
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
