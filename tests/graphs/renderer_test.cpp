#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>

#include "graph_test_files.h"
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

struct Written {
    std::string text;
    FontRole font;
    double left, bottom, right, top;
};

// What a picture drew, with the pen or font in effect for each shape and text.
struct Drawn {
    std::vector<std::pair<op::Line, Pen>> lines;
    std::vector<op::Rect> rects;
    std::vector<op::Circle> circles;
    std::map<std::string, Shown> texts;  // the first place each text was written
    std::vector<Written> written;        // every text with the room it takes
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

// The room of a text is found by the picture's own measure of its width and a cell of the
// font's height split 4 to 1 at the baseline.
Drawn Draw(const PictureContent& content) {
    Picture picture;
    RenderPicture(picture, content);
    Drawn d;
    Pen pen;
    FontRole font = FontRole::General;
    TextAlign align = TextAlign::Left;
    for (const PictureOp& o : picture.Ops()) {
        if (auto* p = std::get_if<op::SetPen>(&o)) d.pens.push_back(pen = p->pen);
        if (auto* f = std::get_if<op::SetFont>(&o)) font = f->font;
        if (auto* a = std::get_if<op::SetTextAlign>(&o)) align = a->align;
        if (auto* l = std::get_if<op::Line>(&o)) d.lines.emplace_back(*l, pen);
        if (auto* r = std::get_if<op::Rect>(&o)) d.rects.push_back(*r);
        if (auto* c = std::get_if<op::Circle>(&o)) d.circles.push_back(*c);
        const auto* t = std::get_if<op::Text>(&o);
        if (t == nullptr) continue;
        d.texts.emplace(t->text, Shown{t->at, font});
        const double w = picture.TextWidth(font, t->text);
        const double left = t->at.x - (align == TextAlign::Centre  ? w / 2
                                       : align == TextAlign::Right ? w
                                                                   : 0.0);
        const double h = font == FontRole::General ? 30 : font == FontRole::Title ? 40 : 15;
        d.written.push_back({t->text, font, left, t->at.y - 0.2 * h, left + w, t->at.y + 0.8 * h});
    }
    return d;
}

GraphLayout Layout(GraphType type) {
    GraphLayout l;
    l.type = type;
    return l;
}

bool Overlap(const Written& a, const Written& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

// Texts that run off the frame or into each other. The exponent of a power of ten is raised
// against its "x10" on purpose.
std::vector<std::string> Collisions(const Drawn& d) {
    std::vector<std::string> faults;
    const std::vector<Written>& texts = d.written;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Written& a = texts[i];
        if (a.left < geometry::kFrameLeft || a.right > geometry::kFrameRight ||
            a.bottom < geometry::kFrameBottom || a.top > geometry::kFrameTop) {
            faults.push_back("'" + a.text + "' runs off the picture");
        }
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const Written& b = texts[j];
            const bool power = (a.font == FontRole::Exponent && b.text == "x10") ||
                               (b.font == FontRole::Exponent && a.text == "x10");
            if (!power && Overlap(a, b)) faults.push_back("'" + a.text + "' on '" + b.text + "'");
        }
    }
    return faults;
}

std::vector<float> Steps(float from, float step, int n) {
    std::vector<float> v;
    for (int i = 0; i < n; ++i) v.push_back(from + step * static_cast<float>(i));
    return v;
}

// Three sweeps of x over 0..2 for the parameter values 1, 2, 3 (y = p * x).
struct Sweep {
    std::vector<float> x{0, 1, 2, 0, 1, 2, 0, 1, 2};
    std::vector<float> y{0, 1, 2, 0, 2, 4, 0, 3, 6};
    SweepInfo info{"p", {1, 2, 3}, {0, 3, 6}};
};

// Forty branches of x over 0..1, the b-th with y = (b + 1) x at the parameter value b * step:
// more than the legend's column holds.
Sweep FortyBranches(const std::string& parameter, float step) {
    Sweep s{{}, {}, {parameter, {}, {}}};
    for (int b = 0; b < 40; ++b) {
        s.info.values.push_back(step * static_cast<float>(b));
        s.info.firstRows.push_back(s.x.size());
        for (float v : {0.0f, 1.0f}) {
            s.x.push_back(v);
            s.y.push_back(v * static_cast<float>(b + 1));
        }
    }
    return s;
}

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

    // Small ranges show their power of ten, and negative data put the x axis on top.
    const std::vector<float> small{0, 0.002f}, negative{-5, -1};
    const Drawn s = Draw({{{&c, small, negative}}, Layout(GraphType::Normal), {}});
    EXPECT_EQ(s.texts.at("-3").font, FontRole::Exponent);
    EXPECT_EQ(s.texts.at("-3").at, (Point{425, 280}));
    EXPECT_EQ(s.texts.at("x10").at, (Point{430, 260}));
    EXPECT_TRUE(s.HasLine({-380, 250}, {480, 250}));
}

