#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"
#include "core/solve/standard_problem_set.h"

// Robust Newton: the trust-region step inside the Newton iteration's frame, against Newton's
// own steps. Its single runs (a step shrunk where an evaluation fails, a minimum of the residual
// that is no root, the IF masks in turn) are golden cases.
class RobustNewton : public DocumentFixture {
   protected:
    std::vector<std::string> IterationLines() const {
        std::vector<std::string> lines;
        std::istringstream in(out_);
        for (std::string line; std::getline(in, line);) {
            if (line.find("  Iter:") != std::string::npos) lines.push_back(line);
        }
        return lines;
    }

    std::vector<double> Values(int n) const {
        std::vector<double> x;
        for (int i = 1; i <= n; ++i) x.push_back(Value(standard::X(i)));
        return x;
    }

    // Runs one of the standard problems from x0 scaled by factor with the given method.
    int RunStandard(const std::string& name, int factor, const std::string& method) {
        problem_ = standard::Find(name);
        return Run(standard::Document(problem_, standard::ScaledStart(problem_, factor),
                                      "100 -8 " + method));
    }

    double LargestResidual() const {
        return standard::LargestMagnitude(
            standard::Residuals(problem_, Values(problem_.start.size())));
    }

    standard::Problem problem_;
};

TEST_F(RobustNewton, TakesNewtonsFullStepsWhereTheySucceed) {
    // The same iterations as Newton where Newton needs no halving: the residual exponents agree
    // line by line (the last line shows rounding only, so its equation number may differ).
    auto exponents = [this] {
        std::vector<std::string> e;
        for (const std::string& line : IterationLines())
            e.push_back(line.substr(line.find("Tol:")));
        return e;
    };
    // The second set is solved in two groups.
    for (const auto& [equations, variable] :
         {std::pair{"x^2 - 4 = 0;\nx \xbb 1;\n", "x"}, {"y = x^2;\nx = 2;\n", "y"}}) {
        ASSERT_EQ(Run(std::string("{Options: 30 -10 NEWTON}\n") + equations), 1) << out_;
        const auto newton = exponents();
        const double value = Value(variable);
        ASSERT_EQ(Run(std::string("{Options: 30 -10 ROBUST}\n") + equations), 1) << out_;
        EXPECT_EQ(exponents(), newton) << equations;
        EXPECT_NEAR(Value(variable), value, 1e-9);
    }
    for (const char* name : {"Broyden tridiagonal", "Discrete boundary value"}) {
        ASSERT_EQ(RunStandard(name, 10, "NEWTON"), 1);
        auto newton = exponents();
        newton.pop_back();
        ASSERT_EQ(RunStandard(name, 10, "ROBUST"), 1);
        auto robust = exponents();
        robust.pop_back();
        EXPECT_EQ(robust, newton) << name;
    }
}

TEST_F(RobustNewton, SolvesWhereTheHalvedNewtonStepGetsStuck) {
    // Brown's almost-linear system from 10 x0: Newton's halvings run out at once, and Wood's
    // function from 100 x0 crawls to the iteration limit.
    for (const auto& [name, factor] : {std::pair{"Brown almost-linear", 10}, {"Wood", 100}}) {
        EXPECT_EQ(RunStandard(name, factor, "NEWTON"), 0) << name;
        EXPECT_EQ(out_.find("Solution Found!"), std::string::npos);
        ASSERT_EQ(RunStandard(name, factor, "ROBUST"), 1) << name << "\n" << out_;
        EXPECT_LE(LargestResidual(), 1e-8) << name;
    }
}
