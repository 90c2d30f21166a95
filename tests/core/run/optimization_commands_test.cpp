// Whole runs of the optimization and regression commands: 'O', 'K' and 'A' with "LR".

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/compiled_fixture.h"
#include "core/nist_data.h"

namespace {

class OptimizationCommands : public CompiledFixture {
   protected:
    // The estimate and the standard error the fit statistics print for a parameter.
    std::pair<double, double> Fit(const std::string& name) const {
        const auto at = out_.find("\n" + name + " ");
        if (at == std::string::npos) return {0.0, 0.0};
        char* end = nullptr;
        const double estimate = std::strtod(out_.c_str() + at + name.size() + 1, &end);
        return {estimate, std::strtod(end, nullptr)};
    }
};

}  // namespace

TEST_F(OptimizationCommands, NothingIsSolvedUnlessThisRunWroteIt) {
    // More than one objective: more terms than variables.
    EXPECT_EQ(Run("x^2 + y^2;\nx - y;\n", "O"), 0);
    EXPECT_NE(out_.find("\nToo many equations"), std::string::npos) << out_;
    // An older file of terms must not be taken for this run's.
    std::ofstream(dir_ / "doc.SJC", std::ios::binary) << "x = 5;\n";
    EXPECT_EQ(Run("{Options: 10 -3 NEWTON INCREMENTAL}\n(x - 2)^2;\n", "O"), 0);
    EXPECT_EQ(out_.find("Solving..."), std::string::npos) << out_;
    core_.settings.updateFileName = (dir_ / "missing.LST").string();
    EXPECT_EQ(Run("y = a + b*x;\n", "ALR"), 0);
    EXPECT_NE(out_.find("Does Not Exist"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("Solving..."), std::string::npos);
}

TEST_F(OptimizationCommands, ConstrainedSetBeyondTheCapacityIsRefused) {
    std::string text = "v1";  // 24 variables and a multiplier fit, the slack does not
    for (int i = 2; i <= 24; ++i) text += " + v" + std::to_string(i) + "^2";
    Run(text + ";\nv1 + v2 = 1;\nv3 > 0;\n", "KFK");
    EXPECT_NE(
        out_.find(
            "\nToo Many Variables\n(limit 25 variables; raise it with the CAPACITY option to 27)"
            "\nError ..."),
        std::string::npos)
        << out_;
    EXPECT_EQ(out_.find("Solving..."), std::string::npos);
}

TEST_F(OptimizationCommands, RegressionStartsFromTheDocumentsStartingValues) {
    // DanWood, y = b1*x^b2, from NIST's first start (1, 5): the first iteration reports the sum
    // of squares there, and the fit reaches the certified values.
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
        EXPECT_GE(nist::AgreeingDigits(Value(p.name), p.certified), 6.0) << p.name;
        EXPECT_GE(nist::AgreeingDigits(Fit(p.name).second, p.deviation), 6.0) << p.name;
    }
}

TEST_F(OptimizationCommands, StatisticsOfAnExactFitAndOfAModelWithoutResponse) {
    Attach("x y\n0 1\n1 3\n2 5\n3 7\n");
    ASSERT_EQ(Run("{Options: 20 -8}\ny = a + b*x;\n", "ALR"), 1) << out_;
    EXPECT_NEAR(Fit("a").first, 1.0, 1e-12);
    EXPECT_NEAR(Fit("b").first, 2.0, 1e-12);
    EXPECT_LT(std::atof(out_.c_str() + out_.find("Residual Sum of Squares:") + 24), 1e-20);
    EXPECT_NE(out_.find("R-Squared:                   1\n"), std::string::npos) << out_;
    // Written implicitly there is no response to measure R-squared against.
    ASSERT_EQ(Run("{Options: 20 -8}\ny - c*x^2 - 2*x = 1;\n", "ALR"), 1) << out_;
    EXPECT_EQ(out_.find("R-Squared"), std::string::npos) << out_;
    EXPECT_NE(out_.find("Residual Standard Deviation:"), std::string::npos);
}
