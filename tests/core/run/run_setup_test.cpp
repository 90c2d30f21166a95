#include "core/run/run_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/base/core_state.h"

namespace {

TEST(BaseNameTest, CutsAtTheFirstDotOfTheFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/x/dir/model.alg", "/x/dir/model"},
        {"C:\\dir\\model.alg", "C:\\dir\\model"},
        {"/x/model.v2.alg", "/x/model"},
        {"/x/my.project/doc.alg", "/x/my.project/doc"},  // a folder's dot is no extension
        {"/x/.hidden.alg", "/x/.hidden"},                // a leading dot does not count
        {"/x/.hidden", ""},
        {"/x/noext", ""},
        {"/x/my.project/noext", ""},
        {"/x/dir/", ""}};
    for (const auto& [path, base] : cases) EXPECT_EQ(BaseNameOf(path), base) << path;
}

TEST(CutLineTest, FallsBackFromBlankToStarPlusMinusAndFinallyColumn41) {
    struct Case {
        const char* what;
        std::size_t length;                               // a line of 'x' of this length ...
        std::vector<std::pair<std::size_t, char>> marks;  // ... with these 1-based characters
        std::vector<std::size_t> pieces;                  // lengths of the pieces
    };
    const Case cases[] = {
        {"79 characters stay whole", 79, {}, {79}},
        {"blank before a later star", 120, {{50, ' '}, {78, '*'}}, {50, 70}},
        {"blank at 79", 120, {{79, ' '}}, {79, 41}},
        {"blank at 80 is too far", 120, {{80, ' '}, {60, '*'}}, {60, 60}},
        {"blank at 41", 120, {{41, ' '}, {70, '*'}}, {41, 79}},
        {"blank at 40 is too early", 120, {{40, ' '}, {60, '*'}}, {60, 60}},
        {"star before a later plus", 120, {{50, '*'}, {78, '+'}}, {50, 70}},
        {"plus before a later minus", 120, {{50, '+'}, {78, '-'}}, {50, 70}},
        {"minus as the last resort", 120, {{66, '-'}}, {66, 54}},
        {"E- across column 79 stays whole", 120, {{78, 'E'}, {79, '-'}, {60, '-'}}, {60, 60}},
        {"e- stays whole", 120, {{77, 'e'}, {78, '-'}, {55, '-'}}, {55, 65}},
        {"E+ stays whole", 120, {{77, 'E'}, {78, '+'}, {45, '-'}}, {45, 75}},
        {"nothing found: cut at 41, repeatedly", 200, {}, {41, 41, 41, 77}},
    };
    for (const Case& c : cases) {
        std::string line(c.length, 'x');
        for (const auto& [pos, ch] : c.marks) line[pos - 1] = ch;
        std::vector<std::size_t> lengths;
        std::string joined;
        for (const std::string& piece : CutLine(line)) {
            lengths.push_back(piece.size());
            joined += piece;
        }
        EXPECT_EQ(lengths, c.pieces) << c.what;
        EXPECT_EQ(joined, line) << c.what;
    }
}

// The banner it writes is checked with the entry point.
TEST(ResetDefaultsTest, ResetsRunStateButKeepsSettingsAndTheLastResult) {
    CoreState s;
    s.k.outputPrecision = 3;
    s.k.arithmetic = Arithmetic::kComplex;
    s.flags.parseError = true;
    s.flags.solved = true;
    s.settings.maxIterations = 77;
    ResetDefaults(s);
    EXPECT_EQ(s.k.outputPrecision, 8);
    EXPECT_EQ(s.k.arithmetic, Arithmetic::kReal);
    EXPECT_FALSE(s.flags.parseError);
    EXPECT_TRUE(s.flags.solved);
    EXPECT_EQ(s.settings.maxIterations, 77);
}

}  // namespace
