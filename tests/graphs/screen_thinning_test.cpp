#include "graphs/screen_thinning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

using namespace graphs;

namespace {

// About a pixel for every 2.6 units of the picture: the window at zoom 1 on a 96 dpi screen.
constexpr PixelGrid kScreen{0.3775, 0.4, 0.7};

struct Span {
    int low, high;
};

std::vector<op::Line> Lines(const Picture& p) {
    std::vector<op::Line> lines;
    for (const PictureOp& o : p.Ops()) {
        if (const auto* l = std::get_if<op::Line>(&o)) lines.push_back(*l);
    }
    return lines;
}

// The lowest and highest vertex of the joined lines in each pixel column: what a column of the
// drawing covers. A line joining two columns contributes its ends to both.
std::map<int, Span> ColumnSpans(const Picture& p, const PixelGrid& grid) {
    std::map<int, Span> spans;
    for (const op::Line& l : Lines(p)) {
        for (Point v : {l.from, l.to}) {
            auto [it, fresh] = spans.try_emplace(grid.Column(v.x), Span{v.y, v.y});
            if (!fresh)
                it->second = {std::min(it->second.low, v.y), std::max(it->second.high, v.y)};
        }
    }
    return spans;
}

// A noisy wave of `n` joined lines across the plot box, as a curve of many rows draws.
Picture Wave(int n) {
    Picture p;
    p.SetPen({kBlue, PenStyle::Solid, 3});
    Point prev{-380, 0};
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const Point next{static_cast<int>(-380 + 760 * t),
                         static_cast<int>(200 * std::sin(40 * t) + 40 * std::sin(9000 * t))};
        p.Line(prev, next);
        prev = next;
    }
    return p;
}

}  // namespace

TEST(ScreenThinning, AJoinedCurveKeepsEveryColumnsExtremesAndItsEnds) {
    const Picture full = Wave(200000);
    const Picture thin = ThinForScreen(full, kScreen);
    const std::vector<op::Line> lines = Lines(thin);
    // At most first, lowest, highest and last of each of the box's ~290 columns.
    EXPECT_LE(lines.size(), 4u * 290u);
    std::map<int, Span> want = ColumnSpans(full, kScreen), got = ColumnSpans(thin, kScreen);
    ASSERT_EQ(got.size(), want.size());
    for (const auto& [column, span] : want) {
        EXPECT_EQ(got[column].low, span.low) << "column " << column;
        EXPECT_EQ(got[column].high, span.high) << "column " << column;
    }
    // Still one chain from the curve's first point to its last.
    const std::vector<op::Line> all = Lines(full);
    EXPECT_EQ(lines.front().from, all.front().from);
    EXPECT_EQ(lines.back().to, all.back().to);
    for (std::size_t i = 1; i < lines.size(); ++i) ASSERT_EQ(lines[i].from, lines[i - 1].to);
}

TEST(ScreenThinning, KeptVerticesStayInTheOrderTheyCame) {
    // One column: down to -50, up to 90, back to 10. The high point came after the low one.
    Picture p;
    const Point v[] = {{0, 0}, {0, -50}, {1, 20}, {0, 90}, {1, 10}, {40, 10}};
    for (std::size_t i = 1; i < std::size(v); ++i) p.Line(v[i - 1], v[i]);
    const std::vector<op::Line> lines = Lines(ThinForScreen(p, kScreen));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].to, (Point{0, -50}));
    EXPECT_EQ(lines[1].to, (Point{0, 90}));
    EXPECT_EQ(lines[2].to, (Point{1, 10}));
    EXPECT_EQ(lines[3].to, (Point{40, 10}));
}

TEST(ScreenThinning, StemsAtOneXBecomeOneAndGapsStay) {
    Picture p;
    p.SetPen({kBlue, PenStyle::Solid, 3});
    for (int y : {30, -20, 80, 5}) p.Line({100, 0}, {100, y});  // one x, all through zero
    p.Line({101, 0}, {101, 40});
    p.Line({101, 60}, {101, 70});  // does not touch the one before: a gap on the screen too
    const std::vector<op::Line> lines = Lines(ThinForScreen(p, kScreen));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].from, (Point{100, -20}));
    EXPECT_EQ(lines[0].to, (Point{100, 80}));
    EXPECT_EQ(lines[1].to, (Point{101, 40}));
    EXPECT_EQ(lines[2].from, (Point{101, 60}));
}

TEST(ScreenThinning, CirclesOncePerPixelAndPenAndInvisibleBarsLeftOut) {
    Picture p;
    p.SetPen({kBlue, PenStyle::Solid, 3});
    p.Line({0, 0}, {10, 10});  // three columns
    p.Circle({0, 0}, 7);
    p.Line({10, 10}, {20, 0});
    p.Circle({-1, -1}, 7);  // nearest the same pixel corner as {0, 0}
    p.Circle({40, 40}, 7);
    p.SetPen({kBlack, PenStyle::Solid, 3});
    p.Circle({0, 0}, 7);  // another pen: drawn again
    p.Rect({5, 0}, {5, 30}, kBlue, false);
    p.Rect({5, 0}, {5, 30}, kBlue, true);  // the outline still shows
    p.Text({0, 0}, "t");
    const Picture thin = ThinForScreen(p, kScreen);
    int circles = 0, rects = 0, lines = 0;
    for (const PictureOp& o : thin.Ops()) {
        circles += std::holds_alternative<op::Circle>(o);
        rects += std::holds_alternative<op::Rect>(o);
        lines += std::holds_alternative<op::Line>(o);
    }
    EXPECT_EQ(circles, 3);
    EXPECT_EQ(rects, 1);
    EXPECT_EQ(lines, 2);  // the circles did not break the curve into pieces
    // The circles follow their pen's lines and stay before the next pen and the text.
    ASSERT_EQ(thin.Ops().size(), 9u);
    EXPECT_TRUE(std::holds_alternative<op::Circle>(thin.Ops()[3]));
    EXPECT_TRUE(std::holds_alternative<op::SetPen>(thin.Ops()[5]));
    EXPECT_TRUE(std::holds_alternative<op::Text>(thin.Ops().back()));
}

TEST(ScreenThinning, TheCopyIsMadeAgainOnlyForANewPictureOrGrid) {
    auto picture = std::make_shared<Picture>(Wave(100000));
    ScreenCopy copy;
    const PictureOp* made = copy.For(picture, kScreen).Ops().data();
    const std::size_t ops = copy.For(picture, kScreen).Ops().size();
    // Scrolled by whole pixels: the same pixels, the same copy.
    const PixelGrid scrolled{kScreen.scale, kScreen.left - 300, kScreen.top + 12};
    EXPECT_TRUE(scrolled.ThinsLike(kScreen));
    EXPECT_EQ(copy.For(picture, scrolled).Ops().data(), made);
    const PixelGrid zoomed{2 * kScreen.scale, kScreen.left, kScreen.top};
    EXPECT_FALSE(zoomed.ThinsLike(kScreen));
    EXPECT_FALSE(PixelGrid({kScreen.scale, kScreen.left + 0.5, kScreen.top}).ThinsLike(kScreen));
    EXPECT_GT(copy.For(picture, zoomed).Ops().size(), ops);  // twice the columns
    EXPECT_TRUE(copy.For(std::make_shared<Picture>(), zoomed).Empty());
}
