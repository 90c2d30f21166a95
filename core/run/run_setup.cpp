#include "core/run/run_setup.h"

#include <cerrno>
#include <cstring>

#include "core/base/base_messages.h"
#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/lang/code_string.h"
#include "core/run/line_cut.h"
#include "core/run/options_line.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/solve/results.h"
#include "core/symbolic/jacobian_file.h"

namespace {

constexpr const char* kOptionsPrefix = "{Options: ";
constexpr std::size_t kOptionsPrefixLength = 10;

void ReportUnreadable(CoreState& s) {
    const TextFile& f = s.files.source;
    ConsoleWrite(s.console, base_message::kCannotRead + s.files.documentPath + ": " +
                                std::strerror(f.error > 0 ? f.error : EIO));
    ConsoleWriteLine(s.console);
    WarningBeep(s);
    s.flags.parseError = true;
}

// The document's lines, read at most up to the size bound however the file changes while it
// is read; a read error or an overlong document ends them and marks the run refused.
class DocumentLines {
   public:
    explicit DocumentLines(CoreState& s) : s_(s) {}

    bool Next(std::string& line) {
        if (failed_) return false;
        if (!ReadWholeLine(s_.files.source, line, left_ + 1)) {
            if (s_.files.source.error > 0) Fail(false);
            return false;
        }
        if (s_.files.source.error > 0) {
            Fail(false);
            return false;
        }
        if (line.size() > left_) {
            Fail(true);
            return false;
        }
        left_ -= line.size();
        left_ -= left_ > 0 ? 1 : 0;  // the line end
        return true;
    }
    bool Failed() const { return failed_; }

   private:
    void Fail(bool tooLarge) {
        failed_ = true;
        if (tooLarge) {
            ConsoleWrite(s_.console, base_message::kFile + s_.files.documentPath +
                                         base_message::kTooLarge +
                                         std::to_string(kMaxDocumentBytes) + base_message::kBytes);
            ConsoleWriteLine(s_.console);
            WarningBeep(s_);
            s_.flags.parseError = true;
        } else {
            ReportUnreadable(s_);
        }
    }

    CoreState& s_;
    std::uintmax_t left_ = kMaxDocumentBytes;
    bool failed_ = false;
};

}  // namespace

void WriteBanner(CoreState& s) {
    ConsoleWrite(s.console, run_message::kBanner);
}

void ResetDefaults(CoreState& s) {
    WriteBanner(s);
    ResetRunConstants(s.k);
    const bool solved = s.flags.solved;  // the last result survives for the update command
    s.flags = RunFlags{};
    s.flags.solved = solved;
    s.message.clear();
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
    FreeHeldJacobian(s);  // derivatives of the equations just freed
}

void PrepareRun(CoreState& s) {
    FreeEquations(s);
    s.names.clear();

    const std::string& base = s.files.baseName;
    ConsoleWrite(s.console, run_message::kInitializingFiles);
    Close(s.files.work);
    Close(s.files.source);
    Assign(s.files.work, base + extension::kWork);
    Assign(s.files.source, s.files.documentPath);
    // Named only: the results of the last run stay until this one begins results of its own.
    NameResultFile(s, base + extension::kResult);
    ConsoleWrite(s.console, run_message::kReadingEquations);

    s.k.arithmetic = Arithmetic::kReal;
    s.flags.notFound = true;

    // Checked before any work file is touched: a run that cannot read its document must not
    // empty the results of the last one.
    if (!InputFileUsable(s, s.files.documentPath)) {
        s.flags.parseError = true;
        return;
    }
    Reset(s.files.source);
    if (!IsOpen(s.files.source)) {
        ReportUnreadable(s);
        return;
    }
    // Without its work file the compiler would read an older copy of the document.
    if (!RewriteWorkFile(s, s.files.work)) {
        Close(s.files.source);
        s.flags.parseError = true;
        return;
    }

    DocumentLines document(s);
    std::string line;
    bool haveLine = document.Next(line);
    if (haveLine && line.compare(0, kOptionsPrefixLength, kOptionsPrefix) == 0) {
        ReadOptionsLine(s.settings, s.k, line.substr(kOptionsPrefixLength), &s.console);
        ApplyCapacity(s);
        haveLine = document.Next(line);
    } else if (s.settings.method == SolveMethod::kHomotopy) {
        // Homotopy is honoured only when the document itself asks for it.
        s.settings.method = SolveMethod::kRobust;
    }

    std::vector<std::string> pieces;
    while (haveLine) {
        for (std::string& piece : CutLine(line)) pieces.push_back(std::move(piece));
        haveLine = document.Next(line);
    }
    if (document.Failed()) {
        Close(s.files.source);
        Close(s.files.work);
        return;
    }
    std::string copy;
    for (const std::string& piece : pieces) {
        copy += piece;
        copy += '\n';
    }
    WriteString(s.files.work, copy);
    Close(s.files.source);
    Close(s.files.work);
    if (!WorkFileWritten(s, s.files.work)) {
        s.flags.parseError = true;  // the compiler would read a cut copy of the document
        return;
    }
    // The compiler reads the copy it was just written from, not the file back.
    ReadText(s.files.work, std::move(copy));

    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
}

void CompileDocument(CoreState& s) {
    PrepareRun(s);
    if (s.flags.parseError) return;
    ParseEquationsComplex(s);
}

void ReopenWork(CoreState& s, const char* extension) {
    FreeEquations(s);
    Close(s.files.work);
    Assign(s.files.work, s.files.baseName + extension);
    Reset(s.files.work);
}
