#include "core/symbolic/jacobian_outputs.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/lang_messages.h"
#include "core/lang/number_text.h"
#include "core/lang/save_equations.h"
#include "core/lang/writer.h"
#include "core/symbolic/jacobian_file.h"
#include "core/symbolic/symbolic_messages.h"

namespace {

namespace msg = jacobian_output_message;

constexpr int kTermLineLimit = 60;  // a term starts a new line once the counter passes it
constexpr int kDerivativeColumn = 26;
constexpr char kIncrement = '\xE4';  // before a name: the increment of that variable

std::string Padded(int n) {
    char text[24];
    std::snprintf(text, sizeof text, "%7d", n);
    return text;
}

std::string Name(const CoreState& s, int v) {
    return v >= 1 && v < static_cast<int>(s.names.name.size()) ? s.names.name[v] : std::string();
}

// The records of base.JAC that belong to the model, with their derivatives either kept as
// code or evaluated at the current values.
class Terms {
   public:
    explicit Terms(CoreState& s) : s_(s) {}
    Terms(const Terms&) = delete;
    Terms& operator=(const Terms&) = delete;
    ~Terms() {
        for (JacobianRecord& r : records_) FreeList(s_.pool, r.code);
    }

    bool Read(bool evaluate) {
        TextFile& f = s_.files.jacobian;
        Close(f);
        Assign(f, s_.files.baseName + ".JAC");
        if (!InputFileUsableOrMissing(s_, f.name, kMaxJacobianFileBytes)) {
            Fail(save_message::kResetError);
            return false;
        }
        const unsigned status = f.status;
        f.status |= file_status::kNoReport;  // a failure is reported below
        Reset(f);
        if (!IsOpen(f)) Reset(f);  // tried twice before it counts as failed
        f.status = (f.status & ~file_status::kNoReport) | (status & file_status::kNoReport);
        if (!IsOpen(f)) {
            Fail(save_message::kResetError);
            return false;
        }
        std::vector<JacobianRecord> all;
        const bool intact = ReadJacobianRecords(s_, f, all);
        Close(f);
        for (JacobianRecord& r : all) {
            if (r.equation > s_.model.count || r.variable > s_.names.variableCount ||
                r.equation < 1 || r.variable < 1) {
                FreeList(s_.pool, r.code);  // left by a larger model
                continue;
            }
            records_.push_back(r);
            values_.push_back(0.0);
            if (evaluate && r.code != nullptr) {
                bool error = false;
                values_.back() = Evaluate(s_, r.code, error);
            }
        }
        if (!intact) Fail(msg::kFileIncorrect);
        return intact;
    }

    // Entries of equation e, last read first (each record goes in front of its row).
    std::vector<int> Row(int e) const {
        return Select([e](const JacobianRecord& r) { return r.equation == e; });
    }
    std::vector<int> Column(int v) const {
        return Select([v](const JacobianRecord& r) { return r.variable == v; });
    }

    const JacobianRecord& record(int i) const { return records_[i]; }
    double value(int i) const { return values_[i]; }
    int size() const { return static_cast<int>(records_.size()); }

    // Writes the derivative of entry i as an expression.
    void WriteDerivative(int i, EquationText& out, const WriterStyle& style) {
        CodeNode*& code = records_[i].code;
        if (code == nullptr) {
            out.Token("0");
            return;
        }
        CodeNode* head = ToPrefix(code);
        WriteCode(s_, head->kind == kKindEnd ? head->next : head, out, style);
        code = ToPostfix(head);
    }

   private:
    template <class Pred>
    std::vector<int> Select(Pred pred) const {
        std::vector<int> picked;
        for (int i = size() - 1; i >= 0; --i) {
            if (pred(records_[i])) picked.push_back(i);
        }
        return picked;
    }

    void Fail(const char* message) {
        ConsoleWriteLine(s_.console);
        ConsoleWrite(s_.console, message);
        StopWithError(s_);
    }

