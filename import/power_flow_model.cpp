#include "import/power_flow_model.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "import/import_messages.h"

namespace {

using Complex = std::complex<double>;

// The four admittance-matrix terms of one branch.
struct BranchTerms {
    Complex fromSelf, fromMutual, toMutual, toSelf;
};

BusKind KindOfType(int type) {
    // Types 0 and 1 hold P and Q (type 1 only within voltage limits the import ignores);
    // 2 and 4 hold P and the voltage; 3 holds voltage and angle.
    if (type == 3) return BusKind::kSlack;
    if (type == 2 || type == 4) return BusKind::kGenerator;
    return BusKind::kLoad;
}

bool Fail(std::string& error, int line, const std::string& detail) {
    error = FormatMessage(kLineError, line, detail.c_str());
    return false;
}

// Adds g + jb to the entry of column in the row, or puts a new entry in front of the row.
void AddAdmittance(PowerFlowBus& bus, int column, Complex y) {
    for (Admittance& a : bus.row) {
        if (a.column == column) {
            a.g += y.real();
            a.b += y.imag();
            return;
        }
    }
    bus.row.insert(bus.row.begin(), Admittance{column, y.real(), y.imag()});
}

Admittance AsTerm(Complex y) {
    return Admittance{0, y.real(), y.imag()};
}

// Pi model of a branch with series admittance y = 1 / (R + jX) and half the line charging at
// each end. A transformer's ideal ratio a = t e^(j phi) sits at the from (tap) end: the from
// end's terms are those of the line seen through it, so the self term is divided by t^2 and
// the mutual terms by conj(a) (from row) and a (to row).
BranchTerms TermsOf(const CommonFormatBranch& branch, bool fullModel) {
    const double z2 = branch.r * branch.r + branch.x * branch.x;
    const Complex y(branch.r / z2, -branch.x / z2);
    const Complex halfCharging(0.0, branch.charging / 2.0);
    const double tap = (fullModel && branch.tapRatio != 0.0) ? branch.tapRatio : 1.0;
    const double shift = fullModel ? branch.phaseShift * std::numbers::pi / 180.0 : 0.0;
    if (tap == 1.0 && shift == 0.0) return {y + halfCharging, -y, -y, y + halfCharging};
    const Complex a = std::polar(tap, shift);
    return {(y + halfCharging) / (tap * tap), -y / std::conj(a), -y / a, y + halfCharging};
}

bool AddBuses(const CommonFormatData& data, PowerFlowModel& model, std::string& error) {
    bool haveSlack = false;
    for (const CommonFormatBus& record : data.buses) {
        if (model.position[record.number] != 0) {
            return Fail(error, record.line, FormatMessage(kDuplicateBus, record.number));
        }
        PowerFlowBus bus;
        bus.number = record.number;
        bus.area = record.area;
        bus.kind = KindOfType(record.type);
        bus.voltage = record.finalVoltage;
        // The file gives degrees; the equations' SIN and COS take radians.
        bus.angle = record.finalAngle * std::numbers::pi / 180.0;
        bus.p = (record.generationMw - record.loadMw) / kBaseMva;
        bus.q = (record.generationMvar - record.loadMvar) / kBaseMva;
        haveSlack = haveSlack || bus.kind == BusKind::kSlack;
        model.buses.push_back(std::move(bus));
        model.position[record.number] = static_cast<int>(model.buses.size());
    }
    if (!haveSlack) error = kNoSlackBus;
    return haveSlack;
}

bool AddBranches(const CommonFormatData& data, const ImportOptions& options, PowerFlowModel& model,
                 std::string& error) {
    for (const CommonFormatBranch& branch : data.branches) {
        for (int end : {branch.from, branch.to}) {
            if (model.Find(end) == nullptr) {
                return Fail(error, branch.line, FormatMessage(kUnknownBranchBus, end));
            }
        }
        if (branch.from == branch.to) {
            return Fail(error, branch.line, FormatMessage(kSelfBranch, branch.from));
        }
        const double z2 = branch.r * branch.r + branch.x * branch.x;
        if (!(z2 > 0.0) || !std::isfinite(1.0 / z2)) {
            return Fail(error, branch.line, FormatMessage(kZeroImpedance, branch.from, branch.to));
        }
        if (options.fullModel && branch.tapRatio < 0.0) {
            return Fail(error, branch.line, FormatMessage(kNegativeTap, branch.from, branch.to));
        }
        const BranchTerms t = TermsOf(branch, options.fullModel);
        PowerFlowBus& from = *model.Find(branch.from);
        PowerFlowBus& to = *model.Find(branch.to);
        if (branch.area != from.area || branch.area != to.area) {
            if (static_cast<int>(model.tieLines.size()) == kMaxTieLines) {
                return Fail(error, branch.line, kTooManyTieLines);
            }
            TieLine tie;
            tie.from = branch.from;
            tie.to = branch.to;
            tie.area = branch.area;
            tie.transformer = branch.type != 0;
            tie.fromSelf = AsTerm(t.fromSelf);
            tie.fromMutual = AsTerm(t.fromMutual);
            tie.toMutual = AsTerm(t.toMutual);
            tie.toSelf = AsTerm(t.toSelf);
            if (options.fullModel) {
                tie.tapRatio = branch.tapRatio != 0.0 ? branch.tapRatio : 1.0;
                tie.phaseShift = branch.phaseShift * std::numbers::pi / 180.0;
            }
            model.tieLines.push_back(tie);
        }
        AddAdmittance(from, branch.to, t.fromMutual);
        AddAdmittance(to, branch.from, t.toMutual);
        AddAdmittance(from, branch.from, t.fromSelf);
        AddAdmittance(to, branch.to, t.toSelf);
    }
    return true;
}

bool CheckConnected(const PowerFlowModel& model, const CommonFormatData& data, std::string& error) {
    for (std::size_t i = 0; i < model.buses.size(); ++i) {
        // A bus without a branch would get equations with nothing on their right side.
        if (model.buses[i].row.empty()) {
            return Fail(error, data.buses[i].line,
                        FormatMessage(kIsolatedBus, model.buses[i].number));
        }
    }
    return true;
}

void AddShunts(const CommonFormatData& data, PowerFlowModel& model) {
    for (const CommonFormatBus& record : data.buses) {
        if (record.shuntG != 0.0 || record.shuntB != 0.0) {
            AddAdmittance(*model.Find(record.number), record.number,
                          Complex(record.shuntG, record.shuntB));
        }
    }
}

bool AddInterchanges(const CommonFormatData& data, PowerFlowModel& model, std::string& error) {
    for (const CommonFormatInterchange& record : data.interchanges) {
        AreaRecord& area = model.areas[record.area];
        if (area.swingBus != 0)
            return Fail(error, record.line, FormatMessage(kDuplicateArea, record.area));
        const PowerFlowBus* swing = model.Find(record.swingBus);
        if (swing == nullptr) {
            return Fail(error, record.line,
                        FormatMessage(kUnknownSwingBus, record.area, record.swingBus));
        }
        if (swing->area != record.area) {
            return Fail(
                error, record.line,
                FormatMessage(kSwingBusElsewhere, record.area, record.swingBus, swing->area));
        }
        area.swingBus = record.swingBus;
        area.exportPu = record.exportMw / kBaseMva;
    }
    for (int a = 1; a <= kMaxAreas; ++a) {
        PowerFlowBus* swing = model.Find(model.areas[a].swingBus);
        // Without tie lines the interchange equation would say nothing, and the swing bus
        // would lose its power balance: it keeps its own kind then. The slack bus stays slack.
        if (swing != nullptr && swing->kind != BusKind::kSlack && AreaHasTieLines(model, a)) {
            swing->kind = BusKind::kAreaSwing;
        }
    }
    return true;
}

}  // namespace

