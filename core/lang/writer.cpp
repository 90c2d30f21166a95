#include "core/lang/writer.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/function_traits.h"
#include "core/lang/lang_messages.h"
#include "core/lang/number_text.h"

namespace {

constexpr int kLooseBreakColumn = 68;  // past it, lines break after ' ', '=', '+', '-', ')'
constexpr int kTightBreakColumn = 72;  // past it, also after '*', '/', '^', '(', '@'
constexpr int kLastColumn = 80;        // no token is written across it
constexpr int kGuessColumn = 69;       // a guess starts a new line from here on
constexpr int kGuessesPerLine = 4;

constexpr int kRowPlus = 0, kRowMinus = 1, kRowTimes = 2, kRowDivide = 3, kRowPower = 4,
              kRowOther = 5;
constexpr int kClassNegation = 6, kClassConstant = 9, kClassNegativeConstant = 10;

// 1 = the operand is written as it is, 0 = it goes in parentheses; rows are the operator's
// class, columns the operand's.
constexpr char kRightPlain[6][12] = {
    {1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0}, {0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0},
    {0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0},
    {0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0},
};
constexpr char kLeftPlain[6][12] = {
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0},
    {0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0}, {0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0},
    {0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0},
};

bool EndsLooseBreak(char c) {
    return c == ' ' || c == '=' || c == '+' || c == '-' || c == ')';
}
bool EndsTightBreak(char c) {
    return c == '*' || c == '/' || c == '^' || c == '(' || c == '@';
}

std::string VariableText(const CoreState& s, const CodeNode* n) {
    std::string text = n->sub == kSubImaginary ? "\xDF" : "";
    if (n->var >= 1 && n->var < static_cast<int>(s.names.name.size())) text += s.names.name[n->var];
    return text;
}

// The nodes of one run in parse form with, for each, the index of the last node of its own
// run, found in one forward pass: an operator waits for its operands, a leaf completes every
// operator whose last operand it finishes.
class RunIndex {
   public:
    explicit RunIndex(const CodeNode* run) {
        struct Pending {
            int index;
            int operands;
        };
        std::vector<Pending> pending;
        for (const CodeNode* n = run; n != nullptr; n = n->next) {
            if (n->kind == kKindDeleted) continue;
            if (n->kind == kKindEnd) break;
            const int i = static_cast<int>(nodes_.size());
            nodes_.push_back(n);
            end_.push_back(i);
            const int arity = n->kind == kKindBinary ? 2 : n->kind == kKindUnary ? 1 : 0;
            if (arity > 0) {
                pending.push_back({i, arity});
                continue;
            }
            while (!pending.empty() && --pending.back().operands == 0) {
                end_[pending.back().index] = i;
                pending.pop_back();
            }
            if (pending.empty()) {
                complete_ = true;
                return;
            }
        }
    }
    bool complete() const { return complete_; }
    const CodeNode* node(int i) const { return nodes_[i]; }
    int end(int i) const { return end_[i]; }

   private:
    std::vector<const CodeNode*> nodes_;
    std::vector<int> end_;
    bool complete_ = false;
};

class CodeWriter {
   public:
    CodeWriter(CoreState& s, const RunIndex& index, EquationText& out, const WriterStyle& style)
        : s_(s), index_(index), out_(out), style_(style) {}

    void Write(int i) {
        const CodeNode* n = index_.node(i);
        switch (n->kind) {
            case kKindVar: out_.Token(VariableText(s_, n)); return;
            case kKindConst: out_.Token(LinkedPrefix(n) + ConstantText(n, style_)); return;
            case kKindUnary: WriteUnary(i); return;
            case kKindBinary: WriteBinary(i); return;
            case kKindEnd:
            case kKindDeleted: return;  // never indexed
        }
    }

   private:
    // The tie of a constant to a variable reads back from byte 0xB0 and the variable's name
    // in a comment right after it; a variable without a name cannot be named, so the
    // constant is written plain.
    std::string LinkedPrefix(const CodeNode* n) const {
        if (!style_.linkedPrefix || n->var == 0) return "";
        const int v = n->var < 0 ? -n->var : n->var;
        if (v >= static_cast<int>(s_.names.name.size()) || s_.names.name[v].empty()) return "";
        return "\xB0{" + s_.names.name[v] + "}";
    }

    void Operand(int i, bool plain) {
        if (!plain) out_.Token("(");
        Write(i);
        if (!plain) out_.Token(")");
    }

