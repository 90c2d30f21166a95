#include "core/run/document_settings.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/extensions.h"
#include "core/base/text_file.h"
#include "core/run/run_messages.h"
#include "core/run/work_files.h"

namespace {

// The record is little-endian whatever the machine; bytes are assembled explicitly.
std::uint32_t GetU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
double GetF64(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
void PutU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutF64(unsigned char* p, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

// How a field is stored.
enum class Encoding { kU32, kI32, kF64 };
// What a field holds: the version word, a solver option, or the differential method.
enum class Slot { kVersion, kOption, kDifferentialMethod };

struct Field {
    std::size_t offset;
    Encoding encoding;
    Slot slot;
    SolverOption option;  // for Slot::kOption
};

constexpr std::uint32_t kLastDifferentialMethod = 2;

constexpr std::array<Field, 14> kFields{{
    {0, Encoding::kU32, Slot::kVersion, {}},
    {4, Encoding::kU32, Slot::kOption, SolverOption::kMethod},
    {8, Encoding::kU32, Slot::kOption, SolverOption::kJacobianMode},
    {12, Encoding::kU32, Slot::kOption, SolverOption::kAutoHomotopy},
    {16, Encoding::kU32, Slot::kOption, SolverOption::kAutoSimplify},
    {20, Encoding::kU32, Slot::kOption, SolverOption::kSolveInGroups},
    {24, Encoding::kF64, Slot::kOption, SolverOption::kDeltaJ},
    {32, Encoding::kF64, Slot::kOption, SolverOption::kDeltaT},
    {40, Encoding::kF64, Slot::kOption, SolverOption::kMinGuess},
    {48, Encoding::kF64, Slot::kOption, SolverOption::kMaxGuess},
    {56, Encoding::kU32, Slot::kOption, SolverOption::kMaxIterations},
    {60, Encoding::kI32, Slot::kOption, SolverOption::kToleranceExponent},
    {64, Encoding::kU32, Slot::kOption, SolverOption::kStepCount},
    {68, Encoding::kU32, Slot::kDifferentialMethod, {}},
}};

std::size_t FieldSize(Encoding e) {
    return e == Encoding::kF64 ? 8 : 4;
}

// The number a stored option field gives. A switch is on when the low byte of its word is not
// zero, as the shell has always copied it; whether the number lies in the option's domain is
// the reader's test.
double DecodeOption(const Field& f, const unsigned char* p) {
    const OptionDescription& d = Describe(f.option);
    switch (f.encoding) {
        case Encoding::kU32: {
            const std::uint32_t word = GetU32(p);
            switch (d.kind) {
                case OptionKind::kChoice: return word;
                case OptionKind::kSwitch: return (word & 0xff) != 0 ? 1 : 0;
                case OptionKind::kInteger:
                case OptionKind::kReal:
                    // Stored unsigned, used signed: the bits survive a read and a write.
                    return static_cast<std::int32_t>(word);
            }
            return word;
        }
        case Encoding::kI32: return static_cast<std::int32_t>(GetU32(p));
        case Encoding::kF64: return GetF64(p);
    }
    return 0.0;
}

std::string ShownValue(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

void EncodeOption(const Field& f, double value, unsigned char* p) {
    switch (f.encoding) {
        case Encoding::kU32:
        case Encoding::kI32:
            PutU32(p, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
            return;
        case Encoding::kF64: PutF64(p, value); return;
    }
}

}  // namespace

std::string SettingsFileName(const std::string& documentPath) {
    const std::string base = BaseNameOf(documentPath);
    return base.empty() ? std::string() : base + extension::kSettings;
}

SettingsFileStatus ReadSettingsFile(const std::string& path, DocumentSettings& settings,
                                    std::vector<std::string>* warnings) {
    // Opened only when it is a plain file: a pipe under the name would hold every run and every
    // opening of the document.
    switch (CheckInputFile(path, kMaxDocumentBytes)) {
        case InputFileState::kOk: break;
        case InputFileState::kMissing: return SettingsFileStatus::kMissing;
        case InputFileState::kFolder:
        case InputFileState::kNotPlain:
        case InputFileState::kTooLarge: return SettingsFileStatus::kNotAFile;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return SettingsFileStatus::kMissing;
    std::vector<unsigned char> bytes;
    char c;
    while (bytes.size() < kSettingsFileSize && in.get(c))
        bytes.push_back(static_cast<unsigned char>(c));

    // A field whose value lies outside its domain is left as it was and named; the fields after
    // it are still read.
    bool badValue = false;
    auto reject = [&](const char* name, const std::string& value, const std::string& domain) {
        badValue = true;
        if (warnings != nullptr) {
            warnings->push_back(run_message::kSideFileField + std::string(name) + " " + value +
                                run_message::kNotIn + domain + run_message::kIgnored);
        }
    };
    for (const Field& f : kFields) {
        if (f.offset + FieldSize(f.encoding) > bytes.size()) return SettingsFileStatus::kTruncated;
        const unsigned char* p = bytes.data() + f.offset;
        switch (f.slot) {
            case Slot::kVersion: break;  // written for other readers, not checked
            case Slot::kOption: {
                const OptionDescription& d = Describe(f.option);
                const double value = DecodeOption(f, p);
                if (InDomain(d, value)) {
                    SetOptionValue(settings, f.option, value);
                } else {
                    reject(d.name, ShownValue(value), DomainText(d));
                }
                break;
            }
            case Slot::kDifferentialMethod: {
                const std::uint32_t v = GetU32(p);
                if (v <= kLastDifferentialMethod) {
                    settings.differentialMethod = v;
                } else {
                    reject(run_message::kDifferentialMethodName, std::to_string(v),
                           "from 0 to " + std::to_string(kLastDifferentialMethod));
                }
                break;
            }
        }
    }
    return badValue ? SettingsFileStatus::kBadValue : SettingsFileStatus::kOk;
}

const char* SettingsFileMessage(SettingsFileStatus status) {
    switch (status) {
        case SettingsFileStatus::kTruncated: return run_message::kSideFileIncorrect;
        case SettingsFileStatus::kBadValue: return run_message::kSideFileBadValue;
        case SettingsFileStatus::kNotAFile: return run_message::kSideFileNotAFile;
        case SettingsFileStatus::kOk:
        case SettingsFileStatus::kMissing: return "";
    }
    return "";
}

SettingsWriteStatus WriteSettingsFile(const std::string& path, const DocumentSettings& settings) {
    std::array<unsigned char, kSettingsFileSize> bytes{};
    for (const Field& f : kFields) {
        unsigned char* p = bytes.data() + f.offset;
        switch (f.slot) {
            case Slot::kVersion: PutU32(p, kSettingsFileVersion); break;
            case Slot::kOption: EncodeOption(f, OptionValue(settings, f.option), p); break;
            case Slot::kDifferentialMethod: PutU32(p, settings.differentialMethod); break;
        }
    }
    // The side file belongs to the user's document: write a new file and rename it over the
    // old one, so a failed write never leaves a damaged record behind.
    const std::string temp = path + extension::kTemporarySuffix;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return SettingsWriteStatus::kCannotCreate;
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return SettingsWriteStatus::kWriteFailed;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return SettingsWriteStatus::kWriteFailed;
    }
    return SettingsWriteStatus::kOk;
}

ShellSettingsRecord MakeShellSettingsRecord(const DocumentSettings& d) {
    ShellSettingsRecord r;
    static_cast<SolverOptions&>(r) = d;
    r.attachmentPath = d.attachmentPath;
    r.attachmentRows = static_cast<int>(d.updateStepCount);
    return r;
}
