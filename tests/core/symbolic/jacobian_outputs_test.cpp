#include "core/symbolic/jacobian_outputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/compiled_fixture.h"
#include "core/symbolic/jacobian_file.h"

namespace {

// Each output of the "Jacobians and Linearizations" branch, from whole runs of command 'A' and
// from direct calls on a compiled document with its Jacobian file.
class JacobianOutputs : public CompiledFixture {
   protected:
    void Prepare(const std::string& text) {
        Compile(text);
        BuildJacobianFile(core_);
        ASSERT_FALSE(core_.flags.jacobianNeeded) << out_;
    }
};

const char* const kTwoEquations = "x^2 + y = 3;\ny = 2.5*x;\nx \xbb 1;\ny \xbb 2;\n";

}  // namespace

TEST_F(JacobianOutputs, IncrementalMethodWritesNothingAndAsksForTheJacobian) {
    Run("{Options: 10 -3 NEWTON INCREMENTAL}\nx^2 + y = 3;\n", "ASJ");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.SJC"));
    EXPECT_TRUE(core_.flags.jacobianRequested && core_.flags.recompile);
}

// By equations and transposed: the golden cases linearized_by_equations and
// linearized_transposed. Key R is reached only here: a third letter R of a command solves after.
TEST_F(JacobianOutputs, SymbolicLinearizedByVariables) {
    Prepare(kTwoEquations);
    ASSERT_TRUE(SymbolicOperation(core_, "R"));
    const auto lines = Lines(".SJC");
    ASSERT_EQ(lines.size(), 2u) << ReadFile(".SJC");
    // A column lists its equations from the last read to the first.
    EXPECT_EQ(lines[0], "+(-2.5)*eqn      2+(x*2)*eqn      1=0; {\xE4x}");
    EXPECT_EQ(lines[1], "+(1)*eqn      2+(1)*eqn      1=0; {\xE4y}");
}

TEST_F(JacobianOutputs, OtherKeysWriteNothingAndAFileInTheWayIsReported) {
    Prepare(kTwoEquations);
    for (const char* keys : {"X", "Q", ""}) {
        core_.flags.recompile = false;
        EXPECT_FALSE(SymbolicOperation(core_, keys)) << keys;
        EXPECT_TRUE(core_.flags.recompile) << keys;
    }
    std::filesystem::create_directory(dir_ / "doc.SJC");  // in the way of the file
    out_.clear();
    EXPECT_FALSE(SymbolicOperation(core_, "L"));
    EXPECT_NE(out_.find("\nUnable to open file for output"), std::string::npos) << out_;
    EXPECT_NE(out_.find("Equations Linearized!"), std::string::npos);  // only 'L' says so
    out_.clear();
    EXPECT_FALSE(SymbolicOperation(core_, "J"));
    EXPECT_EQ(out_.find("Symbolic Jacobian Found!"), std::string::npos) << out_;
    // A Jacobian file that cannot be read is a reset error.
    std::filesystem::remove(dir_ / "doc.SJC");
    std::filesystem::remove(dir_ / "doc.JAC");
    out_.clear();
    EXPECT_FALSE(SymbolicOperation(core_, "S"));
    EXPECT_NE(out_.find("\nReset error\nError ..."), std::string::npos) << out_;
    EXPECT_TRUE(core_.flags.stop);
}
