#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/solve/grouping.h"
#include "core/solve/grouping_fixture.h"
#include "core/solve/jacobian_eval.h"

namespace {

// A random n x n matrix with roughly the given share of terms, made structurally regular by a
// term on a random permutation; magnitudes lie in [0.1, 1] so no pivot nearly vanishes.
inline Dense RandomSparse(std::mt19937& rng, int n, double density) {
    std::uniform_real_distribution<double> magnitude(0.1, 1.0), unit(0.0, 1.0);
    std::vector<int> perm(n + 1);
    for (int i = 0; i <= n; ++i) perm[i] = i;
    std::shuffle(perm.begin() + 1, perm.end(), rng);
    Dense a(n + 1, std::vector<double>(n + 1, 0.0));
    for (int eq = 1; eq <= n; ++eq) {
        for (int var = 1; var <= n; ++var) {
            if (var == perm[eq] || unit(rng) < density) {
                a[eq][var] = (unit(rng) < 0.5 ? -1 : 1) * magnitude(rng);
            }
        }
    }
    return a;
}

// Solves linear equations a x = b from x = 0 the way the solve loop steps: group by group, each
// on the residuals left by the values of the earlier groups. With refactorize the group's terms
// are evaluated and factorized first, else the factors of the analysis are used. Returns the
// largest residual left.
double SolveByGroups(GroupingHarness& h, const Dense& a, const std::vector<double>& b,
                     bool refactorize) {
    std::vector<double> x(b.size(), 0.0), r(b.size(), 0.0);
    auto residual = [&] {
        for (std::size_t eq = 1; eq < b.size(); ++eq) {
            r[eq] = -b[eq];
            for (std::size_t var = 1; var < b.size(); ++var) r[eq] += a[eq][var] * x[var];
        }
        return r;
    };
    for (int g = 1; g <= h.s.solve.groupCount; ++g) {
        if (refactorize) {
            EvaluateJacobian(h.s, g, false);
            FactorizeGroup(h.s, g);
        }
        const std::vector<double> dx = h.Step(g, residual());
        for (std::size_t var = 1; var < x.size(); ++var) x[var] -= dx[var];
    }
    double largest = 0.0;
    for (double v : residual()) largest = std::max(largest, std::fabs(v));
    return largest;
}

// The five-point Laplacian of an m x m mesh, numbered row by row, with a dominant diagonal.
Dense MeshMatrix(int m) {
    const int n = m * m;
    Dense a(n + 1, std::vector<double>(n + 1, 0.0));
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < m; ++j) {
            const int k = i * m + j + 1;
            a[k][k] = -4.5;
            if (i > 0) a[k][k - m] = 1.0;
            if (i + 1 < m) a[k][k + m] = 1.0;
            if (j > 0) a[k][k - 1] = 1.0;
            if (j + 1 < m) a[k][k + 1] = 1.0;
        }
    }
    return a;
}

std::vector<double> RandomValues(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> value(-5.0, 5.0);
    std::vector<double> b(n + 1);
    for (double& v : b) v = value(rng);
    return b;
}

int LargestGroup(const SolveState& v) {
    int largest = 0;
    for (int g = 1; g <= v.groupCount; ++g) {
        largest =
            std::max(largest, grouping::LastPosition(v, g) - grouping::FirstPosition(v, g) + 1);
    }
    return largest;
}

// Gives every term of the analysed rows a new value drawn by value(eq, var); returns the matrix
// of the new terms.
template <typename F>
Dense Revalue(GroupingHarness& h, const Dense& a, F value) {
    Dense a2 = a;
    for (int eq = 1; eq <= h.n(); ++eq) {
        for (JacobianEntry* e = h.s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow) {
            if (!e->fill) a2[eq][e->variable] = e->code->value = value(eq, e->variable);
        }
    }
    return a2;
}

}  // namespace

// Sets within the default tables, and sets beyond them, which are grouped by their blocks and
// their large groups factorized apart from the Jacobian rows: the steps must satisfy the
// equations on the analysis' terms and on new ones in the same pattern, as a later Newton step
// sees them.
TEST(Factorize, RandomSystemsSolveGroupByGroupAndAfterRefactorizing) {
    std::mt19937 rng(90210);
    for (int n : {1, 4, 12, 25, 70, 160, 300}) {
        const bool large = n > Limits::kDefaultCapacity;
        for (double density : large ? std::vector{3.0 / n, 0.05} : std::vector{0.05, 0.3, 1.0}) {
            SCOPED_TRACE(::testing::Message() << "n=" << n << " density=" << density);
            const Dense a = RandomSparse(rng, n, density);
            GroupingHarness h(a, std::max(n, Limits::kDefaultCapacity));
            AnalyseStructure(h.s);
            ASSERT_FALSE(h.s.solve.structureFailure) << h.out;
            if (large) {
                ASSERT_GE(LargestGroup(h.s.solve), 64) << "no group takes the sparse factorization";
            }
            // Random matrices of a few hundred rows have condition numbers up to about 1e6; a
            // wrong factor entry leaves residuals of the order of b itself.
            const double tolerance = large ? 1e-8 : 1e-9;
            const std::vector<double> b = RandomValues(rng, n);
            EXPECT_LT(SolveByGroups(h, a, b, false), tolerance) << "analysis factors";
            const Dense fresh = RandomSparse(rng, n, 1.0);
            const Dense a2 = Revalue(h, a, [&](int eq, int var) { return fresh[eq][var]; });
            EXPECT_LT(SolveByGroups(h, a2, b, true), tolerance) << "refactorized";
        }
    }
}

