#include "core/drive/fourier_of_results.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/base/result_table.h"
#include "core/drive/drive_messages.h"
#include "core/drive/fft_series.h"
#include "core/numeric/fft.h"
#include "core/solve/solve_messages.h"

namespace {

// Samples whose ends differ by more than this are not one whole period.
constexpr double kPeriodicityTolerance = 0.01;
constexpr int kSpectrumParameterColumn = 3;  // after the axis, amplitude and phase

enum class Axis { kHertz = 0, kRadians = 1, kIndex = 2 };

// The series text, read only from a plain file and never past the size bound, however the file
// grows while it is read: a pipe would hold the run, a device fill the memory. A missing series
// ends the command without a word; anything else that is not read is named.
bool ReadSeriesFile(CoreState& s, const std::string& name, std::string& text) {
    if (!InputFileUsableOrMissing(s, name)) return false;
    TextFile file(&s.io);
    file.status |= file_status::kNoReport;
    Assign(file, name);
    Reset(file);
    if (!IsOpen(file)) return false;
    std::string line;
    bool tooLarge = false;
    while (!tooLarge && ReadWholeLine(file, line, kMaxDocumentBytes - text.size() + 1)) {
        text += line;
        text += '\n';
        tooLarge = text.size() > kMaxDocumentBytes;
    }
    const bool ok = file.error == 0;
    Close(file);
    if (tooLarge) ReportUnusableInput(s, name, InputFileState::kTooLarge);
    return ok && !tooLarge;
}

bool ValidChoice(const FftChoice& c, std::size_t columns) {
    const int n = static_cast<int>(columns);
    auto inside = [n](int column) { return column >= 0 && column < n; };
    return inside(c.timeColumn) && inside(c.realColumn) &&
           (c.imagColumn == kNoFftColumn || inside(c.imagColumn)) && c.axis >= 0 && c.axis <= 2;
}

// The messages of the cut to a power of two. Several sweeps each have their own, one line
// apiece; a single series ends its message without a line end, as the closing message
// starts with one.
void ReportCut(CoreState& s, const SweepSpectrum& spectrum, bool& reported) {
    if (spectrum.points >= spectrum.samples) return;
    if (spectrum.endPointPair && spectrum.periodError <= kPeriodicityTolerance) return;
    if (reported) ConsoleWriteLine(s.console);
    reported = true;
    if (spectrum.endPointPair) {
        ConsoleWrite(s.console, fft_message::kNotPeriodic);
        ConsoleWriteLine(s.console);
        char text[64];
        std::snprintf(text, sizeof text, "%.6f", spectrum.periodError);
        ConsoleWrite(s.console, std::string(fft_message::kPeriodError) + text);
    } else {
        ConsoleWriteInt(s.console, static_cast<long>(spectrum.samples));
        ConsoleWrite(s.console, fft_message::kNotPowerOfTwo);
    }
}

std::string Real(double v, int precision) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", precision, v);
    return text;
}

std::string AxisValue(Axis axis, std::size_t k, double period, int precision) {
    switch (axis) {
        case Axis::kHertz: return Real(static_cast<double>(k) / period, precision);
        case Axis::kRadians: return Real(2.0 * kFftPi * static_cast<double>(k) / period, precision);
        case Axis::kIndex: {
            char text[32];
            std::snprintf(text, sizeof text, "%6d", static_cast<int>(k));
            return text;
        }
    }
    return {};
}

const char* AxisName(Axis axis) {
    switch (axis) {
        case Axis::kHertz: return fft_message::kHertz;
        case Axis::kRadians: return fft_message::kRadians;
        case Axis::kIndex: return fft_message::kIndex;
    }
    return fft_message::kIndex;
}

void WriteLineOf(TextFile& f, const std::string& text) {
    WriteString(f, text);
    WriteLine(f);
}

