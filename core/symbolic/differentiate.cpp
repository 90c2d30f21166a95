#include "core/symbolic/differentiate.h"

#include <limits>
#include <string>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/eval_messages.h"
#include "core/lang/code_string.h"
#include "core/eval/constant_fold.h"
#include "core/lang/function_traits.h"
#include "core/symbolic/symbolic_messages.h"

// How the rules are written. Output nodes are prepended, so emitting an expression in parse
// form — operator first, then its right operand, then its left operand — leaves it in
// evaluation form. Each rule below is therefore a sequence of calls that spells its
// expression in that order; the comment over each rule gives the expression in infix form.
// Copy(r) and Diff(r) emit a copy or the derivative of an operand run and return the
// position after that run, which is how a rule finds where its own run ends.

namespace {

// Step of the central difference used for GAMMLN. Its derivative, the digamma function, has
// no code of its own, so the rule differences GAMMLN itself: the truncation error is of
// order h^2 (about 1e-8 relative away from the poles), far below what Newton needs, while a
// smaller step would start to lose digits to cancellation.
constexpr double kGammLnStep = 1e-4;

// A variable number no code holds: differentiating with respect to it gives the derivative a
// run has with respect to any variable it does not hold.
constexpr int kNoVariable = std::numeric_limits<int>::min();

// Skips nodes removed by folding; deliberately not SkipDeleted, which would also walk past
// a ';' and so run off the end of an equation.
CodeNode* SkipRemoved(CodeNode* n) {
    while (n != nullptr && n->kind == kKindDeleted) n = n->next;
    return n;
}

// Position after the run that starts at n, or null when the run is incomplete.
CodeNode* RunAfter(CodeNode* n) {
    if (n == nullptr) return nullptr;
    CodeNode* end = SubtreeEnd(n);
    return end != nullptr ? end->next : nullptr;
}

// Nodes of the run that starts at n, deleted ones left out; 0 for an incomplete run.
long RunNodes(CodeNode* n) {
    n = SkipRemoved(n);
    if (n == nullptr) return 0;
    const CodeNode* end = SubtreeEnd(n);
    long count = 0;
    for (const CodeNode* m = n; m != nullptr; m = m->next) {
        if (m->kind != kKindDeleted) ++count;
        if (m == end) break;
    }
    return count;
}

// Whether folding a constant node of this code only computes a value. EXP and powers may
// report an overflow (and clear or set what was reported), the special functions write
// warnings: folding those in a different order or number would change the console.
bool FoldsQuietly(const CodeNode* n) {
    if (n->kind == kKindUnary) {
        switch (static_cast<code::Unary>(n->sub)) {
            case code::kNeg:
            case code::kReal:
            case code::kImag:
            case code::kConjg:
            case code::kSin:
            case code::kCos:
            case code::kTan:
            case code::kInv:
            case code::kSquare:
            case code::kSqrt:
            case code::kLn:
            case code::kArcSin:
            case code::kArcCos:
            case code::kArcTan:
            case code::kAbs:
            case code::kStep: return true;
            default: return false;
        }
    }
    if (n->kind == kKindBinary) {
        switch (static_cast<code::Binary>(n->sub)) {
            case code::kAdd:
            case code::kSub:
            case code::kMul:
            case code::kDiv:
            case code::kAtan2:
            case code::kIf:
            case code::kThen:
            case code::kLess:
            case code::kEqual:
            case code::kGreater: return true;
            default: return false;
        }
    }
    return true;
}

class Emitter {
   public:
    Emitter(CoreState& s, int variable, bool restricted, CodeNode*& output, long runNodes,
            const SumIndex* sums = nullptr)
        : s_(s),
          variable_(variable),
          restricted_(restricted),
          out_(output),
          budget_(kDerivativeNodesPerCodeNode * runNodes + kDerivativeNodeAllowance),
          sums_(sums) {}

    bool Halted() const { return halted_; }
    bool Failed() const { return failed_; }

    // Nothing is written to the console and no key is taken: a rule that cannot be applied
    // only marks the derivative failed.
    void Silence() { silent_ = true; }

