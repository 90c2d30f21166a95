#include "core/lang/save_equations.h"

#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"
#include "core/lang/writer.h"

namespace {

// The relation that opens a statement at its top level decides what it is; 0xF3 is left out
// because it is also a letter of names.
bool IsTopRelation(unsigned char c) {
    return c == '=' || c == '<' || c == '>' || c == kRelationRetired || c == kRelationGuess ||
           c == 0xF2;
}

// Copies the comment that starts at text[i] ('{') to `to` and moves i past it, closing it
// when the text ends inside it.
void CopyComment(const std::string& text, std::size_t& i, std::string& to) {
    const auto close = text.find('}', i);
    if (close == std::string::npos) {
        to.append(text, i, std::string::npos);
        to += '}';
        i = text.size();
    } else {
        to.append(text, i, close - i + 1);
        i = close + 1;
    }
}

bool ReadWorkCopy(CoreState& s, std::string& text) {
    TextFile in(&s.io);
    in.status |= file_status::kNoReport;  // a failure is reported by the caller
    Assign(in, s.files.baseName + ".TMP");
    Reset(in);
    if (!IsOpen(in)) Reset(in);  // tried twice, as every reopen of a work file
    if (!IsOpen(in)) return false;
    std::string line;
    while (ReadWholeLine(in, line)) {
        text += line;
        text += '\n';
    }
    Close(in);
    return true;
}

class Saver {
   public:
    Saver(CoreState& s, EquationText& out) : s_(s), out_(out) {
        style_.big = s.k.largest;
        style_.linkedPrefix = true;  // start values of time steps keep their variables
    }

    // The next equation of the model; a retired one takes its statement but is not written.
    // One that is only marked for elimination is written with its mark.
    void WriteNext() {
        if (next_ > s_.model.count) return;
        Equation& eq = s_.model.eq[next_++];
        if (!eq.retired) WriteEquation(s_, eq.code, eq.relation, out_, style_);
    }

    void WalkStatements(const std::string& text) {
        std::size_t i = 0;
        const std::size_t n = text.size();
        while (i < n) {
            std::string lead;
            while (i < n) {
                const auto c = static_cast<unsigned char>(text[i]);
                if (c == '{') {
                    CopyComment(text, i, lead);
                } else if (IsBlankChar(c)) {
                    lead += text[i++];
                } else if (c == '}') {
                    ++i;  // a stray closing brace means nothing to the compiler
                } else {
                    break;
                }
            }
            out_.Put(lead);
            if (i >= n) break;

            std::string inner;
            int depth = 0;
            bool relationSeen = false;
            bool guess = false;
            while (i < n && text[i] != ';') {
                const auto c = static_cast<unsigned char>(text[i]);
                if (c == '{') {
                    CopyComment(text, i, inner);
                    continue;
                }
                if (c == '(') ++depth;
                if (c == ')') --depth;
                if (!relationSeen && depth == 0 && IsTopRelation(c)) {
                    relationSeen = true;
                    guess = c == kRelationGuess;
                }
                ++i;
            }
            if (i < n) ++i;  // the ';'
            if (!guess) WriteNext();
            out_.Put(inner);
        }
    }

    void WriteRest() {
        if (next_ > s_.model.count) return;
        if (out_.column > 0) out_.LineEnd();
        while (next_ <= s_.model.count) {
            WriteNext();
            if (out_.column > 0) out_.LineEnd();
        }
    }

   private:
    CoreState& s_;
    EquationText& out_;
    WriterStyle style_;
    int next_ = 1;
};

// A starting value of a variable that no written equation refers to would bring it back as an
// unknown without an equation.
std::vector<int> UsedVariables(const CoreState& s, const std::vector<int>& variables) {
    std::vector<char> used(s.names.name.size(), 0);
    for (int e = 1; e <= s.model.count; ++e) {
        if (s.model.eq[e].retired) continue;
        for (const CodeNode* n = s.model.eq[e].code; n != nullptr; n = n->next) {
            if (n->kind == kKindVar && n->var > 0 && n->var < static_cast<int>(used.size()))
                used[n->var] = 1;
        }
    }
    std::vector<int> kept;
    for (int v : variables) {
        if (used[v]) kept.push_back(v);
    }
    return kept;
}

void SignalError(CoreState& s, const char* message) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, message);
    StopWithError(s);
}

}  // namespace

bool SaveEquations(CoreState& s, const SaveOptions& options) {
    ConsoleWrite(s.console, save_message::kSaving);
    const std::string name =
        options.fileName.empty() ? s.files.baseName + ".SJC" : options.fileName;

    std::string text;
    if (options.keepText && !ReadWorkCopy(s, text)) {
        SignalError(s, save_message::kResetError);
        return false;
    }
    TextFile file(&s.io);
    file.status |= file_status::kNoReport;
    Assign(file, name);
    Rewrite(file);
    if (!IsOpen(file)) {
        SignalError(s, save_message::kUnableToOpen);
        return false;
    }
    file.status &= ~file_status::kNoReport;  // write errors are the text-file layer's to report
    {
        EquationText out(file);
        Saver saver(s, out);
        if (options.keepText) saver.WalkStatements(text);
        saver.WriteRest();
        if (options.withValues) {
            std::vector<int> guessed = AllVariables(s);
            if (options.guessedVariables >= 0 &&
                static_cast<int>(guessed.size()) > options.guessedVariables) {
                guessed.resize(static_cast<std::size_t>(options.guessedVariables));
            }
            if (options.guessUsedOnly) guessed = UsedVariables(s, guessed);
            WriteGuesses(s, out, guessed, true, s.k.outputPrecision);
        }
    }
    Close(file);
    ConsoleWrite(s.console, save_message::kSaved);
    ConsoleWrite(s.console, name);
    ConsoleWriteLine(s.console);
    return file.error == 0;
}
