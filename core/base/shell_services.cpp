#include "core/base/shell_services.h"

#include <utility>

namespace {

int PositionOf(const std::vector<std::string>& names, const std::string& name, int fallback) {
    if (name.empty()) return fallback;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool DefaultShellServices::GraphGenerationDialog(const std::vector<std::string>& names,
                                                 SweepChoice& choice) {
    if (sweepCancelled || names.empty()) return false;
    choice = sweep;
    int v = PositionOf(names, sweepVariable, 0);
    int p = PositionOf(names, parameterVariable, 0);
    // A name the model does not have cannot be answered: the front end is told why.
    for (const auto& [position, name] : {std::pair{v, sweepVariable}, {p, parameterVariable}}) {
        if (position >= 0) continue;
        refusal = "the document has no variable '" + name + "' to sweep; its variables are";
        for (const std::string& n : names) refusal += " " + n;
        return false;
    }
    choice.variable = v + 1;
    choice.parameter = p + 1;
    return true;
}

bool DefaultShellServices::FftDialog(const std::vector<std::string>& columns, FftChoice& choice) {
    if (fftCancelled) return false;
    // `choice` arrives with the core's preselection, which named columns replace.
    const int t = PositionOf(columns, fftTimeColumn, choice.timeColumn);
    const int re = PositionOf(columns, fftRealColumn, choice.realColumn);
    int im = fftRealSignal ? kNoFftColumn : choice.imagColumn;
    if (!fftRealSignal && !fftImagColumn.empty()) im = PositionOf(columns, fftImagColumn, 0);
    // A name the file does not have: nothing to transform, and the front end is told why.
    const bool imagMissing = im < 0 && !fftImagColumn.empty() && !fftRealSignal;
    if (t < 0 || re < 0 || imagMissing) {
        const std::string& name = t < 0 ? fftTimeColumn : re < 0 ? fftRealColumn : fftImagColumn;
        refusal = "the series has no column '" + name + "'; its columns are";
        for (const std::string& c : columns) refusal += " " + c;
        return false;
    }
    choice.timeColumn = t;
    choice.realColumn = re;
    choice.imagColumn = im;
    choice.axis = fft.axis;
    choice.lowIndex = fft.lowIndex;
    choice.highIndex = fft.highIndex;
    return true;
}

bool DefaultShellServices::FftFileDialog(std::string& path) {
    if (fftFile.empty()) return false;
    path = fftFile;
    return true;
}

bool DefaultShellServices::MessageBox(const std::string& text) {
    messages.push_back(text);
    return false;  // no box of its own: the core prints the text on its console
}

int DefaultShellServices::PollKey() {
    // A cancel stays pending: every later poll of the run sees ESC as well.
    if (cancelled.load()) return kKeyEscape;
    return -1;
}

void DefaultShellServices::Progress(long step, long total) {
    if (progress != nullptr) progress(step, total);
}
