#include <gtest/gtest.h>

#include <string>

#include "core/document_fixture.h"

// Whole runs of the solve command on what the golden cases do not show: the return value
// of commands that do not solve, and the homotopy's parameter leaving the model once it is done.
class SolveCommand : public DocumentFixture {};

TEST_F(SolveCommand, SolvedFlagSurvivesCommandsThatDoNotSolve) {
    ASSERT_EQ(Run("x = 3;\n"), 1);
    EXPECT_EQ(Run("x = 3;\n", "F"), 1);
    EXPECT_EQ(Run("x = 3;\nx + = ;\n", "S"), 0);  // a parse error always returns 0
}

TEST_F(SolveCommand, HomotopyParameterIsRemovedFromTheModelAgain) {
    ASSERT_EQ(Run("{Options: 50 -8 HOMOTOPY}\n10*ARCTAN(x - 2) + x = 5;\nx \xbb 40;\n"), 1) << out_;
    EXPECT_EQ(Lines(".PRN")[0], "              x             t\xEB");
    EXPECT_EQ(core_.names.variableCount, 1);
}
