#pragma once

struct CoreState;

// The controlled-step (Robust Newton) method: Powell's dogleg trust region on each group.
// The mathematics and the constants are described in trust_region.cpp.

// Forgets the step bounds and column scales of the previous solve.
void ResetTrustRegion(CoreState& s);

// One trust-region step of a group: evaluates the group's Jacobian and residuals, tries dogleg
// steps until one reduces the Euclidean norm of the residuals well enough (or reaches the
// tolerance) and leaves the variables there. When no acceptable step is found the variables
// are left at their start. Returns the group's largest residual after the step (the norm the
// iteration reports); rejected counts the rejected trial steps and stalled tells that the
// search ran out of trials.
double TrustRegionGroupStep(CoreState& s, int group, double& before, int& rejected, bool& stalled);

// Whether the method in force steps groups by the trust region.
bool UsesTrustRegion(const CoreState& s);
