#include "import/power_flow_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/base/limits.h"

namespace {

constexpr const char* kHeader = "{Generated from CF File Format}\n";
// The options line that sets the document's own capacity; the compiler reads "CAPACITY=N" in
// any field and skips it as a word where another field stands, so no other setting changes.
constexpr const char* kCapacityField = "{Options: CAPACITY=";
constexpr char kApproximatelyEqual = '\xBB';  // marks a starting value
// Generator buses drop conductances that only rounding left behind.
constexpr double kNegligibleConductance = 1e-20;

std::string V(int bus) {
    return "v" + std::to_string(bus);
}
std::string A(int bus) {
    return "a" + std::to_string(bus);
}

// "(a_n-a_m)" as the argument of SIN and COS.
std::string Difference(int n, int m) {
    return "(" + A(n) + "-" + A(m) + ")";
}

std::string PEquation(const PowerFlowBus& bus) {
    const int n = bus.number;
    std::string text = FormatNumber(bus.p) + "*k=" + V(n) + "*(";
    for (const Admittance& e : bus.row) {
        const bool diagonal = e.column == n;
        const bool withG =
            bus.kind == BusKind::kGenerator ? std::fabs(e.g) > kNegligibleConductance : e.g != 0.0;
        if (withG) {
            text += "+" + V(e.column) + "*" + FormatNumber(e.g);
            if (!diagonal) text += "*COS" + Difference(n, e.column);
        }
        if (!diagonal)
            text += "+" + V(e.column) + "*" + FormatNumber(e.b) + "*SIN" + Difference(n, e.column);
    }
    return text + ");\n";
}

std::string QEquation(const PowerFlowBus& bus) {
    const int n = bus.number;
    std::string text = FormatNumber(bus.q) + "*k=-" + V(n) + "*(";
    for (const Admittance& e : bus.row) {
        text += "+" + V(e.column) + "*" + FormatNumber(e.b);
        if (e.column != n) text += "*COS" + Difference(n, e.column);
        if (e.g != 0.0)
            text += "-" + V(e.column) + "*" + FormatNumber(e.g) + "*SIN" + Difference(n, e.column);
    }
    return text + ");\n";
}

// sign v_x*v_x*gSelf sign v_f*v_o*(gMutual*COS(a_x-a_y)+bMutual*SIN(a_x-a_y)): the active power
// entering the branch at end x (from x to y), added or taken away.
std::string FlowTerm(char sign, int f, int o, int x, int y, const Admittance& self,
                     const Admittance& mutual) {
    std::string text;
    text += sign + V(x) + "*" + V(x) + "*" + FormatNumber(self.g);
    text += sign + V(f) + "*" + V(o) + "*(" + FormatNumber(mutual.g) + "*COS" + Difference(x, y) +
            "+" + FormatNumber(mutual.b) + "*SIN" + Difference(x, y) + ")";
    return text;
}

std::string InterchangeEquation(const PowerFlowModel& model, const PowerFlowBus& bus) {
    const int area = bus.area;
    std::string text = FormatNumber(model.areas[area].exportPu) + "=";
    for (const TieLine& t : model.tieLines) {
        const unsigned terms = InterchangeTerms(model, t, area);
        if (terms & 1u) text += FlowTerm('+', t.from, t.to, t.from, t.to, t.fromSelf, t.fromMutual);
        if (terms & 2u) text += FlowTerm('-', t.from, t.to, t.to, t.from, t.toSelf, t.toMutual);
        if (terms & 4u) text += FlowTerm('+', t.from, t.to, t.to, t.from, t.toSelf, t.toMutual);
        if (terms & 8u) text += FlowTerm('-', t.from, t.to, t.from, t.to, t.fromSelf, t.fromMutual);
    }
    return text + ";\n";
}

std::string Setting(const std::string& variable, double value) {
    return variable + "=" + FormatNumber(value) + ";\n";
}

}  // namespace

std::string FormatNumber(double x) {
    if (x == 0.0) x = 0.0;  // no "-0.000000" outside parentheses
    // to_chars, unlike printf, writes a point whatever locale the desktop has set.
    char buffer[64];
    const double magnitude = std::fabs(x);
    const auto end =
        magnitude < kLargestFixedNumber
            ? std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 6)
            : std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                            std::chars_format::scientific);
    std::string text(buffer, end.ptr);
    // The exponent as the language writes it: "1e+20" becomes "1E20", "2.5e-07" "2.5E-7".
    if (const auto e = text.find('e'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = exponent[0] == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        text = text.substr(0, e) + (negative ? "E-" : "E") + exponent;
    }
    return x < 0.0 ? "(-" + text + ")" : text;
}

int PowerFlowEquationCount(const PowerFlowModel& model) {
    return 2 * static_cast<int>(model.buses.size()) + 1;
}

int PowerFlowStatementCount(const PowerFlowModel& model) {
    return PowerFlowEquationCount(model) + 2 * static_cast<int>(model.buses.size());
}

int PowerFlowCapacity(const PowerFlowModel& model) {
    // As many variables as equations, and fewer than statements: the statements decide.
    return std::max(PowerFlowStatementCount(model), PowerFlowEquationCount(model));
}

std::string WritePowerFlowEquations(const PowerFlowModel& model) {
    std::string text;
    if (const int capacity = PowerFlowCapacity(model); capacity > Limits::kDefaultCapacity) {
        text += kCapacityField + std::to_string(capacity) + "}\n";
    }
    text += kHeader;
    text += Setting("k", 1.0);
    for (const PowerFlowBus& bus : model.buses) {
        switch (bus.kind) {
            case BusKind::kLoad:
                text += PEquation(bus);
                text += QEquation(bus);
                break;
            case BusKind::kGenerator:
                text += PEquation(bus);
                text += Setting(V(bus.number), bus.voltage);
                break;
            case BusKind::kSlack:
                text += Setting(A(bus.number), bus.angle);
                text += Setting(V(bus.number), bus.voltage);
                break;
            case BusKind::kAreaSwing:
                text += InterchangeEquation(model, bus);
                text += Setting(V(bus.number), bus.voltage);
                break;
        }
    }
    for (const PowerFlowBus& bus : model.buses) {
        text += V(bus.number) + kApproximatelyEqual + FormatNumber(1.0) + ";\n";
        text += A(bus.number) + kApproximatelyEqual + FormatNumber(0.0) + ";\n";
    }
    return text;
}
