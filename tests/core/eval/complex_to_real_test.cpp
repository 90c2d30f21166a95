#include "core/eval/complex_to_real.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <sstream>
#include <string>

#include "core/base/core_state.h"
#include "core/capacity_hint.h"
#include "core/code_builder.h"
#include "core/eval/evaluator.h"

namespace {

using C = std::complex<double>;
const std::string kPolar = "\x9F";  // a name holding it is a magnitude-and-angle quantity

struct Harness : testcode::ConsoleCore {
    void Equation(const std::string& postfix) {
        ::Equation& q = s.model.eq[++s.model.count];
        q.code = testcode::Postfix(s, postfix);
        q.relation = '=';
        q.complex = true;
    }
    // After the conversion: puts z into the two real halves of complex variable v.
    void Set(int v, C z) {
        const int n = s.names.variableCount / 3;
        const bool polar = s.names.name[v].find(kPolar) != std::string::npos;
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

// Converts one equation over x and y given in postfix tokens (bit 1 of forms: x polar, bit 2:
// y polar) and compares the two real equations with the complex value they stand for, x and y
// in every quadrant.
void ExpectConverts(const std::string& code, int forms, C (*want)(C, C)) {
    Harness h;
    testcode::Var(h.s, forms & 1 ? "x" + kPolar : "x");  // variable 1
    testcode::Var(h.s, forms & 2 ? "y" + kPolar : "y");  // variable 2
    std::string tokens;
    std::istringstream in(code);
    for (std::string t; in >> t;) {
        if ((t.back() == 'x' && forms & 1) || (t.back() == 'y' && forms & 2)) t += kPolar;
        tokens += t + " ";
    }
    h.Equation(tokens);
    ASSERT_TRUE(ConvertComplexToReal(h.s));
    EXPECT_EQ(h.out, "Converting Complex to Real\n") << code;
    for (const auto& [a, b] :
         {std::pair{C(1.3, 0.7), C(-0.8, 1.9)}, {C(-1.1, -0.4), C(0.6, -1.7)}}) {
        h.Set(1, a);
        h.Set(2, b);
        const C got = h.Result(1), expected = want(a, b);
        EXPECT_LT(std::abs(got - expected), 1e-9 * (1 + std::abs(expected)))
            << code << " forms " << forms << " at " << a << ", " << b << ": " << got;
    }
}

}  // namespace

TEST(ComplexToReal, ResultsMatchComplexNumbersInEveryForm) {
    // Functions take -x, so a negated polar pair must keep its angle right; powers up to 8 are
    // expanded as products, higher ones taken in polar form.
    const struct {
        const char* code;
        C (*want)(C, C);
    } rows[] = {
        // clang-format off
        {"x y +", [](C a, C b) { return a + b; }}, {"x y -", [](C a, C b) { return a - b; }},
        {"x y *", [](C a, C b) { return a * b; }}, {"x y /", [](C a, C b) { return a / b; }},
        {"x neg", [](C a, C) { return -a; }}, {"x neg SQUARE", [](C a, C) { return a * a; }},
        {"x neg EXP", [](C a, C) { return std::exp(-a); }},
        {"x neg INV", [](C a, C) { return -1.0 / a; }},
        {"x neg SQRT", [](C a, C) { return std::sqrt(-a); }},
        {"x neg REAL", [](C a, C) { return C(-a.real()); }},
        {"x neg IMAG", [](C a, C) { return C(-a.imag()); }},
        {"x neg CONJG", [](C a, C) { return std::conj(-a); }},
        {"x neg MAG", [](C a, C) { return C(std::abs(a)); }},
        {"x neg ANGLE", [](C a, C) { return C(std::arg(-a)); }},
        {"x 2 ^", [](C a, C) { return a * a; }}, {"x 3 ^", [](C a, C) { return a * a * a; }},
        {"x 12 ^", [](C a, C) { return std::pow(a, 12); }},
        {"j:1 2 * pi +", [](C, C) { return C(kPi, 2); }},
        {"j:x", [](C a, C) { return C(0, 1) * a; }},
        {"x y @", [](C a, C b) { return a.real() * std::polar(1.0, b.real()); }},
        // clang-format on
    };
    for (const auto& r : rows) {
        for (int forms = 0; forms < 4; ++forms) ExpectConverts(r.code, forms, r.want);
    }
}

TEST(ComplexToReal, UnsupportedConstructsReportAndNothingLeaks) {
    Harness h;
    h.Equation("x 0.5 ^");
    h.Equation("x SIN");
    h.Equation("y 1 +");
    ASSERT_TRUE(ConvertComplexToReal(h.s));
    EXPECT_EQ(h.out,
              "Converting Complex to Real\nNon Positive Integer Power  Not Implemented\n"
              "Error ...SIN Not Implemented\nError ...");
    EXPECT_EQ(h.s.defaultShell.beeps, 2);
    EXPECT_EQ(h.s.names.name[3] + h.s.names.name[6], "xryi");
    h.Set(1, C(0.3, 0.8));
    h.Set(2, C(2, 1));
    EXPECT_EQ(h.Result(1), C(0, 0));
    EXPECT_EQ(h.Result(2), C(std::sin(0.3), 0.8));  // the function of the real part only
    EXPECT_EQ(h.Result(3), C(3, 1));
    std::size_t held = 0;
    for (int e = 1; e <= h.s.model.count; ++e) held += CountNodes(h.s.model.eq[e].code);
    EXPECT_EQ(h.s.pool.liveCount(), held);
}

TEST(ComplexToReal, RefusesToPassTheLimitsAndChangesNothing) {
    for (bool manyVariables : {true, false}) {
        Harness h;
        for (int i = 0; i < (manyVariables ? 9 : 1); ++i)
            testcode::Var(h.s, "v" + std::to_string(i));
        for (int i = 0; i < (manyVariables ? 1 : 13); ++i) h.Equation("v0 neg");
        const CodeNode* first = h.s.model.eq[1].code;
        EXPECT_FALSE(ConvertComplexToReal(h.s));
        // The rewrite needs three variables per complex one and two equations per equation.
        EXPECT_EQ(h.out.rfind(manyVariables ? "Too Many Variables\n" : "Too Many Equations\n", 0),
                  0u)
            << h.out;
        EXPECT_TRUE(HintsCapacity(h.out, manyVariables ? 27 : 26)) << h.out;
        EXPECT_EQ(h.s.names.variableCount, manyVariables ? 9 : 1);
        EXPECT_EQ(h.s.model.count, manyVariables ? 1 : 13);
        EXPECT_EQ(h.s.model.eq[1].code, first);
        EXPECT_EQ(CountNodes(first), 3);
    }
}
