#include "golden_compare.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A changed number, a changed width or changed text makes two lines differ; a number that
// changes only within the tolerance or its format does not.
TEST(GoldenLines, AgreeOnlyWhenTextAndNumbersMatch) {
    struct LinePair {
        const char* what;
        std::string expected;
        std::string actual;
        bool agree;
    };
    const LinePair pairs[] = {
        {"same", "      3.0000002      4.0000003", "      3.0000002      4.0000003", true},
        {"last printed digit", "      3.0000002      4.0000003", "      3.0000002      4.0000004",
         false},
        {"within the relative tolerance", "x=2.154434690031884", "x=2.154434690031885", true},
        {"beyond the relative tolerance", "x=2.154434690031884", "x=2.154434700031884", false},
        {"below the absolute floor", "  -9.766831e-17      1.0000000",
         "   2.000000e-17      1.0000000", true},
        {"same value in the other format", "      0.0000100", "   1.000000e-05", true},
        {"cell one character narrower", "      3.0000002", "     3.0000002", false},
        {"sign of zero where nothing is aligned", "zr=-0.000000000000000", "zr=0.000000000000000",
         true},
        {"message wording", "Solution Found!", "Solution found!", false},
        {"digit inside a name", "             x1             x2", "             x1             x3",
         false},
        {"residual exponent of the trace", "Eq:   1  Tol: E  -5  Iter:   4",
         "Eq:   1  Tol: E  -6  Iter:   4", false},
        {"a number more", "Eqn    2 group failed", "Eqn    2 group failed 1", false},
    };
    for (const LinePair& p : pairs) {
        SCOPED_TRACE(p.what);
        std::string why;
        EXPECT_EQ(LinesAgree(p.expected, p.actual, Tolerance{}, &why), p.agree) << why;
        EXPECT_EQ(why.empty(), p.agree);
    }
}

TEST(GoldenMask, RunTimeAndScratchFolderAreMasked) {
    EXPECT_EQ(MaskVarying("Solved for 0.013 seconds\n", ""), "Solved for <time> seconds\n");
    // The time follows an outcome message without a line end.
    EXPECT_EQ(MaskVarying("Iteration Limit Sol    1Solved for 12.250 seconds\n", ""),
              "Iteration Limit Sol    1Solved for <time> seconds\n");
    EXPECT_EQ(MaskVarying("/tmp/g_7/run/doc.alg\n/tmp/g_7/run/doc.alg\n", "/tmp/g_7/run"),
              "<dir>/doc.alg\n<dir>/doc.alg\n");
    EXPECT_EQ(MaskVarying("Solved for none seconds\n", ""), "Solved for none seconds\n");
}

TEST(GoldenDiff, AgreeingTextsGiveNoDiff) {
    EXPECT_EQ(DiffTexts("a\n  1.5\n", "a\n  1.5\n", Tolerance{}), "");
    EXPECT_EQ(DiffTexts("x=1.000000000000000\n", "x=1.000000000000001\n", Tolerance{}), "");
}

TEST(GoldenDiff, ChangedNumberShowsBothLinesAndWhy) {
    const std::string expected =
        "VALDRIX\n\nSolution Found!\n    x    y\n  3.0000002  4.0000003\nend\n";
    const std::string actual =
        "VALDRIX\n\nSolution Found!\n    x    y\n  3.0000002  4.0000004\nend\n";
    const std::string diff = DiffTexts(expected, actual, Tolerance{});
    EXPECT_NE(diff.find("@@ expected line 3, actual line 3 @@\n"), std::string::npos) << diff;
    EXPECT_NE(diff.find("  Solution Found!\n"), std::string::npos) << diff;  // context
    EXPECT_NE(diff.find("-   3.0000002  4.0000003\n+   3.0000002  4.0000004\n"), std::string::npos)
        << diff;
    EXPECT_NE(diff.find("number 2 (expected 4.0000003, got 4.0000004) differs by more than"),
              std::string::npos)
        << diff;
    EXPECT_EQ(diff.find("VALDRIX"), std::string::npos) << diff;  // beyond the context
}

TEST(GoldenDiff, InsertedAndRemovedLinesAreAligned) {
    const std::string diff = DiffTexts("a\nb\nc\nd\n", "a\nb\nnew\nc\n", Tolerance{});
    EXPECT_NE(diff.find("  b\n+ new\n  c\n- d\n"), std::string::npos) << diff;
}

TEST(GoldenDiff, MissingLineEndAndSingleByteTextAreShown) {
    EXPECT_NE(DiffTexts("Solution Found!\n", "Solution Found!", Tolerance{})
                  .find("the expected text ends with a line end"),
              std::string::npos);
    const std::string diff = DiffTexts("  x  t\xEB\n", "  x  s\xEB\n", Tolerance{});
    EXPECT_NE(diff.find("+   x  s\\xEB\n"), std::string::npos) << diff;
}

}  // namespace
