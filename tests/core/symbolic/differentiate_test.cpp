#include "core/symbolic/differentiate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "symbolic_harness.h"

namespace {

using code::kAdd;
using code::kDiv;
using code::kMul;
using code::kPow;
using code::kSub;

class DifferentiateTest : public ::testing::Test {
protected:
    SymbolicHarness h;
    std::vector<CodeNode*> lists;  // freed at the end of every test

    CodeNode* Keep(CodeNode* list) {
        lists.push_back(list);
        return list;
    }
    std::string DerivativeText(CodeNode* run, int v, bool fold = false) {
        return h.Infix(Keep(h.Derive(run, v, fold)));
    }

    void TearDown() override {
        for (CodeNode* l : lists) FreeList(h.s.pool, l);
        EXPECT_EQ(h.s.pool.liveCount(), 0u);
    }

    // Compares the derivative code of f with a central difference of f itself, folded and
    // unfolded, at each point.
    void ExpectMatchesDifference(CodeNode* f, const std::vector<double>& xs, double step,
                                 double tolerance, const std::string& label) {
        Keep(f);
        CodeNode* value = Keep(h.Compiled(f));
        CodeNode* raw = Keep(h.Derive(f, SymbolicHarness::kX));
        CodeNode* folded = Keep(h.Derive(f, SymbolicHarness::kX, true));
        for (double x : xs) {
            const double numeric = (h.At(value, x + step) - h.At(value, x - step)) / (2 * step);
            const double limit = tolerance * std::max(1.0, std::fabs(numeric));
            EXPECT_NEAR(h.At(raw, x), numeric, limit) << label << " at x = " << x;
            EXPECT_NEAR(h.At(folded, x), numeric, limit) << label << " folded, x = " << x;
        }
        EXPECT_FALSE(h.s.flags.stop) << label;
        EXPECT_EQ(h.out, "") << label;
    }
};

TEST_F(DifferentiateTest, ProductKeepsTrivialTermsUntilFolded) {
    CodeNode* f = Keep(h.B(kMul, h.X(), h.X(SymbolicHarness::kY)));
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX), "((1 * y) + (x * 0))");
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX, true), "y");
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kY, true), "x");
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kZ, true), "0");
}

TEST_F(DifferentiateTest, PowerBuildsLogTermEvenForConstantExponent) {
    CodeNode* f = Keep(h.B(kPow, h.X(), h.C(3)));
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX),
              "(((x ^ (3 - 1)) * (1 * 3)) + ((x ^ 3) * (LN(x) * 0)))");
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX, true), "((x ^ 2) * 3)");
}

TEST_F(DifferentiateTest, RulesSpellTheirExpressionsInOperandOrder) {
    using F = std::function<CodeNode*()>;
    struct Case {
        F build;
        const char* expected;
    };
    auto x = [this] { return h.X(); };
    auto y = [this] { return h.X(SymbolicHarness::kY); };
    const std::vector<Case> cases = {
        {[&] { return h.B(kSub, x(), y()); }, "(1 + -(0))"},
        {[&] { return h.B(kDiv, x(), y()); }, "(((1 * y) - (x * 0)) / SQUARE(y))"},
        {[&] { return h.B(code::kAtan2, y(), x()); },
         "(((1 * y) - (x * 0)) / -((SQUARE(x) + SQUARE(y))))"},
        {[&] { return h.U(code::kTan, x()); }, "(INV(SQUARE(COS(x))) * 1)"},
        {[&] { return h.U(code::kArcCos, x()); }, "(-(INV(SQRT(-((SQUARE(x) - 1))))) * 1)"},
        {[&] { return h.U(code::kErf, x()); }, "(1 * (EXP(-(SQUARE(x))) * (2 / SQRT(PI))))"},
        {[&] { return h.U(code::kBessJ1, x()); }, "(1 * (BESSJ0(x) - (BESSJ1(x) / x)))"},
        {[&] { return h.U(code::kAbs, x()); }, "(1 * ((U(x) * 2) - 1))"},
        {[&] { return h.U(code::kGammLn, x()); },
         "(1 * ((GAMMLN((x + 0.0001)) - GAMMLN((x - 0.0001))) / 0.0002))"},
        {[&] { return h.U(code::kStep, h.U(code::kMag, x())); }, "0"},
        {[&] { return h.B(code::kGammP, y(), x()); },
         "(((1 * EXP(-((x + GAMMLN(y))))) * (x ^ (y - 1))) + "
         "(0 * ((LN((y - 1)) - EXP(-(GAMMLN(y)))) * GAMMP(y, x))))"},
        {[&] { return h.B(code::kIf, h.B(code::kGreater, x(), y()),
                          h.B(code::kThen, x(), y())); },
         "IF(>(x, y), (1 THEN 0))"},
        {[&] { return h.B(code::kEqual, h.B(kMul, x(), h.C(2)), h.Pi()); },
         "EQUAL((x * 2), PI)"},  // comparisons are copied unchanged
    };
    for (const Case& c : cases) {
        CodeNode* f = Keep(c.build());
        EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX), c.expected);
    }
    EXPECT_EQ(h.out, "");  // U skips MAG without looking at it
}

