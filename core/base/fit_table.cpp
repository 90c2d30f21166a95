#include "core/base/fit_table.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "core/base/list_tokens.h"

namespace {

constexpr const char* kMagic = "VALDRIX-FIT";
constexpr const char* kVersion = "1";
constexpr const char* kObservations = "Observations";
constexpr const char* kParameters = "Parameters";
constexpr const char* kDegreesOfFreedom = "DegreesOfFreedom";
constexpr const char* kRss = "ResidualSumOfSquares";
constexpr const char* kResidualSd = "ResidualStandardDeviation";
constexpr const char* kRms = "RMS";
constexpr const char* kRSquared = "RSquared";
constexpr const char* kAdjustedRSquared = "AdjustedRSquared";
constexpr const char* kConfidence = "Confidence";
constexpr const char* kParameterHeader[] = {"Parameter", "Estimate", "StandardError",
                                            "TValue",    "Lower",    "Upper"};
constexpr const char* kCorrelation = "Correlation";
constexpr const char* kEnd = "End";
constexpr const char* kMissing = "-";

std::string Number(double v) {
    if (std::isnan(v)) return kMissing;
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

void Item(std::string& out, const char* key, const std::string& value) {
    out += key;
    out += ' ';
    out += value;
    out += '\n';
}

// The lines of a text, each as its cells.
class Lines {
   public:
    explicit Lines(std::string_view text) : rest_(text) {}
    // The next non-empty line's cells; false at the end.
    bool Next(std::vector<std::string_view>& cells) {
        while (!rest_.empty()) {
            const std::size_t end = rest_.find('\n');
            std::string_view line = rest_.substr(0, end);
            rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
            cells.clear();
            for (std::string_view t = NextListToken(line); !t.empty(); t = NextListToken(line)) {
                cells.push_back(t);
            }
            if (!cells.empty()) return true;
        }
        return false;
    }

   private:
    std::string_view rest_;
};

bool Value(std::string_view cell, double& v) {
    if (cell == kMissing) {
        v = kNoValue;
        return true;
    }
    return ParseNumberCell(cell, v);
}

bool Count(std::string_view cell, int& n) {
    double v = 0.0;
    if (!ParseNumberCell(cell, v) || v < 0 || v != std::floor(v) || v > 1e9) return false;
    n = static_cast<int>(v);
    return true;
}

bool KeyValue(Lines& lines, std::vector<std::string_view>& cells, const char* key, double& v) {
    return lines.Next(cells) && cells.size() == 2 && cells[0] == key && Value(cells[1], v);
}

bool KeyCount(Lines& lines, std::vector<std::string_view>& cells, const char* key, int& n) {
    return lines.Next(cells) && cells.size() == 2 && cells[0] == key && Count(cells[1], n);
}

}  // namespace

std::string FormatFitTable(const FitStatistics& f) {
    std::string out = std::string(kMagic) + " " + kVersion + "\n";
    Item(out, kObservations, std::to_string(f.observations));
    Item(out, kParameters, std::to_string(f.parameters.size()));
    Item(out, kDegreesOfFreedom, std::to_string(f.degreesOfFreedom));
    Item(out, kRss, Number(f.residualSumOfSquares));
    Item(out, kResidualSd, Number(f.residualSd));
    Item(out, kRms, Number(f.rms));
    Item(out, kRSquared, Number(f.rSquared));
    Item(out, kAdjustedRSquared, Number(f.adjustedRSquared));
    char level[16];
    std::snprintf(level, sizeof level, "%g", f.confidence);
    Item(out, kConfidence, level);
    for (std::size_t c = 0; c < std::size(kParameterHeader); ++c) {
        out += (c > 0 ? " " : "") + std::string(kParameterHeader[c]);
    }
    out += '\n';
    for (const FitParameter& p : f.parameters) {
        out += p.name + " " + Number(p.estimate) + " " + Number(p.standardError) + " " +
               Number(p.tValue) + " " + Number(p.lower) + " " + Number(p.upper) + "\n";
    }
    if (f.haveErrors()) {
        out += kCorrelation;
        for (const FitParameter& p : f.parameters) out += " " + p.name;
        out += '\n';
        for (std::size_t i = 0; i < f.parameters.size(); ++i) {
            out += f.parameters[i].name;
            for (std::size_t j = 0; j < f.parameters.size(); ++j) {
                out += " " + Number(f.correlationAt(i, j));
            }
            out += '\n';
        }
    }
    out += kEnd;
    out += '\n';
    return out;
}

bool ParseFitTable(std::string_view text, FitStatistics& f) {
    f = FitStatistics{};
    Lines lines(text);
    std::vector<std::string_view> cells;
    int parameters = 0;
    if (!lines.Next(cells) || cells.size() != 2 || cells[0] != kMagic || cells[1] != kVersion ||
        !KeyCount(lines, cells, kObservations, f.observations) ||
        !KeyCount(lines, cells, kParameters, parameters) ||
        !KeyCount(lines, cells, kDegreesOfFreedom, f.degreesOfFreedom) ||
        !KeyValue(lines, cells, kRss, f.residualSumOfSquares) ||
        !KeyValue(lines, cells, kResidualSd, f.residualSd) ||
        !KeyValue(lines, cells, kRms, f.rms) || !KeyValue(lines, cells, kRSquared, f.rSquared) ||
        !KeyValue(lines, cells, kAdjustedRSquared, f.adjustedRSquared) ||
        !KeyValue(lines, cells, kConfidence, f.confidence) || !lines.Next(cells) ||
        cells.size() != std::size(kParameterHeader)) {
        return false;
    }
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (cells[c] != kParameterHeader[c]) return false;
    }
    for (int i = 0; i < parameters; ++i) {
        FitParameter p;
        if (!lines.Next(cells) || cells.size() != 6 || !Value(cells[1], p.estimate) ||
            !Value(cells[2], p.standardError) || !Value(cells[3], p.tValue) ||
            !Value(cells[4], p.lower) || !Value(cells[5], p.upper)) {
            return false;
        }
        p.name = cells[0];
        f.parameters.push_back(p);
    }
    if (!lines.Next(cells)) return false;
    if (cells[0] == kCorrelation) {
        if (cells.size() != f.parameters.size() + 1) return false;
        for (std::size_t i = 0; i < f.parameters.size(); ++i) {
            if (!lines.Next(cells) || cells.size() != f.parameters.size() + 1 ||
                cells[0] != f.parameters[i].name) {
                return false;
            }
            for (std::size_t j = 1; j < cells.size(); ++j) {
                double v = 0.0;
                if (!Value(cells[j], v)) return false;
                f.correlation.push_back(v);
            }
        }
        if (!lines.Next(cells)) return false;
    }
    return cells.size() == 1 && cells[0] == kEnd;
}
