#include "core/base/solver_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

#include "core/data_table.h"

namespace {

// A value inside the option's domain that differs from its default.
double OtherValue(SolverOption option) {
    const double d = OptionValue(SolverOptions{}, option);
    for (double v : {d + 1, d - 1, d / 2}) {
        if (v != d && InDomain(Describe(option), v)) return v;
    }
    ADD_FAILURE() << Describe(option).name << " has no other value near " << d;
    return d;
}

// The defaults are written once, in SolverOptions; whatever they are, each lies in its domain.
TEST(SolverOptions, DefaultsLieInTheirDomainsAndEachOptionIsReadAndSetInItsOwnField) {
    for (const OptionDescription& o : kSolverOptionTable) {
        EXPECT_TRUE(InDomain(o, OptionValue(SolverOptions{}, o.option))) << o.name;
        SolverOptions options;
        SetOptionValue(options, o.option, OtherValue(o.option));
        for (const OptionDescription& other : kSolverOptionTable) {
            const double expected = other.option == o.option
                                        ? OtherValue(o.option)
                                        : OptionValue(SolverOptions{}, other.option);
            EXPECT_EQ(OptionValue(options, other.option), expected)
                << "set " << o.name << ", read " << other.name;
        }
    }
}

TEST(SolverOptions, DomainsBoundTheValuesOfEachOption) {
    for (const data_table::Row& r : data_table::Read("solver_option_domains/values", 3)) {
        const auto o = std::find_if(std::begin(kSolverOptionTable), std::end(kSolverOptionTable),
                                    [&](const OptionDescription& d) { return d.name == r[0]; });
        ASSERT_NE(o, std::end(kSolverOptionTable)) << r[0];
        EXPECT_EQ(InDomain(*o, std::stod(r[1])), r[2] == "1") << r[0] << " " << r[1];
    }
}

TEST(SolverOptions, DomainsAreNamedInWordsAndIntegersStopAtTheirEnds) {
    EXPECT_EQ(DomainText(Describe(SolverOption::kMaxIterations)), "from 1 to 1000");
    EXPECT_EQ(DomainText(Describe(SolverOption::kToleranceExponent)), "from -34 to 9");
    EXPECT_EQ(DomainText(Describe(SolverOption::kDeltaT)), "above 1e-47 and below 1e+50");
    EXPECT_EQ(DomainText(Describe(SolverOption::kStepCount)), "at least 1");
    // Numbers outside the integer range stop at its ends.
    SolverOptions o;
    SetOptionValue(o, SolverOption::kMaxIterations, 1e12);
    EXPECT_EQ(o.maxIterations, std::numeric_limits<int>::max());
    SetOptionValue(o, SolverOption::kToleranceExponent, -1e12);
    EXPECT_EQ(o.toleranceExponent, std::numeric_limits<int>::min());
    SetOptionValue(o, SolverOption::kStepCount, std::nan(""));
    EXPECT_EQ(o.stepCount, 0);
}

}  // namespace

TEST(SolverOptions, EveryTableFollowsTheCapacityWithinItsRange) {
    const Limits small = Limits::ForCapacity(Limits::kDefaultCapacity);
    // The smallest capacity is the original program's table sizes.
    EXPECT_EQ(std::tuple(small.maxEquations, small.maxVariables, small.nameSlots,
                         small.stackEntries, small.nameChars),
              std::tuple(25, 25, 150, 50, 8));
    EXPECT_EQ(small.equationTableSize(), Limits{}.equationTableSize());
    const Limits big = Limits::ForCapacity(5000);
    EXPECT_EQ(std::tuple(big.maxEquations, big.maxVariables, big.nameSlots, big.stackEntries,
                         big.nameChars),
              std::tuple(5000, 5000, 30000, 10000, 8));
    // However a value was entered, the tables stay between the smallest and the largest.
    EXPECT_EQ(Limits::ForCapacity(3).maxEquations, 25);
    EXPECT_EQ(Limits::ForCapacity(1 << 30).maxVariables, Limits::kMaxCapacity);
}
