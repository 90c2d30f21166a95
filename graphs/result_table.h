#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/base/result_table.h"
#include "graphs/graph_types.h"

namespace graphs {

// What tells a rewritten result file from the one read before. The size is part of it because
// two runs can finish within one tick of the file system's clock.
struct FileStamp {
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;  // inode change time: a file replaced by rename changes it
    std::int64_t size = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

std::optional<FileStamp> ReadFileStamp(const std::string& path);

// The parameter line and header of a result file, read by the rules of every reader of it.
using ResultHeader = ResultTableHead;

// nullopt when the file cannot be opened.
std::optional<ResultHeader> ReadResultHeader(const std::string& path);

// Points every curve's indexes at its names in `names`, looking a name up only when the
// stored index no longer holds it. Returns the first name that is missing.
std::optional<std::string> MatchCurves(const std::vector<std::string>& names,
                                       std::vector<GraphCurve>& curves);

enum class ReadOutcome { Read, Unreadable, Unchanged, MissingColumn };

// The columns of a result file that a graph's curves use.
class ResultTable {
   public:
    struct Result {
        ReadOutcome outcome = ReadOutcome::Unreadable;
        std::string missingName;  // with MissingColumn
    };

    // Reads `path` for `curves` (whose indexes are re-matched). With a stamp, an unchanged
    // file is not read again; the stamp is replaced after a successful match. On any outcome
    // but Read the table keeps what it held.
    Result Read(const std::string& path, std::vector<GraphCurve>& curves,
                std::optional<FileStamp>* stamp = nullptr);

    // nullptr for a column no curve uses.
    const std::vector<float>* Column(ColumnIndex index) const;
    void Clear();

    std::map<ColumnIndex, std::vector<float>> columns;
    std::string parameterName;
    ColumnIndex parameterColumn = -1;
    std::vector<float> parameterValues;      // distinct consecutive values, in file order
    std::vector<std::size_t> parameterRows;  // the row where each of those values begins
    std::size_t rowCount = 0;
};

}  // namespace graphs
