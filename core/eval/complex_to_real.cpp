#include "core/eval/complex_to_real.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/eval/eval_messages.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/function_traits.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

namespace {

constexpr char kPolarMark = '\x9F';  // a name holding it is a magnitude-and-angle quantity
constexpr char kMagnitudeSuffix = '\xF1';
constexpr char kAngleSuffix = '\xB0';

// Integer powers up to this are expanded as repeated products. Each product uses both parts of
// the running result twice, so the code doubles with every factor; above this the power is
// taken in polar form, whose code grows only by a constant.
constexpr int kMaxExpandedPower = 8;

// Nodes the two real halves of one equation may hold together: each is compiled again later
// and must stay within the bound of one equation.
constexpr std::size_t kConvertedNodeBound = 2 * static_cast<std::size_t>(kMaxEquationNodes);

// A complex subexpression as two real code lists in parse form, each one complete run that
// this pair owns: (real part, imaginary part), or (magnitude, angle) when polar.
struct Pair {
    CodeNode* first = nullptr;
    CodeNode* second = nullptr;
    bool polar = false;
};

class Converter {
   public:
    Converter(CoreState& s, int variableCount) : s_(s), n_(variableCount) {}

    Pair Split(const CodeNode* node);
    Pair Rect(Pair p);
    // Starts the count of the nodes one equation's halves may take.
    void StartEquation() {
        start_ = s_.pool.liveCount();
        overflow_ = false;
    }
    // Whether the halves passed the bound; they are then not a faithful conversion.
    bool Overflowed() const { return overflow_; }

   private:
    Pair Polar(Pair p);
    Pair SplitBinary(const CodeNode* node);
    Pair SplitUnary(const CodeNode* node);
    Pair Power(const CodeNode* exponent, const CodeNode* base);
    Pair Product(Pair a, Pair b);
    void ReportNotImplemented();
    Pair NotImplemented() {
        ReportNotImplemented();
        return Zero();
    }

    // Products and quotients use both parts of their operands more than once, so copies are
    // where the code grows; past the bound a copy is replaced by 0 and the conversion is
    // refused.
    CodeNode* Copy(const CodeNode* list) {
        if (overflow_ || s_.pool.liveCount() - start_ > kConvertedNodeBound) {
            overflow_ = true;
            return Num(0.0);
        }
        return CopyList(s_.pool, list);
    }
    // WrapBinary takes the right operand first; these read in the written order.
    CodeNode* Bin(unsigned char op, CodeNode* left, CodeNode* right) {
        return WrapBinary(s_.pool, op, right, left);
    }
    CodeNode* Un(unsigned char op, CodeNode* operand) { return WrapUnary(s_.pool, op, operand); }
    CodeNode* Num(double v) { return ConstNode(s_.pool, v); }
    Pair Zero() { return {Num(0.0), Num(0.0), false}; }
    CodeNode* Magnitude(CodeNode* re, CodeNode* im) {
        return Un(code::kSqrt, Bin(code::kAdd, Un(code::kSquare, re), Un(code::kSquare, im)));
    }
    // atan2 rather than ARCTAN(im / re): the quotient loses the quadrant (and fails on the
    // imaginary axis), which would turn -1 into 1 for INV, SQRT and ANGLE.
    CodeNode* Angle(CodeNode* re, CodeNode* im) { return Bin(code::kAtan2, im, re); }

