#pragma once

#include <string>

// Whether a console text holds the hint that names `needed` as the capacity a run asks for.
// The hint's whole wording is shown by the golden capacity cases.
inline bool HintsCapacity(const std::string& console, long needed) {
    return console.find("CAPACITY option to " + std::to_string(needed) + ")") != std::string::npos;
}
