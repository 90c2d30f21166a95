#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/constant_fold.h"
#include "core/run/core_state.h"
#include "core/symbolic/differentiate.h"

// A core with variables x, y, z (numbers 1, 2, 3), its console captured, and builders for
// expressions in parse form, so the tests read like the formulas they check.
struct SymbolicHarness {
    static constexpr int kX = 1, kY = 2, kZ = 3;

    CoreState s;
    std::string out;

    SymbolicHarness() {
        s.console.callback = [this](const char* t) { out += t; };
        s.names.variableCount = 3;
        s.names.name[kX] = "x";
        s.names.name[kY] = "y";
        s.names.name[kZ] = "z";
    }

    CodeNode* X(int v = kX) { return VarNode(s.pool, v); }
    CodeNode* C(double v) { return ConstNode(s.pool, v); }
    CodeNode* Pi() { return MakeNode(s.pool, kKindConst, kSubPi, 0, 3.14159265359, 0, nullptr); }
    // (l op r): in parse form the right operand's run comes first.
    CodeNode* B(unsigned char op, CodeNode* l, CodeNode* r) { return WrapBinary(s.pool, op, r, l); }
    CodeNode* U(unsigned char f, CodeNode* a) { return WrapUnary(s.pool, f, a); }

    // The derivative of a parse-form run, in evaluation form ending with ';'.
    CodeNode* Derive(CodeNode* run, int v, bool fold = false) {
        CodeNode* d = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
        Differentiate(s, run, v, d);
        if (fold) {
            d = Reverse(d);
            ConstantFold(s, d);
            d = Reverse(d);
        }
        return d;
    }

    // Evaluation form of a parse-form run, leaving the run itself alone.
    CodeNode* Compiled(const CodeNode* run) { return Finalize(s.pool, CopyList(s.pool, run)); }

    double At(const CodeNode* code, double x, double y = 0.7, double z = 0.0) {
        s.names.value[kX] = x;
        s.names.value[kY] = y;
        s.names.value[kZ] = z;
        bool error = false;
        const double v = Evaluate(s, code, error);
        return error ? 1e300 : v;
    }

    // Infix text of a list in evaluation form, in the notation of the derivative rules:
    // (a op b) for operators, NAME(a) and NAME(a, b) for functions, PI for pi.
    std::string Infix(const CodeNode* code) const {
        std::vector<std::string> st;
        auto pop = [&st] {
            if (st.empty()) return std::string("<missing>");
            std::string top = st.back();
            st.pop_back();
            return top;
        };
        for (const CodeNode* n = code; n != nullptr && n->kind != kKindEnd; n = n->next) {
            switch (n->kind) {
                case kKindConst: {
                    if (n->sub == kSubPi) {
                        st.push_back("PI");
                        break;
                    }
                    char buf[40];
                    std::snprintf(buf, sizeof buf, "%.12g", n->value);
                    st.push_back(std::string(n->sub == kSubImaginary ? "j" : "") + buf);
                    break;
                }
                case kKindVar: st.push_back(s.names.name[n->var]); break;
                case kKindUnary: {
                    const std::string a = pop();
                    const std::string name =
                        n->sub == '-' ? "-" : std::string(UnaryCodeName(n->sub));
                    st.push_back(name + "(" + a + ")");
                    break;
                }
                case kKindBinary: {
                    const std::string r = pop();
                    const std::string l = pop();
                    const unsigned char op = n->sub;
                    if (op == '+' || op == '-' || op == '*' || op == '/' || op == '^') {
                        st.push_back("(" + l + " " + static_cast<char>(op) + " " + r + ")");
                    } else if (op == 'H') {
                        st.push_back("(" + l + " THEN " + r + ")");
                    } else {
                        st.push_back(std::string(BinaryCodeName(op)) + "(" + l + ", " + r + ")");
                    }
                    break;
                }
                default: break;  // deleted nodes
            }
        }
        return st.size() == 1 ? st.back() : "<" + std::to_string(st.size()) + " values>";
    }

    std::string InfixOfRun(const CodeNode* run) {
        CodeNode* code = Compiled(run);
        std::string text = Infix(code);
        FreeList(s.pool, code);
        return text;
    }
};
