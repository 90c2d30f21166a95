#include "core/solve/homotopy.h"

#include <cstdio>
#include <vector>

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/solve/newton.h"
#include "core/solve/path_following.h"
#include "core/solve/results.h"
#include "core/solve/solve_messages.h"

// Continuation: H(x, t) = f(x) - (1 - t) f(x0). At t = 0 the starting values x0 solve every
// equation exactly; at t = 1 H is f. The parameter advances by delta; a corrector of damped
// Newton steps brings x back onto the path at each new t. A corrector that needed more than 5
// iterations halves delta, one that needed fewer than 3 doubles it; a corrector that fails goes
// back to the last accepted point with half the step. When delta falls below 2e-5 or after 50
// parameter steps, the path is followed on by its arclength from the last accepted point
// (path_following.cpp), which passes the points where t turns back. Once t = 1 is reached, a
// final Robust Newton iteration solves the untransformed equations.

void HomotopyTransform(CoreState& s) {
    const int n = s.model.count;
    const int t = s.names.variableCount + 1;
    for (int e = 1; e <= n; ++e) {
        bool error = false;
        const double f0 = Evaluate(s, s.model.eq[e].code, error);
        CodeNode* original = Strip(s.pool, ToPrefix(s.model.eq[e].code));
        // (1 - t) * f0, then f(x) - that.
        CodeNode* oneMinusT = WrapBinary(s.pool, code::kSub, VarNode(s.pool, t), OneNode(s.pool));
        CodeNode* scaled = WrapBinary(s.pool, code::kMul, ConstNode(s.pool, f0), oneMinusT);
        s.model.eq[e].code = Finalize(s.pool, WrapBinary(s.pool, code::kSub, scaled, original));
    }
    s.names.variableCount = t;
    s.names.name[t] = std::string("t") + static_cast<char>(0xEB);
    s.names.value[t] = 0.0;
    s.names.lowBound[t] = s.names.highBound[t] = 0.0;

    const int last = n + 1;
    s.model.count = last;
    CodeNode* c = ConstNode(s.pool, 1.0);
    s.model.eq[last].code = Finalize(s.pool, WrapBinary(s.pool, code::kSub, c, VarNode(s.pool, t)));
    s.model.eq[last].relation = kRelationNone;
    s.model.eq[last].designated = 0;
    s.solve.homotopyConstant = c;

    s.settings.method = SolveMethod::kHomotopy;
    s.settings.jacobianMode = JacobianMode::kSymbolic;
    s.flags.jacobianNeeded = true;
}

void RemoveHomotopyParameter(CoreState& s) {
    const int last = s.model.count;
    FreeList(s.pool, s.model.eq[last].code);
    s.model.eq[last] = Equation{};
    s.model.count = last - 1;
    s.names.name[s.names.variableCount].clear();
    s.names.variableCount -= 1;
    s.solve.homotopyConstant = nullptr;
}

namespace {

// Damped Newton steps at a fixed parameter value until the termination test of the Newton
// iteration ends them.
void Corrector(CoreState& s, bool showParameter, int stepIndex) {
    SolveState& v = s.solve;
    const int t = s.names.variableCount;
    for (;;) {
        ++v.iteration;
        for (int i = 1; i <= s.names.variableCount; ++i) v.previousValues[i] = s.names.value[i];
        v.jacobianUpdate = true;
        if (!s.flags.stop) {
            NewtonGroupStep(s);
        } else {
            char line[128];
            std::snprintf(line, sizeof line, solve_message::kHomotopyError, s.names.value[t]);
            ConsoleWrite(s.console, line);
            ConsoleWrite(s.console, " ");
            ConsoleWriteInt(s.console, v.iteration);
            ConsoleWrite(s.console, " ");
            ConsoleWriteInt(s.console, v.largestResidualEquation);
            ConsoleWriteLine(s.console);
        }
        if (showParameter) {
            char line[128];
            std::snprintf(line, sizeof line, "%.8f ", s.names.value[t]);
            ConsoleWrite(s.console, line);
            ConsoleWriteInt(s.console, v.toleranceExponentReached);
            ConsoleWriteLine(s.console);
        } else {
            ShowIteration(s, stepIndex);
        }
        v.outcome = StopTest(s);
        if (v.outcome != StopReason::kContinue) return;
    }
}

}  // namespace

bool HomotopyIterate(CoreState& s, int stepIndex) {
    SolveState& v = s.solve;
    const int t = s.names.variableCount;
    CodeNode* c = v.homotopyConstant;
    if (c == nullptr) {  // no parameter: nothing to follow
        NewtonIterate(s, stepIndex);
        return v.outcome == StopReason::kConverged;
    }
    const int n = s.names.variableCount;
    double delta = s.settings.deltaT;
    s.names.value[t] = 0.0;
    c->value = delta;
    s.flags.stop = false;
    std::vector<double> accepted(s.names.value.begin(), s.names.value.begin() + n + 1);

    ResetIteration(s);
    Corrector(s, false, stepIndex);
    if (v.structureFailure) return false;
    bool converged = v.outcome == StopReason::kConverged;
    v.homotopySteps = 0;

    while (s.settings.method == SolveMethod::kHomotopy && !s.flags.stop && s.names.value[t] < 1.0 &&
           delta >= kSmallestHomotopyStep && v.homotopySteps < kMaxHomotopySteps) {
        ++v.homotopySteps;
        ResetIteration(s);
        v.structureFailure = false;
        Corrector(s, true, stepIndex);
        if (v.structureFailure) return false;
        converged = v.outcome == StopReason::kConverged;
        if (converged) {
            if (v.iteration > 5)
                delta *= 0.5;
            else if (v.iteration < 3)
                delta *= 2.0;
            accepted.assign(s.names.value.begin(), s.names.value.begin() + n + 1);
            c->value += delta;
        } else {
            c->value -= delta;
            for (int i = 1; i <= n; ++i) s.names.value[i] = accepted[i];
            delta *= 0.5;
            c->value += delta;
        }
        s.names.value[t] = c->value;
    }

    // Where the parameter steps gave up, or the final iteration failed from their last point,
    // the same path is followed on by its arclength from the last accepted point.
    bool reached = converged && !s.flags.stop && s.names.value[t] >= 1.0;
    bool followed = false;
    for (;;) {
        if (reached && !s.flags.stop) {
            c->value = 1.0;
            s.settings.method = SolveMethod::kRobust;
            NewtonIterate(s, stepIndex);
            if (v.outcome == StopReason::kConverged) return true;
        }
        if (followed || s.flags.stop || v.structureFailure) break;
        followed = true;
        for (int i = 1; i <= n; ++i) s.names.value[i] = accepted[i];
        reached = FollowPath(s, accepted);
    }
    // Whatever the last corrector or the final Newton iterations did, the path was not
    // followed to its end: the outcome is the homotopy's failure, never a solution.
    ConsoleWrite(s.console, solve_message::kHomotopyFailed);
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, solve_message::kSeeManual);
    WarningBeep(s);
    v.outcome = StopReason::kHomotopyFailed;
    return false;
}
