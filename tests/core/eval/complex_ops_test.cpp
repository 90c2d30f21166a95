#include "core/eval/complex_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>

#include "core/eval/evaluator.h"
#include "core/eval/values.h"
#include "core/lang/code_string.h"
#include "core/run/core_state.h"

namespace {

using C = std::complex<double>;
const C kPoints[] = {{1.3, 0.7}, {-0.8, 1.9}, {-1.1, -0.4}, {0.6, -1.7}};  // every quadrant

struct Harness {
    CoreState s;
    std::string out;
    bool flag = false;
    Harness() {
        s.console.callback = [this](const char* t) { out += t; };
        s.k.complexMode = true;
    }
    C Bin(unsigned char op, C a, C b) {
        const auto r = ComplexBinary(s, op, {a.real(), a.imag()}, {b.real(), b.imag()}, flag);
        return {r.re, r.im};
    }
    C Un(unsigned char op, C z) {
        const auto r = ComplexUnary(s, op, {z.real(), z.imag()}, flag);
        return {r.re, r.im};
    }
    CodeNode* B(unsigned char op, CodeNode* l, CodeNode* r) { return WrapBinary(s.pool, op, r, l); }
    CodeNode* U(unsigned char op, CodeNode* x) { return WrapUnary(s.pool, op, x); }
    CodeNode* V(double v, unsigned char sub = kSubPlain) {
        return MakeNode(s.pool, kKindConst, sub, 0, v, 0, nullptr);
    }
    C Eval(CodeNode* prefix) {
        CodeNode* list = Finalize(s.pool, prefix);
        Evaluate(s, list, flag);
        FreeList(s.pool, list);
        return {s.eval.stack[1].re, s.eval.stack[1].im};
    }
};

#define EXPECT_C_NEAR(got, want)                                       \
    EXPECT_LT(std::abs((got)-C(want)), 1e-9 * (1 + std::abs(C(want)))) \
        << (got) << " vs " << C(want) << ": "

}  // namespace

TEST(ComplexOps, PhasorsAndImaginaryConstantsEvaluate) {
    Harness h;
    // The parser writes 3 @ 0.5 as 3 * (COS(0.5) + j * SIN(0.5)).
    CodeNode* unit =
        h.B('+', h.U('C', h.V(0.5)), h.B('*', h.V(1, kSubImaginary), h.U('S', h.V(0.5))));
    EXPECT_C_NEAR(h.Eval(h.B('*', h.V(3), unit)), std::polar(3.0, 0.5));
    EXPECT_C_NEAR(h.Eval(h.B('*', h.V(3), h.V(0.5, kSubPhasor))), std::polar(3.0, 0.5));
    EXPECT_C_NEAR(h.Eval(h.B('*', h.V(1, kSubImaginary), h.V(2))), C(0, 2));
    EXPECT_FALSE(h.flag);
    EXPECT_EQ(h.Bin('@', 3.0, 0.5), C(0, 0));  // no arithmetic of its own
}

TEST(ComplexOps, BinaryArithmeticMatchesComplexNumbers) {
    Harness h;
    for (int i = 0; i < 4; ++i) {
        const C a = kPoints[i], b = kPoints[(i + 1) % 4];
        EXPECT_C_NEAR(h.Bin('+', a, b), a + b);
        EXPECT_C_NEAR(h.Bin('-', a, b), a - b);
        EXPECT_C_NEAR(h.Bin('>', a, b), a - b);
        EXPECT_C_NEAR(h.Bin('<', a, b), b - a);
        EXPECT_C_NEAR(h.Bin('*', a, b), a * b);
        EXPECT_C_NEAR(h.Bin('/', a, b), a / b);
        EXPECT_C_NEAR(h.Bin('^', a, C(3, 7)),
                      a * a * a);  // the exponent's imaginary part is unused
        EXPECT_EQ(h.Bin('A', a, b), C(std::atan2(a.real(), b.real()), 0));
        EXPECT_EQ(h.Bin('=', a, b), C(1, 0));
        EXPECT_EQ(h.Bin('=', a, a), C(0, 0));
        EXPECT_EQ(h.Bin(0xE6, a, b), C(0, 0));
    }
    EXPECT_C_NEAR(h.Bin('^', C(0, 2), 2.0), C(-4, 0));
    EXPECT_C_NEAR(h.Bin('^', C(-8, 0), 1.0 / 3), std::polar(2.0, kPi / 3));  // principal root
    EXPECT_FALSE(h.flag);
}

TEST(ComplexOps, OverflowClipsBinaryResultsOnly) {
    Harness h;
    EXPECT_EQ(h.Bin('/', C(1, 1), C(0, 0)), C(1e50, 0));
    EXPECT_EQ(h.Bin('^', C(1e30, 0), 2.0), C(1e50, 0));
    EXPECT_EQ(h.Bin('*', C(0, 1e30), C(0, 1e30)), C(1e50, 0));
    EXPECT_EQ(h.Un('L', C(0, 0)), C(1e50, 3.14159265359));
    EXPECT_EQ(h.out, "");
    EXPECT_DOUBLE_EQ(h.Un('E', C(60, kPi / 2)).imag(), 1e50);  // stays on the imaginary axis
    EXPECT_EQ(h.out, "Overflow in EXP\n");
    EXPECT_FALSE(h.flag);
}

TEST(ComplexOps, UnaryFunctionsMatchComplexNumbers) {
    // clang-format off
    const struct { unsigned char op; C (*f)(C); } cases[] = {
        {'-', [](C z) { return -z; }}, {'r', [](C z) { return C(z.real()); }},
        {'i', [](C z) { return C(z.imag()); }}, {'j', [](C z) { return std::conj(z); }},
        {'m', [](C z) { return C(std::abs(z)); }}, {'B', [](C z) { return C(std::abs(z)); }},
        {'a', [](C z) { return C(std::arg(z)); }}, {'2', [](C z) { return z * z; }},
        {'I', [](C z) { return 1.0 / z; }}, {'Q', [](C z) { return std::sqrt(z); }},
        {'E', [](C z) { return std::exp(z); }}, {'L', [](C z) { return std::log(z); }},
        {'C', [](C z) { return std::cos(z); }}, {'S', [](C z) { return std::sin(z); }},
        {'T', [](C) { return C(0); }}, {'s', [](C) { return C(0); }},   // not defined for pairs
        {'+', [](C) { return C(0); }}, {0xE6, [](C) { return C(0); }}}; // outside the unary codes
    // clang-format on
    Harness h;
    for (const C z : kPoints) {
        for (const auto& c : cases) EXPECT_C_NEAR(h.Un(c.op, z), c.f(z)) << c.op << " at " << z;
        EXPECT_C_NEAR(h.Un('t', z / 2.0), std::atan(z / 2.0)) << z;
    }
    EXPECT_FALSE(h.flag);
}

TEST(ComplexOps, RealOnlyFunctionsUseTheRealPart) {
    Harness h;
    EXPECT_EQ(h.Un('U', C(-1, 5)), C(0, 0));  // the step follows real mode
    EXPECT_EQ(h.Un('U', C(0, -3)), C(1, 0));
    EXPECT_NEAR(h.Un('P', C(0.5, 9)).real(), std::erf(0.5), 1e-6);
    EXPECT_EQ(h.Un('P', C(0.5, 9)).imag(), 0.0);
    EXPECT_EQ(ToPolar({-1.0, -0.0}).im, std::acos(-1.0));  // angles in (-pi, pi]
    EXPECT_EQ(FromPolar(kUndefinedValue, 1.0).re, kUndefinedValue);
}