TEST_F(DifferentiateTest, PiAndOperandFormsAreKept) {
    CodeNode* f = Keep(h.B(kMul, h.B(kMul, h.C(2), h.Pi()), h.X()));
    CodeNode* d = Keep(h.Derive(f, SymbolicHarness::kX, true));
    EXPECT_EQ(h.Infix(d), "(2 * PI)");
    int piNodes = 0;
    for (CodeNode* n = d; n != nullptr; n = n->next) {
        if (n->kind == kKindConst && n->sub == kSubPi) {
            ++piNodes;
            EXPECT_DOUBLE_EQ(n->value, 3.14159265359);
        }
    }
    EXPECT_EQ(piNodes, 1);

    // The derivative of j*x-form variable is an imaginary one.
    CodeNode* jx = Keep(MakeNode(h.s.pool, kKindVar, kSubImaginary, SymbolicHarness::kX, 0, 0,
                                 nullptr));
    CodeNode* dj = Keep(h.Derive(jx, SymbolicHarness::kX));
    EXPECT_EQ(dj->kind, kKindConst);
    EXPECT_EQ(dj->sub, kSubImaginary);
    EXPECT_EQ(dj->value, 1.0);
    EXPECT_EQ(dj->next->kind, kKindEnd);
}

TEST_F(DifferentiateTest, InputIsUnchangedAndDeletedNodesAreSkipped) {
    CodeNode* f = Keep(h.B(kMul, h.U(code::kSin, h.X()), h.X(SymbolicHarness::kY)));
    // Removed nodes left by folding, in front of both operand runs.
    f->next = MakeNode(h.s.pool, kKindDeleted, 0, 0, 0, 0, f->next);
    CodeNode* sin = SubtreeEnd(f->next)->next;
    sin->next = MakeNode(h.s.pool, kKindDeleted, 0, 0, 0, 0, sin->next);
    const std::string before = h.InfixOfRun(f);
    const int nodes = CountNodes(f);

    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX), "(((1 * COS(x)) * y) + (SIN(x) * 0))");
    EXPECT_EQ(h.InfixOfRun(f), before);
    EXPECT_EQ(CountNodes(f), nodes);

    CodeNode* copy = MakeNode(h.s.pool, kKindEnd, kSubPlain, 0, 0, 0, nullptr);
    EXPECT_EQ(EmitCopy(h.s, f, copy), nullptr);  // the run is the whole list
    Keep(copy);
    EXPECT_EQ(h.Infix(copy), "(SIN(x) * y)");
    EXPECT_EQ(CountNodes(copy), 5);  // four nodes and the ';', no deleted ones

    // Both return the start of the next sibling run: the y run ends where SIN begins.
    CodeNode* yRun = SkipDeleted(f->next);
    CodeNode* d = MakeNode(h.s.pool, kKindEnd, kSubPlain, 0, 0, 0, nullptr);
    EXPECT_EQ(Differentiate(h.s, yRun, SymbolicHarness::kX, d), sin);
    EXPECT_EQ(EmitCopy(h.s, yRun, d), sin);
    Keep(d);
}

struct UnaryCase {
    unsigned char code;
    std::vector<double> us;  // operand values
    double step;
    double tolerance;
};

