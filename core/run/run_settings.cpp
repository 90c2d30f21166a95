#include "core/run/run_settings.h"

void ApplyShellSettings(SolverSettings& s, const ShellSettingsRecord& r) {
    s.method = r.method;
    s.jacobianMode = r.jacobianMode;
    s.maxIterations = r.maxIterations;
    s.stepCount = r.repetitions;
    s.toleranceExponent = r.toleranceExponent;
    s.autoSimplify = r.autoSimplify != 0;
    s.autoHomotopy = r.autoHomotopy != 0;
    s.solveInGroups = r.solveInGroups != 0;
    s.deltaJ = r.deltaJ;
    s.deltaT = r.deltaT;
    s.minGuess = r.minGuess;
    s.maxGuess = r.maxGuess;
    s.randomSeed = r.randomSeed;
    if (r.attachmentPath.empty()) {
        s.updateFileName.clear();
        s.updateFilePresent = false;
        s.updateStepCount = 1;
    } else {
        s.updateFileName = r.attachmentPath.substr(0, kMaxUpdateFileName);
        s.updateFilePresent = true;
        s.updateStepCount = r.attachmentRows;
    }
}

void ResetRunConstants(RunConstants& k) { k = RunConstants{}; }

const char* MethodName(int method) {
    switch (method) {
        case kMethodNewton: return "Newton";
        case kMethodRobust: return "Robust Newton";
        case kMethodDishonest: return "Dishonest Newton";
        case kMethodHomotopy: return "Homotopy";
        default: return "?";
    }
}

const char* JacobianModeName(int mode) {
    return mode == kJacobianIncremental ? "Incremental Jacobian" : "Exact Jacobian";
}
