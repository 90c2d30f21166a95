#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "graphs/graph_renderer.h"
#include "graphs/picture.h"
#include "graphs/plot_layout.h"

using namespace graphs;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Drawn {
    std::vector<op::Line> lines;
    std::vector<std::pair<op::Line, Pen>> penLines;
    std::vector<op::Rect> rects;
    std::vector<op::Circle> circles;
    std::vector<std::pair<op::Text, FontRole>> texts;
    std::vector<Pen> pens;

    bool HasText(const std::string& s) const {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const auto& t) { return t.first.text == s; });
    }
    const op::Text* FindText(const std::string& s) const {
        for (const auto& t : texts) {
            if (t.first.text == s) return &t.first;
        }
        return nullptr;
    }
    bool HasLine(Point a, Point b) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const op::Line& l) { return l.from == a && l.to == b; });
    }
    std::vector<GraphColour> CurveColours() const {
        std::vector<GraphColour> colours;
        for (const Pen& p : pens) {
            if (p.width == kCurveWidth) colours.push_back(p.colour);
        }
        return colours;
    }
};

Drawn Draw(const PictureContent& content) {
    Picture picture;
    RenderPicture(picture, content);
    Drawn d;
    Pen pen;
    FontRole font = FontRole::General;
    for (const PictureOp& o : picture.Ops()) {
        if (auto* p = std::get_if<op::SetPen>(&o)) {
            pen = p->pen;
            d.pens.push_back(pen);
        } else if (auto* f = std::get_if<op::SetFont>(&o)) {
            font = f->font;
        } else if (auto* l = std::get_if<op::Line>(&o)) {
            d.lines.push_back(*l);
            d.penLines.emplace_back(*l, pen);
        } else if (auto* r = std::get_if<op::Rect>(&o)) {
            d.rects.push_back(*r);
        } else if (auto* c = std::get_if<op::Circle>(&o)) {
            d.circles.push_back(*c);
        } else if (auto* t = std::get_if<op::Text>(&o)) {
            d.texts.emplace_back(*t, font);
        }
    }
    return d;
}

GraphCurve Curve(const std::string& x, const std::string& y, GraphColour colour = kBlue) {
    GraphCurve c;
    c.xName = c.xTitle = x;
    c.yName = c.yTitle = y;
    c.title = "Title";
    c.colour = colour;
    return c;
}

GraphLayout Layout(GraphType type, bool oneGraph = true) {
    GraphLayout l;
    l.type = type;
    l.oneGraph = oneGraph;
    return l;
}

// Three sweeps of x over 0..2 for the parameter values 1, 2, 3 (y = p * x).
struct Sweep {
    std::vector<float> x{0, 1, 2, 0, 1, 2, 0, 1, 2};
    std::vector<float> y{0, 1, 2, 0, 2, 4, 0, 3, 6};
    SweepInfo info{"p", {1, 2, 3}, {0, 3, 6}};
};

}  // namespace

TEST(Renderer, NothingIsDrawnWithoutAFiniteRange) {
    const GraphCurve c = Curve("x", "y");
    const std::vector<float> flat{2, 2, 2}, rising{1, 2, 3}, none, nan{kNaN, kNaN};
    const std::pair<const std::vector<float>*, const std::vector<float>*> cases[] = {
        {&flat, &rising}, {&rising, &flat}, {&none, &none}, {&nan, &nan}};
    for (auto [x, y] : cases) {
        Picture p;
        RenderPicture(p, {{{&c, *x, *y}}, Layout(GraphType::Normal), {}});
        EXPECT_TRUE(p.Empty());
    }
}

TEST(Renderer, AxesTicksTitlesAndReadoutsOfAKnownGraph) {
    const GraphCurve c = Curve("t", "u");
    const std::vector<float> x{0, 3.5f, 7}, y{0, 100, 50};
    const Drawn d = Draw({{{&c, x, y}}, Layout(GraphType::Normal), {}});
    for (const char* label :
         {"6.75", "0.75", "100", "10", "tmin=0", "tmax=7", "umin=0", "umax=100"}) {
        EXPECT_TRUE(d.HasText(label)) << label;
    }
    EXPECT_FALSE(d.HasText("x10"));
    EXPECT_EQ(d.FindText("6.75")->at, (Point{353, -280}));  // centred 30 below the x axis
    EXPECT_EQ(d.FindText("tmin=0")->at, (Point{490, -250}));
    EXPECT_EQ(d.FindText("umax=100")->at, (Point{490, -160}));
    EXPECT_EQ(d.FindText("u")->at, (Point{-360, 293}));
    EXPECT_EQ(d.FindText("t")->at, (Point{440, -280}));
    const auto title = std::find_if(d.texts.begin(), d.texts.end(),
                                    [](const auto& t) { return t.first.text == "Title"; });
    ASSERT_NE(title, d.texts.end());
    EXPECT_EQ(title->second, FontRole::Title);
    EXPECT_EQ(title->first.at, (Point{0, -340}));
    // Axes with arrow heads, dotted grid on the box and at the ticks.
    EXPECT_TRUE(d.HasLine({-380, -250}, {-380, 333}));
    EXPECT_TRUE(d.HasLine({-380, 333}, {-375, 313}));
    EXPECT_TRUE(d.HasLine({-380, -250}, {480, -250}));
    const auto grid = std::count_if(d.penLines.begin(), d.penLines.end(),
                                    [](const auto& l) { return l.second == kGridPen; });
    EXPECT_EQ(grid, 4 + 9 + 10);
    // The curve goes through its points.
    EXPECT_TRUE(d.HasLine({-380, -250}, {0, 250}));
    EXPECT_TRUE(d.HasLine({0, 250}, {380, 0}));
}

