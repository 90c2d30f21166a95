#include "core/drive/least_squares_fit.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/base/fit_table.h"
#include "core/drive/drive_messages.h"
#include "core/drive/fit_model.h"
#include "core/drive/fit_statistics.h"
#include "core/drive/updates.h"
#include "core/solve/results.h"
#include "core/solve/solve_messages.h"
#include "core/symbolic/list_file.h"

namespace {

namespace msg = fit_message;

// ftol, xtol and gtol unless the document asks for tighter ones. The sum of squares is flat
// near its minimum: a relative 1e-10 in it still leaves ill-determined parameters (MGH09's)
// five digits.
constexpr double kFitTolerance = 1e-10;
// Below this the tests would ask more than double arithmetic resolves in the sum of squares.
constexpr double kLeastFitTolerance = 1e-15;

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[400];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

void Say(CoreState& s, const std::string& text) {
    ConsoleWrite(s.console, text);
    ConsoleWriteLine(s.console);
}

std::string FitFileName(const CoreState& s) {
    return s.files.baseName + extension::kFit;
}

// Where a failed evaluation happened, with the evaluator's reason when it gave one.
std::string Where(const char* format, const FitModel& model) {
    std::string text = Format(format, model.FailedEquation());
    if (model.FailedLine() > 0) text += Format(msg::kAtLine, model.FailedLine());
    if (!model.Failure().empty()) text += "\n" + model.Failure();
    return text;
}

// After the fit the parameters are the run's only variables, at the values found: the result
// file, the result strings and the desktop's Properties show the estimates, as after a solve
// of the gradient equations, not the data of the last row. Nothing is compiled after this
// point of the run, so the name slots are simply cleared.
void KeepParameters(CoreState& s, const std::vector<std::string>& names,
                    const std::vector<double>& x) {
    NameTable& t = s.names;
    for (auto& slot : t.slotName) slot.clear();
    std::fill(t.slotVariable.begin(), t.slotVariable.end(), 0);
    for (std::size_t k = 0; k < names.size(); ++k) {
        t.name[k + 1] = names[k];
        t.value[k + 1] = x[k];
    }
    for (int v = static_cast<int>(names.size()) + 1; v <= t.variableCount; ++v) t.name[v].clear();
    t.variableCount = static_cast<int>(names.size());
}

void WriteFitFile(CoreState& s, const FitStatistics& statistics) {
    TextFile file(&s.io);
    Assign(file, FitFileName(s));
    if (!RewriteWorkFile(s, file)) return;
    WriteString(file, FormatFitTable(statistics));
    Close(file);
    if (!WorkFileWritten(s, file)) return;
    ConsoleWriteLine(s.console);
    Say(s, msg::kSaved + FitFileName(s));
}

}  // namespace

LmSettings FitSettings(const CoreState& s, int parameters) {
    LmSettings settings;
    const double asked = std::pow(10.0, s.settings.toleranceExponent);
    const double tolerance = std::max(std::min(kFitTolerance, asked), kLeastFitTolerance);
    settings.ftol = settings.xtol = settings.gtol = tolerance;
    settings.maxEvaluations =
        std::max(kFitEvaluationsPerParameter * (parameters + 1), s.settings.maxIterations);
    return settings;
}

void RemoveFitFile(CoreState& s) {
    std::error_code ec;
    std::filesystem::remove(FitFileName(s), ec);
}

