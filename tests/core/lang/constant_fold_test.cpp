#include "core/lang/constant_fold.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "core/code_builder.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/run/core_state.h"

namespace {

struct ConstantFold : ::testing::Test {
    CoreState s;
    std::string out;
    ConstantFold() { s.console.callback = [this](const char* t) { out += t; }; }
    void TearDown() override { EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked"; }

    // Folds postfix tokens the way equations are folded after compiling: the evaluation form
    // is turned to parse form (its ';' first), folded, and finalized again. Returns the
    // folded postfix text.
    std::string Fold(const std::string& postfix) {
        CodeNode* list = ToPrefix(testcode::Postfix(s, postfix));
        ::ConstantFold(s, list);
        list = Finalize(s.pool, list);
        std::string text = testcode::Text(s, list, true);
        FreeList(s.pool, list);
        return text.substr(0, text.size() - 2);  // without the " ;"
    }
};

struct Row {
    const char* in;
    const char* folded;
};

void ExpectFolds(ConstantFold& t, std::initializer_list<Row> rows) {
    for (const Row& r : rows) EXPECT_EQ(t.Fold(r.in), r.folded) << "folding " << r.in;
}

TEST_F(ConstantFold, ExamplesOfTheEquationLanguage) {
    ExpectFolds(*this, {
                           {"2 x 3 * *", "6 x *"},  // 2 * (x * 3)
                           {"x x -", "0"},
                           {"1 y /", "y INV"},
                           {"x 0 /", "1e+50"},
                       });
}

TEST_F(ConstantFold, ConstantOperandsAreComputed) {
    ExpectFolds(*this, {
                           {"2 3 +", "5"},
                           {"2 3 -", "-1"},
                           {"2 3 *", "6"},
                           {"6 4 /", "1.5"},
                           {"2 3 ^", "8"},
                           {"3 3 EQUAL", "0"},
                           {"3 4 EQUAL", "1"},
                           {"5 3 >", "2"},
                           {"5 3 <", "-2"},
                           {"1 1 ATAN2", "0.7853981634"},
                           {"1e40 1e20 *", "1e+50"},  // clipped like an evaluation
                           {"x 2 3 + *", "x 5 *"},
                           {"1 2 + 3 4 + *", "21"},
                           {"2 2 THEN", "2"},           // equal branches merge
                           {"1 2 THEN", "1 2 THEN"},    // different ones stay
                           {"1 2 LIM", "1 2 LIM"},      // limits are never computed
                           {"1 2 @", "1 2 @"},          // nor phasor pairs
                           {"j:2 3 +", "j:2 3 +"},      // only plain constants are numbers
                           {"pi 1 +", "pi 1 +"},
                       });
}

TEST_F(ConstantFold, MultiplicationRules) {
    ExpectFolds(*this, {
                           {"x 0 *", "0"},
                           {"0 x *", "0"},
                           {"x y + 0 *", "0"},
                           {"j:0 x *", "j:0"},  // a zero of any form
                           {"1 x *", "x"},
                           {"x 1 *", "x"},
                           {"-1 x *", "x neg"},
                           {"x -1 *", "x neg"},
                           {"-1 x y + *", "x y + neg"},
                           {"x 3 * 2 *", "x 6 *"},  // (x * 3) * 2
                           {"3 x * 2 *", "x 6 *"},  // (3 * x) * 2
                           {"2 3 x * *", "6 x *"},  // 2 * (3 * x)
                           {"x y *", "x y *"},
                           {"x y * 2 *", "x y * 2 *"},
                       });
}

TEST_F(ConstantFold, AdditionAndSubtractionRules) {
    ExpectFolds(*this, {
                           {"x 0 +", "x"},
                           {"0 x +", "x"},
                           {"x 1 +", "x 1 +"},
                           {"x 0 -", "x"},
                           {"0 x -", "x neg"},
                           {"0 x y * -", "x y * neg"},
                           {"y y -", "0"},
                           {"x y -", "x y -"},
                           {"x y neg -", "x y +"},
                           {"x y SIN neg -", "x y SIN +"},
                           {"x 2 3 - -", "x -1 -"},
                       });
}

TEST_F(ConstantFold, DivisionRules) {
    ExpectFolds(*this, {
                           {"x 0 /", "1e+50"},
                           {"x y + 0 /", "1e+50"},
                           {"0 x /", "0"},
                           {"1 y /", "y INV"},
                           {"1 x y + /", "x y + INV"},
                           {"x 1 /", "x"},
                           {"x 2 /", "x 2 /"},
                       });
}

TEST_F(ConstantFold, PowerRules) {
    ExpectFolds(*this, {
                           {"x 0 ^", "1"},
                           {"0 x ^", "0"},
                           {"1 x ^", "1"},
                           {"x 1 ^", "x"},
                           {"x 2 ^", "x 2 ^"},
                           {"2 0.5 ^", "1.414213562"},
                       });
}

TEST_F(ConstantFold, IfWithConstantBranches) {
    // IF c THEN a ELSE b in evaluation order: c a b THEN IF.
    ExpectFolds(*this, {
                           {"x 1 1 THEN IF", "1"},
                           {"x 1 2 THEN IF", "x 1 2 THEN IF"},
                           {"x 3 1 2 + THEN IF", "3"},
                           {"1 4 4 THEN IF", "4"},
                           {"0 4 4 THEN IF", "4"},
                           {"0 1 2 THEN IF", "0 1 2 THEN IF"},
                       });
}

TEST_F(ConstantFold, UnaryFunctionsOfConstants) {
    ExpectFolds(*this, {
                           {"2 neg", "-2"},
                           {"0 SIN", "0"},
                           {"0 COS", "1"},
                           {"0 EXP", "1"},
                           {"4 SQRT", "2"},
                           {"4 INV", "0.25"},
                           {"-3 ABS", "3"},
                           {"3 SQUARE", "9"},
                           {"1 LN", "0"},
                           {"-1 U", "0"},
                           {"3 MAG", "0"},  // a real number has no imaginary part to measure
                           {"2 3 + SIN neg", "0.9589242747"},
                           {"x SIN", "x SIN"},
                           {"j:1 neg", "j:1 neg"},
                       });
}

TEST_F(ConstantFold, MagnitudeAndAngleStayInComplexMode) {
    s.k.complexMode = true;
    ExpectFolds(*this, {{"3 MAG", "3 MAG"}, {"-3 ANGLE", "-3 ANGLE"}, {"0 SIN", "0"}});
}

TEST_F(ConstantFold, FoldsThatWouldFailAreLeftAlone) {
    s.message = "earlier message";
    ExpectFolds(*this, {
                           {"-1 LN", "-1 LN"},
                           {"0 LN", "0 LN"},
                           {"0 INV", "0 INV"},
                           {"-1 SQRT", "-1 SQRT"},
                           {"2 ARCSIN", "2 ARCSIN"},
                           {"-8 1 3 / ^", "-8 0.3333333333 ^"},
                           {"-8 1 3 / ^ 2 +", "-8 0.3333333333 ^ 2 +"},
                       });
    EXPECT_EQ(s.message, "earlier message");
    s.message.clear();
    EXPECT_EQ(Fold("-1 LN"), "-1 LN");
    EXPECT_EQ(s.message, "");
    EXPECT_EQ(out, "") << "a refused fold prints nothing";
}

TEST_F(ConstantFold, ReturnsTheFirstNodeNotRemoved) {
    CodeNode* list = testcode::Prefix(s, "x 0 +");  // + 0 x
    CodeNode* x = list->next->next;
    EXPECT_EQ(::ConstantFold(s, list), x);
    EXPECT_EQ(list->kind, kKindDeleted);
    EXPECT_EQ(list->next->kind, kKindDeleted);
    FreeList(s.pool, list);

    list = testcode::Prefix(s, "x y *");
    EXPECT_EQ(::ConstantFold(s, list), list) << "nothing to fold";
    FreeList(s.pool, list);

    list = testcode::Prefix(s, "2 3 + SIN");  // SIN + 3 2
    CodeNode* folded = ::ConstantFold(s, list);
    ASSERT_NE(folded, nullptr);
    EXPECT_TRUE(IsPlainConst(folded));
    EXPECT_DOUBLE_EQ(folded->value, std::sin(5.0));
    EXPECT_EQ(SkipDeleted(list), folded) << "every node before the result is removed";
    EXPECT_EQ(CountNodes(list), 1);
    FreeList(s.pool, list);
}

// Random sums and products of x, y and small constants. Their values are exact in binary,
// so folding must not change the value at all.
class ExpressionMaker {
public:
    explicit ExpressionMaker(unsigned seed) : rng_(seed) {}
    std::string Make(int depth) {
        const int pick = Pick(depth == 0 ? 8 : 13);
        static const char* const kLeaves[] = {"x", "y", "x", "y", "0", "1", "-1", "2", "3"};
        if (pick < 8) return kLeaves[Pick(9)];
        if (pick == 8) return Make(depth - 1) + " neg";
        static const char* const kOps[] = {" +", " -", " *", " *"};
        const std::string left = Make(depth - 1);
        const std::string right = Make(depth - 1);
        return left + " " + right + kOps[pick - 9];
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::mt19937 rng_;
};

TEST_F(ConstantFold, FoldedCodeEvaluatesToTheSameValues) {
    const struct {
        double x, y;
    } points[] = {{1.25, -0.75}, {-2.5, 3.5}, {0.375, 0.0}};
    ExpressionMaker maker(20240611);
    int shrunk = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string text = maker.Make(4);
        CodeNode* original = testcode::Postfix(s, text);
        CodeNode* folded = ToPrefix(CopyList(s.pool, original));
        ::ConstantFold(s, folded);
        folded = Finalize(s.pool, folded);
        if (CountNodes(folded) < CountNodes(original)) ++shrunk;
        for (const auto& p : points) {
            testcode::SetVar(s, "x", p.x);
            testcode::SetVar(s, "y", p.y);
            bool e1 = true, e2 = true;
            const double before = Evaluate(s, original, e1);
            const double after = Evaluate(s, folded, e2);
            EXPECT_DOUBLE_EQ(after, before) << text << " folded to " << testcode::Text(s, folded)
                                            << " at x=" << p.x << " y=" << p.y;
            EXPECT_FALSE(e1 || e2) << text;
        }
        FreeList(s.pool, original);
        FreeList(s.pool, folded);
    }
    EXPECT_GT(shrunk, 50) << "the expressions should give folding something to do";
}

TEST_F(ConstantFold, HandPickedExpressionsKeepTheirValues) {
    const char* const expressions[] = {
        "2 x 3 * * y 1 * -",  "1 y / x 2 3 + * +",      "x x - y + 2 SIN *",
        "0 x - y neg -",      "x 1 ^ 2 2 * /",           "x 1 1 THEN IF y +",
        "2 3 ^ x * 1 EXP +",  "-1 x y + * 4 SQRT /",     "x 0 ^ y 0 + *",
    };
    for (const char* text : expressions) {
        CodeNode* original = testcode::Postfix(s, text);
        CodeNode* folded = ToPrefix(CopyList(s.pool, original));
        ::ConstantFold(s, folded);
        folded = Finalize(s.pool, folded);
        EXPECT_LT(CountNodes(folded), CountNodes(original)) << text;
        for (double x : {1.7, -2.3}) {
            testcode::SetVar(s, "x", x);
            testcode::SetVar(s, "y", 0.6);
            bool e1 = true, e2 = true;
            const double before = Evaluate(s, original, e1);
            EXPECT_NEAR(Evaluate(s, folded, e2), before, 1e-12 * (1 + std::fabs(before))) << text;
            EXPECT_FALSE(e1 || e2) << text;
        }
        FreeList(s.pool, original);
        FreeList(s.pool, folded);
    }
}

}  // namespace
