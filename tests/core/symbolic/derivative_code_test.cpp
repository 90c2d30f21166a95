#include "core/symbolic/derivative_code.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/compiled_fixture.h"

namespace {

class DerivativeCodeTest : public CompiledFixture {
   protected:
    double At(const CodeNode* code) {
        bool error = false;
        const double v = Evaluate(core_, code, error);
        EXPECT_FALSE(error);
        return v;
    }
};

}  // namespace

TEST_F(DerivativeCodeTest, DerivativesEvaluateAndLeaveTheEquationAloneOrFailWithoutARule) {
    Compile("x^3*y + SIN(y);\nz = 1;\n");
    const std::string before = Text(1);
    const int x = FindVariable(core_.names, "x"), y = FindVariable(core_.names, "y");
    const int z = FindVariable(core_.names, "z");
    bool failed = false;
    CodeNode* dx = DerivativeCode(core_, core_.model.eq[1].code, x, failed);
    CodeNode* dy = DerivativeCode(core_, core_.model.eq[1].code, y, failed);
    EXPECT_EQ(DerivativeCode(core_, core_.model.eq[1].code, z, failed), nullptr);  // 0
    CodeNode* dxy = DerivativeCode(core_, dx, y, failed);
    CodeNode* dyy = DerivativeCode(core_, dy, y, failed);
    ASSERT_FALSE(failed);
    EXPECT_EQ(Text(1), before);
    Set("x", 2.0);
    Set("y", 0.5);
    EXPECT_DOUBLE_EQ(At(dx), 3 * 4 * 0.5);
    EXPECT_DOUBLE_EQ(At(dy), 8 + std::cos(0.5));
    EXPECT_DOUBLE_EQ(At(dxy), 12.0);
    EXPECT_DOUBLE_EQ(At(dyy), -std::sin(0.5));
    for (CodeNode* c : {dx, dy, dxy, dyy}) FreeList(core_.pool, c);
    EXPECT_FALSE(core_.flags.stop);

    // A function without a rule fails.
    Compile("MAG(x) + x;\n");
    CodeNode* d = DerivativeCode(core_, core_.model.eq[1].code, 1, failed);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(core_.flags.stop);
    EXPECT_NE(out_.find("Not Implemented"), std::string::npos) << out_;
    FreeList(core_.pool, d);
}
