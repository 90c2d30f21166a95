#include "core/run/regression.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/fit_table.h"
#include "core/drive/fit_model.h"
#include "core/drive/fit_statistics.h"
#include "core/drive/least_squares_fit.h"
#include "core/drive/solve_system.h"
#include "core/run/advanced_operations.h"
#include "core/run/run_setup.h"
#include "core/symbolic/jacobian_file.h"
#include "core/symbolic/list_file.h"

namespace {

// The rewrite route: the sum of squares becomes one equation whose gradient equations Newton
// solves. Newton's test is on the size of the gradient, which neither rounding nor a flat
// exponential lets reach the tolerance in a meaningful way, so its answer is judged again
// with the tests of a least-squares fit, on the model kept from before the rewrite.
void FitByRewrite(CoreState& s, const char* command) {
    s.flags.solved = false;
    RemoveFitFile(s);
    ListTable table;
    FitModel model(s);
    // A list file that cannot be read is reported by the rewrite itself.
    if (!ReadListFile(s, table, true)) {
        AdvancedOperations(s, command + 1);
        return;
    }
    if (!model.Build(std::move(table))) {
        WarningBeep(s);
        return;
    }
    LmResult verdict;
    std::vector<double> r(static_cast<std::size_t>(model.Observations()));
    const bool evaluated = model.Residuals(model.Values(), r);
    verdict.initialSum = std::numeric_limits<double>::infinity();
    if (evaluated) {
        verdict.initialSum = 0.0;
        for (double v : r) verdict.initialSum += v * v;
    }

    AdvancedOperations(s, command + 1);
    if (!s.flags.jacobianRequested || s.flags.stop) return;
    BuildJacobianFile(s);
    // Nothing is solved unless this run wrote the terms: an older base.SJC would be another
    // problem's.
    if (!AdvancedOperations(s, "SJ")) return;
    ReopenWork(s, ".SJC");
    if (!SolveSystem(s)) return;

    // The gradient equations have their own variables: the model is evaluated against the
    // table it was built on, with the parameters' values taken over by name.
    model.SwapNames();
    const std::vector<double> x = model.Values();
    const LmSettings settings = FitSettings(s, model.Parameters());
    verdict.outcome = JudgeLeastSquaresPoint(model, x, settings, verdict.finalSum);
    FitStatistics statistics;
    const bool computed =
        ComputeFitStatistics(model, x, model.ParameterNames(), model.Observed(), statistics);
    model.SwapNames();
    const bool solved = ReportFitEnd(s, verdict, settings, model, true);
    s.flags.solved = solved;
    if (solved && computed) PublishFitStatistics(s, statistics);
}

}  // namespace

bool IsRegressionCommand(const char* command) {
    return command != nullptr && std::strncmp(command, "ALR", 3) == 0;
}

bool CommandRegression(CoreState& s, const char* command, FitRoute route) {
    switch (route) {
        case FitRoute::kDirect: return FitLeastSquares(s);
        case FitRoute::kRewrite: FitByRewrite(s, command); return s.flags.solved;
    }
    return false;
}
