#include "core/symbolic/jacobian_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "symbolic_harness.h"

namespace {

using code::kAdd;
using code::kMul;
using code::kPow;
using code::kSub;
constexpr int kX = SymbolicHarness::kX, kY = SymbolicHarness::kY, kZ = SymbolicHarness::kZ;

// Answers ESC at the given poll (1-based) and counts the polls.
class EscapeAfter : public DefaultShellServices {
public:
    explicit EscapeAfter(int poll) : escapeAt_(poll) {}
    int PollKey() override { return ++polls == escapeAt_ ? kKeyEscape : -1; }
    int polls = 0;

private:
    int escapeAt_;
};

class JacobianFileTest : public ::testing::Test {
protected:
    SymbolicHarness h;
    std::filesystem::path base;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        base = std::filesystem::temp_directory_path() /
               ("valdrix_jac_" + std::to_string(::getpid()) + "_" + info->name());
        h.s.files.baseName = base.string();
    }

    void TearDown() override {
        FreeJacobianRows(h.s);
        for (int e = 1; e <= h.s.model.count; ++e) FreeList(h.s.pool, h.s.model.eq[e].code);
        EXPECT_EQ(h.s.pool.liveCount(), 0u);
        std::filesystem::remove(JacPath());
    }

    std::string JacPath() const { return base.string() + ".JAC"; }

    // Adds an equation given as a parse-form run; stored in evaluation form as compiled code.
    void AddEquation(CodeNode* run) {
        h.s.model.eq[++h.s.model.count].code = Finalize(h.s.pool, run);
    }

