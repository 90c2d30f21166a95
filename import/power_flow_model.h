#pragma once

#include <string>
#include <vector>

#include "import/common_format.h"

inline constexpr double kBaseMva = 100.0;  // every per-unit value of the model is on this base

struct ImportOptions {
    // Also model off-nominal transformer taps, phase shifters and bus shunts, so that the
    // solution reproduces the voltages and angles stored in the file.
    bool fullModel = false;
};

enum class BusKind {
    kLoad,       // P and Q equations
    kGenerator,  // P equation, voltage fixed
    kSlack,      // angle and voltage fixed
    kAreaSwing,  // area interchange equation, voltage fixed
};

struct Admittance {
    int column = 0;  // bus number
    double g = 0.0;  // conductance
    double b = 0.0;  // susceptance
};

struct PowerFlowBus {
    int number = 0;
    int area = 0;
    BusKind kind = BusKind::kLoad;
    double voltage = 0.0;         // per unit, the file's final voltage
    double angle = 0.0;           // radians, the file's final angle
    double p = 0.0;               // net active injection, per unit
    double q = 0.0;               // net reactive injection, per unit
    std::vector<Admittance> row;  // the bus's row of the admittance matrix, newest column first
};

// A branch whose own area differs from the area of one of its ends. Self terms are the
// branch's diagonal contributions at each end, mutual terms its off-diagonal ones
// (from-row and to-row); only a phase shifter makes the two mutual terms differ.
struct TieLine {
    int from = 0;
    int to = 0;
    int area = 0;  // the branch's own area
    bool transformer = false;
    Admittance fromSelf, fromMutual, toMutual, toSelf;  // column unused
    double tapRatio = 1.0;
    double phaseShift = 0.0;  // radians
};

struct AreaRecord {
    int swingBus = 0;       // 0 when the file names none
    double exportPu = 0.0;  // scheduled export
};

struct PowerFlowModel {
    std::vector<PowerFlowBus> buses;  // in file order, which is the order of the equations
    std::vector<int> position;        // bus number -> index in buses + 1; 0 when absent
    std::vector<TieLine> tieLines;
    std::vector<AreaRecord> areas;  // 1-based by area number

    const PowerFlowBus* Find(int number) const;
    PowerFlowBus* Find(int number);
};

// Builds the model from the file's records. Returns false with the reason in error when the
// records do not describe a network that can be written as a square set of equations.
bool BuildPowerFlowModel(const CommonFormatData& data, const ImportOptions& options,
                         PowerFlowModel& model, std::string& error);

// Which of the four interchange terms of area the tie line contributes (bits 0..3): flow
// leaving the area at the from end, arriving at the to end outside the area, leaving at the
// to end, arriving at the from end outside the area.
unsigned InterchangeTerms(const PowerFlowModel& model, const TieLine& tie, int area);

// An area whose interchange equation would have no terms has no tie lines.
bool AreaHasTieLines(const PowerFlowModel& model, int area);
