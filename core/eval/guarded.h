#pragma once

struct CoreState;

// Guarded arithmetic: overflow gives the largest number, undefined operands propagate.
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
