#include "core/eval/complex_to_real.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
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
    Harness() {
        s.console.callback = [this](const char* t) { out += t; };
    }
    int Var(const std::string& name) {
        s.names.name[++s.names.variableCount] = name;
        return s.names.variableCount;
    }
    CodeNode* X(int n, unsigned char sub = kSubPlain) {
        return MakeNode(s.pool, kKindVar, sub, n, 0.0, 0, nullptr);
    }
    CodeNode* V(double v, unsigned char sub = kSubPlain) {
        return MakeNode(s.pool, kKindConst, sub, 0, v, 0, nullptr);
    }
    CodeNode* B(unsigned char op, CodeNode* l, CodeNode* r) { return WrapBinary(s.pool, op, r, l); }
    CodeNode* U(unsigned char op, CodeNode* x) { return WrapUnary(s.pool, op, x); }
    void Equation(CodeNode* prefix, unsigned char relation = '=', int designated = 0) {
        s.model.eq[++s.model.count] = {Finalize(s.pool, prefix), relation, designated, true};
    }
    // After the conversion: puts z into the two real halves of complex variable v.
    void Set(int v, C z) {
        const int n = s.names.variableCount / 3;
        const bool polar = s.names.name[v].find('\x9F') != std::string::npos;
        s.names.value[n + v] = polar ? std::abs(z) : z.real();
        s.names.value[2 * n + v] = polar ? std::arg(z) : z.imag();
    }
    // Real-mode values of the two equations that equation e became.
    C Result(int e) {
        bool flag = false, flag2 = false;
        const double re = Evaluate(s, s.model.eq[e].code, flag);
        const double im = Evaluate(s, s.model.eq[s.model.count / 2 + e].code, flag2);
        EXPECT_FALSE(flag || flag2);
        return {re, im};
    }
};

using Build = std::function<CodeNode*(Harness&, int x, int y)>;

// Converts one equation over x and y (bit 1 of forms: x polar, bit 2: y polar) and compares
// the two real equations with the complex value they stand for.
void ExpectConverts(const std::string& what, int forms, const Build& build,
                    const std::function<C(C, C)>& want) {
    Harness h;
    const int x = h.Var(forms & 1 ? "x\x9F" : "x"), y = h.Var(forms & 2 ? "y\x9F" : "y");
    h.Equation(build(h, x, y));
    ASSERT_TRUE(ConvertComplexToReal(h.s));
    EXPECT_EQ(h.out, "Converting Complex to Real\n") << what;
    for (int i = 0; i < 4; ++i) {
        const C a = kPoints[i], b = kPoints[(i + 1) % 4];
        h.Set(x, a);
        h.Set(y, b);
        const C got = h.Result(1), expected = want(a, b);
        EXPECT_LT(std::abs(got - expected), 1e-9 * (1 + std::abs(expected)))
            << what << " forms " << forms << " at " << a << ", " << b << ": " << got;
    }
}

}  // namespace

TEST(ComplexToReal, ArithmeticMatchesComplexNumbersInEveryForm) {
    const std::function<C(C, C)> want[] = {std::plus<C>(), std::minus<C>(), std::multiplies<C>(),
                                           std::divides<C>()};
    for (int k = 0; k < 4; ++k) {
        const unsigned char op = "+-*/"[k];
        for (int forms = 0; forms < 4; ++forms) {
            ExpectConverts(
                std::string(1, op), forms,
                [op](Harness& h, int x, int y) { return h.B(op, h.X(x), h.X(y)); }, want[k]);
        }
    }
}

TEST(ComplexToReal, FunctionsMatchComplexNumbers) {
    // clang-format off
    const std::function<C(C)> want[] = {
        [](C z) { return -z; }, [](C z) { return z * z; }, [](C z) { return std::exp(z); },
        [](C z) { return 1.0 / z; }, [](C z) { return std::sqrt(z); },
        [](C z) { return C(z.real()); }, [](C z) { return C(z.imag()); },
        [](C z) { return std::conj(z); }, [](C z) { return C(std::abs(z)); },
        [](C z) { return C(std::arg(z)); }};
    // clang-format on
    for (int k = 0; k < 10; ++k) {
        const unsigned char op = "-2EIQrijma"[k];
        for (int forms : {0, 1}) {
            ExpectConverts(
                std::string(1, op), forms, [op](Harness& h, int x, int) { return h.U(op, h.X(x)); },
                [&](C a, C) { return want[k](a); });
            // A negated polar pair keeps its angle right for the function after it.
            ExpectConverts(
                std::string(1, op) + " of -x", forms,
                [op](Harness& h, int x, int) { return h.U(op, h.U('-', h.X(x))); },
                [&](C a, C) { return want[k](-a); });
        }
    }
}

