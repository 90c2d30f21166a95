// Command D through the entry: time steps that follow the exact recurrences of their methods,
// and integrals solved to the last digits of their written weights. Rows, refusals and the
// files written are the golden differential and elimination cases'.

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
    bool Wrote(const char* extension) const {
        return std::filesystem::exists(dir_ / ("doc" + std::string(extension)));
    }
    void SetUp() override {
        DocumentFixture::SetUp();
        stepEnds.clear();
        stepping = &core_;
        core_.defaultShell.progress = RecordStep;
        core_.settings.stepCount = 50;
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
        // The last row is where the last step ended.
        const auto rows = Lines(".PRN");
        ASSERT_EQ(rows.size(), 52u);
        EXPECT_NEAR(std::stod(rows[51].substr(0, 15)), stepEnds.back(), 1e-7) << c.command;
    }
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

// What the golden cases of these commands cannot show: the set file a refused or idle command
// does not write, and the Lagrangian of AFK that goes to its own file alone.
TEST_F(RewriteCommands, RefusedAndIdleCommandsWriteNoSetFile) {
    std::string many;  // the homotopy's parameter would be a 26th variable
    for (int i = 1; i <= 25; ++i)
        many += "v" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    const std::pair<std::string, const char*> cases[] = {
        {"x = 1;\n", "DDIT"}, {kDecay, "DDT"},     {kDecay, "DDIX"},    {many, "AFN"},
        {"x = 1;\n", "AV"},   {"x = 1;\n", "AX"},  {"x = 1;\n", "A"},   {"x = 1;\n", "AQ"},
        {"x = 1;\n", "ALG"},  {"x = 1;\n", "ASX"}, {"x = 1;\n", "AFQ"}, {"x = 1;\n", "ADIG"},
        {"x = 1;\n", "AD"}};
    for (const auto& [text, command] : cases) {
        std::filesystem::remove(dir_ / "doc.SJC");
        Run(text, command);
        EXPECT_FALSE(Wrote(".SJC")) << command;
    }
    Run("x^2 + y^2;\nx + y = 1;\nx > 0.2;\n", "AFK");
    EXPECT_TRUE(Wrote(".KTK") && !Wrote(".SJC"));
}
