#include "shell/core_bridge.h"

#include "core/run/entry.h"
#include "core/run/line_cut.h"

namespace corebridge {

int Run(const std::string& documentPath, const std::string& command) {
    return SolverEntry(documentPath.c_str(), command.c_str());
}

void Apply(const ShellSettingsRecord& record) {
    ApplyShellSettings(record);
}

std::vector<std::string> ResultStrings() {
    std::vector<std::string> lines;
    GetResultStrings(lines);
    return lines;
}

std::optional<int> CompilerErrorPosition() {
    return ::CompilerErrorPosition();
}

bool CommandDone() {
    return ::CommandDone();
}

void SetOutput(std::function<void(const char*)> sink) {
    SetOutputFunction(std::move(sink));
}

void SetServices(ShellServices* services) {
    SetShellServices(services);
}

std::string BaseName(const std::string& documentPath) {
    return BaseNameOf(documentPath);
}

bool IsWorkFileName(const std::string& documentPath) {
    return ::IsWorkFileName(documentPath);
}

SettingsRead ReadSettings(const std::string& path, DocumentSettings& settings) {
    switch (ReadSettingsFile(path, settings)) {
        case SettingsFileStatus::kOk: return SettingsRead::kOk;
        case SettingsFileStatus::kMissing: return SettingsRead::kMissing;
        case SettingsFileStatus::kBadValue: return SettingsRead::kBadFormat;
        case SettingsFileStatus::kTruncated: return SettingsRead::kIncorrectFormat;
        case SettingsFileStatus::kNotAFile: return SettingsRead::kNotAFile;
    }
    return SettingsRead::kIncorrectFormat;
}

const char* SettingsReadMessage(SettingsRead status) {
    switch (status) {
        case SettingsRead::kOk: return "";
        case SettingsRead::kMissing: return "";
        case SettingsRead::kBadFormat: return SettingsFileMessage(SettingsFileStatus::kBadValue);
        case SettingsRead::kIncorrectFormat:
            return SettingsFileMessage(SettingsFileStatus::kTruncated);
        case SettingsRead::kNotAFile: return SettingsFileMessage(SettingsFileStatus::kNotAFile);
    }
    return "";
}

SettingsWriteStatus WriteSettings(const std::string& path, const DocumentSettings& settings) {
    return WriteSettingsFile(path, settings);
}

ShellSettingsRecord RecordFor(const DocumentSettings& settings) {
    return MakeShellSettingsRecord(settings);
}

const char* MethodTitle(SolveMethod method) {
    return MethodName(method);
}

const char* JacobianTitle(JacobianMode mode) {
    return JacobianModeName(mode);
}

std::vector<std::string> CutLine(const std::string& line) {
    return ::CutLine(line);
}

}  // namespace corebridge
