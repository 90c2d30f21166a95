// Runs the command-line program on recorded cases and compares everything a run leaves behind
// with its expectation; with --update it records the expectations instead. See README.md.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "golden_compare.h"

namespace fs = std::filesystem;

namespace {

// Files of a case folder that describe the case rather than take part in the run.
constexpr const char* kCommandLineFile = "cmdline";
constexpr const char* kExpectedFolder = "expected";
constexpr const char* kExpectedFailFile = "EXPECTED_FAIL";
// Expectation files that hold what the program itself wrote, not what it left in files.
constexpr const char* kConsoleFile = "console.txt";
constexpr const char* kErrorFile = "stderr.txt";
constexpr const char* kStatusFile = "exit_status";

constexpr int kSkipped = 2;  // what CaseRun::Execute returns for a case it leaves alone

struct Options {
    std::string valdrix;
    bool update = false;
    bool keep = false;
    Tolerance tolerance;
    std::vector<std::string> paths;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Words separated by blanks or line ends; double quotes keep blanks inside one word.
std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// Result files are always part of the expectation; the other work files only when the case
// records them.
bool AlwaysRecorded(const fs::path& file) {
    const std::string ext = file.extension().string();
    return ext == ".PRN" || ext == ".FFT" || ext == ".FIT";
}

struct RunOutput {
    std::string console, errors, status;
    std::vector<std::string> files;  // written by the run, in the run folder
};

// Runs valdrix with the case's arguments inside runDir; stdout and stderr go to files beside it.
bool RunProgram(const Options& o, const std::vector<std::string>& args, const fs::path& scratch,
                const fs::path& runDir, RunOutput& out, std::string& error) {
    const fs::path outPath = scratch / "stdout";
    const fs::path errPath = scratch / "stderr";
    std::vector<char*> argv;
    std::string program = o.valdrix;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        error = "cannot start a process";
        return false;
    }
    if (pid == 0) {
        if (chdir(runDir.c_str()) != 0 || !std::freopen(outPath.c_str(), "wb", stdout) ||
            !std::freopen(errPath.c_str(), "wb", stderr)) {
            _exit(127);
        }
        execv(program.c_str(), argv.data());
        std::fprintf(stderr, "cannot run %s\n", program.c_str());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) {
        error = "lost the process";
        return false;
    }
    if (WIFEXITED(status)) {
        out.status = std::to_string(WEXITSTATUS(status)) + "\n";
    } else {
        out.status = "signal " + std::to_string(WTERMSIG(status)) + "\n";
    }
    out.console = MaskVarying(ReadFile(outPath), runDir.string());
    out.errors = MaskVarying(ReadFile(errPath), runDir.string());
    return true;
}

class CaseRun {
   public:
    CaseRun(const Options& o, fs::path dir) : o_(o), dir_(std::move(dir)) {}

    // 0 passed (or recorded), 1 failed, 2 skipped.
    int Execute(bool namedDirectly) {
        name_ = dir_.filename().string();
        if (o_.update && !namedDirectly && fs::exists(dir_ / kExpectedFailFile)) {
            std::printf("golden %s: skipped, its expectation is kept by hand (%s)\n", name_.c_str(),
                        kExpectedFailFile);
            return kSkipped;
        }
        scratch_ = fs::temp_directory_path() /
                   ("valdrix_golden_" + std::to_string(getpid()) + "_" + name_);
        runDir_ = scratch_ / "run";
        std::error_code ec;
        fs::remove_all(scratch_, ec);
        fs::create_directories(runDir_);
        const int result = RunAndCheck();
        if (o_.keep) {
            std::printf("golden %s: scratch folder kept at %s\n", name_.c_str(), scratch_.c_str());
        } else {
            fs::remove_all(scratch_, ec);
        }
        return result;
    }

   private:
    int RunAndCheck() {
        std::set<std::string> inputs;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string file = entry.path().filename().string();
            if (file == kCommandLineFile || file == kExpectedFolder || file == kExpectedFailFile) {
                continue;
            }
            fs::copy(entry.path(), runDir_ / file, fs::copy_options::recursive);
            inputs.insert(file);
        }
        const std::vector<std::string> args = SplitArguments(ReadFile(dir_ / kCommandLineFile));
        if (args.empty()) return Fail("the file " + std::string(kCommandLineFile) + " is empty");

        RunOutput out;
        std::string error;
        if (!RunProgram(o_, args, scratch_, runDir_, out, error)) return Fail(error);
        for (const auto& entry : fs::directory_iterator(runDir_)) {
            const std::string file = entry.path().filename().string();
            // An input counts as output when the case expects it after the run: that is how a
            // case shows a run leaving an earlier file as it was, or what it wrote over it.
            const bool expectedAfter = fs::exists(dir_ / kExpectedFolder / file);
            if ((!inputs.count(file) || expectedAfter) && entry.is_regular_file()) {
                out.files.push_back(file);
            }
        }
        std::sort(out.files.begin(), out.files.end());
        return o_.update ? Record(out) : Compare(out);
    }

    // The run's text for one expectation file; false when the run did not produce it.
    bool Actual(const RunOutput& out, const std::string& file, std::string& text) const {
        if (file == kConsoleFile)
            text = out.console;
        else if (file == kStatusFile)
            text = out.status;
        else if (file == kErrorFile)
            text = out.errors;
        else if (std::count(out.files.begin(), out.files.end(), file) != 0) {
            text = MaskVarying(ReadFile(runDir_ / file), runDir_.string());
        } else {
            return false;
        }
        return file != kErrorFile || !text.empty();
    }

