#include "core/base/fit_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/data_table.h"

namespace {

FitStatistics TwoParameters() {
    FitStatistics f;
    f.observations = 36;
    f.degreesOfFreedom = 34;
    f.parameters = {{"B0", -0.262323073774245, 0.232818234301155, -1.1267, -0.7355, 0.2108},
                    {"B1", 1.00211681802045, 0.000429796848199942, 2331.6, 1.0012, 1.0030}};
    f.residualSumOfSquares = 26.6173985294229;
    f.residualSd = 0.884796396144382;
    f.rms = 0.859867537108396;
    f.rSquared = 0.999993745883712;
    f.adjustedRSquared = 0.99999356;
    f.correlation = {1.0, -0.7752, -0.7752, 1.0};
    return f;
}

bool Same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

void ExpectSame(const FitStatistics& a, const FitStatistics& b) {
    EXPECT_EQ(a.observations, b.observations);
    EXPECT_EQ(a.degreesOfFreedom, b.degreesOfFreedom);
    ASSERT_EQ(a.parameters.size(), b.parameters.size());
    for (std::size_t i = 0; i < a.parameters.size(); ++i) {
        const FitParameter &p = a.parameters[i], &q = b.parameters[i];
        EXPECT_EQ(p.name, q.name);
        for (auto [x, y] : {std::pair{p.estimate, q.estimate},
                            {p.standardError, q.standardError},
                            {p.tValue, q.tValue},
                            {p.lower, q.lower},
                            {p.upper, q.upper}}) {
            EXPECT_TRUE(Same(x, y)) << p.name << ": " << x << " against " << y;
        }
    }
    for (auto [x, y] : {std::pair{a.residualSumOfSquares, b.residualSumOfSquares},
                        {a.residualSd, b.residualSd},
                        {a.rms, b.rms},
                        {a.rSquared, b.rSquared},
                        {a.adjustedRSquared, b.adjustedRSquared},
                        {a.confidence, b.confidence}}) {
        EXPECT_TRUE(Same(x, y)) << x << " against " << y;
    }
    EXPECT_EQ(a.correlation, b.correlation);
}

}  // namespace

TEST(FitTable, ReadsBackWhatItWroteExactly) {
    FitStatistics full = TwoParameters();
    full.parameters[0].estimate = 0.1 + 0.2;  // digits a short format would lose
    FitStatistics none = TwoParameters();     // dependent parameters, no response column
    none.residualSd = none.rSquared = none.adjustedRSquared = kNoValue;
    for (FitParameter& p : none.parameters)
        p.standardError = p.tValue = p.lower = p.upper = kNoValue;
    none.correlation.clear();
    for (const FitStatistics& f : {full, none}) {
        const std::string text = FormatFitTable(f);
        FitStatistics back;
        ASSERT_TRUE(ParseFitTable(text, back)) << text;
        ExpectSame(f, back);
        EXPECT_EQ(back.haveErrors(), f.haveErrors());
    }
    EXPECT_NE(FormatFitTable(none).find("\nRSquared -\n"), std::string::npos);
}

TEST(FitTable, RefusesTextThatIsNotOne) {
    const std::string good = FormatFitTable(TwoParameters());
    auto changed = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    FitStatistics f;
    EXPECT_TRUE(ParseFitTable(good, f));
    EXPECT_TRUE(ParseFitTable(changed("\n", "\r\n\n"), f));  // line ends of any system
    EXPECT_FALSE(ParseFitTable("", f));
    for (const data_table::Row& row : data_table::Read("fit_table_refused/changes")) {
        const std::string text = changed(row[0], row[1]);
        EXPECT_FALSE(ParseFitTable(text, f)) << text;
    }
}
