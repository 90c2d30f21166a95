// The flattened code the evaluator runs must give what the code list says, operation by
// operation: the results, the error flag and the first message, in real and complex mode, on
// ordinary and special values. The reference here walks the list directly with one call of
// the evaluator's arithmetic per node, without the fused instructions, the top of stack in a
// register or the depth checked in advance.

#include "core/eval/flatten.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/base/special_values.h"
#include "core/code_builder.h"
#include "core/eval/complex_ops.h"
#include "core/eval/evaluator.h"
#include "core/eval/if_branch.h"
#include "core/lang/expression_generator.h"
#include "core/lang/parser_harness.h"

namespace {

struct Outcome {
    ComplexValue value;
    bool error;
    std::string message;
};

ComplexValue Operand(const CoreState& s, const CodeNode* n) {
    const double v = n->kind == kKindVar ? s.names.value[n->var] : n->value;
    if (n->sub == kSubImaginary) return {0.0, v};
    if (n->sub == kSubPhasor) return {std::cos(v), std::sin(v)};
    return {v, 0.0};
}

// The list walked as it stands; well-formed code only.
Outcome Reference(CoreState& s, const CodeNode* list) {
    const bool complexMode = s.k.arithmetic == Arithmetic::kComplex;
    std::vector<ComplexValue> st;
    bool error = false;
    s.message.clear();
    for (const CodeNode* n = list; n != nullptr && n->kind != kKindEnd; n = n->next) {
        if (n->kind == kKindConst || n->kind == kKindVar) {
            st.push_back(Operand(s, n));
            if (!complexMode) st.back().im = 0.0;
        } else if (n->kind == kKindUnary) {
            ComplexValue& z = st.back();
            z = complexMode ? ComplexUnary(s, n->sub, z, error)
                            : ComplexValue{RealUnary(s, n->sub, z.re, error), 0.0};
        } else if (n->kind == kKindBinary && n->sub == code::kIf) {
            const ComplexValue otherwise = st.back();
            st.pop_back();
            const ComplexValue then = st.back();
            st.pop_back();
            st.back() = IfTakesThen(s.k, st.back().re) ? then : otherwise;
        } else if (n->kind == kKindBinary && n->sub != code::kThen) {
            const ComplexValue b = st.back();
            st.pop_back();
            ComplexValue& a = st.back();
            a = complexMode ? ComplexBinary(s, n->sub, a, b, error)
                            : ComplexValue{RealBinary(s, n->sub, a.re, b.re, error), 0.0};
        }
    }
    ComplexValue r = error ? ComplexValue{s.k.largest, 0.0} : st.at(0);
    if (std::fabs(r.re) <= s.k.smallest && r.re != kUndefinedValue) r.re = 0.0;
    EXPECT_EQ(st.size(), 1u);
    return {r, error, s.message};
}

// What the evaluator gives for flattened code or for a list, which it flattens itself.
template <class Code>
Outcome Evaluated(CoreState& s, const Code& code) {
    s.message.clear();
    Outcome o{};
    o.value.re = Evaluate(s, code, o.error);
    o.value.im = s.eval.stack[1].im;
    o.message = s.message;
    return o;
}

// Equal as stored, so that a NaN matches a NaN and -0 does not match 0.
bool Same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void ExpectSame(const Outcome& got, const Outcome& want, bool complexMode) {
    EXPECT_TRUE(Same(got.value.re, want.value.re)) << got.value.re << " vs " << want.value.re;
    if (complexMode) {
        EXPECT_TRUE(Same(got.value.im, want.value.im)) << got.value.im << " vs " << want.value.im;
    }
    EXPECT_EQ(got.error, want.error);
    EXPECT_EQ(got.message, want.message);
}

// Values that take every path of the guarded arithmetic, ordinary ones most often.
double Pick(std::mt19937& rng) {
    const double special[] = {0.0,  -0.0,  1e-60,           -1e-60, kBigValue, -kBigValue,
                              1e49, -3e49, kUndefinedValue, 1e-49,  2.0,       NAN};
    std::uniform_int_distribution<int> choose(0, 23);
    const int c = choose(rng);
    if (c < 12) return special[c];
    return std::uniform_real_distribution<double>(-4.0, 4.0)(rng);
}

// Random well-formed postfix code over every operand form and the operators the flattening
// treats apart (fused arithmetic, IF with its THEN, calls), with deleted nodes strewn in.
std::string RandomPostfix(std::mt19937& rng, int depth) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    if (depth == 0 || pick(5) == 0) {
        const char* operands[] = {"x",  "y",   "z",   "2.5", "-3",    "0",    "?",
                                  "pi", "j:x", "j:2", "@:y", "@:0.5", "1e60", "1e-60"};
        return std::string(pick(8) == 0 ? "~ " : "") + operands[pick(14)];
    }
    const std::string a = RandomPostfix(rng, depth - 1), b = RandomPostfix(rng, depth - 1);
    const char* binary[] = {"+", "-", "*", "/", "^", "ATAN2"};
    const int op = pick(9);
    if (op < 6) return a + " " + b + " " + binary[op];
    switch (op) {
        case 6: return a + " " + b + " " + RandomPostfix(rng, depth - 1) + " THEN IF";
        case 7: {
            const char* unary[] = {"neg", "SIN", "EXP", "SQRT", "INV", "LN", "ABS", "SQUARE"};
            return a + " " + unary[pick(8)];
        }
        default: return a + " " + b + " > ~";
    }
}

