#pragma once

struct CoreState;

// What a time-stepping run of differential equations adds to the solve loop. The rewritten
// set (core/lang/differential.h) holds each variable x at the time levels of a step (x0 at
// its start, x1 at its end) and start-value equations x0 - c whose constant c is tied to the
// variable whose value the next step starts from.

// Moves the set on to the next step: every constant tied to a variable takes that variable's
// current value (the sign of the tie does not negate it: the start value of a state variable
// and of the time are tied to the same kind of variable), and the variable of an equation that
// is exactly a variable minus such a constant takes the new value as well.
void AdvanceTimeStep(CoreState& s);
