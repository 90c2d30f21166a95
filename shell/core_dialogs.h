#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/core_bridge.h"

class QWidget;

// The dialogs the core opens during a run. Each is a function so that the graph issue's
// dialogs (and the tests' scripted answers) can take the place of the simple ones here.
struct CoreDialogFactory {
    std::function<bool(QWidget*, const std::vector<std::string>&, SweepChoice&)> graphGeneration;
    std::function<bool(QWidget*, const std::vector<std::string>&, FftChoice&)> fft;
    std::function<bool(QWidget*, std::string&)> fftFile;

    // The simple dialogs of this module.
    static CoreDialogFactory Standard();
};

// A plain form for the sweep: variable, range, intervals, optional second variable, FFT file.
bool RunGraphGenerationDialog(QWidget* parent, const std::vector<std::string>& names,
                              SweepChoice& choice);
// A plain form for the FFT: time, real and imaginary columns, axis, index range.
bool RunFftDialog(QWidget* parent, const std::vector<std::string>& columns, FftChoice& choice);
