#include "core/symbolic/eliminate.h"

#include <algorithm>
#include <string>

#include "core/base/core_state.h"
#include "core/eval/constant_fold.h"
#include "core/lang/code_string.h"
#include "core/lang/function_traits.h"
#include "core/lang/parser.h"
#include "core/symbolic/differentiate.h"
#include "core/symbolic/symbolic_messages.h"

namespace {

namespace msg = eliminate_message;

CodeNode* Bin(CoreState& s, unsigned char op, CodeNode* left, CodeNode* right) {
    return WrapBinary(s.pool, op, right, left);
}

CodeNode* Un(CoreState& s, unsigned char op, CodeNode* x) {
    return WrapUnary(s.pool, op, x);
}

void EliminationError(CoreState& s, int variable) {
    ConsoleWriteLine(s.console);
    if (variable >= 1 && variable <= s.names.variableCount) {
        ConsoleWrite(s.console,
                     msg::kVariable + s.names.name[variable] + msg::kCannotBeEliminated);
    } else {
        ConsoleWrite(s.console, msg::kNotFound);
    }
    WarningBeep(s);
}

int Occurrences(const CodeNode* list, int variable) {
    int count = 0;
    for (const CodeNode* n = list; n != nullptr; n = n->next) {
        if (n->kind == kKindVar && n->var == variable) ++count;
    }
    return count;
}

// Takes a binary node apart into its operand runs (right, left) and frees it.
std::pair<CodeNode*, CodeNode*> Split(CoreState& s, CodeNode* binary) {
    CodeNode* right = binary->next;
    CodeNode* rightEnd = SubtreeEnd(right);
    CodeNode* left = rightEnd->next;
    rightEnd->next = nullptr;
    s.pool.release(binary);
    return {right, left};
}

// A copy of list with every reference to variable replaced by a copy of the run value.
CodeNode* Substitute(CoreState& s, const CodeNode* list, int variable, const CodeNode* value) {
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    for (const CodeNode* n = list; n != nullptr; n = n->next) {
        CodeNode* piece = n->kind == kKindVar && n->var == variable
                              ? CopyList(s.pool, value)
                              : MakeNode(s.pool, n->kind, n->sub, n->var, n->value, n->mark, nullptr);
        *tail = piece;
        while (piece->next != nullptr) piece = piece->next;
        tail = &piece->next;
    }
    return head;
}

bool IsAssignment(const CodeNode* code) {
    const CodeNode* first = SkipDeleted(code);
    if (first == nullptr || first->kind != kKindVar) return false;
    int variables = 0;
    for (const CodeNode* n = first; n != nullptr; n = n->next) {
        if (n->kind == kKindVar) ++variables;
        if (n->kind == kKindConst && n->var != 0) return false;
    }
    return variables == 1;
}

int FirstVariable(const CodeNode* code) {
    for (const CodeNode* n = code; n != nullptr; n = n->next) {
        if (n->kind == kKindVar) return n->var;
    }
    return 0;
}

// Whether every other equation stays within what the compiler reads once value is put in
// place of the variable.
bool SubstitutionFits(const CoreState& s, int e, int variable, const CodeNode* value) {
    const int added = CountNodes(value) - 1;
    for (int k = 1; k <= s.model.count; ++k) {
        if (k == e) continue;
        const CodeNode* code = s.model.eq[k].code;
        if (CountNodes(code) + Occurrences(code, variable) * added > kMaxEquationNodes) return false;
    }
    return true;
}

}  // namespace

CodeNode* SolveByInversion(CoreState& s, const CodeNode* residual, int v) {
    CodeNode* other = ZeroNode(s.pool);
    CodeNode* cur = CopySubtree(s.pool, residual);
    auto fail = [&](CodeNode* rest) {
        FreeList(s.pool, rest);
        FreeList(s.pool, other);
        EliminationError(s, v);
        return nullptr;
    };
    while (cur != nullptr) {
        switch (cur->kind) {
            case kKindBinary: {
                const unsigned char op = cur->sub;
                auto [right, left] = Split(s, cur);
                if (Occurrences(right, v) > 0) {
                    // other = left op right, solved for right.
                    if (op == code::kAdd) {
                        other = Bin(s, code::kSub, other, left);
                    } else if (op == code::kMul) {
                        other = Bin(s, code::kDiv, other, left);
                    } else if (op == code::kSub || op == code::kDiv) {
                        other = Bin(s, op, left, other);
                    } else if (op == code::kPow) {
                        other = Bin(s, code::kDiv, Un(s, code::kLn, other), Un(s, code::kLn, left));
                    } else {
                        FreeList(s.pool, left);
                        return fail(right);
                    }
                    cur = right;
                } else {
                    // other = left op right, solved for left.
                    if (op == code::kAdd) {
                        other = Bin(s, code::kSub, other, right);
                    } else if (op == code::kSub) {
                        other = Bin(s, code::kAdd, other, right);
                    } else if (op == code::kMul) {
                        other = Bin(s, code::kDiv, other, right);
                    } else if (op == code::kDiv) {
                        other = Bin(s, code::kMul, other, right);
                    } else if (op == code::kPow) {
                        other = Bin(s, code::kPow, other, Un(s, code::kInv, right));
                    } else {
                        FreeList(s.pool, right);
                        return fail(left);
                    }
                    cur = left;
                }
                break;
            }
            case kKindUnary: {
                const UnaryTraits* f = FindUnaryTraits(cur->sub);
                if (f == nullptr || f->inverse == 0) return fail(cur);
                other = Un(s, f->inverse, other);
                CodeNode* operand = cur->next;
                s.pool.release(cur);
                cur = operand;
                break;
            }
            case kKindVar:
                if (cur->var != v) return fail(cur);
                FreeList(s.pool, cur);
                return other;
            case kKindConst: return fail(cur);
            case kKindEnd:
            case kKindDeleted:
                ConsoleWriteLine(s.console);
                ConsoleWrite(s.console, msg::kIllegalCode + std::string(1, static_cast<char>(cur->kind)) +
                                            static_cast<char>(cur->sub) + msg::kIllegalCodeEnd);
                ReportRunError(s);
                return fail(cur);
        }
    }
    return fail(nullptr);
}

