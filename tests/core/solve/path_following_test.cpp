#include "core/solve/path_following.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"
#include "core/solve/standard_problem_set.h"

// The homotopy: parameter steps, then the arclength continuation where they give up.
class HomotopyPath : public DocumentFixture {
   protected:
    // The parameter values of the homotopy's progress lines ("0.30000000   -5"), in order.
    std::vector<double> Parameters() const {
        static const std::regex progress(R"(^(-?[0-9]+\.[0-9]{8}) +-?[0-9]+$)");
        std::vector<double> t;
        std::istringstream in(out_);
        std::smatch m;
        for (std::string line; std::getline(in, line);) {
            if (std::regex_match(line, m, progress)) t.push_back(std::stod(m[1]));
        }
        return t;
    }

    // How often the parameter changes its direction of travel: the turning points passed.
    static int Reversals(const std::vector<double>& t) {
        int reversals = 0, direction = 0;
        for (std::size_t i = 1; i < t.size(); ++i) {
            const int d = t[i] > t[i - 1] ? 1 : (t[i] < t[i - 1] ? -1 : 0);
            if (d == 0) continue;
            if (direction != 0 && d != direction) ++reversals;
            direction = d;
        }
        return reversals;
    }

    void ExpectCleanFailure() {
        const auto failed = out_.find("Homotopy method did not converge\nSee Manual for options");
        EXPECT_NE(failed, std::string::npos) << out_;
        EXPECT_EQ(out_.find("Solution Found!"), std::string::npos) << out_.substr(failed);
        EXPECT_FALSE(core_.flags.solved);
    }
};

TEST_F(HomotopyPath, ContinuesByArclengthWhereTheParameterStepsRunOut) {
    // With delta T 0.001 the 50 parameter steps end near t = 0.38.
    const std::string doc =
        "{Options: 50 -12 HOMOTOPY SYMBOLIC 1 SEQUENTIAL 0.001 0.001}\n"
        "10*ARCTAN(x - 2) + x = 5;\n"
        "x \xbb 40;\n";
    ASSERT_EQ(Run(doc), 1) << out_;
    EXPECT_NEAR(Value("x"), 2.2790183, 1e-7);
    EXPECT_EQ(out_.find("did not converge"), std::string::npos);
    const auto t = Parameters();
    ASSERT_GT(t.size(), 100u);  // 50 parameter steps of one to three corrector iterations
    EXPECT_LT(t[100], 0.5);     // by then the parameter steps had not gone far
    EXPECT_EQ(t.back(), 1.0);   // the last step ends on t = 1 exactly
}

TEST_F(HomotopyPath, FollowsThePathThroughTwoTurningPoints) {
    // x^3 - 3x + 3 - (1 - t) 5 = 0: t = 1 - f(x)/5 rises to 0.8 at x = 1, falls to 0 at x = -1
    // and reaches 1 at the root -2.1038.
    ASSERT_EQ(Run("{Options: 50 -8 HOMOTOPY}\nx^3 - 3*x + 3 = 0;\nx \xbb 2;\n"), 1) << out_;
    EXPECT_NEAR(Value("x"), -2.1038034, 1e-7);
    const auto t = Parameters();
    EXPECT_GE(Reversals(t), 2);
    EXPECT_LT(*std::min_element(t.begin(), t.end()), 0.05);  // down to near 0 at x = -1
    EXPECT_EQ(out_.find("did not converge"), std::string::npos);
}

TEST_F(HomotopyPath, NoRealRootEndsWithTheFailureMessageOnly) {
    // x^2 + 1 - 2 (1 - t) = 0: the path turns back at t = 0.5 and falls without end.
    EXPECT_EQ(Run("{Options: 50 -8 HOMOTOPY}\nx^2 + 1 = 0;\nx \xbb 1;\n"), 0);
    ExpectCleanFailure();
    const auto t = Parameters();
    EXPECT_GE(Reversals(t), 1);
    EXPECT_LT(t.back(), -10.0);
}

TEST_F(HomotopyPath, StopsAtTheStepLimitWithoutClaimingSuccess) {
    // 2 + sin x has no root: t = 1 - (2 + sin x)/(2 + sin 1) swings between -0.06 and 0.65
    // for ever, so only the step limit ends the path.
    EXPECT_EQ(Run("{Options: 50 -8 HOMOTOPY}\n2 + SIN(x) = 0;\nx \xbb 1;\n"), 0);
    ExpectCleanFailure();
    const auto t = Parameters();
    EXPECT_GE(Reversals(t), 50);
    EXPECT_GE(static_cast<int>(t.size()), kMaxPathSteps / 2);
}

TEST_F(HomotopyPath, AbandonsAClosedLoopLongBeforeTheStepLimit) {
    // From its standard start the path of the six-point Chebyshev problem is a closed loop.
    for (const standard::Problem& p : standard::Problems()) {
        if (p.name != "Chebyquad 6") continue;
        EXPECT_EQ(Run(standard::Document(p, p.start, "100 -8 HOMOTOPY")), 0);
        ExpectCleanFailure();
        EXPECT_LT(static_cast<int>(Parameters().size()), kMaxPathSteps / 2);
    }
}