TEST_F(DifferentiateTest, EveryUnaryRuleMatchesFiniteDifferences) {
    const std::vector<UnaryCase> cases = {
        {'-', {-1.3, 0.4, 2.0}, 1e-5, 1e-7},      {'r', {-1.3, 0.4}, 1e-5, 1e-7},
        {'i', {-1.3, 0.4}, 1e-5, 1e-7},           {'j', {-1.3, 0.4}, 1e-5, 1e-7},
        {'S', {-1.0, 0.3, 2.5}, 1e-5, 1e-7},      {'C', {-1.0, 0.3, 2.5}, 1e-5, 1e-7},
        {'T', {-1.0, 0.3, 1.2}, 1e-5, 1e-7},      {'I', {-2.0, 0.5, 3.0}, 1e-5, 1e-7},
        {'2', {-2.0, 0.5, 3.0}, 1e-5, 1e-7},      {'Q', {0.2, 1.0, 4.0}, 1e-5, 1e-7},
        {'E', {-1.0, 0.5, 2.0}, 1e-5, 1e-7},      {'L', {0.2, 1.0, 5.0}, 1e-5, 1e-7},
        {'s', {-0.8, 0.1, 0.7}, 1e-5, 1e-7},      {'c', {-0.8, 0.1, 0.7}, 1e-5, 1e-7},
        {'t', {-2.0, 0.3, 4.0}, 1e-5, 1e-7},      {'P', {-1.0, 0.2, 1.5}, 1e-3, 1e-5},
        {'J', {0.5, 2.0, 7.0, 11.0}, 1e-3, 1e-5}, {'1', {0.5, 2.0, 7.0, 11.0}, 1e-3, 1e-5},
        {'Y', {0.5, 2.0, 7.0, 11.0}, 1e-3, 1e-5}, {'y', {0.5, 2.0, 7.0, 11.0}, 1e-3, 1e-5},
        {'G', {0.5, 2.5, 6.0, 40.0}, 1e-3, 1e-6}, {'B', {-2.0, -0.3, 0.4, 3.0}, 1e-5, 1e-7},
        {'U', {-1.0, 1.0}, 1e-5, 1e-7},
    };
    constexpr double kInnerFactor = 0.7;  // u = x * y with y = 0.7 exercises the chain rule
    for (const UnaryCase& c : cases) {
        CodeNode* f = h.U(c.code, h.B(kMul, h.X(), h.X(SymbolicHarness::kY)));
        std::vector<double> xs;
        for (double u : c.us) xs.push_back(u / kInnerFactor);
        ExpectMatchesDifference(f, xs, c.step, c.tolerance,
                                std::string(UnaryCodeName(c.code)));
    }
}

TEST_F(DifferentiateTest, EveryBinaryRuleMatchesFiniteDifferences) {
    auto x = [this] { return h.X(); };
    auto y = [this] { return h.X(SymbolicHarness::kY); };
    auto sinx = [&] { return h.U(code::kSin, x()); };
    struct Case {
        const char* label;
        std::function<CodeNode*()> build;
        std::vector<double> xs;
        double step;
        double tolerance;
    };
    const std::vector<Case> cases = {
        {"+", [&] { return h.B(kAdd, h.B(kMul, x(), x()), sinx()); }, {-1, 0.5, 2}, 1e-5, 1e-7},
        {"-", [&] { return h.B(kSub, h.B(kMul, x(), x()), sinx()); }, {-1, 0.5, 2}, 1e-5, 1e-7},
        {"*", [&] { return h.B(kMul, h.B(kMul, x(), x()), sinx()); }, {-1, 0.5, 2}, 1e-5, 1e-7},
        {"/", [&] { return h.B(kDiv, h.B(kMul, x(), x()), h.B(kAdd, x(), h.C(2))); },
         {-1, 0.5, 2}, 1e-5, 1e-7},
        {"^", [&] { return h.B(kPow, h.B(kAdd, x(), h.C(0.5)), h.B(kMul, x(), y())); },
         {0.1, 1, 3}, 1e-5, 1e-7},
        {"ATAN2", [&] { return h.B(code::kAtan2, h.B(kMul, x(), y()), h.B(kSub, x(), h.C(2))); },
         {-1, 0.5, 3, 5}, 1e-5, 1e-7},
        {"GAMMP", [&] { return h.B(code::kGammP, h.C(2.5), h.B(kMul, x(), y())); },
         {0.5, 2, 5}, 1e-2, 1e-3},
        {"IF", [&] {
             return h.B(code::kIf, h.B(code::kGreater, x(), h.C(1)),
                        h.B(code::kThen, h.B(kMul, x(), x()), sinx()));
         },
         {0.3, 2}, 1e-5, 1e-7},
    };
    for (const Case& c : cases) ExpectMatchesDifference(c.build(), c.xs, c.step, c.tolerance, c.label);
}

