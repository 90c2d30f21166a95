#pragma once

struct CoreState;

// The residuals of a group and their measure. Both ways of stepping a group, the damped Newton
// step (newton.cpp) and the trust-region step (trust_region.cpp), evaluate and judge a group
// by them, so they belong to neither.

// E(r): -99 when |r| is at most the smallest number, otherwise log10 |r| truncated toward 0.
int ResidualExponent(const CoreState& s, double r);

// Residuals of one group in pivot order; returns their largest magnitude.
double EvaluateGroupResiduals(CoreState& s, int group);
