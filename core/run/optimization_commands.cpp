#include "core/run/optimization_commands.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/drive/drive_messages.h"
#include "core/drive/solve_system.h"
#include "core/numeric/minimize_constrained.h"
#include "core/numeric/minimize_unconstrained.h"
#include "core/numeric/optimality.h"
#include "core/run/document_problem.h"
#include "core/run/run_messages.h"
#include "core/run/run_setup.h"
#include "core/solve/results.h"
#include "core/solve/solve_messages.h"
#include "core/symbolic/rewrites.h"

namespace {

namespace msg = optimize_message;
using Vector = std::vector<double>;

std::string Number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

double Tolerance(const CoreState& s) {
    return std::pow(10.0, s.settings.toleranceExponent);
}

// The multiplier of the written Lagrangian (f + m c for an equality, f - m c for c >= 0) from
// the methods' own (L = f - lambda c).
double RewriteMultiplier(const DocumentProblem& p, int i, double lambda) {
    return p.IsEquality(i) ? -lambda : lambda;
}

void WriteVerdict(CoreState& s, const DocumentProblem& p, const OptimalityVerdict& v) {
    ConsoleWriteLine(s.console);
    const int equation = v.constraint >= 0 ? p.EquationOf(v.constraint) : 0;
    switch (v.verdict) {
        case Verdict::kMinimum: ConsoleWrite(s.console, solve_message::kSolutionFound); break;
        case Verdict::kNotStationary: ConsoleWrite(s.console, msg::kNotStationary); break;
        case Verdict::kMaximum: ConsoleWrite(s.console, msg::kMaximum); break;
        case Verdict::kSaddle: ConsoleWrite(s.console, msg::kSaddle); break;
        case Verdict::kInfeasible:
            ConsoleWrite(s.console, msg::kConstraint);
            ConsoleWriteInt(s.console, equation);
            ConsoleWrite(s.console, msg::kNotSatisfied);
            break;
        case Verdict::kWrongSign:
            ConsoleWrite(s.console, msg::kMultiplierOf);
            ConsoleWriteInt(s.console, equation);
            ConsoleWrite(s.console, msg::kWrongSign);
            break;
        case Verdict::kNotComplementary:
            ConsoleWrite(s.console, msg::kConstraint);
            ConsoleWriteInt(s.console, equation);
            ConsoleWrite(s.console, msg::kNotActive);
            break;
    }
    ConsoleWriteLine(s.console);
}

// Judges the point x with its multipliers, reports the verdict, the objective's value and the
// multipliers, and leaves the variables at x. Returns whether x is a minimum.
bool Judge(CoreState& s, DocumentProblem& p, const Vector& x, const Vector& lambda,
           bool constrained) {
    const int n = p.VariableCount(), m = p.ConstraintCount();
    ConstrainedPoint point;
    point.x = x;
    point.c.assign(static_cast<std::size_t>(m), 0.0);
    point.jacobian.Reset(m, n);
    point.lambda = lambda;
    point.lambda.resize(static_cast<std::size_t>(m), 0.0);
    const bool evaluated = p.Values(x, point.f, point.c) &&
                           p.Gradients(x, point.g, point.jacobian) &&
                           p.Hessian(x, point.lambda, point.lagrangianHessian);
    p.Load(x);
    if (!evaluated) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, msg::kNotEvaluatedAtEnd);
        ConsoleWriteLine(s.console);
        WarningBeep(s);
        return false;
    }
    for (int i = 0; i < m; ++i) point.equality.push_back(p.IsEquality(i));
    const OptimalityVerdict v =
        constrained
            ? CheckConstrained(point, Tolerance(s))
            : CheckUnconstrained(point.f, x, point.g, point.lagrangianHessian, Tolerance(s));
    WriteVerdict(s, p, v);
    const bool minimum = v.verdict == Verdict::kMinimum;
    ConsoleWrite(s.console,
                 (minimum ? msg::kMinimumValue : msg::kObjectiveValue) + Number(point.f));
    ConsoleWriteLine(s.console);
    if (constrained && m > 0) {
        ConsoleWrite(s.console, msg::kMultipliers);
        ConsoleWriteLine(s.console);
        for (int i = 0; i < m; ++i) {
            ConsoleWrite(s.console, "  " + MultiplierName(p.EquationOf(i)) + " = " +
                                        Number(RewriteMultiplier(p, i, point.lambda[i])));
            ConsoleWriteLine(s.console);
        }
    }
    if (!minimum) WarningBeep(s);
    return minimum;
}

bool ShowProgress(void* context, int iteration, double f, double measure) {
    CoreState& s = *static_cast<CoreState*>(context);
    char text[96];
    std::snprintf(text, sizeof text, "%.10g", f);
    ConsoleWrite(s.console, msg::kIteration);
    ConsoleWriteInt(s.console, iteration);
    ConsoleWrite(s.console, msg::kObjective + std::string(text));
    std::snprintf(text, sizeof text, "%.3e", measure);
    ConsoleWrite(s.console, msg::kOptimality + std::string(text));
    ConsoleWriteLine(s.console);
    if (!s.flags.cancelled && s.shell->PollKey() >= 0) s.flags.cancelled = true;
    return !s.flags.cancelled;
}

