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

// The operator's instruction, unfused.
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

// The push of a plain operand taken into the arithmetic operator that follows it, or kEnd
// when the two do not fuse.
FlatOpCode Fused(FlatOpCode push, FlatOpCode op) {
    const bool var = push == FlatOpCode::kPushVar;
    if (!var && push != FlatOpCode::kPush) return FlatOpCode::kEnd;
    switch (op) {
        case FlatOpCode::kAdd: return var ? FlatOpCode::kAddVar : FlatOpCode::kAddConst;
        case FlatOpCode::kSub: return var ? FlatOpCode::kSubVar : FlatOpCode::kSubConst;
        case FlatOpCode::kMul: return var ? FlatOpCode::kMulVar : FlatOpCode::kMulConst;
        case FlatOpCode::kDiv: return var ? FlatOpCode::kDivVar : FlatOpCode::kDivConst;
        default: return FlatOpCode::kEnd;
    }
}

bool Refuse(CoreState& s, FlatCode& out, const char* why) {
    out.ops.assign(1, FlatOp{nullptr, 0, FlatOpCode::kEnd, 0});
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
    std::vector<FlatOp>& ops = out.ops;
    ops.clear();
    // Most codes are short (a derivative, a residual of a few terms): room for them at once
    // spares a copy its reallocations.
    constexpr std::size_t kShortCode = 16;
    if (ops.capacity() < kShortCode) ops.reserve(kShortCode);
    out.fault = nullptr;
    const int capacity = s.limits.stackEntries;
    int sp = 0, deepest = 0;
    for (const CodeNode* n = list; n != nullptr && n->kind != kKindEnd; n = n->next) {
        switch (n->kind) {
            case kKindConst:
            case kKindVar:
                if (sp >= capacity) return Refuse(s, out, eval_message::kStackOverflow);
                ++sp;
                deepest = sp > deepest ? sp : deepest;
                ops.push_back(FlatOp{&n->value, n->var, PushOf(n), n->sub});
                break;
            case kKindBinary: {
                // THEN only marks the middle of an IF; its operands stay for the IF.
                if (n->sub == code::kThen) break;
                const FlatOpCode op = BinaryOf(n->sub);
                // With no left operand below the pushed one, the operator works on the unused
                // entry 0; that stays unfused, and entry 1 is spilled, so that the entries it
                // leaves are the ones it always left.
                const FlatOpCode fused = sp >= 2 ? Fused(ops.back().op, op) : FlatOpCode::kEnd;
                sp -= op == FlatOpCode::kIf ? 2 : 1;
                if (sp < 0) return Refuse(s, out, eval_message::kStackUnderflow);
                if (fused != FlatOpCode::kEnd) {
                    ops.back().op = fused;
                    ops.back().sub = n->sub;
                    break;
                }
                if (sp == 0 && op != FlatOpCode::kIf)
                    ops.push_back(FlatOp{nullptr, 0, FlatOpCode::kSpill, 0});
                ops.push_back(FlatOp{nullptr, 0, op, n->sub});
                break;
            }
            case kKindUnary: ops.push_back(FlatOp{nullptr, 0, FlatOpCode::kUnary, n->sub}); break;
            case kKindDeleted:
            case kKindEnd: break;  // the loop ends at the end
        }
    }
    ops.push_back(FlatOp{nullptr, 0, FlatOpCode::kEnd, 0});
    out.depth = deepest;
    out.complete = sp == 1;
    return true;
}

const FlatCode& FlatFor(CoreState& s, const CodeNode* list, FlatCache& cache) {
    const std::uint64_t changes = s.pool.changes();
    if (!cache.made || cache.head != list || cache.changes != changes) {
        Flatten(s, list, cache.code);
        cache.head = list;
        cache.changes = changes;
        cache.made = true;
    }
    return cache.code;
}
