#include <gtest/gtest.h>

#include "graphs/axis_ticks.h"
#include "graphs/dialog_rules.h"
#include "graphs/plot_layout.h"
#include "graphs/view_zoom.h"

using namespace graphs;

namespace {

std::vector<std::string> Labels(const std::vector<Tick>& ticks) {
    std::vector<std::string> labels;
    for (const Tick& t : ticks) labels.push_back(t.label);
    return labels;
}

PlotScale Scale(double xmin, double xmax, double ymin, double ymax) {
    return *MakeScale({xmin, xmax}, {ymin, ymax});
}

}  // namespace

TEST(NiceStep, RoundsTheSpanToAQuarterOfAPowerOfTen) {
    struct Case {
        double lo, hi, mantissa;
        int exponent, digits;
    };
    const Case cases[] = {
        {0, 7, 0.75, 0, 2},    {0, 100, 10, 0, 0},  {0, 0.002, 0.25, -3, 2}, {0, 1, 0.1, 0, 1},
        {0, 0.3, 0.25, -1, 2}, {0, 25, 2.5, 0, 1},  {0, 0.5, 0.05, 0, 2},    {0, 5000, 0.5, 3, 2},
        {0, 1e6, 1.0, 5, 0},   {-1, 1, 0.25, 0, 2}, {0, 40, 5, 0, 0},        {0, 300, 25, 0, 0},
    };
    for (const Case& c : cases) {
        const StepInfo s = NiceStep(c.lo, c.hi);
        EXPECT_DOUBLE_EQ(s.mantissa, c.mantissa) << c.lo << ".." << c.hi;
        EXPECT_EQ(s.exponent, c.exponent) << c.lo << ".." << c.hi;
        EXPECT_EQ(s.digits, c.digits) << c.lo << ".." << c.hi;
    }
}

TEST(AxisTicks, LabelsAreMultiplesOfTheMantissaFromTheTopDown) {
    const PlotScale s = Scale(0, 7, 0, 100);
    EXPECT_EQ(
        Labels(XTicks(s, NiceStep(0, 7))),
        (std::vector<std::string>{"6.75", "6", "5.25", "4.5", "3.75", "3", "2.25", "1.5", "0.75"}));
    EXPECT_EQ(
        Labels(YTicks(s, NiceStep(0, 100))),
        (std::vector<std::string>{"100", "90", "80", "70", "60", "50", "40", "30", "20", "10"}));
    const PlotScale tiny = Scale(0, 0.002, 0, 1);
    EXPECT_EQ(Labels(XTicks(tiny, NiceStep(0, 0.002))),
              (std::vector<std::string>{"2", "1.75", "1.5", "1.25", "1", "0.75", "0.5", "0.25"}));
    EXPECT_EQ(Labels(YTicks(tiny, NiceStep(0, 1))).front(), "1.0");
    EXPECT_EQ(Labels(YTicks(Scale(0, 1, 0, 25), NiceStep(0, 25))).front(), "25.0");
}

TEST(AxisTicks, TicksStandOnTheOtherAxisAndSkipZero) {
    const PlotScale s = Scale(-1, 1, -1, 1);
    const std::vector<Tick> x = XTicks(s, NiceStep(-1, 1));
    EXPECT_EQ(Labels(x), (std::vector<std::string>{"1", "0.75", "0.5", "0.25", "-0.25", "-0.5",
                                                   "-0.75", "-1"}));
    EXPECT_EQ(x.front().at, (Point{380, 0}));
    EXPECT_EQ(x.back().at, (Point{-380, 0}));
    const std::vector<Tick> y = YTicks(s, NiceStep(-1, 1));
    EXPECT_EQ(y.front().at, (Point{0, 250}));
    EXPECT_EQ(y.front().label, "1.00");
}

TEST(AxisTicks, ARangeEndingJustShortOfAStepStillShowsIt) {
    // 6.745 is 8.993 steps of 0.75: within 1% of the ninth, which is labelled.
    EXPECT_EQ(XTicks(Scale(0, 6.745, 0, 1), NiceStep(0, 6.745)).front().label, "6.75");
}

TEST(AxisTicks, NoTickOfANegativeRangeLiesAboveItsTop) {
    const PlotScale s = Scale(-7, -1.875, 0, 1);
    const std::vector<Tick> ticks = XTicks(s, NiceStep(-7, -1.875));
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front().label, "-2");
    for (const Tick& t : ticks) EXPECT_LE(t.value, -1.875);
}

TEST(PlotLayout, RoundingTakesTheNearestIntegerAndAHalfGoesDown) {
    const std::pair<double, long> cases[] = {{2.5, 2},  {-2.5, -3}, {0.5, 0},    {-0.5, -1},
                                             {2.51, 3}, {2.49, 2},  {-2.49, -2}, {7.0, 7}};
    for (auto [v, r] : cases) EXPECT_EQ(RoundHalfDown(v), r) << v;
}

TEST(PlotLayout, PointsMapIntoTheBoxAndAreClamped) {
    const PlotScale s = Scale(0, 760, 0, 500);  // one unit per 0.1 mm
    EXPECT_EQ(MapPoint(s, 0, 0), (Point{-380, -250}));
    EXPECT_EQ(MapPoint(s, 760, 500), (Point{380, 250}));
    EXPECT_EQ(MapPoint(s, 0.5, 1.5), (Point{-380, -249}));  // -379.5 and -248.5 round down
    EXPECT_EQ(MapPoint(s, -100, 900), (Point{-380, 250}));
    EXPECT_FALSE(MakeScale({1, 1}, {0, 1}));
    EXPECT_FALSE(MakeScale({0, 1}, {2, 2}));
}

