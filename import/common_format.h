#pragma once

#include <istream>
#include <string>
#include <vector>

// Records of an IEEE Common Format power-flow file, as the file states them (MW, MVAR,
// degrees, per unit on 100 MVA). Nothing is derived here; the power-flow model is built from
// these records afterwards, so a file whose sections come in any order reads the same.

inline constexpr int kMaxBusNumber = 10000;  // bus numbers run 1..10000
inline constexpr int kMaxAreas = 10;         // area numbers run 1..10
inline constexpr int kMaxTieLines = 15651;   // branches joining buses of different areas

struct CommonFormatBus {
    int line = 0;  // line of the file, for messages
    int number = 0;
    std::string name;  // columns 6-17, trailing blanks removed
    int area = 0;
    int type = 0;               // 0, 1 load; 2, 4 generator; 3 slack
    double finalVoltage = 0.0;  // per unit
    double finalAngle = 0.0;    // degrees
    double loadMw = 0.0, loadMvar = 0.0;
    double generationMw = 0.0, generationMvar = 0.0;
    double shuntG = 0.0, shuntB = 0.0;  // per unit; zero when the record stops before them
};

struct CommonFormatBranch {
    int line = 0;
    int from = 0;  // the tap side of a transformer
    int to = 0;
    int area = 0;
    int type = 0;                             // 0 a line, otherwise a transformer kind
    double r = 0.0, x = 0.0, charging = 0.0;  // per unit; charging is the total
    double tapRatio = 0.0;                    // 0 when the branch has no tap
    double phaseShift = 0.0;                  // degrees
};

struct CommonFormatInterchange {
    int line = 0;
    int area = 0;
    int swingBus = 0;
    std::string swingName;  // columns 9-20
    double exportMw = 0.0;
};

struct CommonFormatData {
    std::vector<CommonFormatBus> buses;  // in file order
    std::vector<CommonFormatBranch> branches;
    std::vector<CommonFormatInterchange> interchanges;
};

// Reads the BUS, BRANCH and INTERCHANGE sections up to the END line. Lines may end in CR LF.
// Returns false with the reason in error when the file is incomplete or a record cannot be
// read; data is then not to be used.
bool ReadCommonFormat(std::istream& in, CommonFormatData& data, std::string& error);
