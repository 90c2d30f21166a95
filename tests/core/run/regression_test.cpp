// The verdict of least-squares estimation ('ALR'): a run counts as solved only when the fit
// converged and the sum of squares did not rise, by either route (a rise is the golden case
// regression_rewrite_refused); and what it cannot fit, it says why.

#include "core/run/regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "core/base/fit_table.h"
#include "core/compiled_fixture.h"
#include "core/data_table.h"
#include "core/nist_data.h"

namespace {

class Regression : public CompiledFixture {
   protected:
    bool HasFitFile() const { return std::filesystem::exists(dir_ / "doc.FIT"); }
    // The estimate and the standard error the fit statistics print for a parameter.
    std::pair<double, double> Printed(const std::string& name) const {
        const auto at = out_.find("\n" + name + " ");
        if (at == std::string::npos) return {0.0, 0.0};
        char* end = nullptr;
        const double estimate = std::strtod(out_.c_str() + at + name.size() + 1, &end);
        return {estimate, std::strtod(end, nullptr)};
    }
};

}  // namespace

TEST_F(Regression, NorrisLineIsSolvedByBothRoutes) {
    const nist::DataSet set = nist::Load("Norris");
    ASSERT_FALSE(set.parameters.empty());
    Attach(set.listText);
    // Large values: the gradient of the sum of squares cannot reach an absolute 1e-10, the
    // relative tests of the fit can.
    for (const char* options : {"{Options: 20 -10}\n", "{Options: 20 -6}\n"}) {
        SCOPED_TRACE(options);
        const std::string document = std::string(options) + "y = B0 + B1*x;\n";
        ASSERT_EQ(Run(document, "ALR"), 1) << out_;
        for (const nist::Parameter& p : set.parameters) {
            EXPECT_GE(nist::AgreeingDigits(Value(p.name), p.certified), 9.0) << p.name;
        }
    }
    ASSERT_EQ(Run("{Options: 20 -6 ROUTE=REWRITE}\ny = B0 + B1*x;\n", "ALR"), 1) << out_;
    EXPECT_NE(out_.find("Converged: "), std::string::npos) << out_;
    for (const nist::Parameter& p : set.parameters) {
        EXPECT_GE(nist::AgreeingDigits(Value(p.name), p.certified), 8.0) << p.name;
    }
    FitStatistics fit;
    ASSERT_TRUE(ParseFitTable(ReadFile(".FIT"), fit));
    EXPECT_GE(nist::AgreeingDigits(fit.residualSd, set.residualDeviation), 8.0);
}

// What cannot be fitted leaves no .FIT, not even an older one; the reasons it gives are the
// golden cases regression_list_without_rows, regression_nothing_to_fit,
// regression_fewer_rows_than_parameters, regression_undefined_at_start and
// regression_needs_real_arithmetic; the cases are tests/data/regression/unfittable.txt.
TEST_F(Regression, WhatCannotBeFittedLeavesNoFitFile) {
    for (const data_table::Row& c : data_table::Read("regression/unfittable")) {
        Attach(c[0]);
        std::ofstream(dir_ / "doc.FIT") << "an older fit\n";
        EXPECT_EQ(Run(c[1], "ALR"), 0) << out_;
        EXPECT_FALSE(HasFitFile()) << c[1];
    }
}

