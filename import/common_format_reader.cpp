#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "import/common_format.h"
#include "import/import_messages.h"

// The Common Format is a card layout: every field has its columns. Bus names (columns 6-17)
// and the interchange record's swing-bus name (columns 9-20) may contain blanks, so they are
// cut out by column; every other field of these files is separated from its neighbours by
// blanks, which lets a record with slightly shifted numbers still read correctly.

namespace {

class LineSource {
   public:
    explicit LineSource(std::istream& in) : in_(in) {}

    // The next line without its line end (LF or CR LF); false at the end of the file.
    bool Next(std::string& line) {
        if (!std::getline(in_, line)) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ++number_;
        return true;
    }
    int number() const { return number_; }
    // The last line read had no line end: the file stops in the middle of it.
    bool cutShort() const { return in_.eof(); }

   private:
    std::istream& in_;
    int number_ = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

// Columns first..last (1-based, inclusive) of a line, shorter when the line is.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, last - first + 1);
}

std::string TrimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return std::string(text.substr(0, end));
}

std::string_view WithoutPlus(std::string_view word) {
    if (word.size() > 1 && word[0] == '+') word.remove_prefix(1);
    return word;
}

std::optional<int> ToInt(std::string_view word) {
    word = WithoutPlus(word);
    int value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
    return value;
}

