#include "core/drive/fft_series.h"

#include <cmath>
#include <limits>
#include <optional>

#include "core/base/result_table.h"
#include "core/numeric/fft.h"

namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

std::optional<int> FirstEndingIn(const std::vector<std::string>& names, char last,
                                 std::initializer_list<int> except = {}) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        bool excluded = false;
        for (int e : except) excluded = excluded || e == static_cast<int>(i);
        if (!excluded && !names[i].empty() && names[i].back() == last) return static_cast<int>(i);
    }
    return std::nullopt;
}

bool IsNumber(double v) {
    return !std::isnan(v);
}

// The cells of `column` in the rows of the first sweep (all rows without a second parameter).
std::vector<double> FirstSweepColumn(const SeriesTable& table, int column) {
    const int p = SeriesBySweep(table) ? table.parameterColumn : -1;
    auto cell = [](const std::vector<double>& row, int i) {
        return (i >= 0 && i < static_cast<int>(row.size())) ? row[i] : kNotANumber;
    };
    std::vector<double> cells;
    for (const std::vector<double>& row : table.rows) {
        if (p >= 0 && !cells.empty() && cell(row, p) != cell(table.rows.front(), p)) break;
        cells.push_back(cell(row, column));
    }
    return cells;
}

bool VariesInFirstSweep(const SeriesTable& table, int column) {
    const std::vector<double> cells = FirstSweepColumn(table, column);
    for (double v : cells) {
        if (IsNumber(v) && v != cells.front()) return true;
    }
    return false;
}

// Whether column `column` holds numbers that rise strictly from row to row through the first
// sweep (at least two rows of it).
bool RisesThroughFirstSweep(const SeriesTable& table, int column) {
    const std::vector<double> cells = FirstSweepColumn(table, column);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!IsNumber(cells[i]) || (i > 0 && !(cells[i] > cells[i - 1]))) return false;
    }
    return cells.size() >= 2;
}

}  // namespace

SeriesTable ReadSeriesText(std::string_view text) {
    TableLines lines(text);
    ResultTableReader reader(lines);
    const ResultTableHead& head = reader.head();
    SeriesTable table;
    table.parameterLine = head.parameterLine;
    table.parameterName = head.parameterName;
    table.parameterColumn = head.parameterColumn;
    table.columns = head.names;
    std::vector<std::string_view> cells;
    while (reader.NextRow(cells)) {
        std::vector<double> row(cells.size());
        for (std::size_t c = 0; c < cells.size(); ++c) row[c] = ResultCellNumber(cells[c]);
        table.rows.push_back(std::move(row));
        table.rowLines.push_back(reader.lineNumber());
    }
    return table;
}

bool SeriesBySweep(const SeriesTable& table) {
    return table.parameterLine && table.parameterColumn >= 0 &&
           table.parameterColumn < static_cast<int>(table.columns.size());
}

