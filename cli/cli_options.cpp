#include "cli/cli_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

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

struct Keyword {
    const char* text;
    int value;
};

bool ParseKeyword(const std::string& text, std::initializer_list<Keyword> words, int& out) {
    for (const Keyword& w : words) {
        if (text == w.text) {
            out = w.value;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string UsageText() {
    return
        "usage: valdrix run [OPTIONS] DOC [COMMAND]   solve DOC (COMMAND is a core command, default S)\n"
        "       valdrix check [OPTIONS] DOC           compile DOC without solving\n"
        "       valdrix --help | --version\n"
        "options:\n"
        "  --method newton|robust|dishonest|homotopy   iteration method\n"
        "  --jacobian exact|incremental               symbolic or finite-difference Jacobian\n"
        "  --max-iter N                               Newton iterations per solve\n"
        "  --tol-exp N                                stopping tolerance 1.0E(N), e.g. -8\n"
        "  --steps N                                  repetitions of update runs\n"
        "  --delta-j X                                increment of the incremental Jacobian\n"
        "  --delta-t X                                homotopy and time step\n"
        "  --guess-min X                              lower end of random starting values\n"
        "  --guess-max X                              upper end of random starting values\n"
        "  --groups | --no-groups                     solve in sequential groups or as one set\n"
        "  --simplify | --no-simplify                 fold constants after compiling\n"
        "  --auto-homotopy | --no-auto-homotopy       retry with homotopy when a solve fails\n"
        "  --attach FILE.LST                          attachment table: update runs, regression (ALR)\n"
        "  --show-iterations                          show all values at every iteration\n"
        "  --show-derivatives                         show the derivatives being formed\n"
        "  --echo | --no-echo                         echo result rows in the output\n"
        "  --seed N                                   seed of the random starting values\n"
        "  --sweep VAR=FROM:TO:STEPS                  swept variable of command G\n"
        "  --param VAR=FROM:TO:STEPS                  second parameter of command G\n"
        "  --fft                                      command G writes base.FFT\n"
        "  --fft-file FILE                            series file of command W\n"
        "  --fft-columns T,RE,IM                      time, real and imaginary columns\n"
        "  --fft-axis hz|rad|index                    unit of the spectrum's first column\n"
        "  --fft-range LO:HI                          output indexes of the spectrum\n"
        "  --results                                  print name=value for every variable\n"
        "  --repeat N                                 run N times and report the run time\n"
        "exit status: 0 solved, 1 not solved, 2 usage error or unreadable document, 130 interrupted\n";
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
    if (args[0] == "run") o.mode = CliOptions::Mode::kRun;
    else if (args[0] == "check") o.mode = CliOptions::Mode::kCheck;
    else return fail("unknown command '" + args[0] + "'");

    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        double x = 0;
        int k = 0;
        if (a.rfind("--", 0) != 0 || a == "--") {
            positional.push_back(a);
            continue;
        }
        if (a == "--help") {
            o.mode = CliOptions::Mode::kHelp;
        } else if (a == "--method") {
            if (!value(v) || !ParseKeyword(v, {{"newton", 0}, {"robust", 1}, {"dishonest", 2}, {"homotopy", 3}}, k))
                return fail("--method takes newton, robust, dishonest or homotopy");
            o.method = k;
        } else if (a == "--jacobian") {
            if (!value(v) || !ParseKeyword(v, {{"exact", 0}, {"incremental", 1}}, k))
                return fail("--jacobian takes exact or incremental");
            o.jacobian = k;
        } else if (a == "--max-iter") {
            if (!value(v) || !ParseInt(v, 1, 1000000, n)) return fail("--max-iter takes a positive integer");
            o.maxIterations = static_cast<std::uint32_t>(n);
        } else if (a == "--tol-exp") {
            if (!value(v) || !ParseInt(v, -99, 99, n)) return fail("--tol-exp takes an integer exponent, e.g. -8");
            o.toleranceExponent = static_cast<std::int32_t>(n);
        } else if (a == "--steps") {
            if (!value(v) || !ParseInt(v, 1, 1 << 30, n)) return fail("--steps takes a positive integer");
            o.steps = static_cast<std::uint32_t>(n);
        } else if (a == "--delta-j" || a == "--delta-t" || a == "--guess-min" || a == "--guess-max") {
            if (!value(v) || !ParseReal(v, x)) return fail(a + " takes a number");
            if (a == "--delta-j") o.deltaJ = x;
            else if (a == "--delta-t") o.deltaT = x;
            else if (a == "--guess-min") o.guessMin = x;
            else o.guessMax = x;
        } else if (a == "--groups" || a == "--no-groups") {
            o.groups = (a == "--groups");
        } else if (a == "--simplify" || a == "--no-simplify") {
            o.simplify = (a == "--simplify");
        } else if (a == "--auto-homotopy" || a == "--no-auto-homotopy") {
            o.autoHomotopy = (a == "--auto-homotopy");
        } else if (a == "--attach") {
            if (!value(v) || v.empty()) return fail("--attach takes a file name");
            o.attach = v;
        } else if (a == "--show-iterations") {
            o.showIterations = true;
        } else if (a == "--show-derivatives") {
            o.showDerivatives = true;
        } else if (a == "--echo" || a == "--no-echo") {
            o.echo = (a == "--echo");
        } else if (a == "--seed") {
            if (!value(v) || !ParseInt(v, 0, 0xffffffffLL, n)) return fail("--seed takes a non-negative integer");
            o.seed = static_cast<std::uint32_t>(n);
        } else if (a == "--sweep" || a == "--param") {
            RangeOption range;
            std::string error;
            if (!value(v)) return fail(a + " takes VAR=FROM:TO:STEPS");
            if (!ParseRange(v, range, error)) return fail(a + ": " + error);
            (a == "--sweep" ? o.sweep : o.param) = range;
        } else if (a == "--fft") {
            o.fft = true;
        } else if (a == "--fft-file") {
            if (!value(v) || v.empty()) return fail("--fft-file takes a file name");
            o.fftFile = v;
        } else if (a == "--fft-columns") {
            if (!value(v)) return fail("--fft-columns takes T,RE,IM");
            o.fftColumns = Split(v, ',');
            if (o.fftColumns.size() != 3) return fail("--fft-columns takes three names: T,RE,IM");
        } else if (a == "--fft-axis") {
            if (!value(v) || !ParseKeyword(v, {{"hz", 0}, {"rad", 1}, {"index", 2}}, k))
                return fail("--fft-axis takes hz, rad or index");
            o.fftAxis = k;
        } else if (a == "--fft-range") {
            long long lo = 0, hi = 0;
            std::vector<std::string> parts;
            if (value(v)) parts = Split(v, ':');
            if (parts.size() != 2 || !ParseInt(parts[0], 0, 1 << 30, lo) || !ParseInt(parts[1], 0, 1 << 30, hi) || lo > hi)
                return fail("--fft-range takes LO:HI with LO <= HI");
            o.fftLow = static_cast<int>(lo);
            o.fftHigh = static_cast<int>(hi);
        } else if (a == "--results") {
            o.results = true;
        } else if (a == "--repeat") {
            if (!value(v) || !ParseInt(v, 1, 1000000, n)) return fail("--repeat takes a positive integer");
            o.repeat = static_cast<int>(n);
        } else {
            return fail("unknown option '" + a + "'");
        }
    }
    if (o.mode == CliOptions::Mode::kHelp) {
        result.ok = true;
        return result;
    }
    const std::size_t maxPositional = (o.mode == CliOptions::Mode::kRun) ? 2 : 1;
    if (positional.empty()) return fail("missing document");
    if (positional.size() > maxPositional) return fail("too many arguments");
    o.document = positional[0];
    if (positional.size() == 2) {
        o.command = positional[1];
        if (o.command.empty()) return fail("empty core command");
    }
    result.ok = true;
    return result;
}

void ApplyOptions(const CliOptions& o, DocumentSettings& d) {
    if (o.method) d.method = *o.method;
    if (o.jacobian) d.jacobianMethod = *o.jacobian;
    if (o.maxIterations) d.maxIterations = *o.maxIterations;
    if (o.steps) d.repetitions = *o.steps;
    if (o.toleranceExponent) d.toleranceExponent = *o.toleranceExponent;
    if (o.deltaJ) d.deltaJ = *o.deltaJ;
    if (o.deltaT) d.deltaT = *o.deltaT;
    if (o.guessMin) d.minGuess = *o.guessMin;
    if (o.guessMax) d.maxGuess = *o.guessMax;
    if (o.groups) d.solveInGroups = *o.groups ? 1 : 0;
    if (o.simplify) d.autoSimplify = *o.simplify ? 1 : 0;
    if (o.autoHomotopy) d.autoHomotopy = *o.autoHomotopy ? 1 : 0;
    if (o.attach) {
        d.attachmentPath = *o.attach;
        d.updateStepCount = static_cast<std::uint32_t>(CountAttachmentRows(*o.attach));
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
        s.fftImagColumn = o.fftColumns[2];
    }
    if (o.fftAxis) s.fft.axis = *o.fftAxis;
    if (o.fftLow) s.fft.lowIndex = *o.fftLow;
    if (o.fftHigh) s.fft.highIndex = *o.fftHigh;
}

int CountAttachmentRows(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line)) return 0;  // header line of names
    int rows = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t;") == std::string::npos) break;
        ++rows;
    }
    return rows;
}
