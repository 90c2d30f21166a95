#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>

#include "graphs/graph_renderer.h"
#include "graphs/picture.h"
#include "graphs/plot_layout.h"

using namespace graphs;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Shown {
    Point at;
    FontRole font;
};

// What a picture drew, with the pen or font in effect for each shape and text.
struct Drawn {
    std::vector<std::pair<op::Line, Pen>> lines;
    std::vector<op::Rect> rects;
    std::vector<op::Circle> circles;
    std::map<std::string, Shown> texts;  // the first place each text was written
    std::vector<Pen> pens;

    bool HasLine(Point a, Point b) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const auto& l) { return l.first.from == a && l.first.to == b; });
    }
    long LinesWith(int width) const {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const auto& l) { return l.second.width == width; });
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
        if (auto* p = std::get_if<op::SetPen>(&o)) d.pens.push_back(pen = p->pen);
        if (auto* f = std::get_if<op::SetFont>(&o)) font = f->font;
        if (auto* l = std::get_if<op::Line>(&o)) d.lines.emplace_back(*l, pen);
        if (auto* r = std::get_if<op::Rect>(&o)) d.rects.push_back(*r);
        if (auto* c = std::get_if<op::Circle>(&o)) d.circles.push_back(*c);
        if (auto* t = std::get_if<op::Text>(&o)) d.texts.emplace(t->text, Shown{t->at, font});
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

GraphLayout Layout(GraphType type) {
    GraphLayout l;
    l.type = type;
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
    const std::pair<const char*, Point> texts[] = {
        {"6.75", {353, -280}},                            // centred 30 below the x axis
        {"0.75", {-299, -280}},    {"100", {-388, 240}},  // right end 8 left of the y axis
        {"tmin=0", {490, -250}},   {"tmax=7", {490, -220}}, {"umin=0", {490, -190}},
        {"umax=100", {490, -160}}, {"u", {-360, 293}},      {"t", {440, -280}},
        {"Title", {0, -340}}};
    for (auto [text, at] : texts) {
        ASSERT_EQ(d.texts.count(text), 1u) << text;
        EXPECT_EQ(d.texts.at(text).at, at) << text;
    }
    EXPECT_EQ(d.texts.at("Title").font, FontRole::Title);
    EXPECT_EQ(d.texts.count("x10"), 0u);
    EXPECT_TRUE(d.HasLine({-380, -250}, {-380, 333}));  // axes with arrow heads
    EXPECT_TRUE(d.HasLine({-380, 333}, {-375, 313}));
    EXPECT_TRUE(d.HasLine({-380, -250}, {480, -250}));
    EXPECT_EQ(d.LinesWith(kGridPen.width), 4 + 9 + 10);  // box edges and one per tick
    EXPECT_TRUE(d.HasLine({-380, -250}, {0, 250}));      // the curve through its points
    EXPECT_TRUE(d.HasLine({0, 250}, {380, 0}));
}

TEST(Renderer, SmallRangesShowTheirPowerOfTenAndNegativeDataPutTheAxisOnTop) {
    const GraphCurve c = Curve("x", "y");
    const std::vector<float> x{0, 0.002f}, y{-5, -1};
    const Drawn d = Draw({{{&c, x, y}}, Layout(GraphType::Normal), {}});
    EXPECT_EQ(d.texts.at("-3").font, FontRole::Exponent);
    EXPECT_EQ(d.texts.at("-3").at, (Point{425, 280}));
    EXPECT_EQ(d.texts.at("x10").at, (Point{430, 260}));
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
        EXPECT_EQ(d.rects[k].corner, (Point{490, 270 - 40 * k}));  // down the right margin
        EXPECT_EQ(d.rects[k].opposite, (Point{520, 300 - 40 * k}));
    }
    EXPECT_EQ(d.texts.at("p=2").at, (Point{530, 230}));
    EXPECT_EQ(d.LinesWith(kCurveWidth), 6);  // nothing runs back from one sweep to the next
}

TEST(Renderer, BranchesFollowTheParameterEvenWhenXDoesNotJumpAcrossTheBox) {
    const Sweep s;
    const GraphCurve c = Curve("y", "x");
    const Drawn d = Draw({{{&c, s.y, s.x}}, Layout(GraphType::NormalPoints), s.info});
    EXPECT_EQ(d.CurveColours().size(), 3u);
    EXPECT_EQ(d.circles.size(), 9u);
    // Without the parameter column the jump across the box is what starts a branch.
    SweepInfo byJump = s.info;
    byJump.firstRows.clear();
    EXPECT_EQ(Draw({{{&c, s.x, s.y}}, Layout(GraphType::Normal), byJump}).CurveColours().size(),
              3u);
}

TEST(Renderer, OneGraphOfSeveralCurvesHasACurveLegendInsteadOfBranchColours) {
    const Sweep s;
    const GraphCurve a = Curve("x", "y"), b = Curve("x", "z", MakeColour(200, 0, 0));
    const std::vector<float> z{1, 1, 1, 2, 2, 2, 3, 3, 3};
    const Drawn d = Draw({{{&a, s.x, s.y}, {&b, s.x, z}}, Layout(GraphType::Normal), s.info});
    EXPECT_EQ(d.CurveColours(), (std::vector<GraphColour>{kBlue, MakeColour(200, 0, 0)}));
    ASSERT_EQ(d.rects.size(), 2u);
    EXPECT_EQ(d.rects[1].fill, MakeColour(200, 0, 0));
    EXPECT_EQ(d.texts.at("z").at, LegendText(1));
    EXPECT_EQ(d.texts.count("y, z"), 1u);
    EXPECT_EQ(d.texts.count("y, zmax=6"), 1u);
    EXPECT_EQ(d.texts.count("p=1"), 0u);
}

TEST(Renderer, BarsStemsAndGaps) {
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
    EXPECT_EQ(Draw({{{&c, gx, gy}}, Layout(GraphType::Normal), {}}).LinesWith(kCurveWidth), 1);
}

TEST(Renderer, TheParameterLegendStopsAtTheBottomOfThePicture) {
    constexpr int kBranches = 40;
    std::vector<float> x, y;
    SweepInfo info{"p", {}, {}};
    for (int b = 0; b < kBranches; ++b) {
        info.values.push_back(static_cast<float>(b));
        info.firstRows.push_back(x.size());
        for (float v : {0.0f, 1.0f}) {
            x.push_back(v);
            y.push_back(v * static_cast<float>(b + 1));
        }
    }
    const GraphCurve c = Curve("x", "y");
    const Drawn d = Draw({{{&c, x, y}}, Layout(GraphType::Normal), info});
    EXPECT_EQ(d.CurveColours().size(), static_cast<std::size_t>(kBranches));  // every branch
    ASSERT_EQ(d.rects.size(), 16u);
    EXPECT_GE(d.rects.back().corner.y, geometry::kFrameBottom);
    EXPECT_EQ(d.texts.count("p=15"), 1u);
    EXPECT_EQ(d.texts.count("p=16"), 0u);
}
