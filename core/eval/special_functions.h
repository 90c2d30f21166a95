#pragma once

struct CoreState;

// Special functions of the equation language. Their warnings go to the console with a
// warning beep; none of them raises an evaluation error.
double GammaLn(double x);
// Series for P(a, x); gln receives ln Gamma(a).
double GammaSeries(CoreState& s, double a, double x, double& gln);
// Continued fraction for Q(a, x) = 1 - P(a, x); gln receives ln Gamma(a).
double GammaContinuedFraction(CoreState& s, double a, double x, double& gln);
double GammaP(CoreState& s, double a, double x);
double Erf(CoreState& s, double x);
double BesselJ0(CoreState& s, double x);
double BesselJ1(CoreState& s, double x);
double BesselY0(CoreState& s, double x);
double BesselY1(CoreState& s, double x);