// The spectrum table in base.PRN. A series of several sweeps is written in the layout of a
// two-parameter sweep's result file, which the graphs read as one branch per parameter value:
// the parameter line naming the parameter's column, then one block of rows per sweep, each
// row carrying the sweep's parameter value.
bool WriteSpectra(CoreState& s, const SeriesTable& table, const FftChoice& choice,
                  const std::vector<SeriesSweep>& sweeps,
                  const std::vector<SweepSpectrum>& spectra) {
    TextFile& f = s.files.result;
    Close(f);
    Assign(f, s.files.baseName + extension::kResult);
    if (!RewriteWorkFile(s, f)) return false;
    const Axis axis = static_cast<Axis>(choice.axis);
    const int precision = s.k.outputPrecision;
    const bool bySweep = SeriesBySweep(table);
    std::string header =
        std::string(AxisName(axis)) + " " + fft_message::kAmplitude + " " + fft_message::kPhase;
    if (bySweep) {
        const std::string name = table.parameterName.empty() ? "p" : table.parameterName;
        WriteLineOf(f, ResultParameterLine(name, kSpectrumParameterColumn));
        header += " " + name;
    }
    WriteLineOf(f, header);
    for (std::size_t i = 0; i < spectra.size(); ++i) {
        const SweepSpectrum& spectrum = spectra[i];
        const std::size_t last = spectrum.points - 1;
        const std::size_t low = static_cast<std::size_t>(std::max(choice.lowIndex, 0));
        const std::size_t high = choice.highIndex < 0
                                     ? last
                                     : std::min(static_cast<std::size_t>(choice.highIndex), last);
        for (std::size_t k = low; k <= high; ++k) {
            std::string row = AxisValue(axis, k, spectrum.period, precision) + " " +
                              Real(SpectrumAmplitude(spectrum, k), precision) + " " +
                              Real(spectrum.polar[k].imag(), precision);
            if (bySweep) row += " " + Real(sweeps[i].parameter, precision);
            WriteLineOf(f, row);
        }
    }
    Close(f);
    return true;
}

}  // namespace

bool FourierOfResults(CoreState& s, const std::string& fileName) {
    std::string text;
    if (!ReadSeriesFile(s, fileName, text)) return false;
    const SeriesTable table = ReadSeriesText(text);
    if (table.columns.empty()) return false;  // no names to choose from
    FftChoice choice = PreselectFftColumns(table);
    if (!s.shell->FftDialog(table.columns, choice)) return false;
    if (!ValidChoice(choice, table.columns.size())) return false;

    int rowsLeftOut = 0;
    const std::vector<SeriesSweep> sweeps = CollectSweeps(table, choice, rowsLeftOut);
    if (rowsLeftOut > 0) {
        ConsoleWriteInt(s.console, rowsLeftOut);
        ConsoleWrite(s.console, fft_message::kRowsLeftOut);
        ConsoleWriteLine(s.console);
    }
    if (sweeps.empty()) {
        ConsoleWriteInt(s.console, 0);
        ConsoleWrite(s.console, fft_message::kTooFewSamples);
        ConsoleWriteLine(s.console);
        return false;
    }
    std::vector<SweepSpectrum> spectra;
    bool reported = false;
    for (const SeriesSweep& sweep : sweeps) {
        spectra.push_back(TransformSweep(sweep));
        const SweepSpectrum& spectrum = spectra.back();
        if (spectrum.points == 0) {
            ConsoleWriteInt(s.console, static_cast<long>(spectrum.samples));
            ConsoleWrite(s.console, fft_message::kTooFewSamples);
            ConsoleWriteLine(s.console);
            return false;
        }
        // A frequency axis divides by the period; an index axis does not need one.
        if (choice.axis != static_cast<int>(Axis::kIndex) &&
            (!std::isfinite(spectrum.period) || spectrum.period == 0.0)) {
            ConsoleWrite(s.console, fft_message::kNoPeriod);
            ConsoleWriteLine(s.console);
            return false;
        }
        if (!SpectrumIsFinite(spectrum)) {
            ConsoleWrite(s.console, fft_message::kOverflow);
            ConsoleWriteLine(s.console);
            return false;
        }
        ReportCut(s, spectrum, reported);
    }
    if (!WriteSpectra(s, table, choice, sweeps, spectra)) return false;
    ConsoleWrite(s.console, fft_message::kFound);
    return true;
}