    CoreState& s_;
    int n_;                  // variables before the conversion
    std::size_t start_ = 0;  // live nodes of the pool when the equation began
    bool overflow_ = false;
};

Pair Converter::Rect(Pair p) {
    if (!p.polar) return p;
    CodeNode* m = p.first;
    CodeNode* a = p.second;
    CodeNode* re = Bin(code::kMul, Copy(m), Un(code::kCos, Copy(a)));
    CodeNode* im = Bin(code::kMul, m, Un(code::kSin, a));
    return {re, im, false};
}

Pair Converter::Polar(Pair p) {
    if (p.polar) return p;
    CodeNode* m = Magnitude(Copy(p.first), Copy(p.second));
    return {m, Angle(p.first, p.second), true};
}

// The conversion goes on after an unsupported construct; its part of the result is zero (or,
// for a function, the function of the real part only).
void Converter::ReportNotImplemented() {
    ConsoleWrite(s_.console, eval_message::kNotImplemented);
    WarningBeep(s_);
    ErrorTail(s_);
}

// Rectangular product; takes both pairs.
Pair Converter::Product(Pair a, Pair b) {
    a = Rect(a);
    b = Rect(b);
    CodeNode* re = Bin(code::kSub, Bin(code::kMul, Copy(a.first), Copy(b.first)),
                       Bin(code::kMul, Copy(a.second), Copy(b.second)));
    CodeNode* im =
        Bin(code::kAdd, Bin(code::kMul, a.first, b.second), Bin(code::kMul, a.second, b.first));
    return {re, im, false};
}

Pair Converter::Split(const CodeNode* node) {
    node = SkipDeleted(node);
    if (node == nullptr) return Zero();
    switch (node->kind) {
        case kKindConst: {
            if (node->sub == kSubPhasor) {
                return {Un(code::kCos, Num(node->value)), Un(code::kSin, Num(node->value)), false};
            }
            CodeNode* v =
                MakeNode(s_.pool, kKindConst, node->sub, node->var, node->value, 0, nullptr);
            if (node->sub == kSubImaginary) {
                v->sub = kSubPlain;
                return {Num(0.0), v, false};
            }
            return {v, Num(0.0), false};
        }
        case kKindVar: {
            const int n = node->var;
            const bool polar =
                n >= 1 && n <= n_ && s_.names.name[n].find(kPolarMark) != std::string::npos;
            Pair p{VarNode(s_.pool, n_ + n), VarNode(s_.pool, 2 * n_ + n), polar};
            if (node->sub == kSubImaginary) {  // j times the variable
                p = Rect(p);
                return {Un(code::kNeg, p.second), p.first, false};
            }
            return p;
        }
        case kKindBinary: return SplitBinary(node);
        case kKindUnary: return SplitUnary(node);
        case kKindEnd:
        case kKindDeleted: break;
    }
    return Zero();
}

Pair Converter::SplitBinary(const CodeNode* node) {
    const CodeNode* right = SkipDeleted(node->next);
    const CodeNode* rightEnd = right ? SubtreeEnd(right) : nullptr;
    const CodeNode* left = rightEnd ? SkipDeleted(rightEnd->next) : nullptr;
    if (left == nullptr) return Zero();  // not a complete operator

    const unsigned char op = node->sub;
    switch (static_cast<code::Binary>(op)) {
        case code::kPow: return Power(right, left);
        case code::kAdd:
        case code::kSub: {
            Pair a = Split(left);
            Pair b = Split(right);
            a = Rect(a);
            b = Rect(b);
            return {Bin(op, a.first, b.first), Bin(op, a.second, b.second), false};
        }
        case code::kMul: {
            Pair a = Split(left);
            Pair b = Split(right);
            if (a.polar && b.polar) {
                return {Bin(code::kMul, a.first, b.first), Bin(code::kAdd, a.second, b.second),
                        true};
            }
            return Product(a, b);
        }
        case code::kDiv: {
            Pair a = Split(left);
            Pair b = Split(right);
            if (a.polar && b.polar) {
                return {Bin(code::kDiv, a.first, b.first), Bin(code::kSub, a.second, b.second),
                        true};
            }
            a = Rect(a);
            b = Rect(b);
            CodeNode* den = Bin(code::kAdd, Un(code::kSquare, Copy(b.first)),
                                Un(code::kSquare, Copy(b.second)));
            CodeNode* re = Bin(code::kAdd, Bin(code::kMul, Copy(a.first), Copy(b.first)),
                               Bin(code::kMul, Copy(a.second), Copy(b.second)));
            CodeNode* im = Bin(code::kSub, Bin(code::kMul, a.second, b.first),
                               Bin(code::kMul, a.first, b.second));
            return {Bin(code::kDiv, re, Copy(den)), Bin(code::kDiv, im, den), false};
        }
        case code::kAngleOp: {  // magnitude and angle are real operands
            Pair a = Split(left);
            Pair b = Split(right);
            a = Rect(a);
            b = Rect(b);
            FreeList(s_.pool, a.second);
            FreeList(s_.pool, b.second);
            CodeNode* re = Bin(code::kMul, Copy(a.first), Un(code::kCos, Copy(b.first)));
            CodeNode* im = Bin(code::kMul, a.first, Un(code::kSin, b.first));
            return {re, im, false};
        }
        case code::kAtan2:
        case code::kIf:
        case code::kThen:
        case code::kLess:
        case code::kGreater:
        case code::kEqual:
        case code::kDeriv:
        case code::kDelay:
        case code::kIntegral:
        case code::kLim:
        case code::kArg:
        case code::kGammP: break;
    }
    ConsoleWrite(s_.console, BinaryCodeName(op));
    return NotImplemented();
}

Pair Converter::Power(const CodeNode* exponent, const CodeNode* base) {
    if (exponent->kind != kKindConst) {
        ConsoleWrite(s_.console, eval_message::kVariableComplexPower);
        return NotImplemented();
    }
    const double v = exponent->value;
    const double n = std::round(v);
    if (!IsPlainConst(exponent) || n < 1 || std::fabs(v - n) > s_.k.smallest) {
        ConsoleWrite(s_.console, eval_message::kNonPositivePower);
        return NotImplemented();
    }
    Pair b = Split(base);
    if (n > kMaxExpandedPower) {
        Pair p = Polar(b);
        return {Bin(code::kPow, p.first, Num(n)), Bin(code::kMul, Num(n), p.second), true};
    }
    b = Rect(b);
    Pair result{Copy(b.first), Copy(b.second), false};
    for (int k = 2; k <= static_cast<int>(n); ++k) {
        result = Product(result, {Copy(b.first), Copy(b.second), false});
    }
    FreeList(s_.pool, b.first);
    FreeList(s_.pool, b.second);
    return result;
}

Pair Converter::SplitUnary(const CodeNode* node) {
    const CodeNode* operand = SkipDeleted(node->next);
    if (operand == nullptr) return Zero();
    const unsigned char op = node->sub;
    Pair p = Split(operand);
    switch (static_cast<code::Unary>(op)) {
        case code::kNeg:
            // Negating only the magnitude of a polar pair would leave its angle pointing the
            // old way, so a later MAG or ANGLE would be wrong; negate rectangular parts.
            p = Rect(p);
            return {Un(code::kNeg, p.first), Un(code::kNeg, p.second), false};
        case code::kSquare: {
            p = Rect(p);
            CodeNode* re = Bin(code::kSub, Un(code::kSquare, Copy(p.first)),
                               Un(code::kSquare, Copy(p.second)));
            CodeNode* im = Bin(code::kMul, Bin(code::kMul, p.first, p.second), Num(2.0));
            return {re, im, false};
        }
        case code::kExp: p = Rect(p); return {Un(code::kExp, p.first), p.second, true};
        case code::kInv:
            p = Polar(p);
            return {Un(code::kInv, p.first), Un(code::kNeg, p.second), true};
        case code::kSqrt:
            p = Polar(p);
            return {Un(code::kSqrt, p.first), Bin(code::kDiv, p.second, Num(2.0)), true};
        case code::kReal:
            p = Rect(p);
            FreeList(s_.pool, p.second);
            return {p.first, Num(0.0), false};
        case code::kImag:
            p = Rect(p);
            FreeList(s_.pool, p.first);
            return {p.second, Num(0.0), false};
        case code::kConjg: return {p.first, Un(code::kNeg, p.second), p.polar};
        case code::kMag:
            if (p.polar) {
                FreeList(s_.pool, p.second);
                return {p.first, Num(0.0), true};
            }
            return {Magnitude(p.first, p.second), Num(0.0), false};
        case code::kAngle:
            if (p.polar) {
                FreeList(s_.pool, p.first);
                return {p.second, Num(0.0), false};
            }
            return {Angle(p.first, p.second), Num(0.0), false};
        case code::kSin:
        case code::kCos:
        case code::kTan:
        case code::kArcSin:
        case code::kArcCos:
        case code::kArcTan:
        case code::kLn:
        case code::kAbs:
        case code::kStep:
        case code::kErf:
        case code::kBessJ0:
        case code::kBessJ1:
        case code::kBessY0:
        case code::kBessY1:
        case code::kGammLn: break;
    }
    // Right for a real argument: the function of the real part, imaginary part zero.
    ConsoleWrite(s_.console, UnaryCodeName(op));
    ReportNotImplemented();
    p = Rect(p);
    return {Un(op, p.first), p.second, false};
}

// Name of one real half of a complex variable. Both halves differ only in the suffix, so the
// base is cut to leave room for it within the name length.
std::string HalfName(const std::string& base, char suffix, int nameChars) {
    const std::size_t room = static_cast<std::size_t>(std::max(nameChars - 1, 0));
    return base.substr(0, std::min(base.size(), room)) + suffix;
}

}  // namespace