struct FlatCodeTest : ::testing::Test, testcode::ConsoleCore {
    void SetUp() override {
        for (const char* name : {"x", "y", "z"}) testcode::Var(s, name);
    }
    void TearDown() override { EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked"; }
};

TEST_F(FlatCodeTest, RandomCodeGivesTheListsResultsOnSpecialValues) {
    std::mt19937 rng(20261207);
    for (bool complexMode : {false, true}) {
        s.k.arithmetic = complexMode ? Arithmetic::kComplex : Arithmetic::kReal;
        for (int round = 0; round < 400; ++round) {
            const std::string tokens = RandomPostfix(rng, 1 + round % 5);
            SCOPED_TRACE(tokens);
            CodeNode* list = testcode::Postfix(s, tokens);
            FlatCode flat;
            ASSERT_TRUE(Flatten(s, list, flat));
            EXPECT_TRUE(flat.complete);
            for (int point = 0; point < 6; ++point) {
                for (int v = 1; v <= 3; ++v) s.names.value[v] = Pick(rng);
                ExpectSame(Evaluated(s, flat), Reference(s, list), complexMode);
            }
            FreeList(s.pool, list);
        }
    }
}

// Equations as the compiler makes them (folded or not), evaluated through the list entry, at
// ordinary and special points.
TEST(FlatCodeCompiled, GeneratedEquationsGiveTheListsResults) {
    ExpressionGenerator generator(77, true);
    std::mt19937 rng(3);
    int compared = 0;
    for (int document = 0; document < 60; ++document) {
        std::string text;
        for (int i = 0; i < 6; ++i) text += generator.Equation();
        ParserHarness h;
        h.s.settings.autoSimplify = document % 2;
        if (!h.Compile(text, document % 3 == 0)) continue;
        for (int e = 1; e <= h.s.model.count; ++e) {
            for (int point = 0; point < 4; ++point) {
                for (const char* name : ExpressionGenerator::kNames) {
                    if (FindVariable(h.s.names, name) != 0) h.Set(name, Pick(rng));
                }
                const Outcome want = Reference(h.s, h.s.model.eq[e].code);
                ExpectSame(Evaluated(h.s, h.s.model.eq[e].code), want,
                           h.s.k.arithmetic == Arithmetic::kComplex);
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 500);
}

// The depth is found when the code is flattened: code that fits runs; code one entry deeper
// is refused there, with the message its evaluation gives, and its evaluation fails without
// a second message.
TEST_F(FlatCodeTest, TooDeepCodeIsRefusedWhenFlattened) {
    const int capacity = s.limits.stackEntries;
    auto nested = [](int operands) {
        std::string tokens;
        for (int i = 0; i < operands; ++i) tokens += "1 ";
        for (int i = 1; i < operands; ++i) tokens += "+ ";
        return tokens;
    };
    CodeNode* fits = testcode::Postfix(s, nested(capacity));
    FlatCode flat;
    EXPECT_TRUE(Flatten(s, fits, flat));
    EXPECT_EQ(flat.depth, capacity);
    bool error = false;
    EXPECT_EQ(Evaluate(s, flat, error), capacity);
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "");
    FreeList(s.pool, fits);

    CodeNode* deep = testcode::Postfix(s, nested(capacity + 1));
    EXPECT_FALSE(Flatten(s, deep, flat));
    const std::string refused = "Stack Overflow, equation too complex or incorrect";
    EXPECT_EQ(out.rfind(refused + "\nError ...", 0), 0u) << out;
    EXPECT_EQ(s.message, refused);
    EXPECT_EQ(s.defaultShell.beeps, 1);
    const std::string written = out;
    s.message.clear();
    EXPECT_EQ(Evaluate(s, flat, error), kBigValue);
    EXPECT_TRUE(error);
    EXPECT_EQ(s.message, refused);
    EXPECT_EQ(out, written) << "refused once, when flattened";
    EXPECT_EQ(s.defaultShell.beeps, 1);
    FreeList(s.pool, deep);
}

// A kept copy follows its list: a constant edited in place is read anew, and a list rebuilt
// in the same nodes is flattened again.
TEST_F(FlatCodeTest, KeptCopyFollowsItsList) {
    CodeNode* list = testcode::Postfix(s, "x 2 *");
    s.names.value[1] = 3.0;
    FlatCache cache;
    bool error = false;
    EXPECT_EQ(Evaluate(s, FlatFor(s, list, cache), error), 6.0);
    list->next->value = 5.0;  // a sweep's parameter moves on
    EXPECT_EQ(Evaluate(s, FlatFor(s, list, cache), error), 15.0);

    FreeList(s.pool, list);
    CodeNode* again = testcode::Postfix(s, "x 2 +");  // may reuse the freed nodes
    EXPECT_EQ(Evaluate(s, FlatFor(s, again, cache), error), 5.0);
    again->next->next->sub = code::kSub;
    s.pool.touch();
    EXPECT_EQ(Evaluate(s, FlatFor(s, again, cache), error), 1.0);
    FreeList(s.pool, again);
}

}  // namespace
