#pragma once

struct CoreState;

// Evaluates the Jacobian terms of one group (0 = every equation, in the current pivot order).
// structural: every term present is set to 1.0 (symbolic mode) without evaluating code.
// Symbolic mode evaluates the derivative codes of the entries read from the Jacobian file;
// incremental mode forms forward differences and creates the entries it needs, keeping the
// entries that already exist (fill-in positions) at 0.
void EvaluateJacobian(CoreState& s, int group, bool structural);
void EvaluateJacobianSymbolic(CoreState& s, int group, bool structural);
void EvaluateJacobianIncremental(CoreState& s, int group);
// creating: build the rows from the variables of each equation's code.
void EvaluateJacobianIncremental(CoreState& s, int group, bool creating);