    CodeNode* Diff(CodeNode* run) {
        if (halted_) {  // too large or cancelled: the rest is 0, keeping the output whole
            Const(0.0);
            return nullptr;
        }
        CodeNode* n = SkipRemoved(run);
        if (n == nullptr) {  // past the end of the list: nothing to differentiate
            Const(0.0);
            return nullptr;
        }
        switch (n->kind) {
            case kKindVar:
                if (n->var == variable_) {
                    Node(kKindConst, Form(n->sub), 0, 1.0);
                } else {
                    Const(0.0);
                }
                return n->next;
            case kKindConst: Const(0.0); return n->next;
            case kKindUnary: return DiffUnary(n);
            case kKindBinary: return DiffBinary(n);
            case kKindEnd:
            case kKindDeleted: break;
        }
        IllegalCode(n);
        Const(0.0);
        return nullptr;  // the extent of a broken run is unknown: stop walking it
    }

    // Counts the operands still owed instead of recursing, so a copy of any length is flat.
    // A run cut short is completed with zeros to keep the output well-formed.
    CodeNode* Copy(CodeNode* run) {
        int owed = 1;
        CodeNode* n = halted_ ? nullptr : run;
        for (; n != nullptr && owed > 0; n = n->next) {
            const NodeKind kind = n->kind;
            if (kind == kKindDeleted) continue;
            const bool leaf = kind == kKindConst || kind == kKindVar;
            if (!leaf && kind != kKindBinary && kind != kKindUnary) break;
            owed += leaf ? -1 : (kind == kKindBinary ? 1 : 0);
            Node(kind, leaf ? Form(n->sub) : n->sub, n->var, n->value);
        }
        if (owed == 0) return n;
        for (; owed > 0; --owed) Const(0.0);
        return nullptr;
    }

   private:
    // Operand form of an emitted constant or variable: the restricted variant keeps only
    // real values.
    unsigned char Form(unsigned char sub) const { return restricted_ ? kSubPlain : sub; }

    void Node(NodeKind kind, unsigned char sub, int var, double value) {
        out_ = MakeNode(s_.pool, kind, sub, var, value, 0, out_);
        if (halted_) return;
        ++made_;
        if (silent_) {
            if (made_ > budget_) Fail();
        } else if (made_ > budget_) {
            Halt();
            ConsoleWriteLine(s_.console);
            ConsoleWrite(s_.console, symbolic_message::kDerivativeTooLarge);
            StopWithError(s_);
        } else if (made_ % kNodesBetweenKeyPolls == 0 && CancelRequested(s_)) {
            Halt();
        }
    }
    // From here on every derivative or copy still owed is a single 0, so the rules finish
    // quickly with a well-formed expression that the caller discards.
    void Halt() { halted_ = true; }
    void Fail() {
        failed_ = true;
        Halt();
    }
    void Bin(unsigned char op) { Node(kKindBinary, op, 0, 0.0); }
    void Un(unsigned char f) { Node(kKindUnary, f, 0, 0.0); }
    void Const(double v) { Node(kKindConst, kSubPlain, 0, v); }
    void Pi() { Node(kKindConst, kSubPi, 0, kPi); }

    // The elimination's variant knows the elementary rules only.
    bool HasRule(Derivative d) const {
        return d == Derivative::kElementary || (d == Derivative::kFullOnly && !restricted_);
    }

