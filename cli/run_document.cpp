#include "cli/run_document.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "core/base/charset.h"
#include "core/base/shell_services.h"
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

bool Readable(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

}  // namespace

int RunDocument(const CliOptions& o, std::FILE* out, std::FILE* err) {
    if (!Readable(o.document)) {
        std::fprintf(err, "valdrix: cannot read '%s'\n", o.document.c_str());
        return 2;
    }
    DocumentSettings settings;
    const std::string sideFile = SettingsFileName(o.document);
    if (!sideFile.empty()) {
        const SettingsFileStatus status = ReadSettingsFile(sideFile, settings);
        if (*SettingsFileMessage(status) != '\0') {
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

    const std::string command = (o.mode == CliOptions::Mode::kCheck) ? std::string("C") : o.command;
    std::vector<double> micros;
    int solved = 0;
    for (int i = 0; i < o.repeat && !services.cancelled.load(); ++i) {
        ApplyShellSettings(record);
        const auto start = std::chrono::steady_clock::now();
        solved = (o.mode == CliOptions::Mode::kCheck)
                     ? CheckDocument(o.document.c_str())
                     : SolverEntry(o.document.c_str(), command.c_str());
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
    if (services.cancelled.load()) {
        // The rows solved before the interrupt are in the result file; the run is incomplete.
        std::fprintf(err, "valdrix: interrupted\n");
        return 130;
    }
    return solved ? 0 : 1;
}
