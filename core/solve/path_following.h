#pragma once

#include <vector>

struct CoreState;

// At most this many arclength steps (accepted or not) follow the parameter steps of the
// homotopy. Paths of the standard test problems need up to a few hundred; a path that has not
// reached t = 1 by then is taken to lead nowhere.
inline constexpr int kMaxPathSteps = 1000;

// Follows the homotopy path H(x, t) = 0 by pseudo-arclength continuation from a point on it
// (values of every variable, the parameter t last, indexed like the name table), in the
// direction of increasing t. Returns true once the path crosses t = 1: the variables then hold
// the point where the last step crossed it and t is 1. Returns false, with the values at the
// last point reached, when the step limit is reached, the steps become too small, an
// evaluation fails or the run is stopped.
bool FollowPath(CoreState& s, const std::vector<double>& start);
