#include "core/symbolic/jacobian_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/eval/constant_fold.h"
#include "core/lang/code_string.h"
#include "core/symbolic/differentiate.h"
#include "core/symbolic/sum_index.h"
#include "core/symbolic/symbolic_messages.h"

namespace {

constexpr const char* kEndLine = "   0   0   0";

std::string JacobianName(const CoreState& s) {
    return s.files.baseName + extension::kJacobian;
}

// ---- Writing ------------------------------------------------------------------------------

// The value the reader takes from a value's text (strtod's result: from_chars gives the same
// correctly rounded number, and strtod is asked where from_chars declines, as for a number
// below the normal range).
void ReadBack(std::string_view text, double& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec == std::errc{} && r.ptr == text.data() + text.size()) return;
    const std::string copy(text);
    value = std::strtod(copy.c_str(), nullptr);
}

// A value's text in the file and the number that text reads back as. Nearly every node of a
// large Jacobian holds one of a few values (0 for each variable and operator, small
// coefficients), and formatting and reading back were a third of writing a dense model's file;
// a small cache indexed by the value's bits gives the same text at once.
struct ValueText {
    std::uint64_t bits = 0;
    int digits = -1;
    double readBack = 0.0;
    std::string text;
};

const ValueText& TextOfValue(double value, int digits) {
    constexpr int kIndexBits = 10;
    static thread_local std::array<ValueText, std::size_t{1} << kIndexBits> cache;
    // Small integers differ only in the top bits of a double; a multiplicative hash spreads
    // them over the whole cache.
    const auto bits = std::bit_cast<std::uint64_t>(value);
    ValueText& slot = cache[(bits * 0x9E3779B97F4A7C15u) >> (64 - kIndexBits)];
    if (slot.digits == digits && slot.bits == bits) return slot;
    slot.bits = bits;
    slot.digits = digits;
    slot.text = ExponentText(value, digits);
    slot.readBack = value;
    if (value != 0.0) ReadBack(slot.text, slot.readBack);
    return slot;
}

void AppendRightAligned(std::string& out, std::string_view text, std::size_t width) {
    if (text.size() < width) out.append(width - text.size(), ' ');
    out.append(text);
}

// Appends the text of one record to out, in the layout the text-file layer gives the fields one
// by one ("%7d %7d", then per node "%c%c %7d %14.*E"), and returns the derivative as the file
// gives it back: the same nodes, every value the number its text reads as, and a ';' at the
// end (null for a record without nodes). The digits are those of the file, so the run that
// wrote the file can solve with this copy instead of reading the file again.
CodeNode* AppendRecord(CoreState& s, std::string& out, int equation, int variable,
                       const CodeNode* derivative) {
    const int digits = std::max(1, s.k.internalAccuracy);
    AppendRightAligned(out, DecimalText(equation), 7);
    out += ' ';
    AppendRightAligned(out, DecimalText(variable), 7);
    out += '\n';
    CodeNode* copy = nullptr;
    CodeNode** tail = &copy;
    for (const CodeNode* n = derivative; n != nullptr; n = n->next) {
        if (n->kind == kKindDeleted || n->kind == kKindEnd) continue;
        out += static_cast<char>(n->kind);
        out += static_cast<char>(n->sub);
        out += ' ';
        AppendRightAligned(out, DecimalText(n->var), 7);
        out += ' ';
        // All the digits the run keeps internally: with fewer, an exact Jacobian term such as
        // a coefficient 1/3 would come back rounded and Newton would lose its quadratic rate.
        const ValueText& value = TextOfValue(n->value, digits);
        AppendRightAligned(out, value.text, 14);
        out += '\n';
        *tail = MakeNode(s.pool, n->kind, n->sub, n->var, value.readBack, 0, nullptr);
        tail = &(*tail)->next;
    }
    out += ";\n";
    if (copy != nullptr) *tail = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    return copy;
}

