#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/data_table.h"
#include "import/common_format.h"
#include "import/convert.h"

// Common Format records laid out by column as real files are: bus names hold blanks.
inline std::string BusLine(int n, const char* name, int area, int type, double v, double angle,
                           double loadMw, double loadMvar, double genMw = 0, double genMvar = 0,
                           double shuntB = 0) {
    char line[200];
    std::snprintf(
        line, sizeof line,
        "%4d %-12s %2d  1 %2d %5.3f %6.2f %8.1f %8.1f %8.1f %8.1f 0.0 %5.3f 0.0 0.0 0.0 %5.2f 0\n",
        n, name, area, type, v, angle, loadMw, loadMvar, genMw, genMvar, v, shuntB);
    return line;
}

inline std::string BranchLine(int from, int to, int area, double r, double x, double charging = 0,
                              double tap = 0) {
    char line[200];
    std::snprintf(line, sizeof line, "%4d %4d %2d  1 1 %d %9.5f %9.5f %9.4f 0 0 0 0 0 %6.3f 0.0\n",
                  from, to, area, tap != 0 ? 1 : 0, r, x, charging, tap);
    return line;
}

inline std::string InterchangeLine(int area, int swing, const char* name, double exportMw) {
    char line[200];
    std::snprintf(line, sizeof line, "%2d %4d %-12s %7.1f  999.99  AREA%d\n", area, swing, name,
                  exportMw, area);
    return line;
}

inline std::string CaseText(const std::string& buses, const std::string& branches,
                            const std::string& interchanges = "") {
    return " 01/01/24 TEST CASE\nBUS DATA FOLLOWS   2 ITEMS\n" + buses +
           "-999\nBRANCH DATA FOLLOWS\n" + branches +
           "-999\nLOSS ZONES FOLLOWS\n  1 ZONE\n-99\nINTERCHANGE DATA FOLLOWS\n" + interchanges +
           "-9\nTIE LINES FOLLOWS\n-999\nEND OF DATA\n";
}

inline ImportResult Convert(const std::string& text, bool fullModel = false) {
    std::istringstream in(text);
    ImportOptions options;
    options.fullModel = fullModel;
    return ConvertCommonFormatText(in, options);
}

// The copies of the IEEE cases under tests/data.
inline std::string CasePath(const std::string& name) {
    return data_table::Folder("ieee-cdf/" + name);
}

inline std::string ReadCase(const std::string& name) {
    std::ifstream in(CasePath(name), std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing " << CasePath(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The records of a Common Format text; a text the reader refuses fails the test.
inline CommonFormatData ReadData(const std::string& text) {
    std::istringstream in(text);
    CommonFormatData data;
    std::string error;
    EXPECT_TRUE(ReadCommonFormat(in, data, error)) << error;
    return data;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
