#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/core_bridge.h"

class QWidget;

// The dialogs the core opens during a run. Each is a function so that tests can answer in
// place of the dialog. A dialog starts from the values its choice comes in with.
struct CoreDialogFactory {
    std::function<bool(QWidget*, const std::vector<std::string>&, SweepChoice&)> graphGeneration;
    std::function<bool(QWidget*, const std::vector<std::string>&, FftChoice&)> fft;
    std::function<bool(QWidget*, std::string&)> fftFile;

    // "Graph Generation" and "FFT" of the graphs, and an open-file dialog for FFT files.
    static CoreDialogFactory Standard();
};

class CGraphGenerationDlg;

// Puts an answer back into the Graph Generation dialog's fields.
void ShowSweepChoice(CGraphGenerationDlg& dialog, const SweepChoice& choice);
