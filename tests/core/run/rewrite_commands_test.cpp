// Commands D and E and the simplification key through the entry: time steps that follow the
// exact recurrences of their methods, rows by name, integrals solved, refusals that write and
// solve nothing, and eliminated sets that solve again from what was written.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/document_fixture.h"

namespace {

const char* const kDecay = "{ x' = -x }\nD(x, t) = -x;\nx \xBB 1;\nt \xBB 0;\n";

// Values of x at the end of every step, taken when the shell is told of the step.
std::vector<double> stepEnds;
const CoreState* stepping = nullptr;

void RecordStep(long, long) {
    for (int v = 1; v <= stepping->names.variableCount; ++v) {
        if (stepping->names.name[v] == "x1") stepEnds.push_back(stepping->names.value[v]);
    }
}

class RewriteCommands : public DocumentFixture {
   protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        stepEnds.clear();
        stepping = &core_;
        core_.defaultShell.progress = RecordStep;
        core_.settings.stepCount = 50;
    }
    bool Wrote(const char* extension) const {
        return std::filesystem::exists(dir_ / ("doc" + std::string(extension)));
    }
};

}  // namespace

TEST_F(RewriteCommands, TimeStepsFollowTheirMethodsFromStepToStep) {
    struct Case {
        const char* command;
        double factor;  // x_(n+1) = x_n * factor for x' = -x with step 0.1
    };
    for (const Case& c : {Case{"DDIB", 1 / 1.1}, Case{"DDIT", 0.95 / 1.05}}) {
        stepEnds.clear();
        Run(kDecay, c.command);
        ASSERT_EQ(stepEnds.size(), 50u) << c.command << out_;
        double expected = 1.0;
        for (double x : stepEnds) {
            expected *= c.factor;
            EXPECT_NEAR(x, expected, 1e-9) << c.command;
        }
        // Rows by name: the document's variables at the start of each step, then where the
        // last step ended.
        const auto rows = Lines(".PRN");
        ASSERT_EQ(rows.size(), 52u);
        EXPECT_EQ(rows[0], "              x              t");
        EXPECT_EQ(rows[1], "      1.0000000      0.0000000");
        EXPECT_EQ(rows[50].substr(15), "      4.9000000");
        EXPECT_NEAR(std::stod(rows[51].substr(0, 15)), stepEnds.back(), 1e-7) << c.command;
        EXPECT_EQ(rows[51].substr(15), "      5.0000000");
        EXPECT_NE(out_.find("\n  50      0."), std::string::npos) << out_;
        EXPECT_NE(out_.find("\n  51      0."), std::string::npos) << out_;
    }
    // The number of steps is the settings' step count; one step shows where it starts and ends.
    core_.settings.stepCount = 1;
    Run(kDecay, "DDIB");
    EXPECT_EQ(Lines(".PRN"), (std::vector<std::string>{"              x              t",
                                                        "      1.0000000      0.0000000",
                                                        "      0.9090909      0.1000000"}));
}

TEST_F(RewriteCommands, AStepThatFailsLeavesTheEndOfTheLastSolvedStepAsTheLastRow) {
    // The square root has no real value past t = 0.25: the third step (to t = 0.3) fails, and
    // the rows end where the second one ended, not where the failed one left its levels.
    core_.settings.stepCount = 10;
    EXPECT_EQ(Run("D(x, t) = 1;\ny = SQRT(0.25 - t);\nx \xBB 0;\nt \xBB 0;\n", "DDIB"), 0);
    const auto rows = Lines(".PRN");
    ASSERT_EQ(rows.size(), 4u) << out_;
    EXPECT_EQ(rows[0], "              x              t              y");
    EXPECT_EQ(rows[1], "      0.0000000      0.0000000      0.5000000");
    EXPECT_EQ(rows[2], "      0.1000000      0.1000000      0.3872983");
    EXPECT_EQ(rows[3], "      0.2000000      0.2000000      0.2236068");
}

TEST_F(RewriteCommands, IntegralsAreSolvedOnce) {
    // No derivative, so no independent variable: integrals alone are rewritten all the same.
    // The points and weights of the last one (a width of 0.0666...) pass through the written
    // text; Simpson's rule is exact for a square, so only rounding in that text could show.
    const double q = 0.3333333333333333;
    EXPECT_EQ(Run("y = INT(LIM(1, 0), ARG(x, x));\nz = INT(LIM(2, 0), ARG(x^3, x));\n"
                  "w = INT(LIM(1, 0.3333333333333333), ARG(x^2, x));\n",
                  "DDDS"),
              1);
    EXPECT_NEAR(Value("y"), 0.5, 1e-12);
    EXPECT_NEAR(Value("z"), 4.0, 1e-12);
    EXPECT_NEAR(Value("w"), (1 - q * q * q) / 3, 1e-13);
    EXPECT_EQ(Lines(".PRN").size(), 2u);
}

TEST_F(RewriteCommands, RefusedSetsAreNeitherWrittenNorSolved) {
    // No derivative, a rewrite beyond the limits, a key without an operation.
    const std::string six =
        "D(a, t) = b;\nD(b, t) = c;\nD(c, t) = d;\nD(d, t) = e;\nD(e, t) = f;\nD(f, t) = -a;\n";
    for (const auto& [text, command] : {std::pair<std::string, const char*>{"x = 1;\n", "DDIT"},
                                        {six, "DDIT"},
                                        {kDecay, "DDT"},
                                        {kDecay, "DDIX"}}) {
        std::filesystem::remove(dir_ / "doc.SJC");
        EXPECT_EQ(Run(text, command), 0) << command;
        EXPECT_FALSE(Wrote(".SJC")) << command;
        EXPECT_TRUE(Lines(".PRN").empty()) << command;
        EXPECT_EQ(out_.find("Solving"), std::string::npos) << command;
    }
    // With room for it the same set steps.
    Limits larger;
    larger.maxVariables = larger.maxEquations = 40;
    CoreState big(larger);
    std::string said;
    big.console.callback = [&](const char* text) { said += text; };
    big.settings.stepCount = 5;
    Run(six + "a \xBB 1;\n", "F");  // writes the document
    EXPECT_EQ(SolverEntry(big, path_.c_str(), "DDIT"), 1) << said;
    EXPECT_EQ(Lines(".PRN").size(), 7u);
    EXPECT_EQ(Lines(".PRN")[0].size(), 7u * 15);
}

TEST_F(RewriteCommands, EliminationWritesASetThatSolvesAgain) {
    Run("x \x85 2*y;\nx + y = 3;\na = 5;\nb = a*y;\n", "E");
    ASSERT_NE(out_.find("Elimination DONE!"), std::string::npos) << out_;
    std::filesystem::copy_file(dir_ / "doc.SJC", dir_ / "left.alg");
    path_ = (dir_ / "left.alg").string();
    EXPECT_EQ(SolverEntry(core_, path_.c_str(), "S"), 1) << out_;
    EXPECT_NEAR(Value("y"), 1.0, 1e-6);
    EXPECT_NEAR(Value("b"), 5.0, 1e-5);
}

TEST_F(RewriteCommands, SimplifyRewritesEvenACanonicalDocument) {
    Run("{ already simple }\nx + y = 3;\ny = 2*x;\n", "AFS");
    EXPECT_EQ(ReadFile(".SJC"), "{ already simple }\nx+y=3; \ny=2*x; \n");
    EXPECT_NE(out_.find("\nSimplifying Equation No:    1   2\nSaving Equations...\n"
                        "Equations Saved to File:  "),
              std::string::npos)
        << out_;
}
