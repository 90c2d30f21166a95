#include "cli/run_document.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/charset.h"
#include "core/base/shell_services.h"
#include "core/base/text_file.h"
#include "core/run/entry.h"

namespace {

DefaultShellServices* gServices = nullptr;

extern "C" void OnInterrupt(int) {
    // Only an atomic store: the run sees ESC at its next key poll and ends cleanly.
    if (gServices != nullptr) gServices->cancel();
}

// A one-line progress indicator on a terminal; finished with a line end by the last step.
void ShowProgress(long step, long total) {
    if (total < 2) return;
    std::fprintf(stderr, "\rstep %ld of %ld", step, total);
    if (step >= total) std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Why a file that is to be read whole cannot be, or empty when it can.
std::string Unreadable(const std::string& path, std::uintmax_t limit = kMaxDocumentBytes) {
    const InputFileState state = CheckInputFile(path, limit);
    if (state == InputFileState::kOk) return {};
    if (state == InputFileState::kMissing) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) return "cannot read '" + path + "'";
        // A name the file system does not report but can open.
        std::fclose(f);
        return "cannot read '" + path + "': " + InputFileRefusal(InputFileState::kNotPlain, 0);
    }
    return "cannot read '" + path + "': " + InputFileRefusal(state, limit);
}

// The commands that read the attachment: repetitive updates and the list operations.
bool ReadsAttachment(const CliOptions& o) {
    const std::string& c = o.command;
    return o.mode == CliOptions::Mode::kRun &&
           (c[0] == 'U' || (c.size() >= 2 && c[0] == 'A' && c[1] == 'L'));
}

}  // namespace

int RunDocument(const CliOptions& o, std::FILE* out, std::FILE* err) {
    if (IsWorkFileName(o.document)) {
        // Its own run would write over it (and its side file would be the document itself).
        std::fprintf(err,
                     "valdrix: '%s' is named like a file a run writes beside its document; "
                     "rename it (nothing was run)\n",
                     o.document.c_str());
        return 2;
    }
    if (const std::string why = Unreadable(o.document); !why.empty()) {
        std::fprintf(err, "valdrix: %s\n", why.c_str());
        return 2;
    }
    if (o.attach && IsRunFileOf(o.document, *o.attach)) {
        // The run would empty or replace the table (the core refuses it as well).
        std::fprintf(err,
                     "valdrix: --attach: '%s' is a file the runs of '%s' write; rename it "
                     "(nothing was run)\n",
                     o.attach->c_str(), o.document.c_str());
        return 2;
    }
    if (o.attach && ReadsAttachment(o)) {
        if (const std::string why = Unreadable(*o.attach, kMaxListFileBytes); !why.empty()) {
            std::fprintf(err, "valdrix: --attach: %s\n", why.c_str());
            return 2;
        }
    }
    if (ReadsChosenSeries(o)) {
        if (const std::string why = Unreadable(o.fftFile); !why.empty()) {
            std::fprintf(err, "valdrix: --fft-file: %s\n", why.c_str());
            return 2;
        }
    }
    DocumentSettings settings;
    const std::string sideFile = SettingsFileName(o.document);
    if (!sideFile.empty()) {
        std::vector<std::string> warnings;
        const SettingsFileStatus status = ReadSettingsFile(sideFile, settings, &warnings);
        for (const std::string& warning : warnings) {
            std::fprintf(err, "valdrix: %s: %s\n", sideFile.c_str(), warning.c_str());
        }
        if (warnings.empty() && *SettingsFileMessage(status) != '\0') {
            std::fprintf(err, "valdrix: %s: %s\n", sideFile.c_str(), SettingsFileMessage(status));
        }
    }
    ApplyOptions(o, settings);
    ShellSettingsRecord record = MakeShellSettingsRecord(settings);
    if (o.seed) record.randomSeed = *o.seed;

    DefaultShellServices services;
    ConfigureShellServices(o, services);
    if (isatty(fileno(err)) != 0) services.progress = ShowProgress;
    gServices = &services;
    SetShellServices(&services);
    auto previous = std::signal(SIGINT, OnInterrupt);
    SetOutputFunction([out](const char* text) { std::fputs(charset::ToUtf8(text).c_str(), out); });

    // Later commands run on the same core, as the desktop runs one command after another: what
    // one run leaves (the last solution) is there for the next.
    std::vector<std::string> commands{o.command};
    commands.insert(commands.end(), o.laterCommands.begin(), o.laterCommands.end());
    std::vector<double> micros;
    // A script reads success from the status: every command of the run must have done its
    // work (solved, or written its file), not only the last, and none may pass for done
    // because an earlier run solved.
    bool done = false;
    for (int i = 0; i < o.repeat && !services.cancelled.load(); ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (o.mode == CliOptions::Mode::kCheck) {
            ApplyShellSettings(record);
            done = CheckDocument(o.document.c_str()) != 0;
        } else {
            done = true;
            for (const std::string& command : commands) {
                if (services.cancelled.load()) break;
                ApplyShellSettings(record);
                SolverEntry(o.document.c_str(), command.c_str());
                done = done && CommandDone();
            }
        }
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::fflush(out);

    if (o.results) {
        std::vector<std::string> lines;
        GetResultStrings(lines);
        for (const std::string& line : lines)
            std::fprintf(out, "%s\n", charset::ToUtf8(line).c_str());
    }
    SetOutputFunction(nullptr);
    SetShellServices(nullptr);
    std::signal(SIGINT, previous);
    gServices = nullptr;

    if (o.repeat > 1) {
        std::vector<double> sorted = micros;
        std::sort(sorted.begin(), sorted.end());
        const double median = sorted[sorted.size() / 2];
        std::fprintf(err, "repeat: %zu runs, median %.0f us, min %.0f us\n", sorted.size(), median,
                     sorted.front());
    }
    if (!services.refusal.empty()) {  // a sweep variable or series column that is not there
        std::fprintf(err, "valdrix: %s\n", services.refusal.c_str());
        return 2;
    }
    if (services.cancelled.load()) {
        // The rows solved before the interrupt are in the result file; the run is incomplete.
        std::fprintf(err, "valdrix: interrupted\n");
        return 130;
    }
    return done ? 0 : 1;
}
