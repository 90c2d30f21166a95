#pragma once

// The NIST StRD files of tests/data/nist-strd: their data as list-file text, their certified
// values. Shared by the tests and the benchmarks.

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace nist {

struct Parameter {
    std::string name;        // B0.. (linear sets) or b1.. (nonlinear sets), as NIST names them
    double start1 = 0.0;     // the two starting values (nonlinear sets)
    double start2 = 0.0;
    double certified = 0.0;  // certified estimate and its standard deviation
    double deviation = 0.0;
};

struct DataSet {
    std::string listText;  // a header line of column names, then one row per line
    std::vector<Parameter> parameters;
    double residualDeviation = 0.0, rSquared = 0.0;  // certified (R-squared: linear sets)
};

// The folder of the data: tests/data/nist-strd of the source tree named by VALDRIX_SOURCE_DIR
// (the current folder without it).
inline std::string Folder() {
    const char* root = std::getenv("VALDRIX_SOURCE_DIR");
    return std::string(root ? root : ".") + "/tests/data/nist-strd";
}

// The set of that name; without parameters when the file cannot be read.
inline DataSet Load(const std::string& name, const std::string& folder = Folder()) {
    std::ifstream in(folder + "/" + name + ".dat");
    DataSet set;
    bool data = false;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        if (data) {
            for (const std::string& v : w) set.listText += v + (&v == &w.back() ? "\n" : " ");
        } else if (w[0] == "Data:" && w.size() > 1 &&
                   !std::isdigit(static_cast<unsigned char>(w[1][0]))) {
            data = true;  // "Data:  y  x" names the columns; the rows follow
            for (std::size_t i = 1; i < w.size(); ++i)
                set.listText += w[i] + (i + 1 < w.size() ? " " : "\n");
        } else if ((w[0][0] == 'b' || w[0][0] == 'B') && w[0].size() <= 3 && w.size() >= 3 &&
                   std::isdigit(static_cast<unsigned char>(w[0].back()))) {
            const bool nonlinear = w[1] == "=";  // b1 = start1 start2 certified deviation
            set.parameters.push_back({w[0], nonlinear ? std::atof(w[2].c_str()) : 0.0,
                                      nonlinear ? std::atof(w[3].c_str()) : 0.0,
                                      std::atof(w[nonlinear ? 4 : 1].c_str()),
                                      std::atof(w[nonlinear ? 5 : 2].c_str())});
        } else if (line.find("Standard Deviation") != std::string::npos || w[0] == "R-Squared") {
            const double v = std::atof(w.back().c_str());
            if (v != 0.0) (w[0] == "R-Squared" ? set.rSquared : set.residualDeviation) = v;
        }
    }
    return set;
}

// Significant digits on which a value agrees with the certified one.
inline double AgreeingDigits(double value, double certified) {
    const double error = std::fabs(value - certified);
    return error == 0.0 ? 17.0 : -std::log10(error / std::fabs(certified));
}

}  // namespace nist
