#include "graphs/graph_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "graphs/axis_ticks.h"
#include "graphs/plot_layout.h"

namespace graphs {

namespace {

using geometry::kHalfHeight;
using geometry::kHalfWidth;
constexpr int hw = kHalfWidth;
constexpr int hh = kHalfHeight;

std::string Printf(const char* format, double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

void Arrow(Canvas& c, Point a, Point tip, Point b) {
    c.Line(a, tip);
    c.Line(tip, b);
}

// "x10" with its exponent raised beside it; `at` is where "x10" ends.
void PowerOfTen(Canvas& c, Point at, Point exponentAt, int exponent) {
    c.SetTextAlign(TextAlign::Right);
    c.Text(at, "x10");
    c.SetFont(FontRole::Exponent);
    c.SetTextAlign(TextAlign::Left);
    c.Text(exponentAt, std::to_string(exponent));
    c.SetFont(FontRole::General);
}

std::string JoinedYTitles(const PictureContent& p) {
    std::string joined;
    for (const CurveSeries& s : p.curves) {
        if (!joined.empty()) joined += ", ";
        joined += s.curve->yTitle;
    }
    return joined;
}

bool CurveLegend(const PictureContent& p) {
    return p.layout.oneGraph && p.curves.size() >= 2;
}

void DrawAxes(Canvas& c, const PlotScale& s, const PictureContent& p) {
    const GraphLayout& l = p.layout;
    c.SetPen(kGridPen);
    if (l.verticalGrid) {
        c.Line({-hw, -hh}, {-hw, hh});
        c.Line({hw, -hh}, {hw, hh});
    }
    if (l.horizontalGrid) {
        c.Line({-hw, -hh}, {hw, -hh});
        c.Line({-hw, hh}, {hw, hh});
    }

    const StepInfo xs = NiceStep(s.x.min, s.x.max);
    c.SetTextAlign(TextAlign::Centre);
    for (const Tick& t : XTicks(s, xs)) {
        if (l.verticalGrid) {
            c.SetPen(kGridPen);
            c.Line({t.at.x, -hh}, {t.at.x, hh});
        }
        c.SetPen(kAxisPen);
        c.Line({t.at.x, t.at.y + 8}, {t.at.x, t.at.y - 8});
        c.Text({t.at.x, t.at.y - 30}, t.label);
    }
    const StepInfo ys = NiceStep(s.y.min, s.y.max);
    c.SetTextAlign(TextAlign::Right);
    for (const Tick& t : YTicks(s, ys)) {
        if (l.horizontalGrid) {
            c.SetPen(kGridPen);
            c.Line({-hw, t.at.y}, {hw, t.at.y});
        }
        c.SetPen(kAxisPen);
        c.Line({t.at.x - 8, t.at.y}, {t.at.x + 8, t.at.y});
        c.Text({t.at.x - 8, t.at.y - 10}, t.label);
    }

    c.SetPen(kAxisPen);
    const int ax = AxisPosition(s.x, s.sx, hw);
    c.Line({ax, -hh}, {ax, hh + 83});
    Arrow(c, {ax - 5, hh + 63}, {ax, hh + 83}, {ax + 5, hh + 63});
    if (ys.exponent != 0) PowerOfTen(c, {ax - 30, hh + 43}, {ax - 35, hh + 63}, ys.exponent);
    const int ay = AxisPosition(s.y, s.sy, hh);
    c.Line({-hw, ay}, {hw + 100, ay});
    Arrow(c, {hw + 80, ay - 5}, {hw + 100, ay}, {hw + 80, ay + 5});
    if (xs.exponent != 0) PowerOfTen(c, {hw + 50, ay + 10}, {hw + 45, ay + 30}, xs.exponent);

    const GraphCurve& first = *p.curves.front().curve;
    const std::string yTitles = JoinedYTitles(p);
    c.SetTextAlign(TextAlign::Left);
    c.Text({ax + 20, hh + 43}, yTitles);
    c.Text({hw + 60, ay - 30}, first.xTitle);
    if (CurveLegend(p)) {
        for (std::size_t k = 0; k < LegendRowsShown(p.curves.size()); ++k) {
            const Point at = LegendRow(static_cast<int>(k));
            c.Rect(at, {at.x + 30, at.y + 30}, p.curves[k].curve->colour, false);
            c.Text(LegendText(static_cast<int>(k)), p.curves[k].curve->yTitle);
        }
    }

    c.Text({hw + 110, -hh}, FormatReadout(first.xTitle + "min", s.x.min));
    c.Text({hw + 110, -hh + 30}, FormatReadout(first.xTitle + "max", s.x.max));
    c.Text({hw + 110, -hh + 60}, FormatReadout(yTitles + "min", s.y.min));
    c.Text({hw + 110, -hh + 90}, FormatReadout(yTitles + "max", s.y.max));

    c.SetFont(FontRole::Title);
    c.SetTextAlign(TextAlign::Centre);
    c.Text({0, -hh - 90}, first.title);
    c.SetFont(FontRole::General);
    c.SetTextAlign(TextAlign::Left);
}

// Where a sweep over a second parameter starts a new branch of a curve.
class BranchRule {
   public:
    explicit BranchRule(const SweepInfo& sweep) : sweep_(sweep) {}
    // Row `row` starts a new branch. A file whose parameter column is known branches where
    // the parameter changes; otherwise a jump of x from one side of the box to the other
    // marks the start of the next sweep.
    bool Starts(std::size_t row, std::optional<Point> prev, Point p) const {
        if (sweep_.name.empty()) return false;
        if (!sweep_.firstRows.empty()) {
            return row > 0 &&
                   std::binary_search(sweep_.firstRows.begin(), sweep_.firstRows.end(), row);
        }
        return prev && std::abs(p.x - prev->x) >= 2 * hw;
    }

   private:
    const SweepInfo& sweep_;
};

// Draws one curve; returns the colours of its branches.
std::vector<GraphColour> DrawCurve(Canvas& c, const PlotScale& s, const PictureContent& p,
                                   const CurveSeries& series) {
    const GraphType type = p.layout.type;
    const GraphColour own = series.curve->colour;
    BranchPalette palette(own);
    std::vector<GraphColour> colours{own};
    // Bars are outlined in black with a thin pen; their fill carries the colour.
    if (type == GraphType::Bar) {
        c.SetPen({kBlack, PenStyle::Solid, 1});
    } else {
        c.SetPen({own, PenStyle::Solid, kCurveWidth});
    }

    const int zero = MapPoint(s, 0.0, 0.0).y;
    const bool connected = type == GraphType::Normal || type == GraphType::NormalPoints;
    const bool points = type == GraphType::NormalPoints || type == GraphType::LinePoints;
    const bool newPens = !CurveLegend(p);
    const BranchRule branches(p.sweep);
    const std::size_t n = std::min(series.x.size(), series.y.size());
    std::optional<Point> prev;
    for (std::size_t i = 0; i < n; ++i) {
        const bool finite = std::isfinite(series.x[i]) && std::isfinite(series.y[i]);
        const Point pt = finite ? MapPoint(s, series.x[i], series.y[i]) : Point{};
        if (connected && branches.Starts(i, prev, pt)) {
            prev.reset();
            if (newPens) {
                colours.push_back(palette.Next());
                c.SetPen({colours.back(), PenStyle::Solid, kCurveWidth});
            }
        }
        if (!finite) {  // an unreadable or infinite value leaves a gap
            prev.reset();
            continue;
        }
        switch (type) {
            case GraphType::Normal:
            case GraphType::NormalPoints:
                if (prev) c.Line(*prev, pt);
                break;
            case GraphType::Bar:
                if (prev && prev->y != zero) {
                    c.Rect({prev->x, zero}, {pt.x, prev->y}, own, prev->x != pt.x);
                }
                break;
            case GraphType::Line:
            case GraphType::LinePoints:
            case GraphType::None: c.Line({pt.x, zero}, pt); break;
        }
        if (points) c.Circle(pt, kPointRadius);
        prev = pt;
    }
    return colours;
}

void DrawParameterLegend(Canvas& c, const SweepInfo& sweep,
                         const std::vector<GraphColour>& colours) {
    const std::size_t rows = LegendRowsShown(std::min(sweep.values.size(), colours.size()));
    c.SetTextAlign(TextAlign::Left);
    for (std::size_t k = 0; k < rows; ++k) {
        const Point at = LegendRow(static_cast<int>(k));
        c.Rect(at, {at.x + 30, at.y + 30}, colours[k], false);
        c.Text(LegendText(static_cast<int>(k)), sweep.name + Printf("=%.6g", sweep.values[k]));
    }
}

}  // namespace

void RenderPicture(Canvas& canvas, const PictureContent& content) {
    if (content.curves.empty()) return;
    std::optional<Range> xr, yr;
    for (const CurveSeries& s : content.curves) {
        xr = Merge(xr, FiniteRange(s.x));
        yr = Merge(yr, FiniteRange(s.y));
    }
    if (!xr || !yr) return;
    const std::optional<PlotScale> scale = MakeScale(*xr, *yr);
    if (!scale) return;

    canvas.SetFont(FontRole::General);
    canvas.SetTextAlign(TextAlign::Left);
    DrawAxes(canvas, *scale, content);
    std::vector<GraphColour> firstColours;
    for (const CurveSeries& s : content.curves) {
        std::vector<GraphColour> colours = DrawCurve(canvas, *scale, content, s);
        if (firstColours.empty()) firstColours = std::move(colours);
    }
    if (!CurveLegend(content) && !content.sweep.name.empty()) {
        DrawParameterLegend(canvas, content.sweep, firstColours);
    }
}

}  // namespace graphs