// Variable numbers of an equation in the order they are first met walking from the head. The
// scatter marks of the solver, clear outside an elimination, record the variables met.
std::vector<int> VariablesOf(CoreState& s, const CodeNode* code) {
    std::vector<int> found;
    std::vector<char>& seen = s.solve.workMark;
    for (const CodeNode* n = code; n != nullptr; n = n->next) {
        if (n->kind != kKindVar || n->var <= 0) continue;
        const auto v = static_cast<std::size_t>(n->var);
        if (v >= seen.size() || seen[v]) continue;
        seen[v] = 1;
        found.push_back(n->var);
    }
    for (int v : found) seen[static_cast<std::size_t>(v)] = 0;
    return found;
}

// Writes the records of one equation and holds their derivatives. Its code is turned to parse
// form for the walk and back again, so the model is unchanged afterwards.
void DifferentiateEquation(CoreState& s, int e, bool show, std::string& text) {
    Equation& eq = s.model.eq[e];
    CodeNode* head = ToPrefix(eq.code);
    // In parse form the ';' that ends the equation comes first; the expression follows it.
    CodeNode* root = (head != nullptr && head->kind == kKindEnd) ? head->next : head;
    const std::vector<int> variables = VariablesOf(s, head);
    // All the records of one equation together stay within one derivative's bound, so the file
    // grows with the code, not with its size times its variables.
    long budget = DerivativeNodeBudget(root);
    SumIndex sums;
    BuildSumIndex(s, root, sums, variables.size() >= kFewestIndexedVariables);
    if (show) {
        ConsoleWriteLine(s.console);
        ConsoleWriteInt(s.console, e);
    }
    text.clear();
    for (int v : variables) {
        if (show) {
            ConsoleWrite(s.console, symbolic_message::kWithRespectTo);
            ConsoleWrite(s.console, s.names.name[v]);
        }
        CodeNode* derivative = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
        bool halted = false;
        Differentiate(s, root, v, sums, derivative, &halted);
        if (halted) {  // too large, or cancelled: the equation's records stay unwritten
            FreeList(s.pool, derivative);
            break;
        }
        // Built in evaluation form with the ';' last; folding wants parse form.
        derivative = Reverse(derivative);
        ConstantFold(s, derivative);
        derivative = Reverse(derivative);
        budget -= CountNodes(derivative);
        if (budget < 0) {
            FreeList(s.pool, derivative);
            ConsoleWriteLine(s.console);
            ConsoleWrite(s.console, symbolic_message::kDerivativeTooLarge);
            StopWithError(s);
            break;
        }
        s.solve.heldJacobian.push_back({e, v, AppendRecord(s, text, e, v, derivative)});
        FreeList(s.pool, derivative);
    }
    WriteString(s.files.jacobian, text);
    eq.code = ToPostfix(head);
}

// ---- Reading ------------------------------------------------------------------------------

// Line-wise reading with a cursor, so that header numbers may be spread over lines while
// node lines, whose sub byte may be anything (a blank included), are taken whole.
class RecordReader {
   public:
    explicit RecordReader(TextFile& f) : f_(f) {}

    // Next integer, skipping blanks and line ends; false at the end of the file or, with
    // bad set, at text that is not a number.
    bool Integer(long& value, bool& bad) {
        for (;;) {
            while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
            if (pos_ < line_.size()) break;
            if (!NextLine()) return false;
        }
        const char* start = line_.c_str() + pos_;
        char* end = nullptr;
        value = std::strtol(start, &end, 10);
        if (end == start) {
            bad = true;
            return false;
        }
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    // The next line as a whole; whatever is left of the current one is dropped.
    bool Line(std::string& out) {
        if (!NextLine()) return false;
        out = line_;
        pos_ = line_.size();
        return true;
    }

   private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; }
    bool NextLine() {
        if (!ReadWholeLine(f_, line_)) return false;
        pos_ = 0;
        return true;
    }

    TextFile& f_;
    std::string line_;
    std::size_t pos_ = 0;
};