    int Compare(const RunOutput& out) {
        const fs::path expectedDir = dir_ / kExpectedFolder;
        if (!fs::is_directory(expectedDir))
            return Fail("no expectations; record them with --update");
        std::vector<std::string> expectedFiles;
        for (const auto& entry : fs::directory_iterator(expectedDir)) {
            expectedFiles.push_back(entry.path().filename().string());
        }
        std::sort(expectedFiles.begin(), expectedFiles.end());
        std::string report;
        for (const std::string& file : expectedFiles) {
            std::string actual;
            if (!Actual(out, file, actual)) {
                report += file + ": expected, but the run did not produce it\n";
                continue;
            }
            const std::string diff = DiffTexts(
                MaskVarying(ReadFile(expectedDir / file), runDir_.string()), actual, o_.tolerance);
            if (!diff.empty()) report += "--- expected/" + file + "\n+++ actual\n" + diff;
        }
        auto recorded = [&](const std::string& file) {
            return std::count(expectedFiles.begin(), expectedFiles.end(), file) != 0;
        };
        for (const std::string& file : out.files) {
            if (AlwaysRecorded(file) && !recorded(file)) {
                report += file + ": written by the run but not in the expectations\n";
            }
        }
        if (!out.errors.empty() && !recorded(kErrorFile)) {
            report += "the run wrote to stderr, which the expectations do not hold:\n" + out.errors;
        }
        if (!report.empty()) {
            std::printf("golden %s: FAILED (numbers within %g relative, %g absolute)\n%s",
                        name_.c_str(), o_.tolerance.relative, o_.tolerance.absolute,
                        report.c_str());
            return 1;
        }
        std::printf("golden %s: passed\n", name_.c_str());
        return 0;
    }

    int Record(const RunOutput& out) {
        const fs::path expectedDir = dir_ / kExpectedFolder;
        fs::create_directories(expectedDir);
        std::set<std::string> keep = {kConsoleFile, kStatusFile};
        if (!out.errors.empty()) keep.insert(kErrorFile);
        for (const std::string& file : out.files) {
            if (AlwaysRecorded(file) || fs::exists(expectedDir / file)) keep.insert(file);
        }
        for (const auto& entry : fs::directory_iterator(expectedDir)) {
            const std::string file = entry.path().filename().string();
            if (!keep.count(file)) {
                fs::remove(entry.path());
                std::printf("golden %s: %s no longer produced, removed\n", name_.c_str(),
                            file.c_str());
            }
        }
        for (const std::string& file : keep) {
            std::string text;
            Actual(out, file, text);
            WriteFile(expectedDir / file, text);
        }
        std::printf("golden %s: recorded\n", name_.c_str());
        return 0;
    }

    int Fail(const std::string& why) {
        std::printf("golden %s: FAILED: %s\n", name_.c_str(), why.c_str());
        return 1;
    }

    const Options& o_;
    fs::path dir_;
    std::string name_;
    fs::path scratch_;
    fs::path runDir_;
};

const char* const kUsage =
    "usage: valdrix_golden [--valdrix PROGRAM] [--update] [--keep] [--rel-tol X] [--abs-tol X]\n"
    "                      CASE_OR_FOLDER...\n"
    "  Runs each case (a folder holding a file named cmdline) and compares its output with the\n"
    "  case's expected/ folder; a folder of cases runs every case in it.\n"
    "  --update   records the output as the new expectation instead of comparing\n"
    "  --keep     keeps the scratch folders of the runs\n";

bool ParseOptions(int argc, char** argv, Options& o) {
#ifdef VALDRIX_GOLDEN_PROGRAM
    o.valdrix = VALDRIX_GOLDEN_PROGRAM;
#endif
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--update") {
            o.update = true;
        } else if (a == "--keep") {
            o.keep = true;
        } else if (a == "--valdrix" || a == "--rel-tol" || a == "--abs-tol") {
            const char* v = next();
            if (v == nullptr) return false;
            if (a == "--valdrix")
                o.valdrix = v;
            else if (a == "--rel-tol")
                o.tolerance.relative = std::atof(v);
            else
                o.tolerance.absolute = std::atof(v);
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            o.paths.push_back(a);
        }
    }
    return !o.paths.empty() && !o.valdrix.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    o.valdrix = fs::absolute(o.valdrix).string();
    int tally[3] = {0, 0, 0};  // by what Execute returns
    for (const std::string& path : o.paths) {
        const fs::path dir = fs::absolute(path);
        if (fs::exists(dir / kCommandLineFile)) {
            ++tally[CaseRun(o, dir).Execute(true)];
            continue;
        }
        std::vector<fs::path> found;
        if (fs::is_directory(dir)) {
            for (const auto& entry : fs::directory_iterator(dir)) {
                if (fs::exists(entry.path() / kCommandLineFile)) found.push_back(entry.path());
            }
        }
        if (found.empty()) {
            std::fprintf(stderr, "valdrix_golden: no cases in %s\n", path.c_str());
            return 2;
        }
        std::sort(found.begin(), found.end());
        for (const fs::path& c : found) ++tally[CaseRun(o, c).Execute(false)];
    }
    std::printf("%d golden cases %s, %d failed", tally[0], o.update ? "recorded" : "passed",
                tally[1]);
    if (tally[kSkipped] > 0) std::printf(", %d skipped", tally[kSkipped]);
    std::printf("\n");
    return tally[1] == 0 ? 0 : 1;
}
