#include "cli/cli_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/base/bounds.h"
#include "core/base/result_table.h"
#include "core/run/entry.h"

namespace {

bool ParseInt(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseReal(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == sep) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// VAR=FROM:TO:STEPS with FROM < TO and STEPS > 0, as the sweep dialog insists.
bool ParseRange(const std::string& text, RangeOption& range, std::string& error) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "expected VAR=FROM:TO:STEPS, got '" + text + "'";
        return false;
    }
    range.variable = text.substr(0, eq);
    const auto parts = Split(text.substr(eq + 1), ':');
    long long steps = 0;
    if (parts.size() != 3 || !ParseReal(parts[0], range.from) || !ParseReal(parts[1], range.to) ||
        !ParseInt(parts[2], 1, 1 << 30, steps)) {
        error = "expected VAR=FROM:TO:STEPS, got '" + text + "'";
        return false;
    }
    range.steps = static_cast<int>(steps);
    if (!(range.from < range.to)) {
        error = "Value \"From\" must be less than \"To\" value!!";
        return false;
    }
    return true;
}

bool ParseKeyword(const std::string* text, std::initializer_list<const char*> words, int& out) {
    if (text == nullptr) return false;
    int position = 0;
    for (const char* w : words) {
        if (*text == w) {
            out = position;
            return true;
        }
        ++position;
    }
    return false;
}

using Argument = const std::string*;  // null when the option is last on the line

// A solver option given as a number: it must read whole and lie in the option's domain, which
// the refusal names.
template <SolverOption kOption>
std::string NumberOption(CliOptions& o, std::string_view name, Argument a) {
    const OptionDescription& d = Describe(kOption);
    const bool integer = d.kind == OptionKind::kInteger;
    double x = 0;
    long long n = 0;
    bool read = false;
    if (a != nullptr) {
        read = integer ? ParseInt(*a, std::numeric_limits<long long>::min(),
                                  std::numeric_limits<long long>::max(), n)
                       : ParseReal(*a, x);
        if (integer) x = static_cast<double>(n);
    }
    if (!read || !InDomain(d, x)) {
        return std::string(name) + " takes " + (integer ? "an integer " : "a number ") +
               DomainText(d);
    }
    o.solver.Set(kOption, x);
    return {};
}

template <SolverOption kOption>
std::string SwitchOption(CliOptions& o, std::string_view name, Argument) {
    o.solver.Set(kOption, name.starts_with("--no-") ? 0 : 1);
    return {};
}

std::string RangeOptionOf(std::optional<RangeOption>& slot, std::string_view name, Argument a) {
    if (a == nullptr) return std::string(name) + " takes VAR=FROM:TO:STEPS";
    RangeOption range;
    std::string error;
    if (!ParseRange(*a, range, error)) return std::string(name) + ": " + error;
    slot = range;
    return {};
}