    CodeNode* DiffUnary(CodeNode* n) {
        CodeNode* u = n->next;
        const unsigned char f = n->sub;
        const UnaryTraits* traits = FindUnaryTraits(f);
        if (traits == nullptr || !HasRule(traits->derivative)) return NotImplemented(n, true);
        switch (static_cast<code::Unary>(f)) {
            case code::kNeg:  // -(u')
                Un(code::kNeg);
                return Diff(u);
            case code::kReal:  // F(u') for REAL, IMAG, CONJG
            case code::kImag:
            case code::kConjg: Un(f); return Diff(u);
            case code::kSin:  // (u' * COS(u))
                Bin(code::kMul), Un(code::kCos), Copy(u);
                return Diff(u);
            case code::kCos:  // (u' * -(SIN(u)))
                Bin(code::kMul), Un(code::kNeg), Un(code::kSin), Copy(u);
                return Diff(u);
            case code::kTan:  // (INV(SQUARE(COS(u))) * u')
                Bin(code::kMul), Diff(u), Un(code::kInv), Un(code::kSquare), Un(code::kCos);
                return Copy(u);
            case code::kInv:  // -((u' * INV(SQUARE(u))))
                Un(code::kNeg), Bin(code::kMul), Un(code::kInv), Un(code::kSquare), Copy(u);
                return Diff(u);
            case code::kSquare:  // (u' * (u * 2))
                Bin(code::kMul), Bin(code::kMul), Const(2.0), Copy(u);
                return Diff(u);
            case code::kSqrt:  // (u' * (INV(SQRT(u)) * 0.5))
                Bin(code::kMul), Bin(code::kMul), Const(0.5), Un(code::kInv), Un(code::kSqrt),
                    Copy(u);
                return Diff(u);
            case code::kExp:  // (EXP(u) * u')
                Bin(code::kMul), Diff(u), Un(code::kExp);
                return Copy(u);
            case code::kLn:  // (INV(u) * u')
                Bin(code::kMul), Diff(u), Un(code::kInv);
                return Copy(u);
            case code::kArcSin:  // (INV(SQRT(-((SQUARE(u) - 1)))) * u')
                Bin(code::kMul), Diff(u), Un(code::kInv), Un(code::kSqrt), Un(code::kNeg),
                    Bin(code::kSub), Const(1.0), Un(code::kSquare);
                return Copy(u);
            case code::kArcCos:  // (-(INV(SQRT(-((SQUARE(u) - 1))))) * u')
                Bin(code::kMul), Diff(u), Un(code::kNeg), Un(code::kInv), Un(code::kSqrt),
                    Un(code::kNeg), Bin(code::kSub), Const(1.0), Un(code::kSquare);
                return Copy(u);
            case code::kArcTan:  // (INV((SQUARE(u) + 1)) * u')
                Bin(code::kMul), Diff(u), Un(code::kInv), Bin(code::kAdd), Const(1.0),
                    Un(code::kSquare);
                return Copy(u);
            case code::kErf:  // (u' * (EXP(-(SQUARE(u))) * (2 / SQRT(pi))))
                Bin(code::kMul), Bin(code::kMul), Bin(code::kDiv), Un(code::kSqrt), Pi(),
                    Const(2.0), Un(code::kExp), Un(code::kNeg), Un(code::kSquare), Copy(u);
                return Diff(u);
            case code::kBessJ0:  // (u' * -(BESSJ1(u)))
                Bin(code::kMul), Un(code::kNeg), Un(code::kBessJ1), Copy(u);
                return Diff(u);
            case code::kBessY0:  // (u' * -(BESSY1(u)))
                Bin(code::kMul), Un(code::kNeg), Un(code::kBessY1), Copy(u);
                return Diff(u);
            case code::kBessJ1:    // (u' * (BESSJ0(u) - (BESSJ1(u) / u)))
            case code::kBessY1: {  // (u' * (BESSY0(u) - (BESSY1(u) / u)))
                const unsigned char order0 = f == code::kBessJ1 ? code::kBessJ0 : code::kBessY0;
                Bin(code::kMul), Bin(code::kSub), Bin(code::kDiv), Copy(u), Un(f), Copy(u),
                    Un(order0), Copy(u);
                return Diff(u);
            }
            case code::kGammLn:  // (u' * ((GAMMLN(u + h) - GAMMLN(u - h)) / (2h)))
                Bin(code::kMul), Bin(code::kDiv), Const(2.0 * kGammLnStep), Bin(code::kSub),
                    Un(code::kGammLn), Bin(code::kSub), Const(kGammLnStep), Copy(u),
                    Un(code::kGammLn), Bin(code::kAdd), Const(kGammLnStep), Copy(u);
                return Diff(u);
            case code::kAbs:  // (u' * ((U(u) * 2) - 1)): the sign of u, taken as 1 at 0
                Bin(code::kMul), Bin(code::kSub), Const(1.0), Bin(code::kMul), Const(2.0),
                    Un(code::kStep), Copy(u);
                return Diff(u);
            case code::kStep:  // a step is flat wherever it has a derivative
                Const(0.0);
                return RunAfter(n);
            case code::kMag:  // without a rule: turned away above
            case code::kAngle: break;
        }
        return NotImplemented(n, true);
    }

