#pragma once

#include <complex>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/shell_services.h"

// A result series as the FFT reads it: the table of a result file (a sweep or stepping run
// writes one), or any text table laid out the same way.
struct SeriesTable {
    bool parameterLine = false;             // the text began with a parameter line
    std::string parameterName;              // the second parameter it names ("" when none)
    int parameterColumn = -1;               // its 0-based column; -1 when the line gives none
    std::vector<std::string> columns;       // the header's names
    std::vector<std::vector<double>> rows;  // cells by column; NaN where a cell is no number
    std::vector<int> rowLines;              // line of each row in the text (1-based)
};

// Reads the table by the rules of every result table (core/base/result_table.h): the optional
// parameter line, the header, the rows up to the first line without cells. Any text is
// accepted: a cell that is not a number is NaN, and the caller decides what a row lacks.
SeriesTable ReadSeriesText(std::string_view text);

// Whether the table holds sweeps of a second parameter: its parameter line names a column of
// the header.
bool SeriesBySweep(const SeriesTable& table);

// The columns preselected in the FFT dialog. A complex variable is solved as the real pair
// nr, ni, so the names' last characters tell the parts: the real part is the first name ending
// in 'r', the imaginary part its partner (else the first other name ending in 'i', else none:
// kNoFftColumn, a real signal). The time is the first other column whose values rise from row
// to row through the first sweep, as a swept or stepped variable does, else the first name
// ending in neither 'r' nor 'i'. Without an 'r' name the signal is the first column that is
// neither the time nor the second parameter and whose value changes (else the first of them).
FftChoice PreselectFftColumns(const SeriesTable& table);

// The samples of one sweep: a stretch of rows with the same value of the second parameter (the
// whole table when it names none).
struct SeriesSweep {
    double parameter = 0.0;                    // the parameter's value in these rows
    std::vector<double> time;                  // the independent variable, per sample
    std::vector<std::complex<double>> signal;  // the signal, per sample
};

// Splits the chosen columns of the table into sweeps. Rows that have no number in a chosen
// column (or in the parameter's) are left out and counted in `rowsLeftOut`. The columns of
// `choice` must lie inside the table (the imaginary one may be kNoFftColumn).
std::vector<SeriesSweep> CollectSweeps(const SeriesTable& table, const FftChoice& choice,
                                       int& rowsLeftOut);

// The transform of one sweep. Of n samples the first N = 2^floor(log2 n) are transformed.
// When n = N + 1 the last sample should repeat the first (one whole period with both ends):
// their difference is the period error. The period T is the time the N samples stand for,
// N sample intervals: (t(N) - t(1)) * N / (N - 1).
struct SweepSpectrum {
    std::size_t samples = 0;    // n
    std::size_t points = 0;     // N; 0 when there are fewer than 2 samples
    int log2Points = 0;         // m
    bool endPointPair = false;  // n = N + 1
    double periodError = 0.0;   // |re(N+1) - re(1)| + |im(N+1) - im(1)| when endPointPair
    double period = 0.0;        // T
    std::vector<std::complex<double>> polar;  // N values (magnitude, phase in radians)
};

SweepSpectrum TransformSweep(const SeriesSweep& sweep);

// Single-sided amplitude of output index k: 2 * magnitude / N (divided first: N is a power of
// two, so the order changes no digit, and a magnitude near the largest double still has one).
inline double SpectrumAmplitude(const SweepSpectrum& s, std::size_t k) {
    return 2.0 * (s.polar[k].real() / static_cast<double>(s.points));
}

// Whether every amplitude and phase of the spectrum is a number. Samples near the largest
// double make sums that overflow, and an infinite or undefined sample spoils every index.
bool SpectrumIsFinite(const SweepSpectrum& s);