constexpr CliOption kOptions[] = {
    {"--method", "", "newton|robust|dishonest|homotopy", "iteration method",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         int k = 0;
         if (!ParseKeyword(a, {"newton", "robust", "dishonest", "homotopy"}, k)) {
             return "--method takes newton, robust, dishonest or homotopy";
         }
         o.solver.Set(SolverOption::kMethod, k);
         return {};
     }},
    {"--jacobian", "", "exact|incremental", "symbolic or finite-difference Jacobian",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         int k = 0;
         if (!ParseKeyword(a, {"exact", "incremental"}, k))
             return "--jacobian takes exact or incremental";
         o.solver.Set(SolverOption::kJacobianMode, k);
         return {};
     }},
    {"--max-iter", "", "N", "Newton iterations per solve",
     NumberOption<SolverOption::kMaxIterations>},
    {"--tol-exp", "", "N", "stopping tolerance 1.0E(N), e.g. -8",
     NumberOption<SolverOption::kToleranceExponent>},
    {"--steps", "", "N", "repetitions of update runs", NumberOption<SolverOption::kStepCount>},
    {"--delta-j", "", "X", "increment of the incremental Jacobian",
     NumberOption<SolverOption::kDeltaJ>},
    {"--delta-t", "", "X", "homotopy and time step", NumberOption<SolverOption::kDeltaT>},
    {"--guess-min", "", "X", "lower end of random starting values",
     NumberOption<SolverOption::kMinGuess>},
    {"--guess-max", "", "X", "upper end of random starting values",
     NumberOption<SolverOption::kMaxGuess>},
    {"--capacity", "", "N", "largest count of statements and variables, 25..20000",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         const OptionDomain& d = Describe(SolverOption::kCapacity).domain;
         long long n = 0;
         if (a == nullptr || !ParseInt(*a, static_cast<long long>(d.lowest),
                                       static_cast<long long>(d.highest), n)) {
             return "--capacity takes a number from " + std::to_string(Limits::kDefaultCapacity) +
                    " to " + std::to_string(Limits::kMaxCapacity);
         }
         o.solver.Set(SolverOption::kCapacity, static_cast<double>(n));
         return {};
     }},
    {"--route", "", "direct|rewrite",
     "minimization (O, K, ALR): direct methods or Newton on the rewritten equations",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         int k = 0;
         if (!ParseKeyword(a, {"direct", "rewrite"}, k)) return "--route takes direct or rewrite";
         o.solver.Set(SolverOption::kOptimizationRoute, k);
         return {};
     }},
    {"--groups", "--no-groups", "", "solve in sequential groups or as one set",
     SwitchOption<SolverOption::kSolveInGroups>},
    {"--simplify", "--no-simplify", "", "fold constants after compiling",
     SwitchOption<SolverOption::kAutoSimplify>},
    {"--auto-homotopy", "--no-auto-homotopy", "", "retry with homotopy when a solve fails",
     SwitchOption<SolverOption::kAutoHomotopy>},
    {"--attach", "", "FILE.LST", "attachment table: update runs, regression (ALR)",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         if (a == nullptr || a->empty()) return "--attach takes a file name";
         o.attach = *a;
         return {};
     }},
    {"--show-iterations", "", "", "show all values at every iteration",
     [](CliOptions& o, std::string_view, Argument) -> std::string {
         o.showIterations = true;
         return {};
     }},
    {"--show-derivatives", "", "", "show the derivatives being formed",
     [](CliOptions& o, std::string_view, Argument) -> std::string {
         o.showDerivatives = true;
         return {};
     }},
    {"--echo", "--no-echo", "", "echo result rows in the output",
     [](CliOptions& o, std::string_view name, Argument) -> std::string {
         o.echo = name == "--echo";
         return {};
     }},
    {"--seed", "", "N", "seed of the random starting values",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         long long n = 0;
         if (a == nullptr || !ParseInt(*a, 0, 0xffffffffLL, n)) {
             return "--seed takes a non-negative integer";
         }
         o.seed = static_cast<std::uint32_t>(n);
         return {};
     }},
    {"--sweep", "", "VAR=FROM:TO:STEPS", "swept variable of command G",
     [](CliOptions& o, std::string_view name, Argument a) {
         return RangeOptionOf(o.sweep, name, a);
     }},
    {"--param", "", "VAR=FROM:TO:STEPS", "second parameter of command G",
     [](CliOptions& o, std::string_view name, Argument a) {
         return RangeOptionOf(o.param, name, a);
     }},
    {"--fft", "", "", "command G writes base.FFT",
     [](CliOptions& o, std::string_view, Argument) -> std::string {
         o.fft = true;
         return {};
     }},
    {"--fft-file", "", "FILE", "series file of command W",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         if (a == nullptr || a->empty()) return "--fft-file takes a file name";
         o.fftFile = *a;
         return {};
     }},
    {"--fft-columns", "", "T,RE,IM", "time, real and imaginary columns (IM - for none)",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         if (a == nullptr) return "--fft-columns takes T,RE,IM";
         o.fftColumns = Split(*a, ',');
         if (o.fftColumns.size() != 3) return "--fft-columns takes three names: T,RE,IM";
         return {};
     }},
    {"--fft-axis", "", "hz|rad|index", "unit of the spectrum's first column",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         int k = 0;
         if (!ParseKeyword(a, {"hz", "rad", "index"}, k))
             return "--fft-axis takes hz, rad or index";
         o.fftAxis = k;
         return {};
     }},
    {"--fft-range", "", "LO:HI", "output indexes of the spectrum",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         long long lo = 0, hi = 0;
         std::vector<std::string> parts;
         if (a != nullptr) parts = Split(*a, ':');
         if (parts.size() != 2 || !ParseInt(parts[0], 0, 1 << 30, lo) ||
             !ParseInt(parts[1], 0, 1 << 30, hi) || lo > hi) {
             return "--fft-range takes LO:HI with LO <= HI";
         }
         o.fftLow = static_cast<int>(lo);
         o.fftHigh = static_cast<int>(hi);
         return {};
     }},
    {"--results", "", "", "print name=value for every variable",
     [](CliOptions& o, std::string_view, Argument) -> std::string {
         o.results = true;
         return {};
     }},
    {"--repeat", "", "N", "run N times and report the run time",
     [](CliOptions& o, std::string_view, Argument a) -> std::string {
         long long n = 0;
         if (a == nullptr || !ParseInt(*a, 1, 1000000, n))
             return "--repeat takes a positive integer";
         o.repeat = static_cast<int>(n);
         return {};
     }},
};