TEST(Renderer, SweepBranchesDifferByColourOrWithSeveralCurvesByLineStyle) {
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

    // Branches follow the parameter even where x does not jump back across the box.
    const GraphCurve yx = Curve("y", "x");
    const Drawn swapped = Draw({{{&yx, s.y, s.x}}, Layout(GraphType::NormalPoints), s.info});
    EXPECT_EQ(swapped.CurveColours().size(), 3u);
    EXPECT_EQ(swapped.circles.size(), 9u);
    // Without the parameter column the jump across the box is what starts a branch.
    SweepInfo byJump = s.info;
    byJump.firstRows.clear();
    EXPECT_EQ(Draw({{{&c, s.x, s.y}}, Layout(GraphType::Normal), byJump}).CurveColours(), colours);

    // Curves that share a picture keep their colours on every branch of a sweep; the branches
    // of each parameter value take a line style, and the legend lists both.
    const GraphColour red = MakeColour(200, 0, 0);
    const GraphCurve b = Curve("x", "z", red);
    const std::vector<float> z{1, 1, 1, 2, 2, 2, 3, 3, 3};
    const Drawn two = Draw({{{&c, s.x, s.y}, {&b, s.x, z}}, Layout(GraphType::Normal), s.info});
    std::vector<std::pair<GraphColour, PenStyle>> curvePens, want;
    for (const Pen& p : two.pens) {
        if (p.width == kCurveWidth) curvePens.emplace_back(p.colour, p.style);
    }
    for (GraphColour colour : {kBlue, red, kBlack}) {  // each curve's branches, then the legend's
        for (PenStyle style : {PenStyle::Solid, PenStyle::Dashed, PenStyle::Dotted})
            want.emplace_back(colour, style);
    }
    EXPECT_EQ(curvePens, want);
    // The curves' squares, then a line of each branch's style beside its parameter value.
    ASSERT_EQ(two.rects.size(), 2u);
    EXPECT_EQ(two.rects[1].fill, red);
    EXPECT_EQ(two.texts.at("z").at, (Point{530, 230}));
    EXPECT_EQ(two.texts.at("p=2").at, (Point{530, 150}));
    EXPECT_TRUE(two.HasLine({490, 165}, {520, 165}));
    EXPECT_EQ(two.texts.count("y, z"), 1u);
    EXPECT_EQ(two.texts.count("y, zmax=6"), 1u);

    // Without a sweep, or with bars, there are no branches to tell apart.
    EXPECT_EQ(
        Draw({{{&c, s.x, s.y}, {&b, s.x, z}}, Layout(GraphType::Normal), {}}).texts.count("p=1"),
        0u);
    EXPECT_EQ(
        Draw({{{&c, s.x, s.y}, {&b, s.x, z}}, Layout(GraphType::Bar), s.info}).texts.count("p=1"),
        0u);
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

// Rows further down would run into the readouts (the 16 that reached the frame's bottom did).
TEST(Renderer, TheParameterLegendStopsAboveTheReadouts) {
    const Sweep s = FortyBranches("p", 1);
    const GraphCurve c = Curve("x", "y");
    const Drawn d = Draw({{{&c, s.x, s.y}}, Layout(GraphType::Normal), s.info});
    EXPECT_EQ(d.CurveColours().size(), 40u);  // every branch
    ASSERT_EQ(d.rects.size(), 10u);
    const Point ymax = d.texts.at("ymax=40").at;
    EXPECT_GE(d.rects.back().corner.y - 6, ymax.y + 24);  // the text's descent, the ascent
    EXPECT_EQ(d.texts.count("p=9"), 1u);
    EXPECT_EQ(d.texts.count("p=10"), 0u);
}

// With names of twenty letters, large numbers or the legend of a sweep, no text runs off the
// picture or into another.
TEST(RendererText, LongNamesAndLargeNumbersStayOnThePictureAndApart) {
    const std::string x20 = "abcdefghijklmnopqrst", y20 = "ABCDEFGHIJKLMNOPQRST";
    const GraphCurve a = Curve(x20, y20), b = Curve(x20, "mnopqrstuvwxyzabcdef"),
                     d = Curve(x20, "uvwxyzabcdefghijklmn");
    const GraphCurve shortNames = Curve("x", "y");
    GraphCurve titled = a;
    titled.title = std::string(200, 'T');
    const Sweep s = FortyBranches("a parameter of twenty", -12345.678f);
    struct Case {
        const char* name;
        std::vector<float> x, y;
        std::vector<const GraphCurve*> curves;
        SweepInfo sweep;
    };
    const Case cases[] = {
        {"negative", Steps(-12345.678f, 1000, 11), Steps(-250000, 100, 11), {&a}, {}},
        {"around zero", Steps(-5, 1, 11), Steps(-3, 1, 11), {&a, &b, &d}, {}},
        {"positive", Steps(0.5f, 1, 11), Steps(12345.678f, 0.001f, 11), {&titled}, {}},
        {"all negative", Steps(-100, 7, 11), Steps(-10, 0.6f, 11), {&a, &b}, {}},
        {"all negative, short names", Steps(-100, 7, 11), Steps(-10, 0.6f, 11), {&shortNames}, {}},
        {"sweep", s.x, s.y, {&a}, s.info},
        {"sweep of two curves", s.x, s.y, {&a, &b}, s.info},
    };
    for (const Case& k : cases) {
        PictureContent content{{}, Layout(GraphType::Normal), k.sweep};
        for (const GraphCurve* c : k.curves) content.curves.push_back({c, k.x, k.y});
        EXPECT_EQ(Collisions(Draw(content)), std::vector<std::string>{}) << k.name;
    }
}