TEST_F(Regression, TwentyThousandRowsOfAFourParameterModel) {
    // y = 3 e^(-0.7 x) + 2 / (1 + x) + 0.5 with noise of standard deviation 0.01.
    const double truth[] = {3.0, 0.7, 2.0, 0.5};
    auto model = [&](const double* b, double x) {
        return b[0] * std::exp(-b[1] * x) + b[2] / (1.0 + x) + b[3];
    };
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::string list = "x y\n";
    std::vector<std::pair<double, double>> rows;
    for (int i = 0; i < 20000; ++i) {
        const double x = 5.0 * i / 20000;
        rows.emplace_back(x, model(truth, x) + noise(rng));
        char line[64];
        std::snprintf(line, sizeof line, "%.17g %.17g\n", rows.back().first, rows.back().second);
        list += line;
    }
    Attach(list);
    ASSERT_EQ(Run("y = b1*EXP(-b2*x) + b3/(1 + x) + b4;\n"
                  "b1 \xbb 1;\nb2 \xbb 1;\nb3 \xbb 1;\nb4 \xbb 0;\n",
                  "ALR"),
              1)
        << out_.substr(0, 2000);
    FitStatistics fit;
    ASSERT_TRUE(ParseFitTable(ReadFile(".FIT"), fit));
    EXPECT_EQ(fit.observations, 20000);
    double atTruth = 0.0;
    for (const auto& [x, y] : rows) atTruth += (y - model(truth, x)) * (y - model(truth, x));
    // The least sum of squares is no larger than the one at the values the data came from,
    // and those lie within a few standard errors of the estimates.
    EXPECT_LE(fit.residualSumOfSquares, atTruth);
    EXPECT_NEAR(fit.residualSd, 0.01, 0.0005);
    for (int j = 0; j < 4; ++j) {
        EXPECT_LT(std::fabs(fit.parameters[j].estimate - truth[j]),
                  5.0 * fit.parameters[j].standardError)
            << fit.parameters[j].name;
    }
}

TEST_F(Regression, StartsFromTheDocumentsStartingValues) {
    // DanWood, y = b1*x^b2, from NIST's first start (1, 5): the first iteration reports the sum
    // of squares there, and the printed statistics reach the certified values.
    const nist::DataSet set = nist::Load("DanWood");
    ASSERT_FALSE(set.parameters.empty());
    Attach(set.listText);
    ASSERT_EQ(Run("y = b1*x^b2;\nb1 \xbb 1;\nb2 \xbb 5;\n", "ALR"), 1) << out_;
    std::istringstream rows(set.listText);
    std::string header;
    std::getline(rows, header);  // "y x"
    double sum = 0.0;
    for (double y = 0, x = 0; rows >> y >> x;) sum += (y - std::pow(x, 5)) * (y - std::pow(x, 5));
    const auto at = out_.find("Iter:   1  Sum of Squares: ");
    ASSERT_NE(at, std::string::npos) << out_;
    EXPECT_NEAR(std::atof(out_.c_str() + at + 27), sum, 1e-9 * sum);
    for (const nist::Parameter& p : set.parameters) {
        EXPECT_GE(nist::AgreeingDigits(Printed(p.name).first, p.certified), 6.0) << p.name;
        EXPECT_GE(nist::AgreeingDigits(Printed(p.name).second, p.deviation), 6.0) << p.name;
    }
}

TEST_F(Regression, AnExactFitHasNoResidualAndAnRSquaredOfOne) {
    Attach("x y\n0 1\n1 3\n2 5\n3 7\n");
    ASSERT_EQ(Run("{Options: 20 -8}\ny = a + b*x;\n", "ALR"), 1) << out_;
    EXPECT_NEAR(Printed("a").first, 1.0, 1e-12);
    EXPECT_NEAR(Printed("b").first, 2.0, 1e-12);
    EXPECT_LT(std::atof(out_.c_str() + out_.find("Residual Sum of Squares:") + 24), 1e-20);
    EXPECT_NE(out_.find("R-Squared:                   1\n"), std::string::npos) << out_;
}

// The shell may name a table that has gone since it was attached: said, and nothing is fitted
// or written.
TEST_F(Regression, ATableThatIsGoneIsSaid) {
    core_.settings.updateFileName = (dir_ / "gone.LST").string();
    core_.settings.updateFilePresent = true;
    for (const char* command : {"ALR", "ALG"}) {
        EXPECT_EQ(Run("y = a + b*x;\n", command), 0) << command;
        EXPECT_NE(out_.find("Does Not Exist"), std::string::npos) << out_;
        EXPECT_EQ(out_.find("Solving..."), std::string::npos) << out_;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.SJC")) << command;
    }
}
