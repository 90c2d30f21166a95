#include "core/solve/path_following.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"
#include "core/solve/standard_problem_set.h"

// The homotopy's ends that the golden cases do not show: a path without end, and a closed loop.
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

    // A path given up reports so, before the timing line, and writes no result row.
    void ExpectCleanFailure() {
        const auto failed = out_.find("Homotopy method did not converge\nSee Manual for options");
        ASSERT_NE(failed, std::string::npos) << out_;
        EXPECT_EQ(out_.find("Solution Found!"), std::string::npos) << out_.substr(failed);
        EXPECT_LT(failed, out_.find("Solved for "));
        EXPECT_TRUE(Lines(".PRN").empty());
        EXPECT_FALSE(core_.flags.solved);
    }
};

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
    const standard::Problem p = standard::Find("Chebyquad 6");
    EXPECT_EQ(Run(standard::Document(p, p.start, "100 -8 HOMOTOPY")), 0);
    ExpectCleanFailure();
    EXPECT_LT(static_cast<int>(Parameters().size()), kMaxPathSteps / 2);
}