std::optional<double> ToReal(std::string_view word) {
    word = WithoutPlus(word);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || end != word.data() + word.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The integer a line begins with (after blanks); the sections end at one below 1.
std::optional<int> LeadingInteger(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    int value = 0;
    const char* begin = line.data() + i;
    const auto [end, ec] = std::from_chars(begin, line.data() + line.size(), value);
    if (ec != std::errc{}) return std::nullopt;
    return value;
}

// Collects the fields of one record; the first failure names the field that is missing.
class FieldReader {
   public:
    FieldReader(std::vector<std::string_view> words, const char* format)
        : words_(std::move(words)), format_(format) {}

    int Int(std::size_t index, const char* what) {
        std::optional<int> v = index < words_.size() ? ToInt(words_[index]) : std::nullopt;
        if (!v) Fail(what);
        return v.value_or(0);
    }
    double Real(std::size_t index, const char* what) {
        std::optional<double> v = index < words_.size() ? ToReal(words_[index]) : std::nullopt;
        if (!v) Fail(what);
        return v.value_or(0.0);
    }
    // A field the record may leave out: zero when absent, an error when present but unreadable.
    double OptionalReal(std::size_t index, const char* what) {
        return index < words_.size() ? Real(index, what) : 0.0;
    }
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

   private:
    void Fail(const char* what) {
        if (error_.empty()) error_ = FormatMessage(format_, what);
    }
    std::vector<std::string_view> words_;
    const char* format_;
    std::string error_;
};

struct SectionContext {
    LineSource& lines;
    CommonFormatData& data;
    std::string& error;
};

bool LineFailure(SectionContext& c, const std::string& detail) {
    c.error = FormatMessage(kLineError, c.lines.number(), detail.c_str());
    return false;
}

bool CheckArea(SectionContext& c, int area) {
    if (area >= 1 && area <= kMaxAreas) return true;
    return LineFailure(c, FormatMessage(kAreaRange, area));
}

// Bus record: number in columns 1-5, name in 6-17, then area, loss zone, type, final voltage,
// final angle, load MW and MVAR, generation MW and MVAR, base kV, desired voltage, MVAR
// limits, shunt G and B, remote bus.
bool ReadBusRecord(SectionContext& c, const std::string& line, int number) {
    if (number > kMaxBusNumber) return LineFailure(c, FormatMessage(kBusNumberRange, number));
    CommonFormatBus bus;
    bus.line = c.lines.number();
    bus.number = number;
    bus.name = TrimRight(Columns(line, 6, 17));
    FieldReader f(Words(line.size() > 17 ? std::string_view(line).substr(17) : std::string_view{}),
                  kBusFieldMissing);
    bus.area = f.Int(0, "area");
    f.Int(1, "loss zone");
    bus.type = f.Int(2, "type");
    bus.finalVoltage = f.Real(3, "final voltage");
    bus.finalAngle = f.Real(4, "final angle");
    bus.loadMw = f.Real(5, "load MW");
    bus.loadMvar = f.Real(6, "load MVAR");
    bus.generationMw = f.Real(7, "generation MW");
    bus.generationMvar = f.Real(8, "generation MVAR");
    bus.shuntG = f.OptionalReal(13, "shunt conductance");
    bus.shuntB = f.OptionalReal(14, "shunt susceptance");
    if (!f.ok()) return LineFailure(c, f.error());
    if (!CheckArea(c, bus.area)) return false;
    if (bus.type < 0 || bus.type > 4) return LineFailure(c, FormatMessage(kBusType, bus.type));
    c.data.buses.push_back(std::move(bus));
    return true;
}

// Branch record: from (tap) bus, to bus, area, loss zone, circuit, type, R, X, total line
// charging, three ratings, control bus, side, final turns ratio, final phase-shift angle.
bool ReadBranchRecord(SectionContext& c, const std::string& line) {
    CommonFormatBranch branch;
    branch.line = c.lines.number();
    FieldReader f(Words(line), kBranchFieldMissing);
    branch.from = f.Int(0, "from bus");
    branch.to = f.Int(1, "to bus");
    branch.area = f.Int(2, "area");
    f.Int(3, "loss zone");
    f.Int(4, "circuit");
    branch.type = f.Int(5, "type");
    branch.r = f.Real(6, "resistance");
    branch.x = f.Real(7, "reactance");
    branch.charging = f.Real(8, "line charging");
    branch.tapRatio = f.OptionalReal(14, "turns ratio");
    branch.phaseShift = f.OptionalReal(15, "phase-shift angle");
    if (!f.ok()) return LineFailure(c, f.error());
    c.data.branches.push_back(branch);
    return true;
}

// Interchange record: area in columns 1-2 and swing bus in 4-7 (read blank-separated from
// columns 1-8), swing-bus name in 9-20, then the scheduled export in MW.
bool ReadInterchangeRecord(SectionContext& c, const std::string& line) {
    CommonFormatInterchange record;
    record.line = c.lines.number();
    FieldReader head(Words(Columns(line, 1, 8)), kInterchangeFieldMissing);
    record.area = head.Int(0, "area");
    record.swingBus = head.Int(1, "swing bus number");
    record.swingName = TrimRight(Columns(line, 9, 20));
    FieldReader tail(
        Words(line.size() > 20 ? std::string_view(line).substr(20) : std::string_view{}),
        kInterchangeFieldMissing);
    record.exportMw = tail.Real(0, "scheduled export");
    if (!head.ok()) return LineFailure(c, head.error());
    if (!tail.ok()) return LineFailure(c, tail.error());
    if (!CheckArea(c, record.area)) return false;
    c.data.interchanges.push_back(std::move(record));
    return true;
}

enum class Section { kBus, kBranch, kInterchange };

const char* SectionName(Section s) {
    switch (s) {
        case Section::kBus: return "BUS";
        case Section::kBranch: return "BRANCH";
        case Section::kInterchange: return "INTERCHANGE";
    }
    return "";
}

// Reads records until a line whose first number is below 1 (-999, -99, -9 in real files).
bool ReadSection(SectionContext& c, Section section) {
    const int opened = c.lines.number();
    std::string line;
    while (c.lines.Next(line)) {
        if (Words(line).empty()) continue;
        const std::optional<int> first = LeadingInteger(line);
        if (!first) {
            LineFailure(c, kNotARecord);
            break;
        }
        if (*first < 1) return true;
        bool ok = false;
        switch (section) {
            case Section::kBus: ok = ReadBusRecord(c, line, *first); break;
            case Section::kBranch: ok = ReadBranchRecord(c, line); break;
            case Section::kInterchange: ok = ReadInterchangeRecord(c, line); break;
        }
        if (!ok) break;
    }
    // A record that stops short at the very end of the file is a cut file, not a bad record.
    if (c.error.empty() || c.lines.cutShort()) {
        c.error = FormatMessage(kEndsInsideSection, SectionName(section), opened);
    }
    return false;
}

bool ReadBusSection(SectionContext& c) {
    return ReadSection(c, Section::kBus);
}
bool ReadBranchSection(SectionContext& c) {
    return ReadSection(c, Section::kBranch);
}
bool ReadInterchangeSection(SectionContext& c) {
    return ReadSection(c, Section::kInterchange);
}

}  // namespace

bool ReadCommonFormat(std::istream& in, CommonFormatData& data, std::string& error) {
    data = CommonFormatData{};
    LineSource lines(in);
    SectionContext c{lines, data, error};
    std::string line;
    // Only the first word of a line matters outside the sections: the title, the loss-zone
    // and tie-line sections and the words after a section's name are passed over.
    while (lines.Next(line)) {
        const auto words = Words(line);
        if (words.empty()) continue;
        bool ok = true;
        if (words[0] == "BUS") {
            ok = ReadBusSection(c);
        } else if (words[0] == "BRANCH") {
            ok = ReadBranchSection(c);
        } else if (words[0] == "INTERCHANGE") {
            ok = ReadInterchangeSection(c);
        } else if (words[0] == "END") {
            if (data.buses.empty()) {
                error = kNoBuses;
                return false;
            }
            return true;
        }
        if (!ok) return false;
    }
    error = kNoEndLine;
    return false;
}