const PowerFlowBus* PowerFlowModel::Find(int number) const {
    if (number < 1 || number >= static_cast<int>(position.size()) || position[number] == 0)
        return nullptr;
    return &buses[position[number] - 1];
}

PowerFlowBus* PowerFlowModel::Find(int number) {
    return const_cast<PowerFlowBus*>(static_cast<const PowerFlowModel&>(*this).Find(number));
}

unsigned InterchangeTerms(const PowerFlowModel& model, const TieLine& tie, int area) {
    const bool fromInside = model.Find(tie.from)->area == area;
    const bool toInside = model.Find(tie.to)->area == area;
    const bool ownArea = tie.area == area;
    unsigned terms = 0;
    if (fromInside && !ownArea) terms |= 1u;
    if (!toInside && ownArea) terms |= 2u;
    if (toInside && !ownArea) terms |= 4u;
    if (!fromInside && ownArea) terms |= 8u;
    return terms;
}

bool AreaHasTieLines(const PowerFlowModel& model, int area) {
    for (const TieLine& tie : model.tieLines) {
        if (InterchangeTerms(model, tie, area) != 0) return true;
    }
    return false;
}

bool BuildPowerFlowModel(const CommonFormatData& data, const ImportOptions& options,
                         PowerFlowModel& model, std::string& error) {
    model = PowerFlowModel{};
    model.position.assign(kMaxBusNumber + 1, 0);
    model.areas.assign(kMaxAreas + 1, AreaRecord{});
    if (!AddBuses(data, model, error) || !AddBranches(data, options, model, error) ||
        !CheckConnected(model, data, error)) {
        return false;
    }
    if (options.fullModel) AddShunts(data, model);
    return AddInterchanges(data, model, error);
}
