// Least-squares estimation ('ALR') on the NIST StRD reference data sets: every set, from each
// of NIST's starting values, must reach the certified estimates and their standard deviations.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "core/base/fit_table.h"
#include "core/document_fixture.h"
#include "core/nist_data.h"

namespace {

struct Set {
    const char* name;
    const char* model;
    bool linear;     // certified to 6 digits at least, otherwise 4
    bool intercept;  // NIST's R-squared is about the mean: certified for these only
};

const Set kSets[] = {
    {"Norris", "y = B0 + B1*x", true, true},
    {"Pontius", "y = B0 + B1*x + B2*x^2", true, true},
    {"NoInt1", "y = B1*x", true, false},
    {"Longley", "y = B0 + B1*x1 + B2*x2 + B3*x3 + B4*x4 + B5*x5 + B6*x6", true, true},
    {"Misra1a", "y = b1*(1 - EXP(-b2*x))", false, false},
    {"Chwirut2", "y = EXP(-b1*x)/(b2 + b3*x)", false, false},
    {"Chwirut1", "y = EXP(-b1*x)/(b2 + b3*x)", false, false},
    {"Lanczos3", "y = b1*EXP(-b2*x) + b3*EXP(-b4*x) + b5*EXP(-b6*x)", false, false},
    {"Gauss1", "y = b1*EXP(-b2*x) + b3*EXP(-(x - b4)^2/b5^2) + b6*EXP(-(x - b7)^2/b8^2)", false,
     false},
    {"DanWood", "y = b1*x^b2", false, false},
    {"Misra1b", "y = b1*(1 - (1 + b2*x/2)^(-2))", false, false},
    {"MGH09", "y = b1*(x^2 + x*b2)/(x^2 + x*b3 + b4)", false, false},
    {"Thurber", "y = (b1 + b2*x + b3*x^2 + b4*x^3)/(1 + b5*x + b6*x^2 + b7*x^3)", false, false},
    {"BoxBOD", "y = b1*(1 - EXP(-b2*x))", false, false},
};

// A linear set once, from the starting values the compile draws; a nonlinear one from each of
// NIST's two starts.
std::vector<std::tuple<Set, int>> Runs() {
    std::vector<std::tuple<Set, int>> runs;
    for (const Set& set : kSets) {
        if (set.linear) {
            runs.emplace_back(set, 0);
        } else {
            runs.emplace_back(set, 1);
            runs.emplace_back(set, 2);
        }
    }
    return runs;
}

class NistRegression : public DocumentFixture,
                       public ::testing::WithParamInterface<std::tuple<Set, int>> {
   protected:
    int Fit(const nist::DataSet& set, const std::string& document) {
        const std::string list = (dir_ / "data.LST").string();
        std::ofstream(list, std::ios::binary) << set.listText;
        core_.settings.updateFileName = list;
        return Run(document, "ALR");
    }
};

}  // namespace

TEST_P(NistRegression, ReachesTheCertifiedValues) {
    const auto& [test, start] = GetParam();
    const nist::DataSet set = nist::Load(test.name);
    ASSERT_FALSE(set.parameters.empty());
    std::string document = std::string(test.model) + ";\n";
    for (const nist::Parameter& p : set.parameters) {
        if (start == 0) continue;
        char guess[80];
        std::snprintf(guess, sizeof guess, "%s \xbb %.17g;\n", p.name.c_str(),
                      start == 1 ? p.start1 : p.start2);
        document += guess;
    }
    ASSERT_EQ(Fit(set, document), 1) << out_;

    FitStatistics fit;
    ASSERT_TRUE(ParseFitTable(ReadFile(".FIT"), fit));
    ASSERT_EQ(fit.parameters.size(), set.parameters.size());
    const double digits = test.linear ? 6.0 : 4.0;
    for (std::size_t j = 0; j < set.parameters.size(); ++j) {
        const nist::Parameter& p = set.parameters[j];
        EXPECT_EQ(fit.parameters[j].name, p.name);
        EXPECT_GE(nist::AgreeingDigits(Value(p.name), p.certified), digits) << p.name;
        EXPECT_EQ(fit.parameters[j].estimate, Value(p.name));
        EXPECT_GE(nist::AgreeingDigits(fit.parameters[j].standardError, p.deviation), 4.0)
            << p.name;
    }
    EXPECT_GE(nist::AgreeingDigits(fit.residualSd, set.residualDeviation), 4.0);
    if (test.intercept) {
        EXPECT_GE(nist::AgreeingDigits(fit.rSquared, set.rSquared), 6.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, NistRegression, ::testing::ValuesIn(Runs()), [](const auto& run) {
    const int start = std::get<1>(run.param);
    return std::string(std::get<0>(run.param).name) +
           (start == 0 ? "" : "_Start" + std::to_string(start));
});
