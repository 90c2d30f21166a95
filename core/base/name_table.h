#pragma once

#include <string>
#include <vector>

#include "core/base/limits.h"

// Names of a run's variables and their values. Slots and variables are numbered from 1.
struct NameTable {
    explicit NameTable(const Limits& limits);
    void clear();                       // all slots free, no variables
    void resize(const Limits& limits);  // tables of another size, cleared

    std::vector<std::string> slotName;   // hash slot -> name ("" when free)
    std::vector<int> slotVariable;       // hash slot -> variable number
    int variableCount = 0;               // variables in use
    std::vector<std::string> name;       // variable -> name (at most nameChars bytes)
    std::vector<double> value;           // variable -> current value
    std::vector<double> lowBound;        // variable -> lower end of its starting-value range
    std::vector<double> highBound;       // variable -> upper end of its starting-value range
    std::vector<std::string> realNames;  // complex mode: names of variables that stay real
};

// Variable number of an exactly equal name among 1..variableCount, 0 when absent.
int FindVariable(const NameTable& names, const std::string& name);