bool ConvertComplexToReal(CoreState& s) {
    NameTable& names = s.names;
    EquationModel& model = s.model;
    const int n = names.variableCount;
    const int count = model.count;
    // Checked before anything changes, so a refusal leaves the model as it was.
    if (3 * n > s.limits.maxVariables) {
        ConsoleWrite(s.console, parser_message::kTooManyVariables);
        ConsoleWriteLine(s.console);
        WriteCapacityHint(s, LimitKind::kVariables, 3L * n);
        ConsoleWriteLine(s.console);
        return false;
    }
    if (2 * count > s.limits.maxEquations) {
        ConsoleWrite(s.console, parser_message::kTooManyEquations);
        ConsoleWriteLine(s.console);
        WriteCapacityHint(s, LimitKind::kEquations, 2L * count);
        ConsoleWriteLine(s.console);
        return false;
    }

    ConsoleWrite(s.console, eval_message::kConvertingComplex);
    ConsoleWriteLine(s.console);

    // Every equation is converted from a copy first, so that a conversion that grows past its
    // bound leaves the model as it was.
    Converter converter(s, n);
    std::vector<Pair> halves(static_cast<std::size_t>(count) + 1);
    int converted = 0;
    for (int e = 1; e <= count; ++e) {
        CodeNode* list = Strip(s.pool, ToPrefix(CopyList(s.pool, model.eq[e].code)));
        converter.StartEquation();
        halves[e] = converter.Rect(converter.Split(list));
        FreeList(s.pool, list);
        converted = e;
        if (converter.Overflowed()) break;
    }
    if (converter.Overflowed()) {
        for (int e = 1; e <= converted; ++e) {
            FreeList(s.pool, halves[e].first);
            FreeList(s.pool, halves[e].second);
        }
        ConsoleWrite(s.console, parser_message::kEquationTooLong);
        ConsoleWrite(s.console, eval_message::kInEquation);
        ConsoleWrite(s.console, std::to_string(converted));
        ConsoleWriteLine(s.console);
        return false;
    }

    for (int v = 1; v <= n; ++v) {
        const std::string& name = names.name[v];
        std::string first, second;
        if (name.find(kPolarMark) != std::string::npos) {
            const std::string base = name.substr(0, name.size() - 1);
            first = HalfName(base, kMagnitudeSuffix, s.limits.nameChars);
            second = HalfName(base, kAngleSuffix, s.limits.nameChars);
        } else {
            first = HalfName(name, 'r', s.limits.nameChars);
            second = HalfName(name, 'i', s.limits.nameChars);
        }
        names.name[n + v] = first;
        names.name[2 * n + v] = second;
        // Both halves start from the complex variable's value and starting range.
        for (int half : {n + v, 2 * n + v}) {
            names.value[half] = names.value[v];
            names.lowBound[half] = names.lowBound[v];
            names.highBound[half] = names.highBound[v];
        }
    }
    names.variableCount = 3 * n;

    for (int e = 1; e <= count; ++e) {
        Equation& eq = model.eq[e];
        FreeList(s.pool, eq.code);
        eq.code = Finalize(s.pool, halves[e].first);
        Equation& imaginary = model.eq[count + e];
        imaginary = eq;
        imaginary.code = Finalize(s.pool, halves[e].second);
    }
    model.count = 2 * count;
    return true;
}