CodeNode* SolveLinear(CoreState& s, const CodeNode* residual, int v) {
    // The differentiator reports a code without a rule as a fault of the run; here it only
    // means that this variable cannot be solved for.
    const bool stopped = s.flags.stop;
    CodeNode* derivative = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    DifferentiateRestricted(s, const_cast<CodeNode*>(residual), v, derivative);
    const bool failed = s.flags.stop && !stopped;
    s.flags.stop = stopped;
    derivative = Strip(s.pool, Reverse(derivative));
    ConstantFold(s, derivative);
    derivative = Strip(s.pool, derivative);
    if (failed || derivative == nullptr || Occurrences(derivative, v) > 0) {
        FreeList(s.pool, derivative);
        EliminationError(s, v);
        return nullptr;
    }
    // The residual at v = 0 over the derivative, negated.
    CodeNode* zero = ZeroNode(s.pool);
    CodeNode* atZero = Substitute(s, residual, v, zero);
    FreeList(s.pool, zero);
    return Un(s, code::kNeg, Bin(s, code::kDiv, atZero, derivative));
}

void MarkEliminations(CoreState& s, char key) {
    for (int e = 1; e <= s.model.count; ++e) {
        Equation& q = s.model.eq[e];
        // A variable the equation's text marks is the one meant; else the first it refers to.
        if (q.relation == kRelationRetired && q.designated == 0) q.designated = FirstVariable(q.code);
        if (key == 'E' && IsAssignment(q.code)) q.designated = FirstVariable(q.code);
    }
}

bool EliminateVariable(CoreState& s, int e) {
    EquationModel& m = s.model;
    ConsoleWrite(s.console, msg::kSubstituting);
    ConsoleWriteInt(s.console, e);
    ConsoleWriteLine(s.console);
    for (int k = 1; k <= m.count; ++k) m.eq[k].code = Strip(s.pool, ToPrefix(m.eq[k].code));

    const int v = m.eq[e].designated;
    CodeNode* value = nullptr;
    if (v == 0) {
        EliminationError(s, 0);
    } else if (Occurrences(m.eq[e].code, v) < 2) {
        value = SolveByInversion(s, m.eq[e].code, v);
    } else {
        value = SolveLinear(s, m.eq[e].code, v);
    }
    if (value != nullptr && !SubstitutionFits(s, e, v, value)) {
        FreeList(s.pool, value);
        value = nullptr;
        EliminationError(s, v);
    }
    if (value != nullptr) {
        for (int k = 1; k <= m.count; ++k) {
            if (k == e || Occurrences(m.eq[k].code, v) == 0) continue;
            CodeNode* substituted = Substitute(s, m.eq[k].code, v, value);
            FreeList(s.pool, m.eq[k].code);
            m.eq[k].code = substituted;
        }
        FreeList(s.pool, m.eq[e].code);
        m.eq[e].code = Bin(s, code::kSub, VarNode(s.pool, v), value);
        s.flags.jacobianNeeded = true;
    }
    for (int k = 1; k <= m.count; ++k) m.eq[k].code = Finalize(s.pool, m.eq[k].code);
    return value != nullptr;
}

void FinishEliminations(CoreState& s, char key, const std::vector<char>& failed) {
    for (int e = 1; e <= s.model.count; ++e) {
        Equation& q = s.model.eq[e];
        const bool unsolved = e < static_cast<int>(failed.size()) && failed[e];
        if (unsolved) {
            // Retiring it would drop an equation the set still needs.
            if (q.relation == kRelationRetired) q.relation = kRelationEqual;
        } else if ((q.designated != 0 && key == 'E') || q.relation == kRelationRetired) {
            q.relation = kRelationRetired;
            q.retired = true;
        }
        q.designated = 0;
    }
}

bool EliminateMarked(CoreState& s, char key) {
    MarkEliminations(s, key);
    std::vector<char> failed(static_cast<std::size_t>(s.model.count) + 1, 0);
    for (int e = 1; e <= s.model.count; ++e) {
        const Equation& q = s.model.eq[e];
        if (q.designated == 0 && q.relation != kRelationRetired) continue;
        failed[e] = !EliminateVariable(s, e);
    }
    FinishEliminations(s, key, failed);
    return std::find(failed.begin(), failed.end(), 1) == failed.end();
}
