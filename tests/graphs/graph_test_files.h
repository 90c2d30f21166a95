#pragma once

#include <string>

#include "scratch_dir.h"

inline std::string DataFile(const std::string& name) {
    return std::string(VALDRIX_GRAPHS_DATA) + "/" + name;
}