FftChoice PreselectFftColumns(const SeriesTable& table) {
    const std::vector<std::string>& names = table.columns;
    FftChoice c;
    c.timeColumn = 0;
    c.realColumn = 0;
    c.imagColumn = kNoFftColumn;
    if (names.empty()) return c;
    const int count = static_cast<int>(names.size());
    const int parameter = SeriesBySweep(table) ? table.parameterColumn : -1;
    auto endsIn = [&](int i, char last) { return !names[i].empty() && names[i].back() == last; };

    const std::optional<int> re = FirstEndingIn(names, 'r');
    if (re) {
        const std::string& real = names[*re];
        const std::string partner = real.substr(0, real.size() - 1) + 'i';
        for (int i = 0; i < count; ++i) {
            if (names[i] == partner) c.imagColumn = i;
        }
        if (c.imagColumn == kNoFftColumn) {
            c.imagColumn = FirstEndingIn(names, 'i', {*re}).value_or(kNoFftColumn);
        }
    }
    auto isPart = [&](int i) { return (re && i == *re) || i == c.imagColumn; };

    std::optional<int> time;
    for (int i = 0; i < count && !time; ++i) {
        if (!isPart(i) && i != parameter && RisesThroughFirstSweep(table, i)) time = i;
    }
    for (int i = 0; i < count && !time; ++i) {
        if (!endsIn(i, 'r') && !endsIn(i, 'i')) time = i;
    }
    c.timeColumn = time.value_or(0);
    if (re && *re != c.timeColumn) {
        c.realColumn = *re;
    } else {
        // A column that keeps one value (a constant the file also holds) is no signal to
        // look at, so one that varies comes first.
        std::optional<int> other, varying;
        for (int i = 0; i < count && !varying; ++i) {
            if (i == c.timeColumn || i == parameter || i == c.imagColumn) continue;
            if (!other) other = i;
            if (VariesInFirstSweep(table, i)) varying = i;
        }
        c.realColumn = varying.value_or(other.value_or(c.timeColumn));
    }
    if (c.imagColumn == c.timeColumn || c.imagColumn == c.realColumn) c.imagColumn = kNoFftColumn;
    return c;
}

std::vector<SeriesSweep> CollectSweeps(const SeriesTable& table, const FftChoice& choice,
                                       int& rowsLeftOut) {
    std::vector<SeriesSweep> sweeps;
    rowsLeftOut = 0;
    const int p = table.parameterColumn;
    const bool bySweep = SeriesBySweep(table);
    auto cell = [](const std::vector<double>& row, int column) {
        return (column >= 0 && column < static_cast<int>(row.size())) ? row[column] : kNotANumber;
    };
    for (const std::vector<double>& row : table.rows) {
        const double t = cell(row, choice.timeColumn);
        const double re = cell(row, choice.realColumn);
        const double im = (choice.imagColumn == kNoFftColumn) ? 0.0 : cell(row, choice.imagColumn);
        const double parameter = bySweep ? cell(row, p) : 0.0;
        if (!IsNumber(t) || !IsNumber(re) || !IsNumber(im) || !IsNumber(parameter)) {
            ++rowsLeftOut;
            continue;
        }
        // A sweep of the second parameter is a stretch of rows with one value of it; the rows
        // of a two-parameter sweep come parameter value after parameter value.
        if (sweeps.empty() || (bySweep && parameter != sweeps.back().parameter)) {
            sweeps.emplace_back();
            sweeps.back().parameter = parameter;
        }
        sweeps.back().time.push_back(t);
        sweeps.back().signal.emplace_back(re, im);
    }
    return sweeps;
}

SweepSpectrum TransformSweep(const SeriesSweep& sweep) {
    SweepSpectrum s;
    s.samples = sweep.signal.size();
    if (s.samples < 2) return s;
    s.log2Points = FloorLog2(s.samples);
    s.points = std::size_t{1} << s.log2Points;
    const std::size_t n = s.points;
    if (s.samples == n + 1) {
        s.endPointPair = true;
        const std::complex<double> first = sweep.signal.front();
        const std::complex<double> end = sweep.signal[n];
        s.periodError = std::fabs(end.real() - first.real()) + std::fabs(end.imag() - first.imag());
    }
    // N samples stand for N intervals of the time step: the span from the first to the N-th
    // sample is N - 1 of them.
    s.period =
        (sweep.time[n - 1] - sweep.time[0]) * static_cast<double>(n) / static_cast<double>(n - 1);

    s.polar.assign(sweep.signal.begin(), sweep.signal.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<std::complex<double>> work(n);
    FastFourier(s.polar, work, s.log2Points);
    SpectrumToPolar(s.polar, n, false);
    return s;
}

bool SpectrumIsFinite(const SweepSpectrum& s) {
    for (std::size_t k = 0; k < s.points; ++k) {
        if (!std::isfinite(SpectrumAmplitude(s, k)) || !std::isfinite(s.polar[k].imag())) {
            return false;
        }
    }
    return true;
}