    void WriteUnary(int i) {
        const CodeNode* n = index_.node(i);
        if (n->sub == code::kNeg) {
            out_.Token("-");
            const int c = OperandClass(index_.node(i + 1));
            Operand(i + 1, !(c == kRowPlus || c == kRowMinus || c == kClassNegation ||
                             c == kClassNegativeConstant));
            return;
        }
        out_.Token(std::string(UnaryCodeName(n->sub)) + "(");
        Write(i + 1);
        out_.Token(")");
    }

    void WriteBinary(int i) {
        const CodeNode* n = index_.node(i);
        const int right = i + 1;
        const int left = index_.end(right) + 1;
        // A byte that is no code (from an edited Jacobian file) is written as an operator.
        const BinaryTraits* f = FindBinaryTraits(n->sub);
        switch (f != nullptr ? f->notation : Notation::kInfix) {
            case Notation::kIfThenElse: WriteIf(left, right); return;
            case Notation::kCall:
                out_.Token(std::string(f->name) + "(");
                Write(left);
                out_.Token(",");
                Write(right);
                out_.Token(")");
                return;
            case Notation::kInfix: {
                const int row = OperandClass(n);
                Operand(left, kLeftPlain[row][OperandClass(index_.node(left))]);
                out_.Token(std::string(1, static_cast<char>(n->sub)));
                Operand(right, kRightPlain[row][OperandClass(index_.node(right))]);
                return;
            }
        }
    }

    // The right operand of an IF is its THEN node, whose left operand is the value when the
    // condition holds and whose right operand the value otherwise.
    void WriteIf(int condition, int branches) {
        int whenTrue = branches, whenFalse = branches;
        const CodeNode* h = index_.node(branches);
        if (h->kind == kKindBinary && h->sub == code::kThen) {
            whenFalse = branches + 1;
            whenTrue = index_.end(whenFalse) + 1;
        }
        out_.Token("(");
        out_.Token("IF(");
        Write(condition);
        out_.Token(")");
        out_.Token(" THEN(");
        Write(whenTrue);
        out_.Token(")");
        out_.Token(" ELSE(");
        Write(whenFalse);
        out_.Token(")");
        out_.Token(")");
    }

    CoreState& s_;
    const RunIndex& index_;
    EquationText& out_;
    const WriterStyle& style_;
};

bool IsSingleVariable(const RunIndex& index, int i) {
    return index.node(i)->kind == kKindVar && index.end(i) == i;
}

// The relation that says the same of the negated residual.
unsigned char Mirrored(unsigned char relation) {
    if (relation == '<') return '>';
    if (relation == '>') return '<';
    if (relation == 0xF2) return 0xF3;
    if (relation == 0xF3) return 0xF2;
    return relation;
}

// 0xF3 is also a letter: next to a name it would become part of the name.
std::string RelationText(unsigned char relation) {
    if (relation == 0xF2 || relation == 0xF3)
        return std::string(" ") + static_cast<char>(relation) + " ";
    return std::string(1, static_cast<char>(relation));
}

void EndedPrematurely(CoreState& s) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, writer_message::kEndedPrematurely);
    ReportRunError(s);
}

}  // namespace

void EquationText::Put(std::string_view raw) {
    text_->append(raw);
    const auto lineEnd = raw.rfind('\n');
    if (lineEnd == std::string_view::npos) {
        column += static_cast<int>(raw.size());
    } else {
        column = static_cast<int>(raw.size() - lineEnd - 1);
    }
}

void EquationText::Token(std::string_view token) {
    if (token.empty()) return;
    BreakBefore(token.size(), kLastColumn);
    Put(token);
    const char last = token.back();
    if ((column > kLooseBreakColumn && EndsLooseBreak(last)) ||
        (column > kTightBreakColumn && EndsTightBreak(last))) {
        LineEnd();
    }
}

void EquationText::LineEnd() {
    text_->push_back('\n');
    column = 0;
    if (file_ != nullptr && text_->size() > 8192) Flush();
}

void EquationText::BreakBefore(std::size_t length, int lastColumn) {
    if (column > 0 && column + static_cast<int>(length) > lastColumn) LineEnd();
}

void EquationText::Flush() {
    if (file_ == nullptr || buffer_.empty()) return;
    WriteString(*file_, buffer_);
    buffer_.clear();
}

int OperandClass(const CodeNode* node) {
    if (node == nullptr) return kRowPlus;
    switch (node->kind) {
        case kKindBinary:
            if (node->sub == code::kAdd) return kRowPlus;
            if (node->sub == code::kSub) return kRowMinus;
            if (node->sub == code::kMul) return kRowTimes;
            if (node->sub == code::kDiv) return kRowDivide;
            if (node->sub == code::kPow) return kRowPower;
            return kRowOther;
        case kKindUnary: return node->sub == code::kNeg ? kClassNegation : kClassNegation + 1;
        case kKindVar: return 8;
        case kKindConst: return std::signbit(node->value) ? kClassNegativeConstant : kClassConstant;
        case kKindEnd:
        case kKindDeleted: return kRowPlus;
    }
    return kRowPlus;
}