    CodeNode* DiffBinary(CodeNode* n) {
        CodeNode* r = n->next;
        CodeNode* l = RunAfter(r);
        const unsigned char op = n->sub;
        const BinaryTraits* traits = FindBinaryTraits(op);
        if (traits == nullptr || !HasRule(traits->derivative)) return NotImplemented(n, false);
        if (sums_ != nullptr) {
            if (const SumCluster* c = sums_->At(n)) return DiffSum(*c);
        }
        switch (static_cast<code::Binary>(op)) {
            case code::kAdd:  // (L' + R')
                Bin(code::kAdd), Diff(r);
                return Diff(l);
            case code::kSub:  // (L' + -(R'))
                Bin(code::kAdd), Un(code::kNeg), Diff(r);
                return Diff(l);
            case code::kMul:  // ((L' * R) + (L * R'))
                Bin(code::kAdd), Bin(code::kMul), Diff(r), Copy(l), Bin(code::kMul), Copy(r);
                return Diff(l);
            case code::kDiv:  // (((L' * R) - (L * R')) / SQUARE(R))
                Bin(code::kDiv), Un(code::kSquare), Copy(r), Bin(code::kSub), Bin(code::kMul),
                    Diff(r), Copy(l), Bin(code::kMul), Copy(r);
                return Diff(l);
            case code::kPow: {
                // (((L ^ (R - 1)) * (L' * R)) + ((L ^ R) * (LN(L) * R'))); the LN term stays
                // even for a constant exponent, where folding removes it.
                Bin(code::kAdd), Bin(code::kMul), Bin(code::kMul), Diff(r), Un(code::kLn), Copy(l),
                    Bin(code::kPow), Copy(r), Copy(l);
                Bin(code::kMul), Bin(code::kMul), Copy(r), Diff(l), Bin(code::kPow),
                    Bin(code::kSub), Const(1.0), Copy(r);
                return Copy(l);
            }
            case code::kAtan2: {  // (((R' * L) - (R * L')) / -((SQUARE(R) + SQUARE(L))))
                Bin(code::kDiv), Un(code::kNeg), Bin(code::kAdd), Un(code::kSquare), Copy(l),
                    Un(code::kSquare), Copy(r), Bin(code::kSub), Bin(code::kMul), Diff(l), Copy(r),
                    Bin(code::kMul);
                CodeNode* end = Copy(l);
                Diff(r);
                return end;
            }
            case code::kGammP: {
                // (((R' * EXP(-((R + GAMMLN(L))))) * (R ^ (L - 1)))
                //  + (L' * ((LN(L - 1) - EXP(-(GAMMLN(L)))) * GAMMP(L, R))))
                // The first term is exact. The derivative with respect to the shape L has no
                // closed form in the language; the second term is kept as the rule has always
                // been and is only an approximation, so a shape that depends on the unknowns
                // is better served by the incremental Jacobian.
                Bin(code::kAdd), Bin(code::kMul), Bin(code::kMul), Copy(n), Bin(code::kSub),
                    Un(code::kExp), Un(code::kNeg), Un(code::kGammLn), Copy(l), Un(code::kLn),
                    Bin(code::kSub), Const(1.0), Copy(l);
                CodeNode* end = Diff(l);
                Bin(code::kMul), Bin(code::kPow), Bin(code::kSub), Const(1.0), Copy(l), Copy(r),
                    Bin(code::kMul), Un(code::kExp), Un(code::kNeg), Bin(code::kAdd),
                    Un(code::kGammLn), Copy(l), Copy(r), Diff(r);
                return end;
            }
            case code::kIf:  // IF(L, R'): the condition is kept, the branches differentiated
                Bin(code::kIf), Diff(r);
                return Copy(l);
            case code::kThen:  // (L' THEN R')
                Bin(code::kThen), Diff(r);
                return Diff(l);
            case code::kLess:  // a comparison is kept as it is
            case code::kEqual:
            case code::kGreater: return Copy(n);
            case code::kAngleOp:  // without a rule: turned away above
            case code::kDeriv:
            case code::kDelay:
            case code::kIntegral:
            case code::kLim:
            case code::kArg: break;
        }
        return NotImplemented(n, false);
    }

    // The chain's derivative as the plain rules spell it, ((t0' + t1') + -(t2')) ..., with
    // every run of terms without the variable written as one zero: their derivatives fold to
    // zeros, and folding adds a zero to what stands on its left (or drops it beside anything
    // that is not a constant), so one zero of the sign their sum has folds to the same result.
    CodeNode* DiffSum(const SumCluster& c) {
        static const std::vector<int> kNone;
        const auto found = c.termsWith.find(variable_);
        const std::vector<int>& with = found == c.termsWith.end() ? kNone : found->second;
        // Items left to right: a term's index, or -1 - g for the g-th run of zeros.
        std::vector<int> items;
        std::vector<double> zeros;
        const int count = static_cast<int>(c.terms.size());
        auto zerosBetween = [&](int from, int to) {  // terms from..to-1, none holding the variable
            if (from >= to) return;
            const int positive = c.positiveZerosUpTo[static_cast<std::size_t>(to)] -
                                 c.positiveZerosUpTo[static_cast<std::size_t>(from)];
            zeros.push_back(positive > 0 ? 0.0 : -0.0);
            items.push_back(-static_cast<int>(zeros.size()));
        };
        int next = 0;
        for (int i : with) {
            zerosBetween(next, i);
            items.push_back(i);
            next = i + 1;
        }
        zerosBetween(next, count);
        for (std::size_t j = items.size(); j-- > 0;) {
            if (j > 0) Bin(code::kAdd);
            const int item = items[j];
            if (item < 0) {
                Const(zeros[static_cast<std::size_t>(-item - 1)]);
                continue;
            }
            if (c.negated[static_cast<std::size_t>(item)] != 0) Un(code::kNeg);
            Diff(c.terms[static_cast<std::size_t>(item)]);
        }
        return c.after;
    }

