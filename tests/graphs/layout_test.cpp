#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "graphs/axis_ticks.h"
#include "graphs/dialog_rules.h"
#include "graphs/picture.h"
#include "graphs/plot_layout.h"
#include "graphs/text_layout.h"
#include "graphs/view_zoom.h"

using namespace graphs;

namespace {

// Labels of the ticks of [lo, hi] on the x axis (or the y axis), joined by blanks.
std::string Labels(double lo, double hi, bool x) {
    const PlotScale s = *MakeScale({lo, hi}, {lo, hi});
    std::string joined;
    for (const Tick& t : x ? XTicks(s, NiceStep(lo, hi)) : YTicks(s, NiceStep(lo, hi))) {
        joined += (joined.empty() ? "" : " ") + t.label;
    }
    return joined;
}

}  // namespace

TEST(NiceStep, RoundsTheSpanToAQuarterOfAPowerOfTen) {
    std::ifstream rows(VALDRIX_GRAPH_LAYOUT_DATA "/nice_steps.txt");
    int count = 0;
    for (double lo, hi, mantissa; rows >> lo >> hi >> mantissa; ++count) {
        int exponent = 0, digits = 0;
        rows >> exponent >> digits;
        const StepInfo s = NiceStep(lo, hi);
        EXPECT_DOUBLE_EQ(s.mantissa, mantissa) << lo << ".." << hi;
        EXPECT_EQ(s.exponent, exponent) << lo << ".." << hi;
        EXPECT_EQ(s.digits, digits) << lo << ".." << hi;
    }
    EXPECT_EQ(count, 12);
}

TEST(AxisTicks, LabelsCountDownInMultiplesOfTheMantissaAndSkipZero) {
    std::ifstream rows(VALDRIX_GRAPH_LAYOUT_DATA "/tick_labels.txt");
    int count = 0;
    for (std::string row; std::getline(rows, row); ++count) {
        std::istringstream in(row);
        double lo = 0, hi = 0;
        std::string axis, labels;
        std::getline(in >> lo >> hi >> axis >> std::ws, labels);
        EXPECT_EQ(Labels(lo, hi, axis == "x"), labels) << row;
    }
    EXPECT_EQ(count, 8);
}

TEST(PlotLayout, PointsRoundToTheNearestWithHalvesDownAndAreClamped) {
    const std::pair<double, long> cases[] = {{2.5, 2},  {-2.5, -3}, {0.5, 0},    {-0.5, -1},
                                             {2.51, 3}, {2.49, 2},  {-2.49, -2}, {7.0, 7}};
    for (auto [v, r] : cases) EXPECT_EQ(RoundHalfDown(v), r) << v;
    const PlotScale s = *MakeScale({0, 760}, {0, 500});  // one unit per 0.1 mm
    EXPECT_EQ(MapPoint(s, 0, 0), (Point{-380, -250}));
    EXPECT_EQ(MapPoint(s, 760, 500), (Point{380, 250}));
    EXPECT_EQ(MapPoint(s, 0.5, 1.5), (Point{-380, -249}));  // -379.5 and -248.5 round down
    EXPECT_EQ(MapPoint(s, -100, 900), (Point{-380, 250}));
    EXPECT_FALSE(MakeScale({1, 1}, {0, 1}));
    EXPECT_FALSE(MakeScale({0, 1}, {2, 2}));
}

TEST(PlotLayout, AxesStandAtZeroOrAtTheEdgeOnTheSideOfTheData) {
    const int hw = geometry::kHalfWidth;
    const std::pair<Range, int> cases[] = {
        {{-2, 2}, 0},  {{-10, -1}, hw}, {{1, 10}, -hw},
        {{0, 5}, -hw}, {{-5, 0}, hw},   {{-1, 2}, -126}};  // -126.67 truncated toward zero
    for (auto [r, at] : cases)
        EXPECT_EQ(AxisPosition(r, 2.0 * hw / (r.max - r.min), hw), at) << r.min;
}

TEST(PlotLayout, ReadoutsUseExponentsOnlyForVeryLargeOrSmallValues) {
    std::ifstream rows(VALDRIX_GRAPH_TABLES "/readouts.txt");
    int count = 0;
    for (std::string value, text; rows >> value >> text; ++count)
        EXPECT_EQ(FormatReadout("x", std::stod(value)), text) << value;
    EXPECT_EQ(count, 9);
}

TEST(PlotLayout, BranchColoursTurnRedAndGreenByHalvesAndFadeBlue) {
    EXPECT_EQ(BranchColours(kBlue, 4),
              (std::vector<GraphColour>{kBlue, MakeColour(127, 0, 205), MakeColour(127, 127, 155),
                                        MakeColour(254, 127, 105)}));
    EXPECT_EQ(BranchColours(MakeColour(200, 200, 20), 3),  // every component wraps around
              (std::vector<GraphColour>{MakeColour(200, 200, 20), MakeColour(71, 200, 226),
                                        MakeColour(71, 71, 176)}));
}

TEST(ViewZoom, ZoomKeepsTheAnchorInPlaceAndNeverGoesBelowOne) {
    EXPECT_EQ(PictureScreenSize(96 / 25.4, 96 / 25.4).width, 453);  // 120 mm, truncated
    EXPECT_EQ(ZoomedOut(1), 1);
    EXPECT_EQ(ZoomedOut(3), 2);
    // A click at 50 with scroll 100: the picture point 150 goes to 300, shown at 300 - 250 = 50.
    EXPECT_EQ(ScrollAfterZoom(100, 1, 2, 50, 2000, 500), 250);
    EXPECT_EQ(ScrollAfterZoom(400, 2, 3, 100, 3000, 500), 650);
    EXPECT_EQ(ScrollAfterZoom(250, 2, 1, 250, 1000, 500), 0);  // back about the window's centre
    EXPECT_EQ(ScrollAfterZoom(300, 3, 2, 100, 400, 500), 0);   // fits: no scrolling
}

TEST(DialogRules, GraphGenerationTakesTheFirstNameOfNoComplexPair) {
    EXPECT_EQ(FirstRealName({"yr", "yi", "w"}), 2);
    EXPECT_EQ(FirstRealName({"xr", "xi"}), 0);
}

// Titles are cut between characters, never inside one, and end in an ellipsis.
TEST(TextLayout, TextsAreCutToTheirRoomBetweenCharacters) {
    const Picture measure;  // half the font's height for each character: 15 for General
    const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5";  // five letters
    EXPECT_EQ(FitText(measure, FontRole::General, greek, 75), greek);
    EXPECT_EQ(FitText(measure, FontRole::General, greek, 74),
              "\xCE\xB1\xCE\xB2\xCE\xB3\xE2\x80\xA6");
    EXPECT_EQ(FitText(measure, FontRole::General, greek, 10), "\xE2\x80\xA6");
    const std::string title(5000, 'T');
    const std::string cut = FitText(measure, FontRole::Title, title, 990);
    EXPECT_LE(measure.TextWidth(FontRole::Title, cut), 990);
    EXPECT_GT(measure.TextWidth(FontRole::Title, cut), 990 - 20);  // one letter is 20 wide
}