TEST(Renderer, SmallRangesShowTheirPowerOfTenAndNegativeDataPutTheAxisRight) {
    const GraphCurve c = Curve("x", "y");
    const std::vector<float> x{0, 0.002f}, y{-5, -1};
    const Drawn d = Draw({{{&c, x, y}}, Layout(GraphType::Normal), {}});
    const auto exponent = std::find_if(d.texts.begin(), d.texts.end(),
                                       [](const auto& t) { return t.first.text == "-3"; });
    ASSERT_NE(exponent, d.texts.end());
    EXPECT_EQ(exponent->second, FontRole::Exponent);
    EXPECT_EQ(exponent->first.at, (Point{425, 280}));  // the x axis stands at the top of the box
    EXPECT_EQ(d.FindText("x10")->at, (Point{430, 260}));
    EXPECT_TRUE(d.HasLine({-380, -250}, {-380, 333}));  // x data are not negative
    EXPECT_TRUE(d.HasLine({-380, 250}, {480, 250}));
}

TEST(Renderer, SweepBranchesGetDerivedColoursAndAParameterLegend) {
    const Sweep s;
    const GraphCurve c = Curve("x", "y");
    const Drawn d = Draw({{{&c, s.x, s.y}}, Layout(GraphType::Normal), s.info});
    const std::vector<GraphColour> colours = BranchColours(kBlue, 3);
    EXPECT_EQ(d.CurveColours(), colours);
    ASSERT_EQ(d.rects.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(d.rects[k].fill, colours[k]);
        EXPECT_EQ(d.rects[k].corner, LegendRow(k));
        EXPECT_EQ(d.rects[k].opposite, (Point{LegendRow(k).x + 30, LegendRow(k).y + 30}));
    }
    EXPECT_EQ(d.FindText("p=2")->at, LegendText(1));
    // No line runs back from the end of one sweep to the start of the next.
    const int curveLines = std::count_if(d.penLines.begin(), d.penLines.end(), [](const auto& l) {
        return l.second.width == kCurveWidth;
    });
    EXPECT_EQ(curveLines, 6);
}

TEST(Renderer, BranchesFollowTheParameterEvenWhenXDoesNotJumpAcrossTheBox) {
    const Sweep s;
    const GraphCurve c = Curve("y", "x");  // x no longer runs from one edge to the other
    const Drawn d = Draw({{{&c, s.y, s.x}}, Layout(GraphType::NormalPoints), s.info});
    EXPECT_EQ(d.CurveColours().size(), 3u);
    EXPECT_EQ(d.circles.size(), 9u);
    // Without the parameter column the jump across the box is what starts a branch.
    SweepInfo byJump = s.info;
    byJump.firstRows.clear();
    const Drawn j = Draw({{{&c, s.x, s.y}}, Layout(GraphType::Normal), byJump});
    EXPECT_EQ(j.CurveColours().size(), 3u);
}

TEST(Renderer, OneGraphOfSeveralCurvesHasACurveLegendInsteadOfBranchColours) {
    const Sweep s;
    const GraphCurve a = Curve("x", "y"), b = Curve("x", "z", MakeColour(200, 0, 0));
    const std::vector<float> z{1, 1, 1, 2, 2, 2, 3, 3, 3};
    const Drawn d = Draw({{{&a, s.x, s.y}, {&b, s.x, z}}, Layout(GraphType::Normal), s.info});
    EXPECT_EQ(d.CurveColours(), (std::vector<GraphColour>{kBlue, MakeColour(200, 0, 0)}));
    ASSERT_EQ(d.rects.size(), 2u);
    EXPECT_EQ(d.rects[1].fill, MakeColour(200, 0, 0));
    EXPECT_EQ(d.FindText("z")->at, LegendText(1));
    EXPECT_TRUE(d.HasText("y, z"));
    EXPECT_TRUE(d.HasText("y, zmax=6"));
    EXPECT_FALSE(d.HasText("p=1"));
}

TEST(Renderer, BarsLinesAndGaps) {
    const GraphCurve c = Curve("x", "y", MakeColour(0, 128, 0));
    const std::vector<float> x{0, 1, 1, 2, 3}, y{-1, 2, 3, 0, 4};
    const Drawn bars = Draw({{{&c, x, y}}, Layout(GraphType::Bar), {}});
    const int zero = -250 + 100;       // y = 0 on a range of -1..4
    ASSERT_EQ(bars.rects.size(), 3u);  // the bar of y = 0 is left out
    EXPECT_EQ(bars.rects[0].corner, (Point{-380, zero}));
    EXPECT_EQ(bars.rects[0].opposite, (Point{-127, -250}));
    EXPECT_EQ(bars.rects[0].fill, c.colour);
    EXPECT_TRUE(bars.rects[0].outline);
    EXPECT_FALSE(bars.rects[1].outline);  // no width: x did not move
    EXPECT_EQ(bars.pens.back().colour, kBlack);

    const Drawn stems = Draw({{{&c, x, y}}, Layout(GraphType::LinePoints), {}});
    EXPECT_TRUE(stems.HasLine({-380, zero}, {-380, -250}));
    EXPECT_EQ(stems.circles.size(), 5u);
    EXPECT_EQ(Draw({{{&c, x, y}}, Layout(GraphType::None), {}}).circles.size(), 0u);

    const std::vector<float> gx{0, 1, 2, 3}, gy{0, 1, kNaN, 3};
    const Drawn gap = Draw({{{&c, gx, gy}}, Layout(GraphType::Normal), {}});
    const int curveLines =
        std::count_if(gap.penLines.begin(), gap.penLines.end(),
                      [](const auto& l) { return l.second.width == kCurveWidth; });
    EXPECT_EQ(curveLines, 1);
}
