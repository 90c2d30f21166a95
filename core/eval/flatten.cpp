#include "core/eval/flatten.h"

#include "core/base/core_state.h"
#include "core/eval/eval_messages.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"

namespace {

FlatOpCode PushOf(const CodeNode* n) {
    const bool var = n->kind == kKindVar;
    switch (n->sub) {
        case kSubImaginary: return var ? FlatOpCode::kPushVarImag : FlatOpCode::kPushImag;
        case kSubPhasor: return var ? FlatOpCode::kPushVarPhasor : FlatOpCode::kPushPhasor;
        default: return var ? FlatOpCode::kPushVar : FlatOpCode::kPush;  // pi, undefined: plain
    }
}

// The fused form of a plain operand and the arithmetic operator after it, or kEnd when the
// pair does not fuse.
FlatOpCode Fused(FlatOpCode push, const CodeNode* op) {
    if (op == nullptr || op->kind != kKindBinary) return FlatOpCode::kEnd;
    if (push != FlatOpCode::kPush && push != FlatOpCode::kPushVar) return FlatOpCode::kEnd;
    const bool var = push == FlatOpCode::kPushVar;
    switch (op->sub) {
        case code::kAdd: return var ? FlatOpCode::kAddVar : FlatOpCode::kAddConst;
        case code::kSub: return var ? FlatOpCode::kSubVar : FlatOpCode::kSubConst;
        case code::kMul: return var ? FlatOpCode::kMulVar : FlatOpCode::kMulConst;
        case code::kDiv: return var ? FlatOpCode::kDivVar : FlatOpCode::kDivConst;
        default: return FlatOpCode::kEnd;
    }
}

FlatOpCode BinaryOf(unsigned char sub) {
    switch (sub) {
        case code::kAdd: return FlatOpCode::kAdd;
        case code::kSub: return FlatOpCode::kSub;
        case code::kMul: return FlatOpCode::kMul;
        case code::kDiv: return FlatOpCode::kDiv;
        case code::kIf: return FlatOpCode::kIf;
        default: return FlatOpCode::kBinary;
    }
}

// Deleted nodes and the THEN marker (its operands stay on the stack for the IF) do nothing.
const CodeNode* NextActive(const CodeNode* n) {
    while (n != nullptr && (n->kind == kKindDeleted ||
                            (n->kind == kKindBinary && n->sub == code::kThen))) {
        n = n->next;
    }
    return n;
}

bool Refuse(CoreState& s, FlatCode& out, const char* why) {
    out.ops.assign(1, FlatOp{0.0, 0, FlatOpCode::kEnd, 0});
    out.depth = 0;
    out.complete = false;
    out.fault = why;
    ConsoleWrite(s.console, why);
    bool raised = false;
    RaiseError(s, raised, why);
    ReportRunError(s);
    return false;
}

}  // namespace

bool Flatten(CoreState& s, const CodeNode* list, FlatCode& out) {
    out.ops.clear();
    out.fault = nullptr;
    const int capacity = s.limits.stackEntries;
    int sp = 0, deepest = 0;
    for (const CodeNode* n = NextActive(list); n != nullptr && n->kind != kKindEnd;
         n = NextActive(n->next)) {
        switch (n->kind) {
            case kKindConst:
            case kKindVar: {
                if (sp >= capacity) return Refuse(s, out, eval_message::kStackOverflow);
                deepest = sp + 1 > deepest ? sp + 1 : deepest;
                const FlatOpCode push = PushOf(n);
                const CodeNode* after = NextActive(n->next);
                // With no left operand below, the operator works on the unused entry 0; that
                // stays unfused so that the entries it leaves are the ones it always left.
                const FlatOpCode fused = sp >= 1 ? Fused(push, after) : FlatOpCode::kEnd;
                if (fused == FlatOpCode::kEnd) {
                    ++sp;
                    out.ops.push_back(FlatOp{n->value, n->var, push, n->sub});
                } else {
                    out.ops.push_back(FlatOp{n->value, n->var, fused, after->sub});
                    n = after;
                }
                break;
            }
            case kKindBinary:
                // Entry 1 must keep its value when an operator empties the stack.
                if (sp == 1 && n->sub != code::kIf) out.ops.push_back(FlatOp{0.0, 0, FlatOpCode::kSpill, 0});
                sp -= n->sub == code::kIf ? 2 : 1;
                if (sp < 0) return Refuse(s, out, eval_message::kStackUnderflow);
                out.ops.push_back(FlatOp{0.0, 0, BinaryOf(n->sub), n->sub});
                break;
            case kKindUnary: out.ops.push_back(FlatOp{0.0, 0, FlatOpCode::kUnary, n->sub}); break;
            case kKindDeleted:
            case kKindEnd: break;  // skipped and ended before they get here
        }
    }
    out.ops.push_back(FlatOp{0.0, 0, FlatOpCode::kEnd, 0});
    out.depth = deepest;
    out.complete = sp == 1;
    return true;
}
