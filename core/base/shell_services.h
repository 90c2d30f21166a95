#pragma once

#include <atomic>
#include <string>
#include <vector>

// Answer of the "Graph Generation" dialog of the parameter sweep.
struct SweepChoice {
    int variable = 1;  // swept variable, 1-based position in the names offered
    double from = -10.0;
    double to = 10.0;
    int intervals = 50;
    bool secondParameter = false;
    int parameter = 1;  // second variable, 1-based position
    double paramFrom = 0.0;
    double paramTo = 5.0;
    int paramIntervals = 5;
    bool writeFft = false;  // write the sweep to base.FFT
};

// A column the FFT dialog leaves unchosen: an imaginary part of none means a real signal.
inline constexpr int kNoFftColumn = -1;

// Answer of the FFT dialog. The core fills in its preselection before asking.
struct FftChoice {
    int timeColumn = 0;  // 0-based positions in the column names offered
    int realColumn = 1;
    int imagColumn = 2;  // or kNoFftColumn
    int axis = 0;        // 0 Hz, 1 rad/s, 2 sample index
    int lowIndex = 0;
    int highIndex = -1;  // -1: up to the last output index
};

inline constexpr int kKeyEscape = 27;

// Everything the core asks of the application during a run. The desktop shell implements it
// with dialogs and its display flags; the command-line front end and the tests use
// DefaultShellServices.
class ShellServices {
   public:
    virtual ~ShellServices() = default;
    // Modal dialogs; false means the user cancelled.
    virtual bool GraphGenerationDialog(const std::vector<std::string>& names,
                                       SweepChoice& choice) = 0;
    virtual bool FftDialog(const std::vector<std::string>& columns, FftChoice& choice) = 0;
    virtual bool FftFileDialog(std::string& path) = 0;
    // A message box; returns false when the shell has no box to show, and the core then
    // writes the text to its console.
    virtual bool MessageBox(const std::string& text) = 0;
    virtual void WarningBeep() = 0;
    // Display flags of the application.
    virtual bool ShowDerivativeInformation() = 0;
    virtual bool ShowIterationResults() = 0;
    virtual bool ShowResultsInOutput() = 0;
    // The keyboard poll: the pending key (consumed), or -1 when none is waiting.
    virtual int PollKey() = 0;
    // Progress of a stepping run.
    virtual void Progress(long step, long total) = 0;
};

// Values given up front instead of dialogs; no key pending unless cancel() was called.
class DefaultShellServices : public ShellServices {
   public:
    bool GraphGenerationDialog(const std::vector<std::string>& names, SweepChoice& choice) override;
    bool FftDialog(const std::vector<std::string>& columns, FftChoice& choice) override;
    bool FftFileDialog(std::string& path) override;
    bool MessageBox(const std::string& text) override;
    void WarningBeep() override { ++beeps; }
    bool ShowDerivativeInformation() override { return showDerivatives; }
    bool ShowIterationResults() override { return showIterations; }
    bool ShowResultsInOutput() override { return showResults; }
    int PollKey() override;
    void Progress(long step, long total) override;

    // Safe to call from a signal handler: the next poll sees ESC.
    void cancel() { cancelled.store(true); }

    // Sweep dialog answers by name; an empty name means the first variable offered.
    std::string sweepVariable;
    std::string parameterVariable;
    SweepChoice sweep;
    bool sweepCancelled = false;
    // FFT dialog answers by column name; empty names keep the core's preselection. The axis
    // and the index range are taken from `fft`.
    std::string fftTimeColumn, fftRealColumn, fftImagColumn;
    bool fftRealSignal = false;  // no imaginary column
    FftChoice fft;
    bool fftCancelled = false;
    std::string fftFile;  // answer of the file dialog; empty = cancelled
    // Why a dialog could not be answered from the values above (a name the model or the series
    // lacks), for the front end to report; empty when every question was answered or cancelled on
    // purpose.
    std::string refusal;

    bool showDerivatives = false;
    bool showIterations = false;
    bool showResults = true;
    int beeps = 0;                      // warning beeps sounded
    std::vector<std::string> messages;  // message boxes shown
    void (*progress)(long step, long total) = nullptr;
    std::atomic<bool> cancelled{false};
};
