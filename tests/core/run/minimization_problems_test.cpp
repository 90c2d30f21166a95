// Command 'O' on published minimization problems. The points it must never report as a minimum
// (a maximum, a saddle) are the golden optimize cases'.

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