// Parses one node line: kind, sub, blank, var, blank, value.
bool ParseNode(const std::string& line, NodeKind& kind, unsigned char& sub, int& var,
               double& value) {
    if (line.size() < 3) return false;
    const char first = line[0];
    if (first != kKindBinary && first != kKindUnary && first != kKindConst && first != kKindVar) {
        return false;
    }
    kind = static_cast<NodeKind>(first);
    sub = static_cast<unsigned char>(line[1]);
    const char* numbers = line.c_str() + 2;
    char* end = nullptr;
    const long v = std::strtol(numbers, &end, 10);
    if (end == numbers || v < -0x7fffffffL || v > 0x7fffffffL) return false;
    const char* real = end;
    value = std::strtod(real, &end);
    if (end == real) return false;
    // Anything after the value but blanks means the line is damaged, not a number to round.
    for (; *end != '\0'; ++end) {
        if (*end != ' ' && *end != '\t' && *end != '\r') return false;
    }
    var = static_cast<int>(v);
    return true;
}

// Reads the node lines of one record up to its ";" into a list in evaluation form that ends
// with a ';' node (null for a record without nodes). The nodes must make one expression, so
// that no damaged file can drive the evaluator's stack out of bounds. False for a damaged
// record, whose nodes are then freed.
bool ReadCode(CoreState& s, RecordReader& in, CodeNode*& code) {
    code = nullptr;
    CodeNode** tail = &code;
    int depth = 0;  // complete operands on hand
    bool ok = true;
    std::string line;
    for (;;) {
        if (!in.Line(line)) {  // the file ended inside the record
            ok = false;
            break;
        }
        if (line.empty()) continue;
        if (line[0] == kKindEnd) break;
        NodeKind kind = kKindDeleted;
        unsigned char sub = 0;
        int var = 0;
        double value = 0.0;
        if (!ParseNode(line, kind, sub, var, value)) {
            ok = false;
            break;
        }
        if (kind == kKindBinary) {
            ok = depth >= 2;
            --depth;
        } else if (kind == kKindUnary) {
            ok = depth >= 1;
        } else {
            ++depth;
        }
        if (!ok) break;
        *tail = MakeNode(s.pool, kind, sub, var, value, 0, nullptr);
        tail = &(*tail)->next;
    }
    if (ok && code != nullptr && depth != 1) ok = false;
    if (!ok) {
        FreeList(s.pool, code);
        code = nullptr;
        return false;
    }
    if (code != nullptr) *tail = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    return true;
}

void FileIncorrect(CoreState& s) {
    ConsoleWrite(s.console, symbolic_message::kFileIncorrect);
    StopWithError(s);
}

bool InRange(long n, long last, std::size_t tableSize) {
    return n >= 1 && n <= last && static_cast<std::size_t>(n) < tableSize;
}

// An entry at the head of its row; the diagonal entry as well when variable = equation.
void AddEntry(SolveState& solve, int e, int v, CodeNode* code) {
    JacobianEntry* entry = solve.entries.allocate();
    entry->equation = e;
    entry->variable = v;
    entry->code = code;
    entry->nextInRow = solve.rowHead[e];
    solve.rowHead[e] = entry;
    if (e == v) solve.diagonal[e] = entry;
}

// Frees the rows' entries; the records a build holds stay.
void FreeRows(CoreState& s) {
    SolveState& solve = s.solve;
    for (JacobianEntry*& head : solve.rowHead) {
        for (JacobianEntry* entry = head; entry != nullptr; entry = entry->nextInRow) {
            FreeList(s.pool, entry->code);
            entry->code = nullptr;
        }
        head = nullptr;
    }
    for (JacobianEntry*& d : solve.diagonal) d = nullptr;
    for (JacobianEntry*& c : solve.columnHead) c = nullptr;
    solve.entries.reset();
}

}  // namespace

