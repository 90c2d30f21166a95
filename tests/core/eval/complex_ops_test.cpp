#include "core/eval/complex_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "core/base/core_state.h"
#include "core/code_builder.h"

namespace {

using C = std::complex<double>;
const C kPoints[] = {{1.3, 0.7}, {-0.8, 1.9}, {-1.1, -0.4}, {0.6, -1.7}};  // every quadrant

struct Harness : testcode::ConsoleCore {
    bool flag = false;
    Harness() { s.k.arithmetic = Arithmetic::kComplex; }
    C Bin(unsigned char op, C a, C b) {
        const auto r = ComplexBinary(s, op, {a.real(), a.imag()}, {b.real(), b.imag()}, flag);
        return {r.re, r.im};
    }
    C Un(unsigned char op, C z) {
        const auto r = ComplexUnary(s, op, {z.real(), z.imag()}, flag);
        return {r.re, r.im};
    }
};

#define EXPECT_C_NEAR(got, want)                                       \
    EXPECT_LT(std::abs((got)-C(want)), 1e-9 * (1 + std::abs(C(want)))) \
        << (got) << " vs " << C(want) << ": "

}  // namespace

// Phasor and imaginary operands and IF with complex branches, as the evaluator runs them, are
// checked against a walk of the list in flatten_test.
TEST(ComplexOps, PowersClippedResultsArithmeticAndFunctions) {
    Harness h;
    EXPECT_C_NEAR(h.Bin('^', C(0, 2), 2.0), C(-4, 0));
    EXPECT_EQ(h.Bin('/', C(1, 1), C(0, 0)), C(1e50, 0));
    EXPECT_EQ(h.Bin('*', C(0, 1e30), C(0, 1e30)), C(1e50, 0));
    EXPECT_EQ(h.Un('L', C(0, 0)), C(1e50, 3.14159265359));
    EXPECT_EQ(h.Un('U', C(-1, 5)), C(0, 0));  // the step looks at the real part only
    EXPECT_EQ(h.Un('U', C(0, -3)), C(1, 0));

    // clang-format off
    const struct { unsigned char op; C (*f)(C); } unary[] = {
        {'-', [](C z) { return -z; }}, {'j', [](C z) { return std::conj(z); }},
        {'m', [](C z) { return C(std::abs(z)); }}, {'a', [](C z) { return C(std::arg(z)); }},
        {'I', [](C z) { return 1.0 / z; }}, {'Q', [](C z) { return std::sqrt(z); }},
        {'E', [](C z) { return std::exp(z); }}, {'L', [](C z) { return std::log(z); }},
        {'C', [](C z) { return std::cos(z); }}, {'S', [](C z) { return std::sin(z); }}};
    // clang-format on
    for (int i = 0; i < 4; ++i) {
        const C a = kPoints[i], b = kPoints[(i + 1) % 4];
        EXPECT_C_NEAR(h.Bin('+', a, b), a + b);
        EXPECT_C_NEAR(h.Bin('-', a, b), a - b);
        EXPECT_C_NEAR(h.Bin('*', a, b), a * b);
        EXPECT_C_NEAR(h.Bin('/', a, b), a / b);
        EXPECT_C_NEAR(h.Bin('^', a, C(3, 7)),
                      a * a * a);  // the exponent's imaginary part is unused
        for (const auto& u : unary) EXPECT_C_NEAR(h.Un(u.op, a), u.f(a)) << u.op << " at " << a;
        EXPECT_C_NEAR(h.Un('t', a / 2.0), std::atan(a / 2.0)) << a;
    }
    EXPECT_EQ(h.out, "");
    EXPECT_FALSE(h.flag);
}
