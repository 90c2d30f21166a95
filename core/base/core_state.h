#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/base/bounds.h"
#include "core/base/code_node.h"
#include "core/base/console.h"
#include "core/base/equation_model.h"
#include "core/base/eval_state.h"
#include "core/base/extensions.h"
#include "core/base/limits.h"
#include "core/base/modes.h"
#include "core/base/name_table.h"
#include "core/base/parser_state.h"
#include "core/base/random.h"
#include "core/base/settings.h"
#include "core/base/shell_services.h"
#include "core/base/solve_state.h"
#include "core/base/text_file.h"
#include "core/base/update_state.h"

// Flags of one run.
struct RunFlags {
    bool parseError = false;         // the compiler rejected the text
    bool recompile = false;          // equations must be compiled again before solving
    bool jacobianNeeded = true;      // the symbolic Jacobian file is missing or out of date
    bool jacobianRequested = false;  // an advanced operation needs the Jacobian first
    bool stop = false;               // the run is being abandoned after an error
    bool solved = false;             // the last solve found a solution (survives runs)
    IfMode ifMode = IfMode::kMasks;  // how the branches of IF constructs are chosen
    bool notFound = false;           // the last iteration did not find a solution
    bool cancelled = false;          // ESC or the desktop's Cancel ended the run early
    bool writeFailed = false;        // a work or result file could not be written whole
    bool resultPending = false;      // the result file is named, still the last run's results
    bool solveRan = false;           // a solve loop ran in this run: solved is this run's result
    bool commandDone = false;        // the run's command did its work (set as the run ends)
};

// The files of a run, named from the document's base name.
struct RunFiles {
    explicit RunFiles(IoContext* io) : source(io), work(io), result(io), jacobian(io), update(io) {}
    std::string documentPath;  // the equation document as the shell named it
    std::string baseName;      // document path up to the first '.' of its file name
    TextFile source;           // the equation document
    TextFile work;             // base.TMP (or .SJC, .KTK): what the compiler reads
    TextFile result;           // base.PRN (or .FFT): the solution table
    TextFile jacobian;         // base.JAC
    TextFile update;           // the attachment of repetitive updates
};

// All state of the solver core. The entry points of entry.h use one process-wide instance;
// tests build their own.
struct CoreState {
    explicit CoreState(const Limits& limits = Limits{});
    CoreState(const CoreState&) = delete;
    CoreState& operator=(const CoreState&) = delete;

    Limits limits;                      // table sizes
    SolverSettings settings;            // copied from the shell, overridden by the options line
    RunConstants k;                     // per-run constants
    RunFlags flags;                     // per-run flags
    NodePool pool;                      // storage of every code node
    NameTable names;                    // variables and their values
    EquationModel model;                // compiled equations
    EvalState eval;                     // evaluator stack
    ParserState parser;                 // compiler state
    SolveState solve;                   // numerical solution state
    UpdateState updates;                // repetitive updates and the last solution
    IoContext io;                       // shared text-file state
    RunFiles files;                     // the run's files
    Console console;                    // message sink
    DefaultShellServices defaultShell;  // used while no shell is installed
    ShellServices* shell;               // dialogs, flags and keyboard of the application
    Random rng;                         // starting values and random IF combinations
    std::string message;                // the global error message (first error wins)
    bool keepMessage = false;  // trial evaluations (constant folding) leave the message alone
};

// Sizes every table for the capacity setting (Limits::ForCapacity) when the tables were made
// for another one. Only between runs or before a compile: the equations' code is freed, the
// names cleared. Limits given to the constructor stay until the setting differs from the
// capacity they were made for.
void ApplyCapacity(CoreState& s);

// After a message of the size limits, the text of one more console line (without line ends)
// that says how to pass the limit: "(limit 25 equations; raise it with the CAPACITY option to
// 473)". needed is the capacity the document needs (0 when it is not known, above
// Limits::kMaxCapacity when no capacity is enough).
enum class LimitKind { kEquations, kVariables };
void WriteCapacityHint(CoreState& s, LimitKind kind, long needed);

// Error signalling shared by the whole core.
void WarningBeep(CoreState& s);
// A line end followed by "Error ...".
void ErrorTail(CoreState& s);
// Sets the stop flag, beeps and writes the error tail.
void StopWithError(CoreState& s);
// Beeps and writes the error tail of a fault that does not stop the run (a code list that
// ends early or holds a byte that is no code).
void ReportRunError(CoreState& s);
// Stores message as the global message unless flag is already up, then raises flag.
void RaiseError(CoreState& s, bool& flag, const char* message);

// Whether a solve of this run found its solution; `solved` alone may be an earlier run's.
inline bool SolvedThisRun(const CoreState& s) {
    return s.flags.solveRan && s.flags.solved;
}

// Opens a work file of the run, already named, for writing; it is rebuilt whole every time. When
// it cannot be opened (a folder of that name is in the way, which is left alone, or the system
// refuses) the console says so with a beep, and the result is false.
bool RewriteWorkFile(CoreState& s, TextFile& file);

// Whether everything written to a work file since it was opened reached it. When a write
// failed (a full disk, a file grown past what the system allows) the console names the file
// and why with a beep, the run is marked as one whose output is incomplete, and the result is
// false. Call after the file's last write or after closing it.
bool WorkFileWritten(CoreState& s, TextFile& file);

// Whether a file the run is to read (the document, an attachment, a result series) can be
// read without blocking or without end: it must be a plain file of at most `limit` bytes; a
// pipe would hold the run forever and a device never end. Otherwise the console says what is
// wrong ("File <name> Does Not Exist", "... Is a Folder", "... Is Not a Plain File", "... Is
// Too Large") with a beep, and the result is false.
bool InputFileUsable(CoreState& s, const std::string& name,
                     std::uintmax_t limit = kMaxDocumentBytes);
// The same for a file whose absence the caller reports in its own words (or not at all): true
// also when nothing stands under the name.
bool InputFileUsableOrMissing(CoreState& s, const std::string& name,
                              std::uintmax_t limit = kMaxDocumentBytes);
// The console's report of a file that is not to be read, as InputFileUsable gives it.
void ReportUnusableInput(CoreState& s, const std::string& name, InputFileState state,
                         std::uintmax_t limit = kMaxDocumentBytes);

// The keyboard poll inside a run: true once ESC was pressed (or the desktop's Cancel given).
// The cancel is remembered for the rest of the run and raises the stop flag, so every loop
// that tests the flag ends; the run keeps what it has written so far. Cheap enough to call
// once per Newton iteration and group.
bool CancelRequested(CoreState& s);
