#include <gtest/gtest.h>

#include <cmath>

#include "core/base/special_values.h"
#include "core/document_fixture.h"

// Whole runs of the solve command on small documents.
class SolveCommand : public DocumentFixture {};

TEST_F(SolveCommand, QuadraticConvergesWithMessagesInOrder) {
    EXPECT_EQ(Run("{Options: 10 -6}\nx^2 - 4 = 0;\nx \xbb 1;\n"), 1);
    EXPECT_NEAR(Value("x"), 2.0, 1e-7);
    const auto solving = out_.find("\nSolving...\n" + std::string(73, '-') + "\n");
    const auto firstIteration = out_.find("Eq:   1  Tol: E");
    const auto found = out_.find("\nSolution Found!\n");
    const auto timing = out_.find("Solved for ");
    ASSERT_NE(solving, std::string::npos) << out_;
    EXPECT_LT(solving, firstIteration);
    EXPECT_LT(firstIteration, found);
    EXPECT_LT(found, timing);
    EXPECT_GE(Count("  Iter:"), 3);  // Newton from 1: several iterations, one line each
    EXPECT_NE(out_.find(" seconds\n"), std::string::npos);
}

TEST_F(SolveCommand, ResultFileHoldsHeaderAndRow) {
    ASSERT_EQ(Run("x + y = 3;\nx - y = 1;\n"), 1);
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "              x              y");
    EXPECT_EQ(lines[1], "      2.0000000      1.0000000");
    std::vector<std::string> strings;
    GetResultStrings(core_, strings);
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0], "x=2.000000000000000");
}

TEST_F(SolveCommand, CoupledEquationsFormOneGroup) {
    Run("x + y = 3;\nx - y = 1;\n");
    EXPECT_NE(out_.find("   2 equations solvable in    1 groups"), std::string::npos) << out_;
}

TEST_F(SolveCommand, ChainOfEquationsFormsGroupsInSolutionOrder) {
    ASSERT_EQ(Run("y = x^2;\nx = 2;\n"), 1);
    EXPECT_NE(out_.find("   2 equations solvable in    2 groups"), std::string::npos) << out_;
    EXPECT_EQ(core_.solve.pivotEquation[1], 2);  // x = 2 is solved first
    EXPECT_NEAR(Value("y"), 4.0, 1e-9);
}

TEST_F(SolveCommand, GroupingCanBeSwitchedOff) {
    core_.settings.solveInGroups = false;
    ASSERT_EQ(Run("y = x^2;\nx = 2;\n"), 1);
    EXPECT_NE(out_.find("   2 equations solvable in    1 groups"), std::string::npos) << out_;
}

TEST_F(SolveCommand, SingularAndDependentEquationsAreReported) {
    EXPECT_EQ(Run("x = 1;\nx = 2;\ny + z = 1;\n"), 0);
    EXPECT_NE(out_.find("Equation    1 is Singular or Inconsistent\nError ..."), std::string::npos)
        << out_;
    EXPECT_EQ(out_.find("Solving..."), std::string::npos);

    EXPECT_EQ(Run("x + y = 1;\n2*x + 2*y = 2;\n"), 0);
    EXPECT_NE(out_.find(" Depends on Other Equations\nError ..."), std::string::npos) << out_;
}

TEST_F(SolveCommand, NonSquareSetsAreRefused) {
    EXPECT_EQ(Run("x + y = 1;\n"), 0);
    EXPECT_NE(out_.find("\nNot enough equations"), std::string::npos);
    EXPECT_EQ(Run("x = 1;\nx = 2;\n"), 0);
    EXPECT_NE(out_.find("\nToo many equations"), std::string::npos);
}

TEST_F(SolveCommand, UndefinedResidualIsProbedFromItsNeighbourhood) {
    // At x = 1 the quotient is 0/0; its limit 2 is found by shifting x.
    EXPECT_EQ(Run("{Options: 10 -8}\nx = 1;\nz = (x^2 - 1)/(x - 1);\n"), 1) << out_;
    EXPECT_NEAR(Value("z"), 2.0, 1e-4);
}