TEST(ComplexToReal, ConstantsPhasorsAndPowers) {
    ExpectConverts(
        "j*2 + PI", 0,
        [](Harness& h, int, int) {
            return h.B('+', h.B('*', h.V(1, kSubImaginary), h.V(2)), h.V(kPi, kSubPi));
        },
        [](C, C) { return C(kPi, 2); });
    ExpectConverts(
        "x @ y", 2, [](Harness& h, int x, int y) { return h.B('@', h.X(x), h.X(y)); },
        [](C a, C b) { return a.real() * C(std::cos(b.real()), std::sin(b.real())); });
    ExpectConverts(
        "j-form variable", 0, [](Harness& h, int x, int) { return h.X(x, kSubImaginary); },
        [](C a, C) { return C(0, 1) * a; });
    for (int n : {1, 2, 3, 8, 12}) {
        for (int forms : {0, 1}) {
            ExpectConverts(
                "x^" + std::to_string(n), forms,
                [n](Harness& h, int x, int) { return h.B('^', h.X(x), h.V(n)); },
                [n](C a, C) { return std::pow(a, n); });
        }
    }
}

TEST(ComplexToReal, UnsupportedConstructsReportAndContributeZero) {
    Harness h;
    const int x = h.Var("x"), y = h.Var("y");
    h.Equation(h.B('^', h.X(x), h.V(0.5)));
    h.Equation(h.B('^', h.X(x), h.X(y)));
    h.Equation(h.U('S', h.X(x)));
    h.Equation(h.B('A', h.X(x), h.X(y)));
    h.Equation(h.B('+', h.X(x), h.V(1)));
    ASSERT_TRUE(ConvertComplexToReal(h.s));
    EXPECT_EQ(h.out,
              "Converting Complex to Real\nNon Positive Integer Power  Not Implemented\nError ..."
              "Variable Complex Power  Not Implemented\nError ...SIN Not Implemented\nError ..."
              "ATAN2 Not Implemented\nError ...");
    EXPECT_EQ(h.s.defaultShell.beeps, 4);
    h.Set(x, C(0.3, 0.8));
    h.Set(y, C(2, 1));
    EXPECT_EQ(h.Result(1), C(0, 0));
    EXPECT_EQ(h.Result(2), C(0, 0));
    EXPECT_EQ(h.Result(3), C(std::sin(0.3), 0.8));  // the function of the real part only
    EXPECT_EQ(h.Result(4), C(0, 0));
    EXPECT_EQ(h.Result(5), C(0.3 + 1, 0.8));
}

TEST(ComplexToReal, CreatesVariablePairsAndAppendsImaginaryEquations) {
    Harness h;
    for (const char* name : {"x", "z\x9F", "abcdefgh", "abcdef\x9Fg"}) h.Var(name);
    h.s.names.value[1] = 0.4;
    h.Equation(h.X(1));
    h.Equation(h.X(2), '>', 2);
    ASSERT_TRUE(ConvertComplexToReal(h.s));
    EXPECT_TRUE(h.s.model.converted);
    ASSERT_EQ(h.s.names.variableCount, 12);
    const char* halves[] = {"xr", "z\xF1", "abcdefgr", "abcdef\x9F\xF1",
                            "xi", "z\xB0", "abcdefgi", "abcdef\x9F\xB0"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(h.s.names.name[5 + i], halves[i]) << i;
    EXPECT_EQ(h.s.names.value[9], 0.4);
    ASSERT_EQ(h.s.model.count, 4);
    EXPECT_EQ(h.s.model.eq[3].relation, '=');
    EXPECT_EQ(h.s.model.eq[4].relation, '>');
    EXPECT_EQ(h.s.model.eq[4].designated, 2);
    EXPECT_EQ(h.s.model.eq[3].code->var, 9);  // the imaginary half of x
}

TEST(ComplexToReal, RefusesToPassTheLimitsAndChangesNothing) {
    for (bool manyVariables : {true, false}) {
        Harness h;
        for (int i = 0; i < (manyVariables ? 9 : 1); ++i) h.Var("v" + std::to_string(i));
        for (int i = 0; i < (manyVariables ? 1 : 13); ++i) h.Equation(h.U('-', h.X(1)));
        const CodeNode* first = h.s.model.eq[1].code;
        EXPECT_FALSE(ConvertComplexToReal(h.s));
        EXPECT_EQ(h.out, manyVariables ? "Too Many Variables\n" : "Too Many Equations\n");
        EXPECT_EQ(h.s.names.variableCount, manyVariables ? 9 : 1);
        EXPECT_EQ(h.s.model.count, manyVariables ? 1 : 13);
        EXPECT_EQ(h.s.model.eq[1].code, first);
        EXPECT_EQ(CountNodes(first), 3);
        EXPECT_FALSE(h.s.model.converted);
    }
}

TEST(ComplexToReal, KeepsOnlyTheNodesOfTheConvertedEquations) {
    Harness h;
    const int x = h.Var("x"), p = h.Var("p\x9F");
    h.Equation(h.B('^', h.X(x), h.V(0.5)));
    h.Equation(h.B('/', h.U('S', h.X(p)), h.X(x)));
    h.Equation(h.B('*', h.U('-', h.X(p)), h.U('I', h.X(x))));
    h.Equation(h.B('+', h.U('a', h.X(p)), h.B('^', h.U('Q', h.X(x)), h.V(12))));
    h.Equation(h.B('@', h.U('r', h.X(p)), h.U('j', h.U('m', h.X(x)))));
    ASSERT_TRUE(ConvertComplexToReal(h.s));
    std::size_t held = 0;
    for (int e = 1; e <= h.s.model.count; ++e) held += CountNodes(h.s.model.eq[e].code);
    EXPECT_EQ(h.s.pool.liveCount(), held);
}
