#include "core/run/document_settings.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/run/run_setup.h"

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

enum class Kind { kVersion, kU32, kI32, kF64 };
struct Field {
    std::size_t offset;
    Kind kind;
    std::uint32_t DocumentSettings::*u32;
    double DocumentSettings::*f64;
    std::uint32_t limit;  // largest value of an enumerated field (0 = any)
};

const std::array<Field, 14> kFields{{
    {0, Kind::kVersion, nullptr, nullptr, 0},
    {4, Kind::kU32, &DocumentSettings::method, nullptr, 3},
    {8, Kind::kU32, &DocumentSettings::jacobianMethod, nullptr, 1},
    {12, Kind::kU32, &DocumentSettings::autoHomotopy, nullptr, 0},
    {16, Kind::kU32, &DocumentSettings::autoSimplify, nullptr, 0},
    {20, Kind::kU32, &DocumentSettings::solveInGroups, nullptr, 0},
    {24, Kind::kF64, nullptr, &DocumentSettings::deltaJ, 0},
    {32, Kind::kF64, nullptr, &DocumentSettings::deltaT, 0},
    {40, Kind::kF64, nullptr, &DocumentSettings::minGuess, 0},
    {48, Kind::kF64, nullptr, &DocumentSettings::maxGuess, 0},
    {56, Kind::kU32, &DocumentSettings::maxIterations, nullptr, 0},
    {60, Kind::kI32, nullptr, nullptr, 0},
    {64, Kind::kU32, &DocumentSettings::repetitions, nullptr, 0},
    {68, Kind::kU32, &DocumentSettings::differentialMethod, nullptr, 2},
}};

std::size_t FieldSize(Kind k) { return k == Kind::kF64 ? 8 : 4; }

}  // namespace

std::string SettingsFileName(const std::string& documentPath) {
    const std::string base = BaseNameOf(documentPath);
    return base.empty() ? std::string() : base + ".VDP";
}

SettingsFileStatus ReadSettingsFile(const std::string& path, DocumentSettings& settings) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return SettingsFileStatus::kMissing;
    std::vector<unsigned char> bytes;
    char c;
    while (bytes.size() < kSettingsFileSize && in.get(c)) bytes.push_back(static_cast<unsigned char>(c));

    for (const Field& f : kFields) {
        if (f.offset + FieldSize(f.kind) > bytes.size()) return SettingsFileStatus::kTruncated;
        const unsigned char* p = bytes.data() + f.offset;
        switch (f.kind) {
            case Kind::kVersion: break;  // written for other readers, not checked
            case Kind::kU32: {
                const std::uint32_t v = GetU32(p);
                if (f.limit != 0 && v > f.limit) return SettingsFileStatus::kBadValue;
                settings.*f.u32 = v;
                break;
            }
            case Kind::kI32:
                settings.toleranceExponent = static_cast<std::int32_t>(GetU32(p));
                break;
            case Kind::kF64: {
                const double v = GetF64(p);
                if (!std::isfinite(v)) return SettingsFileStatus::kBadValue;
                settings.*f.f64 = v;
                break;
            }
        }
    }
    return SettingsFileStatus::kOk;
}

const char* SettingsFileMessage(SettingsFileStatus status) {
    switch (status) {
        case SettingsFileStatus::kTruncated: return "Incorect File Format";
        case SettingsFileStatus::kBadValue: return "Bad File Format";
        default: return "";
    }
}

bool WriteSettingsFile(const std::string& path, const DocumentSettings& settings) {
    std::array<unsigned char, kSettingsFileSize> bytes{};
    for (const Field& f : kFields) {
        unsigned char* p = bytes.data() + f.offset;
        switch (f.kind) {
            case Kind::kVersion: PutU32(p, kSettingsFileVersion); break;
            case Kind::kU32: PutU32(p, settings.*f.u32); break;
            case Kind::kI32: PutU32(p, static_cast<std::uint32_t>(settings.toleranceExponent)); break;
            case Kind::kF64: PutF64(p, settings.*f.f64); break;
        }
    }
    // The side file belongs to the user's document: write a new file and rename it over the
    // old one, so a failed write never leaves a damaged record behind.
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

ShellSettingsRecord MakeShellSettingsRecord(const DocumentSettings& d) {
    ShellSettingsRecord r;
    r.method = static_cast<int>(d.method);
    r.jacobianMode = static_cast<int>(d.jacobianMethod);
    r.maxIterations = static_cast<int>(d.maxIterations);
    r.repetitions = static_cast<int>(d.repetitions);
    r.toleranceExponent = d.toleranceExponent;
    r.autoSimplify = static_cast<std::uint8_t>(d.autoSimplify & 0xff);
    r.autoHomotopy = static_cast<std::uint8_t>(d.autoHomotopy & 0xff);
    r.solveInGroups = static_cast<std::uint8_t>(d.solveInGroups & 0xff);
    r.deltaJ = d.deltaJ;
    r.deltaT = d.deltaT;
    r.minGuess = d.minGuess;
    r.maxGuess = d.maxGuess;
    r.attachmentPath = d.attachmentPath;
    r.attachmentRows = static_cast<int>(d.updateStepCount);
    return r;
}
