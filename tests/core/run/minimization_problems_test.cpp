// Command 'O' on published minimization problems, and the points it must never report as a
// minimum.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/document_fixture.h"
#include "core/run/minimization_problem_set.h"

namespace {

// The value the run prints after its verdict.
double PrintedValue(const std::string& out) {
    for (const char* label : {"Minimum value: ", "Objective value: "}) {
        const auto at = out.rfind(label);
        if (at != std::string::npos)
            return std::strtod(out.c_str() + at + std::strlen(label), nullptr);
    }
    return std::nan("");
}

// Whether f is one of the published minima: to 1e-8 where that is 0, to 1e-5 relative
// otherwise (the published values have six significant digits).
bool IsPublishedMinimum(double f, const std::vector<double>& minima) {
    return std::any_of(minima.begin(), minima.end(), [f](double m) {
        return m == 0.0 ? std::fabs(f) <= 1e-8 : std::fabs(f - m) <= 1e-5 * m;
    });
}

class PublishedMinimization : public DocumentFixture,
                              public ::testing::WithParamInterface<mgh::Problem> {};

std::string Name(const ::testing::TestParamInfo<mgh::Problem>& info) {
    std::string name = info.param.name;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
}

}  // namespace

// Documents that ask for the scaled gradient below 1e-8.
TEST_P(PublishedMinimization, ReachesAPublishedMinimumFromTheStandardStart) {
    const mgh::Problem& p = GetParam();
    ASSERT_EQ(Run(mgh::Document(p, "500 -8"), "O"), 1) << out_;
    EXPECT_NE(out_.find("\nSolution Found!\n"), std::string::npos);
    const double f = PrintedValue(out_);
    EXPECT_TRUE(IsPublishedMinimum(f, p.minima)) << "f = " << f;
}

INSTANTIATE_TEST_SUITE_P(MoreGarbowHillstrom, PublishedMinimization,
                         ::testing::ValuesIn(mgh::Problems()), Name);

namespace {

struct NonMinimum {
    const char* label;
    std::string document;
    const char* verdict;  // what the rewritten route says of the point its Newton solve reaches
};

class NeverAMinimum : public DocumentFixture, public ::testing::WithParamInterface<NonMinimum> {};

}  // namespace

// A maximum and a saddle point: the direct route leaves them; the rewrite route reaches them
// by solving the gradient equations and says what they are, and neither calls them found.
TEST_P(NeverAMinimum, DirectRouteLeavesItRewriteRouteNamesIt) {
    const NonMinimum& c = GetParam();
    Run("{Options: 50 -8 ROUTE=REWRITE}\n" + c.document, "O");
    EXPECT_EQ(out_.find("Solution Found!"), std::string::npos) << out_;
    EXPECT_NE(out_.find(std::string("\n") + c.verdict + "\n"), std::string::npos) << out_;
    EXPECT_FALSE(core_.flags.solved);

    const int solved = Run("{Options: 50 -8 ROUTE=DIRECT}\n" + c.document, "O");
    EXPECT_EQ(out_.find(c.verdict), std::string::npos) << out_;
    if (solved == 1) {  // only ever at the minimum of the cubic: (1, 0), f = -2
        EXPECT_NEAR(Value("x"), 1.0, 1e-7);
        EXPECT_NEAR(Value("y"), 0.0, 1e-7);
        EXPECT_NEAR(PrintedValue(out_), -2.0, 1e-12);
    } else {
        EXPECT_EQ(out_.find("Solution Found!"), std::string::npos) << out_;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Points, NeverAMinimum,
    ::testing::Values(NonMinimum{"Maximum", "-(x-1)^2 - (y-2)^2;\nx \xbb 0.5;\ny \xbb 1.5;\n",
                                 "Stationary point is a maximum"},
                      NonMinimum{"Saddle", "x^3 - 3*x + y^2;\nx \xbb -0.8;\ny \xbb 0.3;\n",
                                 "Stationary point is a saddle point"}),
    [](const auto& point) { return std::string(point.param.label); });
