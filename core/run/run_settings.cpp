#include "core/run/run_settings.h"

void ApplyShellSettings(SolverSettings& s, const ShellSettingsRecord& r) {
    static_cast<SolverOptions&>(s) = r;
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

void ResetRunConstants(RunConstants& k) {
    k = RunConstants{};
}
