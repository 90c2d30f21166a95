#pragma once

#include <cstdio>
#include <string>

// Every text the power-flow import shows the user. Formats take printf arguments.

inline constexpr const char* kFormedMessage = "Power Flow equations formed and stored to the file ";
inline constexpr const char* kNotFormedMessage = "Power flow equations not formed: ";

inline constexpr const char* kCannotRead = "cannot read \"%s\"";
inline constexpr const char* kCannotReadBecause = "cannot read \"%s\": %s";  // + why
inline constexpr const char* kCannotWrite = "cannot write \"%s\"";
inline constexpr const char* kOutputIsInput =
    "the output \"%s\" is the input file itself; name another output";
inline constexpr const char* kTemporaryIsInput =
    "the document is first written to \"%s\", which is the input file itself; name another "
    "output";

inline constexpr const char* kLineError = "line %d: %s";
inline constexpr const char* kEndsInsideSection =
    "the file ends inside the %s section that line %d opens, before the line that closes it";
inline constexpr const char* kNoEndLine = "the file ends before its END line";
inline constexpr const char* kNoBuses = "the file holds no bus records";
inline constexpr const char* kNotARecord =
    "expected a record, or a line whose first number is below 1 to end the section";

inline constexpr const char* kBusFieldMissing = "the bus record has no readable %s";
inline constexpr const char* kBranchFieldMissing = "the branch record has no readable %s";
inline constexpr const char* kInterchangeFieldMissing = "the interchange record has no readable %s";

inline constexpr const char* kBusNumberRange = "bus number %d is above 10000";
inline constexpr const char* kAreaRange = "area number %d is outside 1 to 10";
inline constexpr const char* kBusType = "bus type %d is not one of 0 to 4";
inline constexpr const char* kDuplicateBus = "bus %d appears a second time";
inline constexpr const char* kUnknownBranchBus =
    "the branch names bus %d, which the bus data do not hold";
inline constexpr const char* kSelfBranch = "the branch joins bus %d to itself";
inline constexpr const char* kZeroImpedance = "the branch from bus %d to bus %d has zero impedance";
inline constexpr const char* kNegativeTap =
    "the branch from bus %d to bus %d has a negative tap ratio";
inline constexpr const char* kTooManyTieLines =
    "more than 15651 branches join buses of different areas";
inline constexpr const char* kUnknownSwingBus =
    "area %d names swing bus %d, which the bus data do not hold";
inline constexpr const char* kSwingBusElsewhere =
    "area %d names swing bus %d, which lies in area %d";
inline constexpr const char* kDuplicateArea = "area %d has a second interchange record";
inline constexpr const char* kNoSlackBus = "no bus is of type 3 (slack), so no angle is fixed";
inline constexpr const char* kIsolatedBus = "bus %d is connected to no branch";

// What a run could not take: the first %s is one of the subjects below.
inline constexpr const char* kValueBeyondRange =
    "%s is %g, beyond %g, the largest magnitude the solver computes with";
inline constexpr const char* kBusPowerSubject = "the net power of bus %d";
inline constexpr const char* kBusVoltageSubject = "the voltage of bus %d";
inline constexpr const char* kBusAngleSubject = "the angle of bus %d";
inline constexpr const char* kBusAdmittanceSubject = "an admittance of bus %d";
inline constexpr const char* kBranchAdmittanceSubject =
    "an admittance of the tie line from bus %d to bus %d";
inline constexpr const char* kAreaExportSubject = "the scheduled export of area %d";
inline constexpr const char* kBeyondLargestCapacity =
    "the document would hold %d statements (two equations and two starting values per bus, and "
    "the load factor), more than %d, the largest capacity of a run";
inline constexpr const char* kDocumentTooLarge =
    "the document would be %zu bytes, more than %ju, the largest document a run reads";
inline constexpr const char* kEquationTooLong =
    "the equation on line %d of the document would compile to more than %d code nodes, the most "
    "one equation may have (a bus with too many branches, or an area with too many tie lines)";

// printf into a std::string; the texts above are short, the arguments are numbers and paths.
template <typename... Args>
std::string FormatMessage(const char* format, Args... args) {
    const int size = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}
