#pragma once

#include <string>

#include "core/base/console.h"
#include "core/base/settings.h"

// Options line: the rest of a first line "{Options: ..." after those 10 characters. A number
// outside its option's domain is ignored; with a console, a warning names it.
void ReadOptionsLine(SolverSettings& settings, RunConstants& constants, std::string line,
                     Console* console = nullptr);
// Takes the next blank-separated token off the front of line, without '}', in capitals.
std::string NextOptionToken(std::string& line);
int OptionInteger(const std::string& token, int current);
double OptionReal(const std::string& token, double current);
SolveMethod OptionMethod(const std::string& token, SolveMethod current);
JacobianMode OptionJacobian(const std::string& token, JacobianMode current);
bool OptionSequential(const std::string& token, bool current);
Arithmetic OptionComplex(const std::string& token, Arithmetic current);
// The capacity a CAPACITY=N word of the line's ten fields gives (the last such word), or
// current. The word may stand in any field: where another field stands it leaves that field
// alone, as any word that does not fit.
int OptionCapacity(std::string line, int current);
// The route a ROUTE=DIRECT or ROUTE=REWRITE word anywhere on the line gives (the last such
// word), or current. Like CAPACITY=N it leaves the field it stands in alone, so a line of an
// older document, which has no such word, reads as it always did.
OptimizationRoute OptionRoute(std::string line, OptimizationRoute current);
