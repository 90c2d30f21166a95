#include "import/convert.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/base/bounds.h"
#include "core/base/text_file.h"
#include "import/common_format.h"
#include "import/document_limits.h"
#include "import/import_messages.h"
#include "import/power_flow_writer.h"

namespace {

ImportResult Failure(const std::string& reason) {
    ImportResult result;
    result.message = kNotFormedMessage + reason;
    return result;
}

std::string CannotRead(const std::string& path, InputFileState state) {
    const std::string why = InputFileRefusal(state, kMaxDocumentBytes);
    return why.empty() ? FormatMessage(kCannotRead, path.c_str())
                       : FormatMessage(kCannotReadBecause, path.c_str(), why.c_str());
}

// Reads the input whole when it is a plain file within the size bound that documents have:
// a device or a pipe may never end, and the bound holds however the file grows while it is
// read. Returns why not, or empty.
std::string ReadInput(const std::string& path, std::string& text) {
    const InputFileState state = CheckInputFile(path, kMaxDocumentBytes);
    if (state != InputFileState::kOk) return CannotRead(path, state);
    std::ifstream in(path, std::ios::binary);
    if (!in) return CannotRead(path, InputFileState::kMissing);
    text.clear();
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxDocumentBytes) return CannotRead(path, InputFileState::kTooLarge);
    }
    if (in.bad()) return CannotRead(path, InputFileState::kMissing);
    return {};
}

std::string TemporaryName(const std::string& path) {
    return path + ".new";
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// A pipe or a device under the output's name takes the document as it is written: whoever
// reads at its other end expects it there, and a plain file renamed over it would end that.
bool WritesInPlace(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

// Why the document may not go where it is to go, or empty: neither the output nor the
// temporary it is first written to may be the input, under whatever name or link.
std::string WouldOverwriteInput(const std::string& input, const std::string& output) {
    if (SameFile(input, output)) return FormatMessage(kOutputIsInput, output.c_str());
    const std::string temp = TemporaryName(output);
    if (!WritesInPlace(output) && SameFile(input, temp)) {
        return FormatMessage(kTemporaryIsInput, temp.c_str());
    }
    return {};
}

bool WriteAll(std::ofstream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

// A plain file is written to a temporary and renamed into place, so a failed import leaves no
// partial document and an existing one untouched.
bool WriteSafely(const std::string& path, const std::string& text) {
    if (WritesInPlace(path)) {
        std::ofstream out(path, std::ios::binary);
        return out && WriteAll(out, text);
    }
    const std::string temp = TemporaryName(path);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        if (!WriteAll(out, text)) {
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

}  // namespace

std::string CommonFormatOutputName(const std::string& inputPath) {
    // The first '.' of the file name, not of the whole path: "../cases/ieee14.cf" keeps its folder.
    const auto slash = inputPath.find_last_of('/');
    const std::size_t nameStart = (slash == std::string::npos) ? 0 : slash + 1;
    const auto dot = inputPath.find('.', nameStart);
    return inputPath.substr(0, dot) + ".ALG";
}

ImportResult ConvertCommonFormatText(std::istream& in, const ImportOptions& options) {
    CommonFormatData data;
    PowerFlowModel model;
    std::string error;
    if (!ReadCommonFormat(in, data, error) || !BuildPowerFlowModel(data, options, model, error) ||
        !CheckModelFitsRun(model, error)) {
        return Failure(error);
    }
    std::string document = WritePowerFlowEquations(model);
    if (!CheckDocumentFitsRun(document, error)) return Failure(error);
    ImportResult result;
    result.ok = true;
    result.document = std::move(document);
    result.equations = PowerFlowEquationCount(model);
    result.statements = PowerFlowStatementCount(model);
    return result;
}

ImportResult ConvertCommonFormat(const std::string& inputPath, const std::string& outputPath,
                                 const ImportOptions& options) {
    const std::string output = outputPath.empty() ? CommonFormatOutputName(inputPath) : outputPath;
    std::string text;
    std::string why = ReadInput(inputPath, text);
    if (why.empty()) why = WouldOverwriteInput(inputPath, output);
    if (!why.empty()) {
        ImportResult failed = Failure(why);
        failed.outputPath = output;
        return failed;
    }
    std::istringstream in(std::move(text));
    ImportResult result = ConvertCommonFormatText(in, options);
    result.outputPath = output;
    if (!result.ok) return result;
    if (!WriteSafely(output, result.document)) {
        result.ok = false;
        result.document.clear();
        result.message = kNotFormedMessage + FormatMessage(kCannotWrite, output.c_str());
        return result;
    }
    result.message = kFormedMessage + ("\"" + output + "\"");
    return result;
}