// The help line's left part: the name (and its negation) with the argument.
std::string Synopsis(const CliOption& option) {
    std::string text(option.name);
    if (!option.negation.empty()) text += " | " + std::string(option.negation);
    if (!option.argument.empty()) text += " " + std::string(option.argument);
    return text;
}

const CliOption* FindOption(std::string_view name) {
    for (const CliOption& option : kOptions) {
        if (name == option.name || (!option.negation.empty() && name == option.negation)) {
            return &option;
        }
    }
    return nullptr;
}

constexpr std::size_t kHelpColumn = 45;  // where the help lines of the options start

// The sweep and its second parameter must name two variables, and their steps together must
// stay within the bound of one sweep.
std::string CheckSweepRanges(const CliOptions& o) {
    if (!o.sweep) return {};
    const bool second = o.param && !o.fft;  // the FFT file is written from one variable only
    if (second && o.sweep->variable == o.param->variable) {
        return "--sweep and --param name the same variable '" + o.sweep->variable + "'";
    }
    const std::int64_t steps = SweepStepCount(o.sweep->steps, second ? o.param->steps : 0);
    if (steps > kMaxSweepSteps) {
        return std::string(second ? "--sweep and --param make " : "--sweep makes ") +
               std::to_string(steps) + " steps; a sweep takes at most " +
               std::to_string(kMaxSweepSteps);
    }
    return {};
}

}  // namespace

std::span<const CliOption> CliOptionTable() {
    return kOptions;
}