    CoreState& s_;
    std::vector<JacobianRecord> records_;
    std::vector<double> values_;
};

WriterStyle StyleOf(const CoreState& s) {
    WriterStyle style;
    style.big = s.k.largest;
    return style;
}

// "+" before a value that is 0 or positive; a negative one brings its own sign.
std::string SignedNumber(const CoreState& s, double value) {
    const std::string text = ExactConstant(value, s.k.largest);
    return text[0] == '-' ? text : "+" + text;
}

// The expansion point, for people: inside a comment, short numbers.
void WriteExpansionPoint(CoreState& s, EquationText& out, const char* title) {
    out.Put("{");
    out.Put(title);
    out.LineEnd();
    WriteGuesses(s, out, AllVariables(s), false, s.k.outputPrecision);
    out.Put("}");
    out.LineEnd();
}

// An equation without terms still has to read as one.
void CloseSum(EquationText& out, bool empty) {
    out.Put(empty ? "0=0; " : "=0; ");
}

void Announce(CoreState& s, const char* text, const std::string& name) {
    ConsoleWrite(s.console, text);
    ConsoleWrite(s.console, name);
    ConsoleWriteLine(s.console);
}

}  // namespace

bool OpenOutputFile(CoreState& s, TextFile& out) {
    out.status |= file_status::kNoReport;  // reported below, in the run's own words
    Assign(out, s.files.baseName + ".SJC");
    Rewrite(out);
    if (IsOpen(out)) {
        out.status &= ~file_status::kNoReport;  // write errors are the text-file layer's to report
        return true;
    }
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, save_message::kUnableToOpen);
    WarningBeep(s);
    Assign(out, "");
    return false;
}

bool WriteSymbolicJacobian(CoreState& s) {
    Announce(s, msg::kSavingSymbolicJacobian, s.files.baseName + ".SJC");
    TextFile file(&s.io);
    if (!OpenOutputFile(s, file)) return false;
    const WriterStyle style = StyleOf(s);
    bool intact = false;
    {
        EquationText out(file);
        out.Put("{Original Equations: ");
        out.LineEnd();
        for (int e = 1; e <= s.model.count; ++e) {
            Equation& eq = s.model.eq[e];
            CodeNode* head = ToPrefix(eq.code);
            WriteCode(s, head != nullptr && head->kind == kKindEnd ? head->next : head, out, style);
            eq.code = ToPostfix(head);
            if (eq.relation != kRelationNone) {
                out.Put(std::string(1, static_cast<char>(eq.relation)) + "0; ");
            } else {
                out.Put("; ");
            }
            out.LineEnd();
        }
        out.Put("Jacobian Terms: }");
        out.LineEnd();

        Terms terms(s);
        intact = terms.Read(false);
        std::vector<int> withTerms;
        for (int i = 0; i < terms.size(); ++i) {
            const JacobianRecord& r = terms.record(i);
            out.Put("{d(eqn" + std::to_string(r.equation) + ")/d(" + Name(s, r.variable) + ")=} ");
            out.column = kDerivativeColumn;
            terms.WriteDerivative(i, out, style);
            out.Put(";");
            out.LineEnd();
            withTerms.push_back(r.variable);
        }
        // The terms are solved as equations; they start from the values the variables had
        // here, not from random values.
        std::sort(withTerms.begin(), withTerms.end());
        withTerms.erase(std::unique(withTerms.begin(), withTerms.end()), withTerms.end());
        WriteGuesses(s, out, withTerms, true, s.k.outputPrecision);
    }
    Close(file);
    if (intact) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, msg::kSymbolicJacobianFound);
        ConsoleWriteLine(s.console);  // the compile that usually follows starts a new line
    }
    return intact && file.error == 0;
}

bool WriteLinearizedEquations(CoreState& s) {
    TextFile file(&s.io);
    bool written = false;
    if (OpenOutputFile(s, file)) {
        Announce(s, msg::kSavingLinearized, s.files.baseName + ".SJC");
        Terms terms(s);
        const bool intact = terms.Read(true);
        {
            EquationText out(file);
            WriteExpansionPoint(s, out, "Equations Linearized Around:");
            int counter = 1;  // runs on across equations
            for (int e = 1; e <= s.model.count; ++e) {
                const std::vector<int> row = terms.Row(e);
                for (int i : row) {
                    if (counter > kTermLineLimit) {
                        out.LineEnd();
                        counter = 1;
                    }
                    const std::string number = SignedNumber(s, terms.value(i));
                    const std::string name = Name(s, terms.record(i).variable);
                    out.Put(number + "*" + kIncrement + name);
                    counter +=
                        std::max<int>(s.k.outputPrecision, static_cast<int>(number.size()) - 1) +
                        3 + static_cast<int>(name.size());
                }
                CloseSum(out, row.empty());
                out.Put("{eqn" + Padded(e) + "}");
                out.LineEnd();
            }
        }
        Close(file);
        written = intact && file.error == 0;
    }
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, msg::kEquationsLinearized);
    return written;
}

