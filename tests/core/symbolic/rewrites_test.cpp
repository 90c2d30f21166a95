#include "core/symbolic/rewrites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/capacity_hint.h"
#include "core/compiled_fixture.h"
#include "core/symbolic/list_file.h"

namespace {

const std::string kM = "\xEC", kS = "\xE4";  // first bytes of multiplier and slack names

using Rewrites = CompiledFixture;  // the rewrites on compiled documents, in memory

}  // namespace

TEST_F(Rewrites, LessThanAddsTheSquaredSlackAndEqualitiesGetNone) {
    Compile("x*y;\nx < 3;\n");
    ASSERT_TRUE(LagrangianRewrite(core_));
    EXPECT_EQ(Text(1), kM + "2*(SQUARE(" + kS + "2)+x-3)+x*y+0");  // SQUARE(s2) + (x - 3)

    // The inequality bytes of the editor font count as '>' and '<'.
    Compile("x*y;\nx \xF2 1;\ny \xF3 2;\n");
    ASSERT_TRUE(LagrangianRewrite(core_));
    EXPECT_EQ(Text(1),
              kM + "3*(SQUARE(" + kS + "3)+y-2)+" + kM + "2*(SQUARE(" + kS + "2)-(x-1))+x*y+0");

    Compile("x*y;\nx + y = 4;\n2*x - y = 1;\n");
    ASSERT_TRUE(LagrangianRewrite(core_));
    EXPECT_EQ(Text(1), kM + "3*(2*x-y-1)+" + kM + "2*(x+y-4)+x*y+0");
    EXPECT_EQ(core_.names.variableCount, 4);
}

TEST_F(Rewrites, LagrangianBeyondTheVariableLimitChangesNothing) {
    std::string text = "v1";
    for (int i = 2; i <= 23; ++i) text += " + v" + std::to_string(i);
    text += ";\nv1 = 1;\nv2 > 0;\n";  // 23 variables + 2 multipliers + 1 slack = 26
    Compile(text);
    EXPECT_FALSE(LagrangianRewrite(core_));
    EXPECT_NE(out_.find("\nToo Many Variables\n"), std::string::npos) << out_;
    EXPECT_TRUE(HintsCapacity(out_, 26)) << out_;
    EXPECT_EQ(core_.model.count, 3);
    EXPECT_EQ(core_.names.variableCount, 23);
    EXPECT_EQ(Text(2), "v1-1");
}

TEST_F(Rewrites, LeastSquaresSumsTheSquaredResidualOfEveryRowOfEveryEquation) {
    Compile("y = a + b*x;\n");
    // "w" names no variable: it takes its value and changes nothing. An empty line adds
    // nothing; a short row is left out with a note; later rows are still read.
    Attach("x w \"y\"\xBB\n1 9 3\n\n2 9 5.5\n3 9\n4 9 9\n");
    ASSERT_TRUE(LeastSquaresRewrite(core_));
    EXPECT_TRUE(core_.flags.jacobianRequested &&
                core_.settings.jacobianMode == JacobianMode::kSymbolic);
    EXPECT_NE(out_.find("Row 5 of the list file has fewer values than names: left out"),
              std::string::npos);
    Set("a", 1.0);
    Set("b", 2.0);
    // Rows (1, 3), (2, 5.5), (4, 9): residuals 0, 0.5, 0.
    EXPECT_DOUBLE_EQ(Residual(1), 0.25);
    Set("b", 1.0);  // residuals 1, 2.5, 4
    EXPECT_DOUBLE_EQ(Residual(1), 1 + 6.25 + 16);

    // Every equation takes the row's values; the rewrite needs its file.
    Compile("y = a*x;\nz = c*x;\n");
    Attach("x y z\n1 2 3\n2 4 6\n");
    ASSERT_TRUE(LeastSquaresRewrite(core_));
    Set("a", 2.0);
    Set("c", 2.0);  // the second equation is off by 1 and 2
    EXPECT_DOUBLE_EQ(Residual(1), 5.0);

    Compile("y = a + b*x;\n");
    core_.settings.updateFileName = (dir_ / "none.LST").string();
    EXPECT_FALSE(LeastSquaresRewrite(core_));
    EXPECT_NE(out_.find("File " + core_.settings.updateFileName + " Does Not Exist"),
              std::string::npos);
    EXPECT_EQ(Text(1), "y-(a+b*x)");
}

TEST_F(Rewrites, ReplicatedRowsMakeOneSetAndRefuseBeyondTheLimit) {
    Compile("y = a + b*x;\nz > x;\n");
    Attach("x y\n1 2\n3 4\n");
    ASSERT_TRUE(ReplicateRows(core_));
    ASSERT_EQ(core_.model.count, 4);
    EXPECT_EQ(Text(1), "2-(a+b*1)");
    EXPECT_EQ(Text(2), "z-1");
    EXPECT_EQ(Text(3), "4-(a+b*3)");
    EXPECT_EQ(core_.model.eq[4].relation, '>');

    std::string rows = "x y\n";
    for (int i = 0; i < 7; ++i) rows += "1 2\n";
    Attach(rows);
    EXPECT_FALSE(ReplicateRows(core_));  // 7 rows of 4 equations
    EXPECT_NE(out_.find("Too Many Equations"), std::string::npos);
    EXPECT_EQ(core_.model.count, 4);
}

TEST_F(Rewrites, StartSystemIsSolvedAtItsStartAndGivesTheSetAtItsEnd) {
    Compile("x^3 - y = 5;\nx*y = 2;\n");
    ASSERT_TRUE(StartSystemHomotopyRewrite(core_));
    ASSERT_EQ(core_.model.count, 3);
    EXPECT_EQ(core_.names.name[3], "t\xEB");
    EXPECT_EQ(Text(1), "(x^3-y-5)*t\xEB+(x^2-1)*(1-t\xEB)");
    EXPECT_EQ(Text(3), "t\xEB-1");
    EXPECT_EQ(core_.settings.method, SolveMethod::kHomotopy);
    for (int e = 1; e <= 2; ++e) EXPECT_DOUBLE_EQ(Residual(e), 0.0);  // x = y = 1, t = 0
    Set("t\xEB", 1.0);
    EXPECT_DOUBLE_EQ(Residual(1), 1.0 - 1.0 - 5.0);

    Compile("x + y = 1;\n");
    EXPECT_FALSE(StartSystemHomotopyRewrite(core_));
    EXPECT_NE(out_.find("Not enough equations"), std::string::npos);
    EXPECT_EQ(core_.model.count, 1);
}

TEST_F(Rewrites, ListTableKeepsTheVariablesColumnsRowByRow) {
    Compile("y = a + b*x;\n");
    // ';' separates cells as blanks do; a second column of a name and a name that is no
    // variable are read past; a row's extra cells are ignored.
    Attach("x;q y x\n1;7 2 99\n\n3 7\t4 99 55\n5 6\n");
    ListTable table;
    ASSERT_TRUE(ReadListFile(core_, table, true));
    ASSERT_EQ(table.columns(), 2);
    EXPECT_EQ(core_.names.name[table.variables[0]], "x");
    EXPECT_EQ(core_.names.name[table.variables[1]], "y");
    ASSERT_EQ(table.rows(), 2);
    EXPECT_EQ(table.lines, (std::vector<int>{2, 4}));
    EXPECT_EQ(std::vector<double>(table.row(1), table.row(1) + 2), (std::vector<double>{3, 4}));
    EXPECT_EQ(table.values, (std::vector<double>{1, 2, 3, 4}));
}