std::string UsageText() {
    std::string text =
        "usage: valdrix run [OPTIONS] DOC [COMMAND...]\n"
        "                                             run core commands on DOC in order, one core "
        "(default S)\n"
        "       valdrix check [OPTIONS] DOC           compile DOC without solving\n"
        "       valdrix import-cf [--full-model] FILE.cf [OUT.alg]\n"
        "                                             power-flow document from a Common Format "
        "file\n"
        "       valdrix --help | --version\n"
        "options:\n";
    for (const CliOption& option : kOptions) {
        std::string line = "  " + Synopsis(option);
        line.resize(std::max(kHelpColumn, line.size() + 2), ' ');
        text += line + std::string(option.help) + "\n";
    }
    text +=
        "exit status: 0 every command did its work (solved, or wrote its file), 1 one did not,\n"
        "  2 usage error or unreadable input, 130 interrupted\n";
    return text;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine result;
    CliOptions& o = result.options;
    auto fail = [&](const std::string& message) {
        result.ok = false;
        result.error = message;
        return result;
    };
    if (args.empty()) return fail("missing command");
    if (args[0] == "--help" || args[0] == "-h") {
        o.mode = CliOptions::Mode::kHelp;
        result.ok = true;
        return result;
    }
    if (args[0] == "--version") {
        o.mode = CliOptions::Mode::kVersion;
        result.ok = true;
        return result;
    }
    if (args[0] == "run")
        o.mode = CliOptions::Mode::kRun;
    else if (args[0] == "check")
        o.mode = CliOptions::Mode::kCheck;
    else
        return fail("unknown command '" + args[0] + "'");

    std::vector<std::string> positional;
    bool optionsEnded = false;  // after "--" every word is the document or the command
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.rfind("--", 0) != 0) {
            positional.push_back(a);
            continue;
        }
        if (a == "--help") {
            o.mode = CliOptions::Mode::kHelp;
            continue;
        }
        const CliOption* option = FindOption(a);
        if (option == nullptr) return fail("unknown option '" + a + "'");
        const std::string* argument = nullptr;
        if (!option->argument.empty() && i + 1 < args.size()) argument = &args[++i];
        const std::string error = option->apply(o, a, argument);
        if (!error.empty()) return fail(error);
    }
    if (o.mode == CliOptions::Mode::kHelp) {
        result.ok = true;
        return result;
    }
    if (positional.empty()) return fail("missing document");
    if (o.mode != CliOptions::Mode::kRun && positional.size() > 1) {
        return fail("too many arguments");
    }
    o.document = positional[0];
    for (std::size_t i = 1; i < positional.size(); ++i) {
        const std::string& command = positional[i];
        if (command.empty()) return fail("empty core command");
        if (!IsKnownCommand(command[0])) {
            const auto byte = static_cast<unsigned char>(command[0]);
            const std::string shown = (byte > ' ' && byte < 0x7f)
                                          ? "'" + std::string(1, command[0]) + "'"
                                          : "byte " + std::to_string(byte);
            return fail("unknown core command " + shown +
                        " (the command letters are A, D, E, F, G, K, O, R, S, U and W)");
        }
        if (i == 1)
            o.command = command;
        else
            o.laterCommands.push_back(command);
    }
    if (const std::string error = CheckSweepRanges(o); !error.empty()) return fail(error);
    if (o.fftFile.empty() && ReadsChosenSeries(o)) {
        return fail("W reads the series named by --fft-file FILE (W0 reads the document's .FFT)");
    }
    result.ok = true;
    return result;
}

bool ReadsChosenSeries(const CliOptions& o) {
    if (o.mode != CliOptions::Mode::kRun) return false;
    auto chosen = [](const std::string& c) {
        return !c.empty() && c[0] == 'W' && (c.size() < 2 || c[1] != '0');
    };
    return chosen(o.command) || std::any_of(o.laterCommands.begin(), o.laterCommands.end(), chosen);
}

bool UsesAttachmentRows(const CliOptions& o) {
    return o.mode == CliOptions::Mode::kRun && !o.command.empty() && o.command[0] == 'U';
}

void ApplyOptions(const CliOptions& o, DocumentSettings& d) {
    o.solver.ApplyTo(d);
    if (o.attach) {
        d.attachmentPath = *o.attach;
        // Only the update runs take their step count from the table; nothing else reads it
        // before the run. The rows are counted as the core reads them, line ends and all.
        if (UsesAttachmentRows(o)) {
            d.updateStepCount = static_cast<std::uint32_t>(CountListRows(*o.attach));
        }
    }
}

void ConfigureShellServices(const CliOptions& o, DefaultShellServices& s) {
    s.showIterations = o.showIterations;
    s.showDerivatives = o.showDerivatives;
    s.showResults = o.echo;
    if (o.sweep) {
        s.sweepVariable = o.sweep->variable;
        s.sweep.from = o.sweep->from;
        s.sweep.to = o.sweep->to;
        s.sweep.intervals = o.sweep->steps;
    }
    if (o.param) {
        s.parameterVariable = o.param->variable;
        s.sweep.secondParameter = true;
        s.sweep.paramFrom = o.param->from;
        s.sweep.paramTo = o.param->to;
        s.sweep.paramIntervals = o.param->steps;
    }
    s.sweep.writeFft = o.fft;
    s.fftFile = o.fftFile;
    if (o.fftColumns.size() == 3) {
        s.fftTimeColumn = o.fftColumns[0];
        s.fftRealColumn = o.fftColumns[1];
        s.fftRealSignal = o.fftColumns[2] == "-";
        if (!s.fftRealSignal) s.fftImagColumn = o.fftColumns[2];
    }
    if (o.fftAxis) s.fft.axis = *o.fftAxis;
    if (o.fftLow) s.fft.lowIndex = *o.fftLow;
    if (o.fftHigh) s.fft.highIndex = *o.fftHigh;
}