bool ReportFitEnd(CoreState& s, const LmResult& result, const LmSettings& settings,
                  const FitModel& model, bool rewrite) {
    const bool rose = result.finalSum > result.initialSum;
    const bool solved = Converged(result.outcome) && !rose;
    if (!solved && rewrite) Say(s, msg::kNotLeastSquares);
    // A point where the sum of squares rose is refused whatever else holds there.
    if (!rose || !Converged(result.outcome)) {
        switch (result.outcome) {
            case LmOutcome::kSumConverged: Say(s, Format(msg::kConvergedSum, settings.ftol)); break;
            case LmOutcome::kStepConverged:
                Say(s, Format(msg::kConvergedStep, settings.xtol));
                break;
            case LmOutcome::kSumAndStepConverged:
                Say(s, Format(msg::kConvergedSumAndStep, settings.ftol));
                break;
            case LmOutcome::kGradientConverged:
                Say(s, Format(msg::kConvergedGradient, settings.gtol));
                break;
            case LmOutcome::kLinearSolved:
                Say(s, msg::kLinearSolved);
                if (result.rankDeficient) Say(s, msg::kDependent);
                break;
            case LmOutcome::kEvaluationLimit:
                Say(s, Format(msg::kEvaluationLimit, settings.maxEvaluations));
                break;
            case LmOutcome::kStartNotEvaluated:
                Say(s, Where(msg::kStartNotEvaluated, model));
                break;
            case LmOutcome::kJacobianNotEvaluated:
                Say(s, Where(msg::kJacobianNotEvaluated, model));
                break;
            case LmOutcome::kDomainEdge: Say(s, msg::kDomainEdge); break;
            case LmOutcome::kStopped: Say(s, msg::kStopped); break;
            case LmOutcome::kNotConverged:
                Say(s, Format(msg::kNoTestHolds, settings.ftol, settings.gtol));
                break;
        }
    }
    if (rose) Say(s, Format(msg::kSumRose, result.initialSum, result.finalSum));
    if (!solved) {
        WarningBeep(s);
    } else if (!rewrite) {
        ConsoleWriteLine(s.console);
        Say(s, solve_message::kSolutionFound);
    }
    return solved;
}

void PublishFitStatistics(CoreState& s, const FitStatistics& statistics) {
    ReportFitStatistics(s, statistics);
    WriteFitFile(s, statistics);
}

bool FitLeastSquares(CoreState& s) {
    s.flags.solved = false;
    RemoveFitFile(s);
    if (s.k.arithmetic == Arithmetic::kComplex) {
        ConsoleWriteLine(s.console);
        Say(s, msg::kComplex);
        WarningBeep(s);
        return false;
    }
    ListTable table;
    const bool read = ReadListFile(s, table);
    ConsoleWriteLine(s.console);
    if (!read) return false;
    FitModel model(s);
    if (!model.Build(std::move(table))) {
        WarningBeep(s);
        return false;
    }
    Say(s, msg::kFitting + std::to_string(model.Parameters()) + msg::kParametersTo +
               std::to_string(model.Observations()) + msg::kObservationsDot);
    Say(s, model.Linear() ? msg::kLinearMethod : msg::kIterativeMethod);

    ConsoleWrite(s.console, drive_message::kSolving);
    ConsoleWrite(s.console, std::string(73, '-') + "\n");
    const auto start = std::chrono::steady_clock::now();
    const LmSettings settings = FitSettings(s, model.Parameters());
    std::vector<double> x = model.Values();
    const LmResult result =
        model.Linear() ? LinearLeastSquares(model, x) : LevenbergMarquardt(model, x, settings);
    const bool solved = ReportFitEnd(s, result, settings, model);
    // The statistics evaluate the model, whose codes know the variables by their numbers of
    // the compile: before the variables are cut down to the parameters.
    FitStatistics statistics;
    const bool computed = solved && ComputeFitStatistics(model, x, model.ParameterNames(),
                                                         model.Observed(), statistics);
    KeepParameters(s, model.ParameterNames(), x);
    if (solved) {
        WriteResultRow(s, true, 0);
        s.flags.solved = WorkFileWritten(s, s.files.result);
        RememberSolution(s);
    }
    const auto end = std::chrono::steady_clock::now();
    ConsoleWrite(s.console, Format(drive_message::kSolvedFor,
                                   std::chrono::duration<double>(end - start).count()));
    if (computed) PublishFitStatistics(s, statistics);
    return s.flags.solved;
}
