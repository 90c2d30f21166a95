#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"
#include "core/solve/standard_problem_set.h"

// Robust Newton: the trust-region step inside the Newton iteration's frame, against Newton's
// own steps. Its single runs (a step shrunk where an evaluation fails, a minimum of the residual
// that is no root, the IF masks in turn, standard problems where Newton's halved steps stall)
// are golden cases.
class RobustNewton : public DocumentFixture {
   protected:
    // The residual exponents of the iteration lines: each line from its "Tol:" on.
    std::vector<std::string> Exponents() const {
        std::vector<std::string> exponents;
        std::istringstream in(out_);
        for (std::string line; std::getline(in, line);) {
            if (line.find("  Iter:") != std::string::npos)
                exponents.push_back(line.substr(line.find("Tol:")));
        }
        return exponents;
    }

    // Runs one of the standard problems from x0 scaled by factor with the given method.
    int RunStandard(const std::string& name, int factor, const std::string& method) {
        const standard::Problem p = standard::Find(name);
        return Run(standard::Document(p, standard::ScaledStart(p, factor), "100 -8 " + method));
    }
};

TEST_F(RobustNewton, TakesNewtonsFullStepsWhereTheySucceed) {
    // The same iterations as Newton where Newton needs no halving: the residual exponents agree
    // line by line (the last line shows rounding only, so its equation number may differ).
    // The second set is solved in two groups.
    for (const auto& [equations, variable] :
         {std::pair{"x^2 - 4 = 0;\nx \xbb 1;\n", "x"}, {"y = x^2;\nx = 2;\n", "y"}}) {
        ASSERT_EQ(Run(std::string("{Options: 30 -10 NEWTON}\n") + equations), 1) << out_;
        const auto newton = Exponents();
        const double value = Value(variable);
        ASSERT_EQ(Run(std::string("{Options: 30 -10 ROBUST}\n") + equations), 1) << out_;
        EXPECT_EQ(Exponents(), newton) << equations;
        EXPECT_NEAR(Value(variable), value, 1e-9);
    }
    for (const char* name : {"Broyden tridiagonal", "Discrete boundary value"}) {
        ASSERT_EQ(RunStandard(name, 10, "NEWTON"), 1);
        auto newton = Exponents();
        newton.pop_back();
        ASSERT_EQ(RunStandard(name, 10, "ROBUST"), 1);
        auto robust = Exponents();
        robust.pop_back();
        EXPECT_EQ(robust, newton) << name;
    }
}
