// Least-squares estimation ('ALR') on the NIST StRD reference data sets.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "core/base/name_table.h"
#include "core/document_fixture.h"
#include "core/nist_data.h"

namespace {

class NistRegression : public DocumentFixture {
   protected:
    int Fit(const nist::DataSet& set, const std::string& document) {
        const std::string list = (dir_ / "data.LST").string();
        std::ofstream(list, std::ios::binary) << set.listText;
        core_.settings.updateFileName = list;
        return Run(document, "ALR");
    }
    // The number printed after a label of the fit statistics (for a parameter's line, after
    // the estimate: its standard error).
    double Printed(const std::string& label, bool second = false) const {
        const auto at = out_.find(label);
        if (at == std::string::npos) return 0.0;
        char* end = nullptr;
        const double first = std::strtod(out_.c_str() + at + label.size(), &end);
        return second ? std::strtod(end, nullptr) : first;
    }
};

}  // namespace

TEST_F(NistRegression, NorrisStraightLineMatchesTheCertifiedValues) {
    const nist::DataSet set = nist::Load("Norris");
    ASSERT_EQ(set.parameters.size(), 2u);
    ASSERT_EQ(Fit(set, "{Options: 20 -6}\ny = B0 + B1*x;\n"), 1) << out_;
    EXPECT_NE(out_.find("Regression Statistics: 36 observations, 2 parameters"), std::string::npos);
    for (const nist::Parameter& p : set.parameters) {
        EXPECT_GE(nist::AgreeingDigits(Value(p.name), p.certified), 8.0) << p.name;
        EXPECT_GE(nist::AgreeingDigits(Printed("\n" + p.name + " ", true), p.deviation), 4.0);
    }
    EXPECT_GE(nist::AgreeingDigits(Printed("Residual Standard Deviation:"), set.residualDeviation),
              8.0);
    EXPECT_GE(nist::AgreeingDigits(Printed("R-Squared:"), set.rSquared), 8.0);
}

// Every nonlinear set from NIST's first start, with Newton and Robust Newton. The gradient of
// the sum of squares is solved like any equation set, so what is reached depends on the
// solver's reach from that start: the sets of kReached get the certified values to 4 digits,
// and a change either way shows here.
const std::pair<const char*, const char*> kNonlinear[] = {
    {"Misra1a", "y = b1*(1 - EXP(-b2*x))"},
    {"Chwirut2", "y = EXP(-b1*x)/(b2 + b3*x)"},
    {"Chwirut1", "y = EXP(-b1*x)/(b2 + b3*x)"},
    {"Lanczos3", "y = b1*EXP(-b2*x) + b3*EXP(-b4*x) + b5*EXP(-b6*x)"},
    {"Gauss1", "y = b1*EXP(-b2*x) + b3*EXP(-(x - b4)^2/b5^2) + b6*EXP(-(x - b7)^2/b8^2)"},
    {"DanWood", "y = b1*x^b2"},
    {"Misra1b", "y = b1*(1 - (1 + b2*x/2)^(-2))"},
    {"MGH09", "y = b1*(x^2 + x*b2)/(x^2 + x*b3 + b4)"},
    {"Thurber", "y = (b1 + b2*x + b3*x^2 + b4*x^3)/(1 + b5*x + b6*x^2 + b7*x^3)"},
    {"BoxBOD", "y = b1*(1 - EXP(-b2*x))"},
};
// Misra1a's gradient equations have a long curved valley: damped Newton crawls along it to the
// certified values, while the trust region of Robust Newton, which only takes steps that lower
// the Euclidean norm of the equations, settles on the valley floor where that norm has a local
// minimum (about 0.06) short of the solution.
const std::set<std::string> kReached = {"Misra1a NEWTON", "DanWood NEWTON", "DanWood ROBUST"};

class NistNonlinear : public NistRegression,
                      public ::testing::WithParamInterface<
                          std::tuple<std::pair<const char*, const char*>, const char*>> {};

TEST_P(NistNonlinear, FromTheFirstStart) {
    const auto& [test, method] = GetParam();
    const nist::DataSet set = nist::Load(test.first);
    std::string document = std::string("{Options: 1000 -6 ") + method + "}\n" + test.second + ";\n";
    for (const nist::Parameter& p : set.parameters) {
        char guess[80];
        std::snprintf(guess, sizeof guess, "%s \xbb %.17g;\n", p.name.c_str(), p.start1);
        document += guess;
    }
    const bool solved = Fit(set, document) == 1;
    double worst = 17.0;
    for (const nist::Parameter& p : set.parameters) {
        const int v = FindVariable(core_.names, p.name);
        worst =
            std::min(worst, v == 0 ? 0.0 : nist::AgreeingDigits(core_.names.value[v], p.certified));
    }
    const bool reached = solved && worst >= 4.0;
    std::printf("NIST %-9s %-7s %s (%.1f digits)\n", test.first, method,
                reached ? "reached" : "not reached", worst);
    EXPECT_EQ(reached, kReached.count(std::string(test.first) + " " + method) == 1) << out_;
}

INSTANTIATE_TEST_SUITE_P(Sets, NistNonlinear,
                         ::testing::Combine(::testing::ValuesIn(kNonlinear),
                                            ::testing::Values("NEWTON", "ROBUST")),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param).first) + "_" +
                                    std::get<1>(param.param);
                         });