bool WriteSymbolicLinearized(CoreState& s, bool transposed) {
    TextFile file(&s.io);
    if (!OpenOutputFile(s, file)) return false;
    Announce(s, msg::kSavingSymbolicLinearized, s.files.baseName + ".SJC");
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, msg::kEquationsLinearized);
    const WriterStyle style = StyleOf(s);
    Terms terms(s);
    const bool intact = terms.Read(false);
    {
        EquationText out(file);
        int counter = 1;
        const int n = transposed ? s.names.variableCount : s.model.count;
        for (int k = 1; k <= n; ++k) {
            const std::vector<int> list = transposed ? terms.Column(k) : terms.Row(k);
            for (int i : list) {
                if (counter > kTermLineLimit) {
                    out.LineEnd();
                    counter = 1;
                }
                counter += 10;
                out.Put("+(");
                terms.WriteDerivative(i, out, style);
                out.Put(")*");
                const JacobianRecord& r = terms.record(i);
                if (transposed) {
                    out.Put("eqn" + Padded(r.equation));
                    counter += 5;
                } else {
                    const std::string name = Name(s, r.variable);
                    out.Put(std::string(1, kIncrement) + name);
                    counter += static_cast<int>(name.size()) + 3;
                }
            }
            CloseSum(out, list.empty());
            out.Put(transposed ? "{" + std::string(1, kIncrement) + Name(s, k) + "}"
                               : "{eqn" + Padded(k) + "}");
            out.LineEnd();
        }
    }
    Close(file);
    return intact && file.error == 0;
}

bool WriteTransposedLinearized(CoreState& s) {
    ConsoleWrite(s.console, msg::kSavingTransposed);
    TextFile file(&s.io);
    if (!OpenOutputFile(s, file)) return false;
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, msg::kSavingEquations);
    Terms terms(s);
    const bool intact = terms.Read(true);
    {
        EquationText out(file);
        WriteExpansionPoint(s, out, "Transposed Linearized Equations Around:");
        int counter = 1;
        // One equation per variable: the columns of the Jacobian.
        for (int k = 1; k <= s.names.variableCount; ++k) {
            const std::vector<int> column = terms.Column(k);
            for (int i : column) {
                if (counter > kTermLineLimit) {
                    out.LineEnd();
                    counter = 1;
                }
                const std::string number = SignedNumber(s, terms.value(i));
                out.Put(number + "*eqn" + Padded(terms.record(i).equation));
                counter +=
                    std::max<int>(s.k.outputPrecision, static_cast<int>(number.size()) - 1) + 7;
            }
            CloseSum(out, column.empty());
            out.Put("{" + Name(s, k) + "}");
            out.LineEnd();
            counter += static_cast<int>(Name(s, k).size()) + 5;
        }
    }
    Close(file);
    return intact && file.error == 0;
}

bool SymbolicOperation(CoreState& s, const char* keys) {
    const char key = keys != nullptr ? keys[0] : '\0';
    bool written = false;
    if (key != 'X') {
        if (s.settings.jacobianMode != JacobianMode::kSymbolic || s.flags.jacobianNeeded) {
            s.flags.jacobianRequested = true;
        } else if (key == 'J') {
            written = WriteSymbolicJacobian(s);
        } else if (key == 'L') {
            written = WriteLinearizedEquations(s);
        } else if (key == 'S') {
            written = WriteSymbolicLinearized(s, false);
        } else if (key == 'R') {
            written = WriteSymbolicLinearized(s, true);
        } else if (key == 'T') {
            written = WriteTransposedLinearized(s);
        }
    }
    s.flags.recompile = true;
    return written;
}
