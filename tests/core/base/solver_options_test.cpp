#include "core/base/solver_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
    using enum SolverOption;
    const double least = 1000 * kSmallValue, nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        SolverOption option;
        double value;
        bool inside;
    } cases[] = {
        // clang-format off
        {kMethod, 3, true}, {kMethod, 4, false}, {kJacobianMode, 2, false},
        {kMaxIterations, 0, false}, {kMaxIterations, 1000, true}, {kMaxIterations, 1001, false},
        {kToleranceExponent, -34, true}, {kToleranceExponent, -35, false},
        {kToleranceExponent, 9, true}, {kToleranceExponent, 10, false}, {kStepCount, 0, false},
        {kDeltaJ, least, false}, {kDeltaJ, least * 1.5, true}, {kDeltaT, 0, false},
        {kMaxGuess, least, false}, {kMinGuess, -1e49, true},
        // No real setting may reach the value that stands for overflow, and NaN is in no domain.
        {kMinGuess, -1e300, false}, {kDeltaT, 1e50, false}, {kDeltaJ, nan, false},
        {kMaxIterations, nan, false}, {kCapacity, 24, false}, {kCapacity, 25, true},
        {kCapacity, 20000, true}, {kCapacity, 20001, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InDomain(Describe(c.option), c.value), c.inside)
            << Describe(c.option).name << " " << c.value;
    }
}

TEST(SolverOptions, DomainsAreNamedInWords) {
    EXPECT_EQ(DomainText(Describe(SolverOption::kMaxIterations)), "from 1 to 1000");
    EXPECT_EQ(DomainText(Describe(SolverOption::kToleranceExponent)), "from -34 to 9");
    EXPECT_EQ(DomainText(Describe(SolverOption::kDeltaT)), "above 1e-47 and below 1e+50");
    EXPECT_EQ(DomainText(Describe(SolverOption::kStepCount)), "at least 1");
}

TEST(SolverOptions, NumbersOutsideTheIntegerRangeStopAtItsEnds) {
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
