#pragma once

// Builds code lists from short token strings and prints them back, so tests can state
// compiled equations as text.
//
// Tokens, separated by blanks, in list order:
//   1.5 -2 1e60    plain constant            pi   the pi constant     ?   the undefined constant
//   x, rate        variable (lower-case start; added to the name table on first use)
//   j:2  j:x       imaginary constant / variable     @:0.5  @:x   unit phasor operand
//   + - * / ^ @    arithmetic binary codes   EQUAL IF THEN ATAN2 ...  named binary codes
//   neg            unary minus               SIN EXP INV U ...         named unary codes
//   ;              end node                  ~                         deleted node

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/base/special_values.h"
#include "core/lang/code_string.h"
#include "core/lang/function_traits.h"

namespace testcode {

// A core whose console is captured; not copyable, as the console holds its address.
struct ConsoleCore {
    CoreState s;
    std::string out;
    ConsoleCore() {
        s.console.callback = [this](const char* t) { out += t; };
    }
    ConsoleCore(const ConsoleCore&) = delete;
    ConsoleCore& operator=(const ConsoleCore&) = delete;
};

// Variable number of name, entered in the name table when new.
inline int Var(CoreState& s, const std::string& name) {
    if (int v = FindVariable(s.names, name); v != 0) return v;
    const int v = ++s.names.variableCount;
    s.names.name[v] = name;
    s.names.value[v] = 0.0;
    return v;
}

inline void SetVar(CoreState& s, const std::string& name, double value) {
    s.names.value[Var(s, name)] = value;
}

inline bool IsArithmetic(std::string_view t) {
    return t.size() == 1 && std::string_view("+-*/^@").find(t[0]) != std::string_view::npos;
}

// One node for one token, not yet linked.
inline CodeNode* TokenNode(CoreState& s, const std::string& token) {
    NodePool& pool = s.pool;
    if (token == ";") return MakeNode(pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    if (token == "~") return MakeNode(pool, kKindDeleted, kSubPlain, 0, 0.0, 0, nullptr);
    if (token == "pi") return MakeNode(pool, kKindConst, kSubPi, 0, kPi, 0, nullptr);
    if (token == "?") {
        return MakeNode(pool, kKindConst, kSubUndefined, 0, kUndefinedValue, 0, nullptr);
    }
    if (token == "neg") return MakeNode(pool, kKindUnary, code::kNeg, 0, 0.0, 0, nullptr);
    if (IsArithmetic(token)) {
        return MakeNode(pool, kKindBinary, static_cast<unsigned char>(token[0]), 0, 0.0, 0,
                        nullptr);
    }
    if (const unsigned char c = FindBinaryCode(token); c != 0) {
        return MakeNode(pool, kKindBinary, c, 0, 0.0, 0, nullptr);
    }
    if (const unsigned char c = FindUnaryCode(token); c != 0) {
        return MakeNode(pool, kKindUnary, c, 0, 0.0, 0, nullptr);
    }
    unsigned char form = kSubPlain;
    std::string operand = token;
    if (token.rfind("j:", 0) == 0 || token.rfind("@:", 0) == 0) {
        form = token[0] == 'j' ? kSubImaginary : kSubPhasor;
        operand = token.substr(2);
    }
    if (!operand.empty() && (operand[0] >= 'a' && operand[0] <= 'z')) {
        return MakeNode(pool, kKindVar, form, Var(s, operand), 0.0, 0, nullptr);
    }
    char* end = nullptr;
    const double v = std::strtod(operand.c_str(), &end);
    if (operand.empty() || *end != '\0') throw std::invalid_argument("bad token " + token);
    return MakeNode(pool, kKindConst, form, 0, v, 0, nullptr);
}

// The tokens as a list, in the order written.
inline CodeNode* Build(CoreState& s, std::string_view tokens) {
    std::istringstream in{std::string(tokens)};
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    for (std::string t; in >> t;) {
        *tail = TokenNode(s, t);
        tail = &(*tail)->next;
    }
    return head;
}

// Evaluation form of postfix tokens; a ';' is appended when the tokens lack one.
inline CodeNode* Postfix(CoreState& s, std::string_view tokens) {
    std::string text(tokens);
    if (text.find(';') == std::string::npos) text += " ;";
    return Build(s, text);
}

// Parse form of postfix tokens (written without ';'): the exact reversal.
inline CodeNode* Prefix(CoreState& s, std::string_view tokens) {
    return Reverse(Build(s, tokens));
}

inline std::string Number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// The list in the token vocabulary above; deleted nodes are left out unless asked for.
inline std::string Text(const CoreState& s, const CodeNode* list, bool showDeleted = false) {
    std::string text;
    for (const CodeNode* n = list; n != nullptr; n = n->next) {
        std::string word;
        const std::string form = n->sub == kSubImaginary ? "j:" : n->sub == kSubPhasor ? "@:" : "";
        switch (n->kind) {
            case kKindVar:
                word = form + (n->var >= 1 && n->var <= s.names.variableCount
                                   ? s.names.name[n->var]
                                   : "#" + std::to_string(n->var));
                break;
            case kKindConst:
                if (n->sub == kSubPi)
                    word = "pi";
                else if (n->sub == kSubUndefined)
                    word = "?";
                else
                    word = form + Number(n->value);
                break;
            case kKindBinary:
                word = std::string(1, static_cast<char>(n->sub));
                if (!IsArithmetic(word)) word = BinaryCodeName(n->sub);
                break;
            case kKindUnary:
                word = n->sub == code::kNeg ? "neg" : std::string(UnaryCodeName(n->sub));
                break;
            case kKindEnd: word = ";"; break;
            default:
                if (!showDeleted) continue;
                word = "~";
                break;
        }
        if (!text.empty()) text += ' ';
        text += word;
    }
    return text;
}

}  // namespace testcode