TEST_F(DifferentiateTest, CodesWithoutRuleReportAndGiveZero) {
    struct Case {
        char kind;
        unsigned char code;
        const char* message;
    };
    const std::vector<Case> cases = {
        {'U', code::kMag, "Deriv of  Unary Function MAG Not Implemented"},
        {'U', code::kAngle, "Deriv of  Unary Function ANGLE Not Implemented"},
        {'U', code::kAtan2, "Deriv of  Unary Function ATAN2 Not Implemented"},
        {'U', code::kThen, "Deriv of  Unary Function THEN Not Implemented"},
        {'U', code::kGammP, "Deriv of  Unary Function GAMMP Not Implemented"},
        {'U', code::kDelay, "Deriv of  Unary Function DELAY Not Implemented"},
        {'B', code::kDeriv, "Deriv of  Binary Function D Not Implemented"},
        {'B', code::kIntegral, "Deriv of  Binary Function INT Not Implemented"},
        {'B', code::kLim, "Deriv of  Binary Function LIM Not Implemented"},
        {'B', code::kArg, "Deriv of  Binary Function ARG Not Implemented"},
        {'B', code::kAngleOp, "Deriv of  Binary Function ? Not Implemented"},
    };
    for (const Case& c : cases) {
        SymbolicHarness fresh;
        // (F(...) + y): the walk goes on after the failing run.
        CodeNode* operand = c.kind == 'U' ? fresh.U(c.code, fresh.X())
                                          : fresh.B(c.code, fresh.X(), fresh.C(4));
        CodeNode* f = fresh.B(kAdd, operand, fresh.X(SymbolicHarness::kY));
        CodeNode* d = fresh.Derive(f, SymbolicHarness::kY);
        EXPECT_EQ(fresh.Infix(d), "(0 + 1)") << c.message;
        EXPECT_EQ(fresh.out, std::string("\n") + c.message +
                                 "\nUse Incremental Method\nError ...");
        EXPECT_TRUE(fresh.s.flags.stop);
        EXPECT_EQ(fresh.s.defaultShell.beeps, 1);
        FreeList(fresh.s.pool, d);
        FreeList(fresh.s.pool, f);
        EXPECT_EQ(fresh.s.pool.liveCount(), 0u);
    }
}

TEST_F(DifferentiateTest, IllegalNodeKindIsReported) {
    CodeNode* f = Keep(h.B(kMul, MakeNode(h.s.pool, 'K', 'q', 0, 0, 0, nullptr), h.X()));
    EXPECT_EQ(DerivativeText(f, SymbolicHarness::kX), "((0 * x) + (0 * 1))");
    // Reported once for the derivative; the copy of the broken run completes it with 0.
    EXPECT_EQ(h.out, "\nIllegal Code \"Kq\" in Function during Derivative\n\nError ...");
    EXPECT_TRUE(h.s.flags.stop);
}

TEST_F(DifferentiateTest, RestrictedVariantKeepsOnlyRealElementaryRules) {
    // Plain copies: pi and imaginary forms become real values.
    CodeNode* f = Keep(h.B(kMul, h.Pi(), MakeNode(h.s.pool, kKindVar, kSubImaginary,
                                                  SymbolicHarness::kX, 0, 0, nullptr)));
    CodeNode* d = MakeNode(h.s.pool, kKindEnd, kSubPlain, 0, 0, 0, nullptr);
    DifferentiateRestricted(h.s, f, SymbolicHarness::kX, d);
    Keep(d);
    EXPECT_EQ(h.Infix(d), "((0 * x) + (3.14159265359 * 1))");
    for (CodeNode* n = d; n != nullptr && n->kind != kKindEnd; n = n->next) {
        if (n->kind == kKindConst || n->kind == kKindVar) {
            EXPECT_EQ(n->sub, kSubPlain);
        }
    }
    EXPECT_EQ(h.out, "");

    for (unsigned char fn : {code::kErf, code::kReal, code::kBessJ0, code::kGammLn}) {
        SymbolicHarness fresh;
        CodeNode* g = fresh.U(fn, fresh.X());
        CodeNode* dg = MakeNode(fresh.s.pool, kKindEnd, kSubPlain, 0, 0, 0, nullptr);
        EXPECT_EQ(DifferentiateRestricted(fresh.s, g, SymbolicHarness::kX, dg), nullptr);
        EXPECT_EQ(fresh.Infix(dg), "0");
        EXPECT_EQ(fresh.out, "\nDeriv of  Unary Function " + std::string(UnaryCodeName(fn)) +
                                 " Not Implemented\nUse Incremental Method\nError ...");
        FreeList(fresh.s.pool, dg);
        FreeList(fresh.s.pool, g);
    }
    CodeNode* atan = MakeNode(h.s.pool, kKindEnd, kSubPlain, 0, 0, 0, nullptr);
    CodeNode* g = Keep(h.B(code::kAtan2, h.X(), h.C(1)));
    DifferentiateRestricted(h.s, g, SymbolicHarness::kX, atan);
    Keep(atan);
    EXPECT_EQ(h.Infix(atan), "0");
    EXPECT_NE(h.out.find("Binary Function ATAN2 Not Implemented"), std::string::npos);
}

}  // namespace