    CodeNode* NotImplemented(CodeNode* n, bool unary) {
        if (silent_) {
            Fail();
            Const(0.0);
            return RunAfter(n);
        }
        ConsoleWriteLine(s_.console);
        std::string text = symbolic_message::kDerivativeOf;
        text += unary ? symbolic_message::kUnaryFunction : symbolic_message::kBinaryFunction;
        text += unary ? UnaryCodeName(n->sub) : BinaryCodeName(n->sub);
        text += eval_message::kNotImplemented;
        ConsoleWrite(s_.console, text);
        ConsoleWriteLine(s_.console);
        ConsoleWrite(s_.console, symbolic_message::kUseIncremental);
        StopWithError(s_);
        Const(0.0);
        return RunAfter(n);
    }

    void IllegalCode(const CodeNode* n) {
        if (silent_) {
            Fail();
            return;
        }
        ConsoleWriteLine(s_.console);
        std::string text = symbolic_message::kIllegalCode;
        text += n->kind;
        text += static_cast<char>(n->sub);
        text += symbolic_message::kIllegalCodeEnd;
        ConsoleWrite(s_.console, text);
        ConsoleWriteLine(s_.console);
        StopWithError(s_);
    }

    CoreState& s_;
    int variable_;
    bool restricted_;
    CodeNode*& out_;
    long budget_;    // nodes this derivative may take
    long made_ = 0;  // nodes made so far
    bool halted_ = false;
    const SumIndex* sums_;
    bool silent_ = false;
    bool failed_ = false;
};

}  // namespace

long DerivativeNodeBudget(CodeNode* run) {
    return kDerivativeNodesPerCodeNode * RunNodes(run) + kDerivativeNodeAllowance;
}

CodeNode* Differentiate(CoreState& s, CodeNode* run, int variable, CodeNode*& output,
                        bool* halted) {
    Emitter emitter(s, variable, false, output, RunNodes(run));
    CodeNode* after = emitter.Diff(run);
    if (halted != nullptr) *halted = emitter.Halted();
    return after;
}

CodeNode* Differentiate(CoreState& s, CodeNode* run, int variable, const SumIndex& sums,
                        CodeNode*& output, bool* halted) {
    Emitter emitter(s, variable, false, output, sums.rootNodes, &sums);
    CodeNode* after = emitter.Diff(run);
    if (halted != nullptr) *halted = emitter.Halted();
    return after;
}

bool DerivativeFoldsToZero(CoreState& s, CodeNode* run, bool negated, double& zero) {
    CodeNode* d = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    Emitter emitter(s, kNoVariable, false, d, RunNodes(run));
    emitter.Silence();
    if (negated) d = MakeNode(s.pool, kKindUnary, code::kNeg, 0, 0.0, 0, d);
    emitter.Diff(run);
    bool quiet = !emitter.Failed();
    for (const CodeNode* n = d; n != nullptr && quiet; n = n->next) quiet = FoldsQuietly(n);
    d = Reverse(d);  // parse form, the ';' first
    if (quiet) ConstantFold(s, d);
    const CodeNode* head = SkipDeleted(d->next);
    const bool isZero = quiet && head != nullptr && IsPlainConst(head) && head->value == 0.0 &&
                        SkipDeleted(head->next) == nullptr;
    if (isZero) zero = head->value;
    FreeList(s.pool, d);
    return isZero;
}

CodeNode* EmitCopy(CoreState& s, CodeNode* run, CodeNode*& output) {
    return Emitter(s, 0, false, output, RunNodes(run)).Copy(run);
}

CodeNode* DifferentiateRestricted(CoreState& s, CodeNode* run, int variable, CodeNode*& output) {
    return Emitter(s, variable, true, output, RunNodes(run)).Diff(run);
}