TEST(PlotLayout, AxesStandAtZeroOrAtTheEdgeOnTheSideOfTheData) {
    const int hw = geometry::kHalfWidth;
    EXPECT_EQ(AxisPosition({-2, 2}, 2.0 * hw / 4, hw), 0);
    EXPECT_EQ(AxisPosition({-10, -1}, 2.0 * hw / 9, hw), hw);
    EXPECT_EQ(AxisPosition({1, 10}, 2.0 * hw / 9, hw), -hw);
    EXPECT_EQ(AxisPosition({0, 5}, 2.0 * hw / 5, hw), -hw);
    EXPECT_EQ(AxisPosition({-5, 0}, 2.0 * hw / 5, hw), hw);
    EXPECT_EQ(AxisPosition({-1, 2}, 2.0 * hw / 3, hw), -126);  // -126.67 truncated toward zero
}

TEST(PlotLayout, ReadoutsUseExponentsOnlyForVeryLargeOrSmallValues) {
    const std::pair<double, const char*> cases[] = {{1e-6, "x=1.0000000e-06"},
                                                    {250000, "x=2.5000000e+05"},
                                                    {-250000, "x=-2.5000000e+05"},
                                                    {0, "x=0"},
                                                    {12.5, "x=12.5"},
                                                    {1e5, "x=100000"},
                                                    {1e-5, "x=1e-05"},
                                                    {0.1f, "x=0.1"},
                                                    {1.0 / 3, "x=0.3333333"}};
    for (auto [v, text] : cases) EXPECT_EQ(FormatReadout("x", v), text) << v;
}

TEST(PlotLayout, BranchColoursTurnRedAndGreenByHalvesAndFadeBlue) {
    EXPECT_EQ(BranchColours(kBlue, 4),
              (std::vector<GraphColour>{kBlue, MakeColour(127, 0, 205), MakeColour(127, 127, 155),
                                        MakeColour(254, 127, 105)}));
    // Every component wraps around.
    EXPECT_EQ(BranchColours(MakeColour(200, 200, 20), 3),
              (std::vector<GraphColour>{MakeColour(200, 200, 20), MakeColour(71, 200, 226),
                                        MakeColour(71, 71, 176)}));
    EXPECT_TRUE(BranchColours(kBlue, 0).empty());
}

TEST(PlotLayout, LegendRowsRunDownTheRightMargin) {
    EXPECT_EQ(LegendRow(0), (Point{490, 270}));
    EXPECT_EQ(LegendRow(2), (Point{490, 190}));
    EXPECT_EQ(LegendText(1), (Point{530, 230}));
}

TEST(ViewZoom, PicturesStackAndZoomKeepsTheAnchorInPlace) {
    const PixelSize size = PictureScreenSize(96 / 25.4, 96 / 25.4);
    EXPECT_EQ(size.width, 453);
    EXPECT_EQ(size.height, 264);
    const PixelRect second = PictureRect(1, 2, size);
    EXPECT_EQ(second.top, 528);
    EXPECT_EQ(second.bottom, 1056);
    EXPECT_EQ(second.right, 906);
    EXPECT_EQ(ZoomedOut(1), 1);
    EXPECT_EQ(ZoomedOut(3), 2);
    EXPECT_EQ(ZoomedIn(1), 2);
    // A click at 50 with scroll 100: the picture point 150 goes to 300, shown at 300 - 250 = 50.
    EXPECT_EQ(ScrollAfterZoom(100, 1, 2, 50, 2000, 500), 250);
    EXPECT_EQ(ScrollAfterZoom(400, 2, 3, 100, 3000, 500), 650);
    EXPECT_EQ(ScrollAfterZoom(250, 2, 1, 250, 1000, 500), 0);  // back to the window's centre
    EXPECT_EQ(ScrollAfterZoom(300, 3, 2, 100, 400, 500), 0);   // fits: no scrolling
}

TEST(DialogRules, FftColumnsArePreselectedByTheirLastLetter) {
    struct Case {
        std::vector<std::string> names;
        int time, real, imag;
    };
    const Case cases[] = {
        {{"ur", "ui", "t", "yr", "yi"}, 2, 0, 1},
        {{"t", "ur", "vr", "vi"}, 0, 1, 3},  // no partner of ur: the first name ending in i
        {{"a", "b", "c"}, 0, 1, 2},
        {{"xr", "xi"}, 0, 0, 1},
    };
    for (const Case& c : cases) {
        const FftColumns f = PreselectFftColumns(c.names);
        EXPECT_EQ(f.time, c.time);
        EXPECT_EQ(f.real, c.real);
        EXPECT_EQ(f.imag, c.imag);
    }
    EXPECT_EQ(FirstRealName({"yr", "yi", "w"}), 2);
    EXPECT_EQ(kFftStepCounts.front(), 32);
    EXPECT_EQ(kFftStepCounts.back(), 262144);
    for (std::size_t i = 1; i < kFftStepCounts.size(); ++i)
        EXPECT_EQ(kFftStepCounts[i], 2 * kFftStepCounts[i - 1]);
}
