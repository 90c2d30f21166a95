#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/data_table.h"
#include "core/document_fixture.h"
#include "core/solve/minpack_reference.h"
#include "core/solve/standard_problem_runs.h"

// Every method on the 18 standard problems from x0, 10 x0 and 100 x0 (54 runs each): a run
// counts as solved when it reports a solution whose largest published residual is at most
// 1e-6, and no method may report a solution that fails that test. Newton's roots are compared
// with the final x of the MINPACK reference drivers in tests/data/minpack/ (hybrj1 for the
// exact Jacobian, hybrd1 for forward differences). bench/robustness writes the table of
// docs/robustness.md from the same runs.
namespace {

// A start where damped Newton steps converge and how its root is compared with the reference
// (tests/data/newton_reference_roots/starts.txt says why each is there and how it compares).
enum class Compare { kSameStart, kAnyReferenceRoot, kResidual };

struct Case {
    std::string problem;
    int factor;
    Compare compare;
    double tolerance;
};

std::vector<Case> NewtonCases() {
    std::vector<Case> cases;
    for (const data_table::Row& r : data_table::Read("newton_reference_roots/starts", 4)) {
        const Compare compare = r[2] == "same" ? Compare::kSameStart
                                : r[2] == "any" ? Compare::kAnyReferenceRoot
                                                : Compare::kResidual;
        EXPECT_TRUE(compare != Compare::kResidual || r[2] == "residual") << r[2];
        cases.push_back({r[0], std::stoi(r[1]), compare, std::stod(r[3])});
    }
    return cases;
}

std::string Show(const std::vector<double>& x) {
    std::string text;
    for (double v : x) text += " " + standard::Real(v);
    return text;
}

void ExpectReferenceRoot(const Case& c, const standard::Problem& p, const std::vector<double>& x,
                         const char* file) {
    SCOPED_TRACE(c.problem + " from " + std::to_string(c.factor) + " x0, " + file);
    const int n = static_cast<int>(p.start.size());
    switch (c.compare) {
        case Compare::kSameStart: {
            const auto calls = minpack::Read(file);
            const minpack::Call* ref = minpack::Find(calls, p.number, n, c.factor);
            ASSERT_NE(ref, nullptr) << "no reference call for this start";
            EXPECT_TRUE(minpack::SameRoot(x, ref->x, c.tolerance))
                << "x =" << Show(x) << "\nreference x =" << Show(ref->x);
            break;
        }
        case Compare::kAnyReferenceRoot: {
            // The roots are the problem's, whichever driver found them.
            auto all = minpack::Read(minpack::kAnalytic);
            const auto more = minpack::Read(minpack::kDifferences);
            all.insert(all.end(), more.begin(), more.end());
            std::string roots;
            bool found = false;
            for (const minpack::Call& call : all) {
                if (call.problem != p.number || call.n != n || call.info != 1) continue;
                found = found || minpack::SameRoot(x, call.x, c.tolerance);
                roots += "\n" + Show(call.x);
            }
            EXPECT_TRUE(found) << "x =" << Show(x) << "\nreference roots:" << roots;
            break;
        }
        case Compare::kResidual:
            EXPECT_LT(standard::LargestMagnitude(standard::Residuals(p, x)), 1e-8)
                << "x =" << Show(x);
            break;
    }
}

class StandardProblems : public DocumentFixture {
   protected:
    const std::vector<minpack::Call> reference_ = minpack::Read(minpack::kAnalytic);
};

class StandardProblemCounts : public StandardProblems,
                              public ::testing::WithParamInterface<standard::Method> {};

}  // namespace

TEST_P(StandardProblemCounts, SolvesAtLeastItsShareWithoutFalseSuccess) {
    const standard::Method& m = GetParam();
    const bool newton = std::string(m.id) == "Newton";
    const std::vector<Case> newtonCases = NewtonCases();
    int solved = 0;
    for (const standard::Problem& p : standard::Problems()) {
        for (int factor : standard::kStartFactors) {
            const standard::Outcome o = standard::Solve(core_, dir_, p, factor, m, reference_);
            solved += o.Solved() ? 1 : 0;
            EXPECT_TRUE(!o.reported || o.Solved())
                << m.name << " reports a solution of " << p.name << " from " << factor
                << " x0 whose largest residual is " << o.largest;
            const auto c = std::find_if(newtonCases.begin(), newtonCases.end(), [&](const Case& n) {
                return newton && n.problem == p.name && n.factor == factor;
            });
            if (c != newtonCases.end()) {
                EXPECT_TRUE(o.reported) << p.name << " from " << factor << " x0";
                ExpectReferenceRoot(*c, p, o.x, minpack::kAnalytic);
            }
        }
    }
    EXPECT_GE(solved, m.atLeast) << m.name;
}

INSTANTIATE_TEST_SUITE_P(EachMethod, StandardProblemCounts, ::testing::ValuesIn(standard::kMethods),
                         [](const auto& p) { return std::string(p.param.id); });

TEST_F(StandardProblems, IncrementalJacobianReachesTheReferenceSolution) {
    core_.settings.jacobianMode = JacobianMode::kIncremental;
    // Forward differences need a step near the square root of the rounding error to reach a
    // tolerance of 1e-8 on problems that are singular at their solution.
    core_.settings.deltaJ = 1e-7;
    for (const Case& c : NewtonCases()) {
        const standard::Problem p = standard::Find(c.problem);
        const standard::Outcome o =
            standard::Solve(core_, dir_, p, c.factor, standard::kMethods[0], reference_);
        EXPECT_TRUE(o.reported) << c.problem << " from " << c.factor << " x0";
        ExpectReferenceRoot(c, p, o.x, minpack::kDifferences);
    }
}

// The problem definitions themselves: at every start the Euclidean norm of the residuals is the
// one the reference drivers printed, which pins down each function and each starting point.
TEST_F(StandardProblems, ReproduceTheReferenceInitialNorms) {
    ASSERT_FALSE(reference_.empty());
    int compared = 0;
    for (const standard::Problem& p : standard::Problems()) {
        const int n = static_cast<int>(p.start.size());
        for (int factor : standard::kStartFactors) {
            const minpack::Call* ref = minpack::Find(reference_, p.number, n, factor);
            if (ref == nullptr) continue;
            const double norm =
                standard::EuclideanNorm(standard::Residuals(p, standard::ScaledStart(p, factor)));
            EXPECT_NEAR(norm, ref->initialNorm, 1e-7 * ref->initialNorm)
                << p.name << " from " << factor << " x0";
            ++compared;
        }
    }
    EXPECT_EQ(compared, 49);  // the reference has no call for 5 of the 54 starts
    EXPECT_EQ(standard::Problems().size(), 18u);
}