    std::string FileText() const {
        std::ifstream in(JacPath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void WriteFile(const std::string& text) const {
        std::ofstream(JacPath(), std::ios::binary) << text;
    }

    std::vector<std::string> Headers() const {
        std::vector<std::string> headers;
        std::istringstream in(FileText());
        std::string line;
        bool atHeader = true;
        while (std::getline(in, line)) {
            if (atHeader && line != "   0   0   0") headers.push_back(line);
            atHeader = line == ";";
        }
        return headers;
    }

    std::vector<std::string> EquationTexts() {
        std::vector<std::string> texts;
        for (int e = 1; e <= h.s.model.count; ++e) texts.push_back(h.Infix(h.s.model.eq[e].code));
        return texts;
    }

    // (variable, code text) of the entries of a row, head first.
    std::vector<std::pair<int, std::string>> Row(int e) {
        std::vector<std::pair<int, std::string>> row;
        for (JacobianEntry* j = h.s.solve.rowHead[e]; j != nullptr; j = j->nextInRow) {
            EXPECT_EQ(j->equation, e);
            row.emplace_back(j->variable, h.Infix(j->code));
        }
        return row;
    }
};

TEST_F(JacobianFileTest, WritesOneRecordPerVariableInExactFormat) {
    AddEquation(h.B(kSub, h.X(), h.C(2)));                            // x - 2
    AddEquation(h.B(kMul, h.B(kMul, h.C(0.25), h.X(kY)), h.X(kZ)));  // 0.25 * y * z
    BuildJacobianFile(h.s);

    EXPECT_EQ(FileText(),
              "      1       1\n"
              "V        0 1.00000000000000E+00\n"
              ";\n"
              "      2       3\n"
              "V        0 2.50000000000000E-01\n"
              "X        2 0.00000000000000E+00\n"
              "B*       0 0.00000000000000E+00\n"
              ";\n"
              "      2       2\n"
              "V        0 2.50000000000000E-01\n"
              "X        3 0.00000000000000E+00\n"
              "B*       0 0.00000000000000E+00\n"
              ";\n"
              "   0   0   0\n");
    EXPECT_FALSE(h.s.flags.jacobianNeeded);
    EXPECT_EQ(h.out, "\n");
    EXPECT_EQ(h.s.defaultShell.beeps, 0);
}

TEST_F(JacobianFileTest, RepeatedVariablesGiveOneRecordInFirstOccurrenceOrder) {
    // ((x * x) * x) - y: in parse form y is met first.
    AddEquation(h.B(kSub, h.B(kMul, h.B(kMul, h.X(), h.X()), h.X()), h.X(kY)));
    const std::vector<std::string> before = EquationTexts();
    BuildJacobianFile(h.s);
    EXPECT_EQ(Headers(), (std::vector<std::string>{"      1       2", "      1       1"}));
    // The equation's code is back in evaluation form, unchanged.
    EXPECT_EQ(EquationTexts(), before);
    EXPECT_EQ(h.s.model.eq[1].code->kind, kKindVar);
}

TEST_F(JacobianFileTest, FunctionWithoutRuleLeavesTheJacobianNeeded) {
    AddEquation(h.B(kSub, h.U(code::kMag, h.X()), h.X(kY)));  // MAG(x) - y
    AddEquation(h.B(kAdd, h.X(), h.X(kY)));
    BuildJacobianFile(h.s);

    const std::string failure =
        "\nDeriv of  Unary Function MAG Not Implemented\nUse Incremental Method\nError ...";
    // Both variables of the failing equation are written (each meets MAG), the next is not.
    EXPECT_EQ(h.out, "\n" + failure + failure + "\nJacobian Incorrect or Incomplete");
    EXPECT_EQ(Headers(), (std::vector<std::string>{"      1       2", "      1       1"}));
    const std::string text = FileText();
    EXPECT_EQ(text.substr(text.size() - 13), "   0   0   0\n");
    EXPECT_TRUE(h.s.flags.jacobianNeeded);
    EXPECT_TRUE(h.s.flags.stop);
    EXPECT_EQ(h.s.defaultShell.beeps, 3);
}

TEST_F(JacobianFileTest, EscapeStopsAfterTheCurrentEquation) {
    for (int i = 0; i < 4; ++i) AddEquation(h.B(kPow, h.X(), h.C(i + 2)));
    EscapeAfter shell(2);
    h.s.shell = &shell;
    BuildJacobianFile(h.s);

    EXPECT_EQ(shell.polls, 2);
    EXPECT_EQ(Headers(), (std::vector<std::string>{"      1       1", "      2       1"}));
    EXPECT_EQ(FileText().substr(FileText().size() - 13), "   0   0   0\n");
    EXPECT_EQ(h.out, "\n\nJacobian Incorrect or Incomplete");
    EXPECT_TRUE(h.s.flags.jacobianNeeded);
    EXPECT_FALSE(h.s.flags.stop);
    EXPECT_EQ(shell.beeps, 1);
}

TEST_F(JacobianFileTest, ShowsEachEquationAndItsVariables) {
    h.s.defaultShell.showDerivatives = true;
    AddEquation(h.B(kSub, h.X(), h.X(kY)));  // x - y
    AddEquation(h.B(kMul, h.C(2), h.X()));   // 2 * x
    AddEquation(h.C(5));                     // no variable: no record
    BuildJacobianFile(h.s);
    EXPECT_EQ(h.out, "\n\n   1 wrt y wrt x\n   2 wrt x\n   3");
    EXPECT_EQ(Headers().size(), 3u);
    EXPECT_FALSE(h.s.flags.jacobianNeeded);
}

TEST_F(JacobianFileTest, RoundTripGivesEntriesThatEvaluateLikeTheDerivatives) {
    // SIN(x * y) - z, x ^ 3 + EXP(y), ERF(z) * (x / 3), GAMMP(2.5, y)
    AddEquation(h.B(kSub, h.U(code::kSin, h.B(kMul, h.X(), h.X(kY))), h.X(kZ)));
    AddEquation(h.B(kAdd, h.B(kPow, h.X(), h.C(3)), h.U(code::kExp, h.X(kY))));
    AddEquation(h.B(kMul, h.U(code::kErf, h.X(kZ)), h.B(code::kDiv, h.X(), h.C(3))));
    AddEquation(h.B(code::kGammP, h.C(2.5), h.X(kY)));
    BuildJacobianFile(h.s);
    ASSERT_FALSE(h.s.flags.jacobianNeeded);
    ASSERT_TRUE(ReadJacobianFile(h.s));

    const std::vector<std::vector<int>> variables = {{kZ, kY, kX}, {kY, kX}, {kX, kZ}, {kY}};
    for (int e = 1; e <= 4; ++e) {
        std::vector<int> seen;
        CodeNode* root = ToPrefix(h.s.model.eq[e].code);
        for (JacobianEntry* j = h.s.solve.rowHead[e]; j != nullptr; j = j->nextInRow) {
            seen.insert(seen.begin(), j->variable);  // the row holds the last record first
            CodeNode* direct = h.Derive(root->next, j->variable, true);
            for (double x : {0.3, 1.7}) {
                const double expected = h.At(direct, x, 0.9, x - 0.5);
                EXPECT_NEAR(h.At(j->code, x, 0.9, x - 0.5), expected,
                            1e-13 * std::max(1.0, std::fabs(expected)))
                    << "equation " << e << " variable " << j->variable;
            }
            FreeList(h.s.pool, direct);
        }
        h.s.model.eq[e].code = ToPostfix(root);
        EXPECT_EQ(seen, variables[e - 1]) << "equation " << e;
    }
    EXPECT_EQ(h.s.solve.diagonal[1], h.s.solve.rowHead[1]);
    EXPECT_EQ(Row(3).size(), 2u);
    EXPECT_EQ(h.s.solve.diagonal[3], h.s.solve.rowHead[3]);
    EXPECT_EQ(h.s.solve.diagonal[2], h.s.solve.rowHead[2]->nextInRow);
    EXPECT_EQ(h.s.solve.diagonal[4], nullptr);
    EXPECT_EQ(h.out, "\n");
}

TEST_F(JacobianFileTest, ReadsSixDigitValuesAndFreeHeaders) {
    h.s.model.count = 2;
    WriteFile("1 1\n"
              "X        1 0.000000E+00\n"
              "V        0 3.000000E+00\n"
              "B*       0 0.000000E+00\n"
              ";\n"
              "  2\n 2\n"
              "V\x9F       0 3.141593E+00\n"
              "U-       0 0.000000E+00\n"
              ";\n"
              "   0   0   0\n"
              "      2       1\n"  // after the end line: never read
              "V        0 1.0\n;\n");
    ASSERT_TRUE(ReadJacobianFile(h.s));
    EXPECT_EQ(Row(1), (std::vector<std::pair<int, std::string>>{{kX, "(x * 3)"}}));
    EXPECT_EQ(Row(2), (std::vector<std::pair<int, std::string>>{{kY, "-(PI)"}}));
    EXPECT_EQ(h.s.solve.diagonal[1], h.s.solve.rowHead[1]);
    EXPECT_EQ(h.s.solve.diagonal[2], h.s.solve.rowHead[2]);
    EXPECT_DOUBLE_EQ(h.s.solve.rowHead[2]->code->value, 3.141593);
    EXPECT_EQ(h.s.solve.rowHead[2]->code->next->next->kind, kKindEnd);
    EXPECT_EQ(h.out, "");
}

TEST_F(JacobianFileTest, StaleRecordsBeyondTheModelAreSkipped) {
    AddEquation(h.B(kSub, h.X(kZ), h.X()));  // z - x
    AddEquation(h.B(kSub, h.X(kY), h.X()));  // y - x
    AddEquation(h.B(kSub, h.X(kZ), h.X()));
    BuildJacobianFile(h.s);
    // The model shrinks to two equations over x and y; the file is left from before.
    FreeList(h.s.pool, h.s.model.eq[3].code);
    h.s.model.eq[3].code = nullptr;
    h.s.model.count = 2;
    h.s.names.variableCount = 2;
    ASSERT_TRUE(ReadJacobianFile(h.s));
    EXPECT_EQ(Row(1), (std::vector<std::pair<int, std::string>>{{kX, "-1"}}));
    EXPECT_EQ(Row(2), (std::vector<std::pair<int, std::string>>{{kY, "1"}, {kX, "-1"}}));
    EXPECT_EQ(h.s.solve.rowHead[3], nullptr);
    // A second read replaces the entries instead of adding to them.
    ASSERT_TRUE(ReadJacobianFile(h.s));
    EXPECT_EQ(Row(2).size(), 2u);
}

TEST_F(JacobianFileTest, MissingOrDamagedFileStopsTheRun) {
    h.s.io.suppressReports = true;
    EXPECT_FALSE(ReadJacobianFile(h.s));
    EXPECT_EQ(h.out, "Jacobian File Incorrect\nError ...");
    EXPECT_TRUE(h.s.flags.stop);

    // A file that cannot be created leaves the Jacobian needed.
    h.out.clear();
    h.s.flags.stop = false;
    AddEquation(h.X());
    const std::size_t equationNodes = h.s.pool.liveCount();
    h.s.files.baseName = (base / "missing" / "doc").string();
    BuildJacobianFile(h.s);
    EXPECT_EQ(h.out, "\n\nJacobian Incorrect or Incomplete");
    EXPECT_TRUE(h.s.flags.jacobianNeeded);
    h.s.files.baseName = base.string();

    const std::vector<std::string> damaged = {
        "1 1\nV        0 1.0\n",                       // ends inside the record
        "1 1\nQ        0 1.0\n;\n   0   0   0\n",      // unknown kind
        "1 1\nB+       0 0.0\n;\n   0   0   0\n",      // operator without operands
        "1 1\nV        0 1.0\nX        1 0\n;\n",      // two values left
        "1 1\nV        0 \n;\n   0   0   0\n",         // value missing
        "1 x\n",                                       // header not a number
    };
    for (const std::string& text : damaged) {
        h.out.clear();
        h.s.flags.stop = false;
        WriteFile(text);
        EXPECT_FALSE(ReadJacobianFile(h.s)) << text;
        EXPECT_EQ(h.out, "Jacobian File Incorrect\nError ...") << text;
        EXPECT_EQ(h.s.solve.rowHead[1], nullptr) << text;
        EXPECT_EQ(h.s.pool.liveCount(), equationNodes) << text;
    }
}

}  // namespace
