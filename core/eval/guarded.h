#pragma once

struct CoreState;

// Guarded arithmetic: overflow gives the largest number, undefined operands propagate (the
// evaluator's loop inlines the common cases from guarded_ops.h). Declared apart from the
// evaluator so that the complex operations and special functions, which the evaluator calls,
// need not include it.
double GuardedAdd(const CoreState& s, double a, double b);
double GuardedSub(const CoreState& s, double a, double b);
double GuardedMul(const CoreState& s, double a, double b);
double GuardedDiv(const CoreState& s, double a, double b);
double GuardedSqrt(CoreState& s, double x, bool& errorFlag);
double GuardedExp(CoreState& s, double x);
double GuardedPower(CoreState& s, double x, double y, bool& errorFlag);

bool IsBig(const CoreState& s, double x);
bool IsTiny(const CoreState& s, double x);
bool IsUndefined(double x);
bool IsSpecial(const CoreState& s, double x);