std::string ConstantText(const CodeNode* n, const WriterStyle& style) {
    if (n->sub == kSubPi) return "\xF0";
    if (n->sub == kSubUndefined) return "?";
    const double magnitude = std::fabs(n->value);
    auto number = [&](double v) {
        return style.exactNumbers ? ExactConstant(v, style.big)
                                  : FormatConstant(v, style.width, style.big);
    };
    std::string text;
    if (n->sub == kSubImaginary) {
        // The unit must come first: "-" after it would read as j minus a number.
        text = (std::signbit(n->value) ? "-\xDF" : "\xDF") + number(magnitude);
    } else {
        text = number(n->value);
    }
    return text;
}

int WriteCode(CoreState& s, const CodeNode* run, EquationText& out, const WriterStyle& style) {
    const RunIndex index(run);
    if (!index.complete()) {
        EndedPrematurely(s);
        return kRowPlus;
    }
    CodeWriter(s, index, out, style).Write(0);
    return OperandClass(index.node(0));
}

void WriteEquation(CoreState& s, CodeNode*& code, unsigned char relation, EquationText& out,
                   const WriterStyle& style) {
    CodeNode* head = ToPrefix(code);
    const CodeNode* root = head;
    if (root != nullptr && root->kind == kKindEnd) root = root->next;
    const RunIndex index(root);
    if (!index.complete()) {
        EndedPrematurely(s);
        code = ToPostfix(head);
        return;
    }
    CodeWriter writer(s, index, out, style);
    const CodeNode* top = index.node(0);
    const bool sum = top->kind == kKindBinary && (top->sub == code::kAdd || top->sub == code::kSub);
    if (relation == kRelationNone) {
        writer.Write(0);
        out.Put("; ");
    } else if (!sum) {
        writer.Write(0);
        out.Token(RelationText(relation));
        out.Put("0; ");
    } else {
        const bool plus = top->sub == code::kAdd;
        const int right = 1;
        const int left = index.end(right) + 1;
        const bool constRight = IsPlainConst(index.node(right));
        const bool constLeft = IsPlainConst(index.node(left));
        if (!constRight && !constLeft) {
            if (IsSingleVariable(index, left)) {
                // x + r = 0 is written -x = r; for an inequality that turns the relation.
                out.Token((plus ? "-" : "") + VariableText(s, index.node(left)));
                out.Token(RelationText(plus ? Mirrored(relation) : relation));
                writer.Write(right);
                out.Put("; ");
            } else {
                writer.Write(0);
                out.Token(RelationText(relation));
                out.Put("0; ");
            }
        } else {
            // The constant goes to the right-hand side: l - k = 0 is l = k, k - r = 0 is
            // r = k (the other way round for an inequality), l + k = 0 is l = -k.
            const int other = constRight ? left : right;
            const double k = index.node(constRight ? right : left)->value;
            writer.Write(other);
            out.Token(RelationText(!constRight && !plus ? Mirrored(relation) : relation));
            const std::string value = style.exactNumbers
                                          ? ExactConstant(plus ? -k : k, style.big)
                                          : FormatConstant(plus ? -k : k, style.width, style.big);
            out.BreakBefore(value.size(), 82);
            out.Put(value);
            out.Put("; ");
        }
    }
    code = ToPostfix(head);
}

void WriteGuesses(CoreState& s, EquationText& out, const std::vector<int>& variables, bool exact,
                  int width) {
    if (out.column > 0) out.LineEnd();
    int onLine = 0;
    for (int v : variables) {
        if (v < 1 || v >= static_cast<int>(s.names.name.size()) || s.names.name[v].empty())
            continue;
        const double value = s.names.value[v];
        const std::string item =
            s.names.name[v] + "\xBB" +
            (exact ? ExactConstant(value, s.k.largest) : FormatValue(value, width, s.k.largest)) +
            ";  ";
        if (onLine == kGuessesPerLine || out.column >= kGuessColumn ||
            (out.column > 0 && out.column + static_cast<int>(item.size()) > kLastColumn)) {
            out.LineEnd();
            onLine = 0;
        }
        out.Put(item);
        ++onLine;
    }
    if (out.column > 0) out.LineEnd();
}

std::vector<int> AllVariables(const CoreState& s) {
    std::vector<int> all;
    for (int v = 1; v <= s.names.variableCount; ++v) all.push_back(v);
    return all;
}
