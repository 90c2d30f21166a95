#pragma once

// The NIST StRD regression files of tests/data/nist-strd: their data as list-file text and
// their certified values.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace nist {

struct Parameter {
    std::string name;        // as NIST writes it: B0.. (linear) or b1.. (nonlinear)
    double start1 = 0.0;     // first starting value (nonlinear sets)
    double certified = 0.0;  // certified estimate
    double deviation = 0.0;  // its certified standard deviation
};

struct DataSet {
    std::string listText;  // header line of column names, then one row per line
    int rows = 0;
    std::vector<Parameter> parameters;
    double residualDeviation = 0.0;  // certified residual standard deviation
    double rSquared = 0.0;           // certified R-squared (linear sets)
};

inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

inline DataSet Load(const std::string& name) {
    const char* root = std::getenv("VALDRIX_SOURCE_DIR");
    const std::string path =
        std::string(root ? root : ".") + "/tests/data/nist-strd/" + name + ".dat";
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    // The data block follows the last "Data:" line, which names the columns.
    std::size_t data = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("Data:", 0) == 0) data = i;
    }
    DataSet set;
    const std::vector<std::string> columns = Words(lines[data].substr(5));
    for (const std::string& c : columns) set.listText += c + (&c == &columns.back() ? "\n" : " ");
    for (std::size_t i = data + 1; i < lines.size(); ++i) {
        if (Words(lines[i]).empty()) continue;
        set.listText += lines[i] + "\n";
        ++set.rows;
    }
    for (std::size_t i = 0; i < data; ++i) {
        const std::vector<std::string> w = Words(lines[i]);
        const bool numberLast =
            !w.empty() && (std::isdigit(static_cast<unsigned char>(w.back()[0])) ||
                           w.back()[0] == '-' || w.back()[0] == '.');
        if (numberLast && lines[i].find("Standard Deviation") != std::string::npos) {
            set.residualDeviation = std::atof(w.back().c_str());
        }
        if (numberLast && !w.empty() && w[0] == "R-Squared")
            set.rSquared = std::atof(w.back().c_str());
        if (w.size() >= 3 && (w[0][0] == 'b' || w[0][0] == 'B') && w[0].size() <= 3 &&
            std::isdigit(static_cast<unsigned char>(w[0].back()))) {
            Parameter p;
            p.name = w[0];
            if (w[1] == "=" && w.size() >= 6) {  // b1 = start1 start2 certified deviation
                p.start1 = std::atof(w[2].c_str());
                p.certified = std::atof(w[4].c_str());
                p.deviation = std::atof(w[5].c_str());
            } else {  // B0 certified deviation
                p.certified = std::atof(w[1].c_str());
                p.deviation = std::atof(w[2].c_str());
            }
            set.parameters.push_back(p);
        }
    }
    return set;
}

// Significant digits on which a value agrees with the certified one.
inline double AgreeingDigits(double value, double certified) {
    const double error = std::fabs(value - certified);
    if (error == 0.0) return 17.0;
    return -std::log10(error / std::fabs(certified));
}

}  // namespace nist
