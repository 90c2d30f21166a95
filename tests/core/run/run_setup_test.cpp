#include "core/run/run_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/run/core_state.h"

namespace {

// ---------------------------------------------------------------- base name

struct BaseCase {
    const char* path;
    const char* base;
};

class BaseNameTest : public ::testing::TestWithParam<BaseCase> {};

TEST_P(BaseNameTest, CutsAtFirstDotOfTheFileName) {
    EXPECT_EQ(BaseNameOf(GetParam().path), GetParam().base) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BaseNameTest,
    ::testing::Values(BaseCase{"/x/dir/model.alg", "/x/dir/model"},
                      BaseCase{"model.alg", "model"},
                      BaseCase{"C:\\dir\\model.alg", "C:\\dir\\model"},
                      BaseCase{"/x/model.v2.alg", "/x/model"},           // first dot wins
                      BaseCase{"/x/my.project/doc.alg", "/x/my.project/doc"},  // folder dot ignored
                      BaseCase{"/a.b/c.d/e.alg", "/a.b/c.d/e"},
                      BaseCase{"/x/.hidden.alg", "/x/.hidden"},          // leading dot does not count
                      BaseCase{"/x/.hidden", ""},
                      BaseCase{".alg", ""},
                      BaseCase{"/x/noext", ""},
                      BaseCase{"/x/my.project/noext", ""},
                      BaseCase{"/x/dir/", ""},
                      BaseCase{"", ""}));

// ---------------------------------------------------------------- line cutting

// A line of n 'x' characters with the given characters at 1-based positions.
std::string Line(std::size_t n, std::vector<std::pair<std::size_t, char>> marks) {
    std::string line(n, 'x');
    for (const auto& [pos, c] : marks) line[pos - 1] = c;
    return line;
}

void ExpectPiecesRebuildLine(const std::string& line, const std::vector<std::string>& pieces) {
    std::string joined;
    for (const std::string& p : pieces) {
        EXPECT_LE(p.size(), kWorkLineLength) << p;
        joined += p;
    }
    EXPECT_EQ(joined, line);
}

TEST(CutLineTest, ShortLinesStayWhole) {
    for (const std::string& line : {std::string(), std::string("x = 1;"), std::string(79, 'a')}) {
        const auto pieces = CutLine(line);
        ASSERT_EQ(pieces.size(), 1u);
        EXPECT_EQ(pieces[0], line);
    }
}

TEST(CutLineTest, ProductsAndSumsCutAtLastBlankBefore80) {
    const std::string line =
        "flow = k1*p1*q1 + k2*p2*q2 + k3*p3*q3 + k4*p4*q4 + k5*p5*q5 + k6*p6*q6 + "
        "k7*p7*q7 + k8*p8*q8 + k9*p9*q9 + ka*pa*qa - 25;";
    ASSERT_EQ(line.size(), 120u);
    const auto pieces = CutLine(line);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0],
              "flow = k1*p1*q1 + k2*p2*q2 + k3*p3*q3 + k4*p4*q4 + k5*p5*q5 + k6*p6*q6 + ");
    EXPECT_EQ(pieces[1], "k7*p7*q7 + k8*p8*q8 + k9*p9*q9 + ka*pa*qa - 25;");
}

struct CutCase {
    const char* what;
    std::vector<std::pair<std::size_t, char>> marks;
    std::size_t firstPiece;  // length of the first piece of a 120-character line
};

class CutPositionTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutPositionTest, FirstPieceEndsAtTheExpectedCharacter) {
    const std::string line = Line(120, GetParam().marks);
    const auto pieces = CutLine(line);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), GetParam().firstPiece) << GetParam().what;
    ExpectPiecesRebuildLine(line, pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Fallbacks, CutPositionTest,
    ::testing::Values(
        CutCase{"blank preferred over a later star", {{50, ' '}, {78, '*'}}, 50},
        CutCase{"blank at 79 is taken", {{79, ' '}}, 79},
        CutCase{"blank at 80 would make the piece too long", {{80, ' '}, {60, '*'}}, 60},
        CutCase{"blank at 41 is still searched", {{41, ' '}, {70, '*'}}, 41},
        CutCase{"blank below 41 is not searched", {{40, ' '}, {60, '*'}}, 60},
        CutCase{"star preferred over a later plus", {{50, '*'}, {78, '+'}}, 50},
        CutCase{"plus preferred over a later minus", {{50, '+'}, {78, '-'}}, 50},
        CutCase{"minus as the last resort", {{66, '-'}}, 66},
        CutCase{"minus after another letter is a cut", {{77, 'D'}, {78, '-'}}, 78},
        CutCase{"E- straddling 79 is not split", {{78, 'E'}, {79, '-'}, {60, '-'}}, 60},
        CutCase{"E- is not split", {{77, 'E'}, {78, '-'}, {55, '-'}}, 55},
        CutCase{"e- is not split", {{77, 'e'}, {78, '-'}, {55, '-'}}, 55},
        CutCase{"E+ is not split", {{77, 'E'}, {78, '+'}, {52, '+'}}, 52},
        CutCase{"E+ leaves the cut to a minus", {{77, 'E'}, {78, '+'}, {45, '-'}}, 45},
        CutCase{"exponent only: nothing found", {{70, 'E'}, {71, '-'}, {75, 'e'}, {76, '+'}}, 41},
        CutCase{"nothing found", {}, 41}));

TEST(CutLineTest, NumberWithExponentAcrossTheLimitStaysWhole) {
    // A difference ending in 1.5E-10 at positions 75..81: its sign sits at 79, right after
    // the exponent letter, so the cut falls back to the '-' at 74.
    std::string line = std::string(59, 'a') + "-" + std::string(13, 'b') + "-1.5E-10";
    line += std::string(120 - line.size(), 'c');
    ASSERT_EQ(line.substr(77, 2), "E-");
    const auto pieces = CutLine(line);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 74u);
    EXPECT_EQ(pieces[1].substr(0, 7), "1.5E-10");
    ExpectPiecesRebuildLine(line, pieces);
}

TEST(CutLineTest, LongLinesAreCutRepeatedly) {
    const std::string plain(200, 'x');
    const auto pieces = CutLine(plain);
    ASSERT_EQ(pieces.size(), 4u);  // 41 + 41 + 41, then the 77 left fit whole
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pieces[i].size(), 41u);
    EXPECT_EQ(pieces[3].size(), 77u);

    std::string sums;
    for (int i = 0; i < 40; ++i) sums += "a" + std::to_string(i) + " + ";
    const auto sumPieces = CutLine(sums);
    ExpectPiecesRebuildLine(sums, sumPieces);
    ASSERT_GE(sumPieces.size(), 3u);
    for (std::size_t i = 0; i + 1 < sumPieces.size(); ++i) {
        EXPECT_GE(sumPieces[i].size(), 41u);
        EXPECT_EQ(sumPieces[i].back(), ' ');  // every cut follows a blank
    }
}

// ---------------------------------------------------------------- per-run reset

TEST(ResetDefaultsTest, WritesBannerAndResetsRunStateButKeepsSettingsAndSolved) {
    CoreState s;
    std::string out;
    s.console.callback = [&](const char* t) { out += t; };
    s.k.outputPrecision = 3;
    s.k.complexMode = true;
    s.k.autoIfSearch = false;
    s.k.lastResidualExponent = 4;
    s.flags.parseError = true;
    s.flags.stop = true;
    s.flags.solved = true;
    s.flags.noScreenDisplay = false;
    s.settings.maxIterations = 77;
    s.settings.method = kMethodDishonest;

    ResetDefaults(s);

    EXPECT_EQ(out, "VALDRIX Version 2.00\n");
    EXPECT_EQ(s.k.outputPrecision, 8);
    EXPECT_EQ(s.k.internalAccuracy, 14);
    EXPECT_DOUBLE_EQ(s.k.smallest, 1e-50);
    EXPECT_DOUBLE_EQ(s.k.largest, 1e50);
    EXPECT_DOUBLE_EQ(s.k.negLargest, -1e50);
    EXPECT_EQ(s.k.expLimit, 50);
    EXPECT_FALSE(s.k.complexMode);
    EXPECT_TRUE(s.k.autoIfSearch);
    EXPECT_EQ(s.k.lastResidualExponent, -99);
    EXPECT_FALSE(s.flags.parseError);
    EXPECT_FALSE(s.flags.stop);
    EXPECT_TRUE(s.flags.solved);
    EXPECT_TRUE(s.flags.noScreenDisplay);
    EXPECT_EQ(s.settings.maxIterations, 77);
    EXPECT_EQ(s.settings.method, kMethodDishonest);
}

}  // namespace
