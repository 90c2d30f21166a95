#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/shell_services.h"
#include "core/base/solver_options.h"
#include "core/run/document_settings.h"

// A range of values for the sweep dialog: VAR=FROM:TO:STEPS.
struct RangeOption {
    std::string variable;
    double from = 0.0;
    double to = 0.0;
    int steps = 0;
};

struct CliOptions {
    enum class Mode { kRun, kCheck, kHelp, kVersion };
    Mode mode = Mode::kRun;
    std::string document;
    std::string command = "S";
    std::vector<std::string> laterCommands;  // run after it on the same core, in order

    // Solver options laid over the document's side file.
    SolverOptionOverrides solver;
    std::optional<std::string> attach;
    std::optional<std::uint32_t> seed;

    // Display flags of the application.
    bool showIterations = false;
    bool showDerivatives = false;
    bool echo = true;

    // Dialog answers for the sweep and FFT commands.
    std::optional<RangeOption> sweep;
    std::optional<RangeOption> param;
    bool fft = false;
    std::string fftFile;
    std::vector<std::string> fftColumns;  // time, real part, imaginary part
    std::optional<int> fftAxis;
    std::optional<int> fftLow, fftHigh;

    bool results = false;  // print name=value lines after the run
    int repeat = 1;        // run the command this many times and report timings
};

// One option of the command line. The table of them is what the parser reads and what the help
// text is written from.
struct CliOption {
    std::string_view name;      // e.g. "--max-iter"
    std::string_view negation;  // the name that switches it off, e.g. "--no-groups"; or empty
    std::string_view argument;  // what follows the name, e.g. "N"; empty when nothing does
    std::string_view help;      // one line
    // Applies the option: `name` is the name or the negation that was given, `argument` the
    // word after it, null for an option without one or when the line ended. Returns a usage
    // error text, empty when the option was accepted.
    std::string (*apply)(CliOptions& options, std::string_view name, const std::string* argument);
};

std::span<const CliOption> CliOptionTable();

struct ParsedCommandLine {
    bool ok = false;
    std::string error;  // usage error text when !ok
    CliOptions options;
};

// args excludes the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// Help text: the commands, then every option of the table, one line each.
std::string UsageText();

// Lays the options over a document's settings (those of its side file or a new document's).
void ApplyOptions(const CliOptions& options, DocumentSettings& settings);
// Sets the dialog answers and display flags of the default shell services.
void ConfigureShellServices(const CliOptions& options, DefaultShellServices& services);

// Whether a command of the run reads the series named by --fft-file: W without the '0' that
// makes it read the document's own .FFT.
bool ReadsChosenSeries(const CliOptions& options);
