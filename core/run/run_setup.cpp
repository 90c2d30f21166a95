#include "core/run/run_setup.h"

#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/lang/code_string.h"
#include "core/run/options_line.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/symbolic/jacobian_file.h"

namespace {

constexpr const char* kOptionsPrefix = "{Options: ";
constexpr std::size_t kOptionsPrefixLength = 10;
constexpr std::size_t kLowestCut = 41;  // 1-based position below which no cut is made

bool PrecededByExponent(const std::string& line, std::size_t pos) {
    // pos is 1-based; the character before it is at index pos - 2.
    if (pos < 2) return false;
    const char c = line[pos - 2];
    return c == 'E' || c == 'e';
}

// 1-based position of the last occurrence of c between kLowestCut and 79, or 0.
std::size_t FindCut(const std::string& line, char c, bool skipExponent) {
    for (std::size_t p = kWorkLineLength; p >= kLowestCut; --p) {
        if (line[p - 1] == c && !(skipExponent && PrecededByExponent(line, p))) return p;
    }
    return 0;
}

}  // namespace

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::size_t nameStart = (slash == std::string::npos) ? 0 : slash + 1;
    if (nameStart + 1 >= path.size()) return "";
    const auto dot = path.find('.', nameStart + 1);
    if (dot == std::string::npos) return "";
    return path.substr(0, dot);
}

std::vector<std::string> CutLine(std::string line) {
    std::vector<std::string> pieces;
    while (line.size() > kWorkLineLength) {
        std::size_t p = FindCut(line, ' ', false);
        if (p == 0) p = FindCut(line, '*', false);
        // A sign right after an exponent letter belongs to a number: 1.5E-10 and 1.5E+10
        // must stay whole, or the compiler would read two numbers.
        if (p == 0) p = FindCut(line, '+', true);
        if (p == 0) p = FindCut(line, '-', true);
        if (p == 0) p = kLowestCut;
        pieces.push_back(line.substr(0, p));
        line.erase(0, p);
    }
    pieces.push_back(line);
    return pieces;
}

void WriteBanner(CoreState& s) {
    ConsoleWrite(s.console, run_message::kBanner);
}

void ResetDefaults(CoreState& s) {
    WriteBanner(s);
    ResetRunConstants(s.k);
    const bool solved = s.flags.solved;  // the last result survives for the update command
    s.flags = RunFlags{};
    s.flags.solved = solved;
    s.flags.noScreenDisplay = true;
    s.message.clear();
    s.eval.sp = 0;
    s.eval.expOverflowReported = false;
    s.parser = ParserState{};
    s.rng.seed(s.settings.randomSeed);
    // Update mode lasts one 'U' command; the last solution stays for a later 'UI' or 'UR'.
    s.updates.mode = false;
    s.updates.exhausted = false;
    s.updates.fixingCount = 0;
    ApplyCapacity(s);
}

void FreeEquations(CoreState& s) {
    for (int i = 1; i < static_cast<int>(s.model.eq.size()); ++i) {
        FreeList(s.pool, s.model.eq[i].code);
        s.model.eq[i] = Equation{};
    }
    s.model.count = 0;
    s.model.converted = false;
    FreeHeldJacobian(s);  // derivatives of the equations just freed
}

void PrepareRun(CoreState& s) {
    FreeEquations(s);
    s.names.clear();
    s.flags.noScreenDisplay = true;

    const std::string& base = s.files.baseName;
    ConsoleWrite(s.console, run_message::kInitializingFiles);
    Close(s.files.work);
    Close(s.files.source);
    Close(s.files.result);
    Assign(s.files.work, base + extension::kWork);
    Assign(s.files.source, s.files.documentPath);
    Assign(s.files.result, base + extension::kResult);
    ConsoleWrite(s.console, run_message::kReadingEquations);

    s.k.arithmetic = Arithmetic::kReal;
    s.flags.equationBase = 1;
    s.flags.errorEquation = 0;
    s.flags.notFound = true;

    Reset(s.files.source);
    if (!IsOpen(s.files.source)) {
        ConsoleWrite(s.console,
                     run_message::kFile + s.files.documentPath + run_message::kDoesNotExist);
        ConsoleWriteLine(s.console);
        WarningBeep(s);
        s.flags.parseError = true;
        return;
    }
    // Without its work files a run could only report a success it cannot write down.
    if (!RewriteWorkFile(s, s.files.result) || !RewriteWorkFile(s, s.files.work)) {
        Close(s.files.source);
        s.flags.parseError = true;
        return;
    }

    std::string line;
    bool haveLine = ReadWholeLine(s.files.source, line);
    if (haveLine && line.compare(0, kOptionsPrefixLength, kOptionsPrefix) == 0) {
        ReadOptionsLine(s.settings, s.k, line.substr(kOptionsPrefixLength));
        ApplyCapacity(s);
        haveLine = ReadWholeLine(s.files.source, line);
    } else if (s.settings.method == SolveMethod::kHomotopy) {
        // Homotopy is honoured only when the document itself asks for it.
        s.settings.method = SolveMethod::kRobust;
    }

    std::vector<std::string> pieces;
    while (haveLine) {
        for (std::string& piece : CutLine(line)) pieces.push_back(std::move(piece));
        haveLine = ReadWholeLine(s.files.source, line);
    }
    for (const std::string& piece : pieces) {
        WriteString(s.files.work, piece);
        WriteLine(s.files.work);
    }
    Close(s.files.source);
    Close(s.files.work);
    Reset(s.files.work);

    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
}

void PrepareAndReset(CoreState& s) {
    PrepareRun(s);
    s.flags.equationBase = 1;
}

void CompileDocument(CoreState& s) {
    PrepareAndReset(s);
    if (s.flags.parseError) return;
    ParseEquationsComplex(s);
}
