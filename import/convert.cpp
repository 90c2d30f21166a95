#include "import/convert.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

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

bool WriteSafely(const std::string& path, const std::string& text) {
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
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
    std::error_code ignored;
    std::ifstream in(inputPath, std::ios::binary);
    if (!in || std::filesystem::is_directory(inputPath, ignored)) {
        ImportResult failed = Failure(FormatMessage(kCannotRead, inputPath.c_str()));
        failed.outputPath = output;
        return failed;
    }
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
