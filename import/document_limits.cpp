#include "import/document_limits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "core/base/bounds.h"
#include "core/base/limits.h"
#include "core/base/special_values.h"
#include "import/import_messages.h"
#include "import/power_flow_writer.h"

namespace {

// Checks values one after another; the first beyond the solver's range names itself.
class RangeCheck {
   public:
    explicit RangeCheck(std::string& error) : error_(error) {}

    template <typename... Args>
    bool Within(double value, const char* subject, Args... args) {
        if (std::fabs(value) < kBigValue) return true;  // false for NaN as well
        error_ = FormatMessage(kValueBeyondRange, FormatMessage(subject, args...).c_str(), value,
                               kBigValue);
        return false;
    }

   private:
    std::string& error_;
};

bool ValuesWithinRange(const PowerFlowModel& model, std::string& error) {
    RangeCheck check(error);
    for (const PowerFlowBus& bus : model.buses) {
        const int n = bus.number;
        if (!check.Within(bus.p, kBusPowerSubject, n) ||
            !check.Within(bus.q, kBusPowerSubject, n) ||
            !check.Within(bus.voltage, kBusVoltageSubject, n) ||
            !check.Within(bus.angle, kBusAngleSubject, n)) {
            return false;
        }
        for (const Admittance& e : bus.row) {
            if (!check.Within(e.g, kBusAdmittanceSubject, n) ||
                !check.Within(e.b, kBusAdmittanceSubject, n)) {
                return false;
            }
        }
    }
    // The interchange equations write each tie line's own terms, which the rows hold summed.
    for (const TieLine& t : model.tieLines) {
        for (const Admittance* term : {&t.fromSelf, &t.fromMutual, &t.toMutual, &t.toSelf}) {
            if (!check.Within(term->g, kBranchAdmittanceSubject, t.from, t.to) ||
                !check.Within(term->b, kBranchAdmittanceSubject, t.from, t.to)) {
                return false;
            }
        }
    }
    for (int a = 1; a < static_cast<int>(model.areas.size()); ++a) {
        if (!check.Within(model.areas[a].exportPu, kAreaExportSubject, a)) return false;
    }
    return true;
}

bool CapacityWithinLargest(const PowerFlowModel& model, std::string& error) {
    const int statements = PowerFlowStatementCount(model);
    const Limits limits = Limits::ForCapacity(PowerFlowCapacity(model));
    if (statements <= limits.maxEquations && PowerFlowEquationCount(model) <= limits.maxVariables) {
        return true;
    }
    error = FormatMessage(kBeyondLargestCapacity, statements, Limits::kMaxCapacity);
    return false;
}

// At most the code nodes the compiler makes of one line of the writer's text: one per name (a
// variable or a function), per number and per operator sign. A '+' that only opens a sum makes
// none, so the count may be a little high, never low. Comments make none.
int NodesAtMost(std::string_view line) {
    auto at = [&line](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    int nodes = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        const unsigned char c = at(i);
        if (c == '{') {
            const std::size_t close = line.find('}', i);
            i = close == std::string_view::npos ? line.size() : close + 1;
            continue;
        }
        if (std::isalpha(c)) {
            while (i < line.size() && std::isalnum(at(i))) ++i;
            ++nodes;
            continue;
        }
        if (std::isdigit(c) || c == '.') {
            while (i < line.size() && (std::isdigit(at(i)) || at(i) == '.')) ++i;
            if (i < line.size() && at(i) == 'E') {
                ++i;
                if (i < line.size() && at(i) == '-') ++i;
                while (i < line.size() && std::isdigit(at(i))) ++i;
            }
            ++nodes;
            continue;
        }
        if (std::string_view("+-*/^=").find(static_cast<char>(c)) != std::string_view::npos)
            ++nodes;
        ++i;
    }
    return nodes;
}

}  // namespace

bool CheckModelFitsRun(const PowerFlowModel& model, std::string& error) {
    return ValuesWithinRange(model, error) && CapacityWithinLargest(model, error);
}

bool CheckDocumentFitsRun(const std::string& document, std::string& error) {
    if (document.size() > kMaxDocumentBytes) {
        error = FormatMessage(kDocumentTooLarge, document.size(), kMaxDocumentBytes);
        return false;
    }
    // The writer puts every statement on a line of its own.
    int lineNumber = 0;
    for (std::size_t start = 0; start < document.size();) {
        const std::size_t end = std::min(document.find('\n', start), document.size());
        ++lineNumber;
        if (NodesAtMost(std::string_view(document).substr(start, end - start)) >
            kMaxEquationNodes) {
            error = FormatMessage(kEquationTooLong, lineNumber, kMaxEquationNodes);
            return false;
        }
        start = end + 1;
    }
    return true;
}