// Why a direct method ended without its optimality test, when it did.
const char* StopText(MinimizeStop stop) {
    switch (stop) {
        case MinimizeStop::kConverged: return nullptr;
        case MinimizeStop::kIterationLimit: return msg::kIterationLimit;
        case MinimizeStop::kNoProgress: return msg::kNoProgress;
        case MinimizeStop::kUnbounded: return msg::kUnbounded;
        case MinimizeStop::kEvaluationError: return msg::kNotEvaluated;
        case MinimizeStop::kCancelled: return nullptr;
    }
    return nullptr;
}

// The multipliers join the variables (as the rewrite names them) where the table has room, so
// the result row and the result strings carry them.
void AddMultipliers(CoreState& s, const DocumentProblem& p, const Vector& lambda) {
    for (int i = 0; i < p.ConstraintCount(); ++i) {
        const std::string name = MultiplierName(p.EquationOf(i));
        if (FindVariable(s.names, name) == 0 && s.names.variableCount >= s.limits.maxVariables)
            return;
        s.names.value[VariableNamed(s, name)] = RewriteMultiplier(p, i, lambda[i]);
    }
}

void SolveDirect(CoreState& s, DocumentProblem& p, bool constrained) {
    ConsoleWrite(s.console, constrained ? msg::kInteriorPoint : msg::kTrustRegion);
    ConsoleWrite(s.console, std::string(73, '-') + "\n");
    const auto start = std::chrono::steady_clock::now();
    MinimizeSettings settings;
    settings.maxIterations = s.settings.maxIterations;
    settings.tolerance = Tolerance(s);
    settings.lowestValue = -0.5 * s.k.largest;
    const ProgressSink progress{&ShowProgress, &s};
    const MinimizeResult r = constrained
                                 ? MinimizeInteriorPoint(p, p.CurrentPoint(), settings, progress)
                                 : MinimizeTrustRegion(p, p.CurrentPoint(), settings, progress);
    p.Load(r.x);
    bool minimum = false;
    if (const char* why = StopText(r.stop)) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, why);
        ConsoleWriteLine(s.console);
    }
    if (r.stop != MinimizeStop::kUnbounded && r.stop != MinimizeStop::kEvaluationError &&
        r.stop != MinimizeStop::kCancelled) {
        minimum = Judge(s, p, r.x, r.lambda, constrained);
    } else if (r.stop != MinimizeStop::kCancelled) {
        WarningBeep(s);
    }
    if (minimum) {
        if (constrained) AddMultipliers(s, p, r.lambda);
        WriteResultRow(s, true, 0);
        Flush(s.files.result);
        minimum = WorkFileWritten(s, s.files.result);
    }
    char line[64];
    std::snprintf(line, sizeof line, drive_message::kSolvedFor,
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    ConsoleWrite(s.console, line);
    s.flags.solved = minimum;
}

// Newton's method on the written stationarity equations; the point it reaches is then
// judged in the document's own variables.
void SolveRewritten(CoreState& s, DocumentProblem& p, const NameTable& document, bool constrained) {
    ReopenWork(s, ".SJC");
    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
    s.solve.optimalityJudgedAfter = true;
    const bool converged = SolveSystem(s);
    s.solve.optimalityJudgedAfter = false;
    if (!converged) return;
    const NameTable rewritten = s.names;
    s.names = document;
    Vector x = p.CurrentPoint();
    for (int i = 1; i <= p.VariableCount(); ++i) {
        if (const int v = FindVariable(rewritten, document.name[i]); v != 0)
            x[i - 1] = rewritten.value[v];
    }
    Vector lambda(static_cast<std::size_t>(p.ConstraintCount()), 0.0);
    for (int i = 0; i < p.ConstraintCount(); ++i) {
        const int v = FindVariable(rewritten, MultiplierName(p.EquationOf(i)));
        if (v != 0) lambda[i] = RewriteMultiplier(p, i, rewritten.value[v]);  // its own inverse
    }
    const bool minimum = Judge(s, p, x, lambda, constrained);
    s.names = rewritten;  // the table the result row was written with
    s.flags.solved = minimum;
}

}  // namespace

bool MinimizeDocument(CoreState& s, bool constrained) {
    // The document's own compile draws the same random starting values as the compile that
    // wrote the files did.
    s.rng.seed(s.settings.randomSeed);
    CompileDocument(s);
    s.flags.solved = false;
    if (s.flags.parseError) return false;
    // The minimization begins here, whatever its outcome: the last results give way to its own.
    if (!BeginResults(s)) return false;
    if (s.k.arithmetic == Arithmetic::kComplex) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, msg::kComplexMode);
        StopWithError(s);
        return false;
    }
    if (!constrained && s.model.count > 1) {  // one objective, one gradient equation per variable
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, drive_message::kTooManyEquations);
        StopWithError(s);
        return false;
    }
    if (s.model.count < 1) return false;
    DocumentProblem problem(s);
    if (!problem.Build(constrained)) return false;
    if (s.settings.optimizationRoute == OptimizationRoute::kRewrite) {
        const NameTable document = s.names;
        SolveRewritten(s, problem, document, constrained);
    } else {
        SolveDirect(s, problem, constrained);
    }
    return s.flags.solved;
}
