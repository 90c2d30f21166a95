#pragma once

#include "core/base/settings.h"
#include "core/eval/guarded_ops.h"

// Which branch an IF takes: THEN exactly when its condition is positive, so a condition of 0
// is false. A condition within the smallest number of 0 counts as 0, as a residual does: the
// IF search evaluates each condition as an equation of its own, whose result is rounded so,
// and must pick the branch the evaluation of the whole equation picks. Evaluation, the IF
// search, simplification and folding all decide with this rule, so no rewrite of an equation
// can change which branch holds.
inline bool IfTakesThen(const RunConstants& k, double condition) {
    return condition > 0.0 && !guarded::Tiny(k, condition);
}