// Long chains need raised tables; their factors must stay as sparse as the chain itself. A
// pivot off the diagonal would pass a fill-in from each row to the next and fill half the
// matrix, which makes a solve of thousands of equations cost the cube of their number.
TEST(Factorize, LongTridiagonalChainsFactorWithoutFillIn) {
    std::mt19937 rng(4711);
    std::uniform_real_distribution<double> off(-1.0, 1.0);
    for (int n : {30, 400, 1200}) {
        SCOPED_TRACE(::testing::Message() << "n=" << n);
        Dense a(n + 1, std::vector<double>(n + 1, 0.0));
        for (int k = 1; k <= n; ++k) {
            if (k > 1) a[k][k - 1] = off(rng);
            if (k < n) a[k][k + 1] = off(rng);
            a[k][k] = 3.0 + off(rng);  // dominant: the diagonal is the stable pivot as well
        }
        GroupingHarness h(a, n);
        AnalyseStructure(h.s);
        ASSERT_FALSE(h.s.solve.structureFailure) << h.out;
        int entries = 0, fills = 0;
        for (int eq = 1; eq <= n; ++eq) {
            for (const JacobianEntry* e = h.s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow) {
                ++entries;
                fills += e->fill;
            }
        }
        EXPECT_EQ(entries, 3 * n - 2);
        EXPECT_EQ(fills, 0);
        const std::vector<double> b = RandomValues(rng, n);
        EXPECT_LT(SolveByGroups(h, a, b, false), 1e-9);
        EXPECT_LT(SolveByGroups(h, a, b, true), 1e-9);
    }
}

// The pivots of the analysis are the diagonal here. When a later step's terms make them vanish,
// the factors in the old order are useless, and the pivots must be chosen again.
TEST(Factorize, LargeGroupChoosesItsPivotsAgainWhenTheOldOnesVanish) {
    std::mt19937 rng(77);
    const int m = 10, n = m * m;
    const Dense a = MeshMatrix(m);
    GroupingHarness h(a, n);
    AnalyseStructure(h.s);
    ASSERT_FALSE(h.s.solve.structureFailure) << h.out;
    ASSERT_EQ(h.s.solve.groupCount, 1);
    // Off the diagonal the mesh pairs every point with a neighbour, so with random terms there
    // it stays regular without the diagonal.
    std::uniform_real_distribution<double> magnitude(0.5, 1.0);
    const Dense a2 =
        Revalue(h, a, [&](int eq, int var) { return eq == var ? 1e-22 : magnitude(rng); });
    const std::vector<double> b = RandomValues(rng, n);
    EXPECT_LT(SolveByGroups(h, a2, b, true), 1e-8);
}

// An ordering for sparsity keeps the factors of a mesh within a small multiple of its terms,
// times a logarithm; eliminating it in the order of its rows fills the band between neighbouring
// mesh rows, 2 m terms a row. The rows list the neighbour below first and the point's own
// variable last, as equations written "neighbours - 4 u = ..." do: matching each equation with
// the first variable it names would pair it with that neighbour, and the group's ordering, which
// works on the matched pairs, would see a shifted mesh and fill the band.
TEST(Factorize, MeshFactorsStayNearlyAsSparseAsTheMesh) {
    std::mt19937 rng(5);
    const int m = 40, n = m * m;
    const Dense a = MeshMatrix(m);
    GroupingHarness h(Dense(n + 1, std::vector<double>(n + 1, 0.0)), n);
    for (int k = 1; k <= n; ++k) {
        for (int var : {k, k - m, k - 1, k + 1, k + m}) {  // each put at the head of the row
            if (var >= 1 && var <= n && a[k][var] != 0.0)
                h.Term(k, var, "0")->code->value = a[k][var];
        }
    }
    AnalyseStructure(h.s);
    ASSERT_FALSE(h.s.solve.structureFailure) << h.out;
    ASSERT_EQ(h.s.solve.groupCount, 1);
    const long factorEntries = grouping::FactorEntries(h.s, 1);
    EXPECT_GE(factorEntries, 5 * n - 4 * m);  // at least the mesh's own terms
    EXPECT_LT(factorEntries, 30 * n);         // the band would hold 2 m n = 80 n
    const std::vector<double> b = RandomValues(rng, n);
    EXPECT_LT(SolveByGroups(h, a, b, false), 1e-9);
}
