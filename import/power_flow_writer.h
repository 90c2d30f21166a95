#pragma once

#include <string>

#include "import/power_flow_model.h"

// The equation document of the model: an options line with the capacity a run of it needs when
// that is more than the default (the document then solves as it is), a header comment, the load
// factor k = 1, two equations per bus in file order, and the flat-start guesses v = 1, a = 0 of
// every bus.
//
// With G, B the bus admittance matrix and k the load factor, bus n's equations are
//   P_n k =  v_n sum_m v_m (G_nm cos(a_n - a_m) + B_nm sin(a_n - a_m))
//   Q_n k = -v_n sum_m v_m (B_nm cos(a_n - a_m) - G_nm sin(a_n - a_m))
// A load bus has both; a generator bus has the first and its voltage; the slack bus has its
// angle and voltage; an area swing bus has its area's interchange equation and its voltage.
std::string WritePowerFlowEquations(const PowerFlowModel& model);

// From here on a number is written in exponent form: six decimals of fixed form would show more
// digits than a double holds, and near the solver's largest value they would run to 58
// characters.
inline constexpr double kLargestFixedNumber = 1e15;

// A number as the document writes it: six decimals (exponent form from kLargestFixedNumber on,
// with as many digits as read back the same double), a negative one in parentheses. x is finite.
std::string FormatNumber(double x);

// 2 per bus plus the load factor: the document's count of equations and of variables.
int PowerFlowEquationCount(const PowerFlowModel& model);

// Every statement of the document: its equations, the settings among them and the two
// starting values of every bus. The compiler counts them all against the capacity.
int PowerFlowStatementCount(const PowerFlowModel& model);

// The capacity a run of the document needs: its statements, and no fewer than its variables.
int PowerFlowCapacity(const PowerFlowModel& model);
