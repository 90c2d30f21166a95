// The advanced operations reached through command 'A': saves of the equation set with and
// without the document's text, the filters and the keys that do nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/document_fixture.h"

namespace {

class AdvancedOperations : public DocumentFixture {
   protected:
    bool Wrote(const char* extension) const {
        return std::filesystem::exists(dir_ / ("doc" + std::string(extension)));
    }
};

const char* const kTank =
    "{Options: 10 -3}\n{ Balance of the tank }\nx + y = 3;   { inflow }\nx \xbb 1;\n"
    "{ outflow } y = 2*x;\n";

}  // namespace

TEST_F(AdvancedOperations, SavesWithAndWithoutTheDocumentsText) {
    Run(kTank, "AT");
    EXPECT_EQ(ReadFile(".SJC"), "x+y=3; \ny=2*x; \n");
    EXPECT_NE(out_.find("\nSaving Equations...\nEquations Saved to File:  " +
                        (dir_ / "doc.SJC").string()),
              std::string::npos);
    Run(kTank, "AI");
    const auto lines = Lines(".SJC");
    ASSERT_EQ(lines.size(), 5u) << ReadFile(".SJC");
    EXPECT_EQ(lines[4].rfind("x\2731;  y\273", 0), 0u) << lines[4];  // octal 273: byte 0xBB
    // An equation marked for elimination is an equation until it is eliminated: a save
    // writes it with its mark. An open comment is closed.
    Run("a = 1;\nb + a \x85 2;\nb = 3; {last", "AA");
    EXPECT_EQ(ReadFile(".SJC"), "a=1; \nb+a\x85" "2; \nb=3;  {last\n}");
}

TEST_F(AdvancedOperations, KeysWithoutAnActionWriteNothing) {
    for (const char* command : {"AV", "AX", "A", "AQ", "ALG", "ASX", "AFQ", "ADIG", "AD"}) {
        Run("x = 1;\n", command);
        EXPECT_FALSE(Wrote(".SJC")) << command;
        EXPECT_EQ(out_.find("Saving"), std::string::npos) << command;
    }
}

TEST_F(AdvancedOperations, ReplicatedRowsAreSavedOnlyWithAnAttachment) {
    const std::string table = (dir_ / "rows.LST").string();
    std::ofstream(table, std::ios::binary) << "x y\n1 2\n3 4\n";
    core_.settings.updateFileName = table;
    core_.settings.updateFilePresent = true;
    Run("y = a + b*x;\n", "ALG");
    EXPECT_EQ(ReadFile(".SJC"), "a+b*1=2; \na+b*3=4; \n");  // one copy per row
    // Named but gone: said so, nothing written.
    std::filesystem::remove(dir_ / "doc.SJC");
    core_.settings.updateFileName = (dir_ / "gone.LST").string();
    Run("y = a + b*x;\n", "ALG");
    EXPECT_NE(out_.find("Does Not Exist"), std::string::npos) << out_;
    EXPECT_FALSE(Wrote(".SJC"));
}

TEST_F(AdvancedOperations, LagrangianGoesToItsOwnFileOrKeepsTheText) {
    const std::string problem =
        "{ objective } x^2 + y^2;\n{ line } x + y = 1;\nx > 0.2; { bound }\n";
    Run(problem, "AFK");
    EXPECT_TRUE(Wrote(".KTK") && !Wrote(".SJC"));
    std::filesystem::remove(dir_ / "doc.KTK");
    Run(problem, "AFL");
    EXPECT_FALSE(Wrote(".KTK"));
    EXPECT_EQ(ReadFile(".SJC"),
              "{ objective } \xEC"
              "3*(SQUARE(\xE4"
              "3)-(x-0.2))+\xEC"
              "2*(x+y-1)+x^2+y^2+0; \n"
              "{ line } \n { bound }\n");
    // A constraint marked for elimination is an equality like any other.
    Run("x^2 + y^2;\nx \x85 1 - y;\n", "AFL");
    EXPECT_EQ(ReadFile(".SJC"), "\xEC" "2*(x-(1-y))+x^2+y^2+0; \n\n");
}

TEST_F(AdvancedOperations, HomotopyAndComplexRewritesAreSavedWithinTheLimits) {
    core_.settings.method = SolveMethod::kNewton;
    Run("x^2 = 4;\nx \xbb 3;\n", "AFN");
    const auto lines = Lines(".SJC");
    ASSERT_EQ(lines.size(), 4u) << ReadFile(".SJC");
    EXPECT_EQ(lines[0], "x^2-4-(1-t\xEB)*5=0; ");  // f(x0) = 5 at the starting value 3
    EXPECT_EQ(lines[2], "t\xEB-1; ");
    EXPECT_EQ(lines[3], "x\2733;  t\xEB\2730;  ");
    EXPECT_EQ(core_.settings.method,
              SolveMethod::kNewton);  // a file is prepared, not this run's solve

    Run("z = 2 + \xDF"
        "3;\n",
        "AFC");
    EXPECT_EQ(ReadFile(".SJC"), "zr=2; \nzi=3; \n");  // simplified after the conversion

    std::string text;  // the parameter would be a 26th variable
    for (int i = 1; i <= 25; ++i)
        text += "v" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    std::filesystem::remove(dir_ / "doc.SJC");
    Run(text, "AFN");
    EXPECT_NE(
        out_.find(
            "\nToo Many Variables\n(limit 25 variables; raise it with the CAPACITY option to 26)"
            "\nError ..."),
        std::string::npos)
        << out_;
    EXPECT_FALSE(Wrote(".SJC"));
}