TEST_F(SolveCommand, IterationLimitIsReportedWithTheStepNumber) {
    EXPECT_EQ(Run("{Options: 1 -6}\nx^2 - 4 = 0;\nx \xbb 1;\n"), 0);
    EXPECT_NE(out_.find("Iteration Limit Sol    1"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("Solution Found!"), std::string::npos);
}

TEST_F(SolveCommand, SolvedFlagSurvivesCommandsThatDoNotSolve) {
    ASSERT_EQ(Run("x = 3;\n"), 1);
    EXPECT_EQ(Run("x = 3;\n", "F"), 1);
    EXPECT_EQ(Run("x = 3;\nx + = ;\n", "S"), 0);  // a parse error always returns 0
}

TEST_F(SolveCommand, SymbolicAndIncrementalJacobiansAgree) {
    const std::string doc =
        "{Options: 20 -10}\nx^2 + y^2 = 25;\ny = 2*x - 2;\nx \xbb 2;\ny \xbb 2;\n";
    ASSERT_EQ(Run(doc), 1);
    const double x = Value("x"), y = Value("y");
    core_.settings.jacobianMode = JacobianMode::kIncremental;
    ASSERT_EQ(Run(doc), 1);
    EXPECT_NEAR(Value("x"), x, 1e-8);
    EXPECT_NEAR(Value("y"), y, 1e-8);
}

TEST_F(SolveCommand, DishonestNewtonStillConverges) {
    core_.settings.method = SolveMethod::kDishonest;
    ASSERT_EQ(Run("{Options: 40 -10}\nx^3 + y = 10;\ny^2 - x = 2;\nx \xbb 1;\ny \xbb 1;\n"), 1);
    EXPECT_NEAR(std::pow(Value("x"), 3) + Value("y"), 10.0, 1e-8);
}

// IF-THEN-ELSE combinations.
TEST_F(SolveCommand, OneIfTriesThenBranchFirstAndElseSecond) {
    ASSERT_EQ(Run("y = IF x > 1 THEN 5 ELSE 0;\nx = 0.5;\n"), 1) << out_;
    EXPECT_NE(out_.find("IF MASK:    1"), std::string::npos);
    EXPECT_NE(out_.find("IF MASK:    2"), std::string::npos);
    EXPECT_NEAR(Value("y"), 0.0, 1e-12);
}

TEST_F(SolveCommand, FirstAcceptedCombinationEndsTheSearch) {
    ASSERT_EQ(Run("y = IF x > 1 THEN 5 ELSE 0;\nx = 3;\n"), 1);
    EXPECT_EQ(Count("IF MASK:"), 1);
    EXPECT_NEAR(Value("y"), 5.0, 1e-12);
}

TEST_F(SolveCommand, ViolatedConditionOfTheLastCombinationIsReported) {
    EXPECT_EQ(Run("y = IF x > 1 THEN 0 ELSE 3;\nx = y;\n"), 0);
    EXPECT_NE(out_.find(" IFs not OK"), std::string::npos) << out_;
}

TEST_F(SolveCommand, ManyIfsAreSampledAtMost32Times) {
    std::string doc;
    for (int i = 1; i <= 6; ++i) {
        doc += "y" + std::to_string(i) + " = IF x > " + std::to_string(i) + " THEN 1 ELSE 2;\n";
    }
    doc += "x = 10 - y1 - y2 - y3 - y4 - y5 - y6;\n";
    Run(doc);
    EXPECT_GE(Count("IF MASK:"), 1);
    EXPECT_LE(Count("IF MASK:"), 32);
}

// Homotopy.
TEST_F(SolveCommand, HomotopyFromTheOptionsLineAddsTheParameterColumn) {
    ASSERT_EQ(Run("{Options: 50 -8 HOMOTOPY}\n10*ARCTAN(x - 2) + x = 5;\nx \xbb 40;\n"), 1) << out_;
    EXPECT_NE(out_.find("Performing Homotopy Transformation "), std::string::npos);
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "              x             t\xEB");
    EXPECT_NE(lines[1].find("1.0000000"), std::string::npos);  // parameter reached 1
    EXPECT_EQ(core_.names.variableCount, 1);                   // the parameter is removed again
    EXPECT_NEAR(10 * std::atan(Value("x") - 2) + Value("x"), 5.0, 1e-7);
}

TEST_F(SolveCommand, HomotopyWithoutOptionsLineBecomesRobustNewton) {
    core_.settings.method = SolveMethod::kHomotopy;
    ASSERT_EQ(Run("x^2 = 9;\nx \xbb 1;\n"), 1);
    EXPECT_EQ(out_.find("Performing Homotopy Transformation "), std::string::npos);
}

TEST_F(SolveCommand, AutomaticHomotopyTakesOverWhenNewtonFails) {
    core_.settings.autoHomotopy = true;
    EXPECT_EQ(Run("{Options: 3 -8}\n10*ARCTAN(x - 2) + x = 5;\nx \xbb 40;\n"), 1) << out_;
    const auto homotopy = out_.find("Performing Homotopy Transformation ");
    ASSERT_NE(homotopy, std::string::npos);
    EXPECT_LT(out_.find("Iteration Limit Sol "), homotopy);
    EXPECT_NE(out_.find("Solution Found!", homotopy), std::string::npos);
}

TEST_F(SolveCommand, HomotopyStoppedAtItsStepLimitNeverReportsSuccess) {
    // 2 + sin x has no root: the homotopy's path swings in t for ever, and only the limit on its
    // steps ends it.
    EXPECT_EQ(Run("{Options: 50 -8 HOMOTOPY}\n2 + SIN(x) = 0;\nx\xBB 1;\n"), 0);
    const auto failed = out_.find("Homotopy method did not converge\nSee Manual for options");
    ASSERT_NE(failed, std::string::npos) << out_;
    EXPECT_EQ(Count("Solution Found!"), 0) << out_;
    EXPECT_LT(failed, out_.find("Solved for "));
    EXPECT_TRUE(Lines(".PRN").empty());
}

TEST_F(SolveCommand, ComplexDocumentSolvesForRealAndImaginaryParts) {
    ASSERT_EQ(Run("{Options: 20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 COMPLEX}\n"
                  "z*(1 + \xdf) = 2;\n"),
              1)
        << out_;
    EXPECT_NEAR(Value("zr"), 1.0, 1e-8);  // 2 / (1 + j) = 1 - j
    EXPECT_NEAR(Value("zi"), -1.0, 1e-8);
}