void BuildJacobianFile(CoreState& s) {
    FreeHeldJacobian(s);
    TextFile& f = s.files.jacobian;
    Assign(f, JacobianName(s));
    const bool opened = RewriteWorkFile(s, f);
    ConsoleWriteLine(s.console);

    const int count = s.model.count;
    int done = 0;
    bool escape = false;
    std::string text;  // the records of one equation, written at once
    if (opened) {
        for (int e = 1; e <= count && !escape && !s.flags.stop; ++e) {
            if (static_cast<std::size_t>(e) >= s.model.eq.size()) break;
            DifferentiateEquation(s, e, s.shell->ShowDerivativeInformation(), text);
            ++done;
            // Any other key is consumed and ignored; only ESC ends the build.
            if (CancelRequested(s)) escape = true;
        }
    }
    // The end line is written whatever happened, so the reader always finds the file's end.
    bool written = false;
    if (opened) {
        WriteString(f, kEndLine);
        WriteLine(f);
        Close(f);
        written = WorkFileWritten(s, f);
    }

    if (done == count && !s.flags.stop && written) {
        s.flags.jacobianNeeded = false;
        s.solve.jacobianHeld = true;
    } else {
        FreeHeldJacobian(s);  // the next read takes what the file holds
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, symbolic_message::kIncomplete);
        WarningBeep(s);
        s.flags.jacobianNeeded = true;
    }
}

bool ReadJacobianFile(CoreState& s) {
    // Entries left from an earlier read would be unreachable once the rows are cleared.
    FreeRows(s);
    SolveState& solve = s.solve;
    // Once the model has changed since the build the file is out of date as well; it is read
    // all the same, as it always was, and the held copy is no longer of use.
    if (s.flags.jacobianNeeded) FreeHeldJacobian(s);
    if (solve.jacobianHeld) {
        // What the file holds, without reading it: the records this run wrote last.
        for (const JacobianTerm& r : solve.heldJacobian) {
            if (!InRange(r.equation, s.model.count, solve.rowHead.size()) ||
                !InRange(r.variable, s.names.variableCount, solve.columnHead.size())) {
                FreeList(s.pool, r.code);
                continue;
            }
            AddEntry(solve, r.equation, r.variable, r.code);
        }
        solve.heldJacobian.clear();
        solve.jacobianHeld = false;
        return true;
    }
    TextFile& f = s.files.jacobian;
    Assign(f, JacobianName(s));
    if (!InputFileUsableOrMissing(s, f.name, kMaxJacobianFileBytes)) {
        FileIncorrect(s);
        return false;
    }
    Reset(f);
    if (!IsOpen(f)) {
        FileIncorrect(s);
        return false;
    }

    RecordReader in(f);
    bool bad = false;
    bool ended = false;  // the end line was met: the file was written whole
    for (;;) {
        long e = 0;
        long v = 0;
        if (!in.Integer(e, bad)) break;
        if (e == 0) {
            ended = true;
            break;
        }
        if (!in.Integer(v, bad)) break;
        CodeNode* code = nullptr;
        if (!ReadCode(s, in, code)) {
            bad = true;
            break;
        }
        if (!InRange(e, s.model.count, solve.rowHead.size()) ||
            !InRange(v, s.names.variableCount, solve.columnHead.size())) {
            FreeList(s.pool, code);  // left by a model with more equations or variables
            continue;
        }
        AddEntry(solve, static_cast<int>(e), static_cast<int>(v), code);
    }
    Close(f);
    if (bad || !ended) {
        FreeJacobianRows(s);
        FileIncorrect(s);
        return false;
    }
    return true;
}

bool ReadJacobianRecords(CoreState& s, TextFile& file, std::vector<JacobianRecord>& records) {
    RecordReader in(file);
    bool bad = false;
    for (;;) {
        long e = 0;
        long v = 0;
        if (!in.Integer(e, bad) || e == 0) break;
        if (!in.Integer(v, bad)) break;
        CodeNode* code = nullptr;
        if (!ReadCode(s, in, code) || e < 0 || v < 0 || e > 0x7fffffffL || v > 0x7fffffffL) {
            FreeList(s.pool, code);
            return false;
        }
        records.push_back({static_cast<int>(e), static_cast<int>(v), code});
    }
    return !bad;
}

void FreeJacobianRows(CoreState& s) {
    FreeRows(s);
    FreeHeldJacobian(s);
}

void FreeHeldJacobian(CoreState& s) {
    for (const JacobianTerm& r : s.solve.heldJacobian) FreeList(s.pool, r.code);
    s.solve.heldJacobian.clear();
    s.solve.jacobianHeld = false;
}
