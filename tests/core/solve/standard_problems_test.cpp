#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"

// Published nonlinear test problems (Moré, Garbow and Hillstrom) from their standard starting
// points, solved with both kinds of Jacobian.
namespace {

std::string Real(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

std::string X(int i) {
    std::string name = "x";
    return name += std::to_string(i);
}

struct Problem {
    std::string name;
    std::vector<std::string> equations;
    std::vector<double> start;  // x1..xn
};

// Names the problem in test output instead of dumping its bytes.
void PrintTo(const Problem& p, std::ostream* os) { *os << p.name; }

std::string Document(const Problem& p) {
    std::string text = "{Options: 100 -8}\n";
    for (const auto& e : p.equations) text += e + ";\n";
    for (std::size_t i = 0; i < p.start.size(); ++i) {
        text += X(static_cast<int>(i) + 1) + " \xbb " + Real(p.start[i]) + ";\n";
    }
    return text;
}

std::vector<Problem> Problems() {
    std::vector<Problem> list;
    list.push_back({"Rosenbrock", {"10*(x2 - x1^2) = 0", "1 - x1 = 0"}, {-1.2, 1.0}});
    list.push_back({"PowellSingular",
                    {"x1 + 10*x2 = 0", "SQRT(5)*(x3 - x4) = 0", "(x2 - 2*x3)^2 = 0",
                     "SQRT(10)*(x1 - x4)^2 = 0"},
                    {3.0, -1.0, 0.0, 1.0}});
    list.push_back({"PowellBadlyScaled",
                    {"10000*x1*x2 - 1 = 0", "EXP(-x1) + EXP(-x2) - 1.0001 = 0"},
                    {0.0, 1.0}});
    list.push_back({"Wood",
                    {"-200*x1*(x2 - x1^2) - (1 - x1) = 0",
                     "200*(x2 - x1^2) + 20.2*(x2 - 1) + 19.8*(x4 - 1) = 0",
                     "-180*x3*(x4 - x3^2) - (1 - x3) = 0",
                     "180*(x4 - x3^2) + 20.2*(x4 - 1) + 19.8*(x2 - 1) = 0"},
                    {-3.0, -1.0, -3.0, -1.0}});
    list.push_back({"HelicalValley",
                    {"10*(x3 - 10*th) = 0", "th = ATAN2(x2, x1)/(2*PI)",
                     "10*(SQRT(x1^2 + x2^2) - 1) = 0", "x3 = 0"},
                    {-1.0, 0.0, 0.0}});
    const int n = 10;
    const double h = 1.0 / (n + 1);
    Problem tri{"BroydenTridiagonal", {}, std::vector<double>(n, -1.0)};
    Problem band{"BroydenBanded", {}, std::vector<double>(n, -1.0)};
    Problem bv{"DiscreteBoundaryValue", {}, {}};
    Problem trig{"Trigonometric", {}, std::vector<double>(n, 1.0 / n)};
    Problem brown{"BrownAlmostLinear", {}, std::vector<double>(n, 0.5)};
    std::string cosines, sum;
    for (int j = 1; j <= n; ++j) {
        cosines += (j > 1 ? " + " : "") + std::string("COS(") + X(j) + ")";
        sum += (j > 1 ? " + " : "") + X(j);
    }
    std::string product;
    for (int j = 1; j <= n; ++j) product += (j > 1 ? "*" : "") + X(j);
    for (int i = 1; i <= n; ++i) {
        std::string t = "(3 - 2*" + X(i) + ")*" + X(i);
        if (i > 1) t += " - " + X(i - 1);
        if (i < n) t += " - 2*" + X(i + 1);
        tri.equations.push_back(t + " + 1 = 0");

        std::string b = X(i) + "*(2 + 5*" + X(i) + "^2) + 1 - (0";
        for (int j = std::max(1, i - 5); j <= std::min(n, i + 1); ++j) {
            if (j != i) b += " + " + X(j) + "*(1 + " + X(j) + ")";
        }
        band.equations.push_back(b + ") = 0");

        const double ti = i * h;
        std::string d = "2*" + X(i);
        if (i > 1) d += " - " + X(i - 1);
        if (i < n) d += " - " + X(i + 1);
        bv.equations.push_back(d + " + " + Real(h * h / 2) + "*(" + X(i) + " + " + Real(ti) + " + 1)^3 = 0");
        bv.start.push_back(ti * (ti - 1));

        trig.equations.push_back(std::to_string(n) + " - (" + cosines + ") + " + std::to_string(i) +
                                 "*(1 - COS(" + X(i) + ")) - SIN(" + X(i) + ") = 0");
        brown.equations.push_back(i < n ? X(i) + " + (" + sum + ") - " + std::to_string(n + 1) + " = 0"
                                        : product + " - 1 = 0");
    }
    list.push_back(tri);
    list.push_back(band);
    list.push_back(bv);
    list.push_back(trig);
    list.push_back(brown);
    return list;
}

}  // namespace

class StandardProblems : public DocumentFixture, public ::testing::WithParamInterface<Problem> {};

TEST_P(StandardProblems, ExactJacobianFindsTheSolution) {
    EXPECT_EQ(Run(Document(GetParam())), 1) << out_;
    EXPECT_NE(out_.find("Solution Found!"), std::string::npos);
}

TEST_P(StandardProblems, IncrementalJacobianFindsTheSolution) {
    core_.settings.jacobianMode = JacobianMode::kIncremental;
    // Forward differences need a step near the square root of the rounding error to reach a
    // tolerance of 1e-8 on problems that are singular at their solution.
    core_.settings.deltaJ = 1e-7;
    EXPECT_EQ(Run(Document(GetParam())), 1) << out_;
}

TEST_P(StandardProblems, ResidualsAreBelowTheTolerance) {
    ASSERT_EQ(Run(Document(GetParam())), 1);
    // The solved values make every equation vanish: check by solving again from them.
    std::string again = "{Options: 1 -8}\n";
    for (const auto& e : GetParam().equations) again += e + ";\n";
    for (int i = 1; i <= core_.names.variableCount; ++i) {
        again += core_.names.name[i] + " \xbb " + Real(core_.names.value[i]) + ";\n";
    }
    EXPECT_EQ(Run(again), 1) << out_;
}

INSTANTIATE_TEST_SUITE_P(FromStandardStart, StandardProblems, ::testing::ValuesIn(Problems()),
                         [](const auto& p) { return p.param.name; });
