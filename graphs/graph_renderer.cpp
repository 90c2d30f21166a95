#include "graphs/graph_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>

#include "graphs/axis_ticks.h"
#include "graphs/picture_texts.h"
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

bool Connected(GraphType type) {
    return type == GraphType::Normal || type == GraphType::NormalPoints;
}

// Several curves in one picture keep their colours on every branch of a sweep, so the
// branches differ by the style of their lines.
bool StyledBranches(const PictureContent& p) {
    return CurveLegend(p) && !p.sweep.name.empty() && Connected(p.layout.type);
}

std::string ParameterText(const SweepInfo& sweep, std::size_t k) {
    return sweep.name + Printf("=%.6g", sweep.values[k]);
}

// The legend's rows: one per curve when curves share the picture, then one per parameter
// value of a sweep, shown by the style of its lines or, for a single curve, by the colour of
// its branch (those colours are known once the curve is drawn).
std::vector<LegendEntry> LegendEntries(const PictureContent& p) {
    std::vector<LegendEntry> rows;
    if (CurveLegend(p)) {
        for (const CurveSeries& s : p.curves)
            rows.push_back({false, s.curve->colour, {}, s.curve->yTitle});
    }
    if (p.sweep.name.empty() || (CurveLegend(p) && !StyledBranches(p))) return rows;
    for (std::size_t k = 0; k < p.sweep.values.size(); ++k) {
        const Pen pen{kBlack, BranchStyle(k), kCurveWidth};
        rows.push_back({StyledBranches(p), kBlack, pen, ParameterText(p.sweep, k)});
    }
    return rows;
}

void DrawLegendRow(Canvas& c, Point at, const LegendEntry& e, GraphColour colour,
                   const std::string& text) {
    if (e.line) {
        c.SetPen(e.pen);
        c.Line({at.x, at.y + kLegendSwatch / 2}, {at.x + kLegendSwatch, at.y + kLegendSwatch / 2});
    } else {
        c.Rect(at, {at.x + kLegendSwatch, at.y + kLegendSwatch}, colour, false);
    }
    c.Text({at.x + kLegendTextOffset, at.y}, text);
}

void DrawTexts(Canvas& c, const std::vector<PlacedText>& texts) {
    FontRole font = FontRole::General;
    TextAlign align = TextAlign::Left;
    for (const PlacedText& t : texts) {
        if (t.font != font) c.SetFont(font = t.font);
        if (t.align != align) c.SetTextAlign(align = t.align);
        c.Text(t.at, t.text);
    }
    c.SetFont(FontRole::General);
    c.SetTextAlign(TextAlign::Left);
}

void DrawAxes(Canvas& c, const PlotScale& s, const PictureContent& p, const TextLayout& texts,
              const std::vector<LegendEntry>& legend) {
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
    for (const Tick& t : XTicks(s, NiceStep(s.x.min, s.x.max))) {
        if (l.verticalGrid) {
            c.SetPen(kGridPen);
            c.Line({t.at.x, -hh}, {t.at.x, hh});
        }
        c.SetPen(kAxisPen);
        c.Line({t.at.x, t.at.y + 8}, {t.at.x, t.at.y - 8});
    }
    for (const Tick& t : YTicks(s, NiceStep(s.y.min, s.y.max))) {
        if (l.horizontalGrid) {
            c.SetPen(kGridPen);
            c.Line({-hw, t.at.y}, {hw, t.at.y});
        }
        c.SetPen(kAxisPen);
        c.Line({t.at.x - 8, t.at.y}, {t.at.x + 8, t.at.y});
    }

    c.SetPen(kAxisPen);
    const int ax = AxisPosition(s.x, s.sx, hw);
    c.Line({ax, -hh}, {ax, hh + 83});
    Arrow(c, {ax - 5, hh + 63}, {ax, hh + 83}, {ax + 5, hh + 63});
    const int ay = AxisPosition(s.y, s.sy, hh);
    c.Line({-hw, ay}, {hw + 100, ay});
    Arrow(c, {hw + 80, ay - 5}, {hw + 100, ay}, {hw + 80, ay + 5});

    DrawTexts(c, texts.texts);
    if (CurveLegend(p)) {
        const std::size_t rows = std::min(p.curves.size(), texts.legendRows.size());
        for (std::size_t k = 0; k < rows; ++k) {
            DrawLegendRow(c, texts.legendRows[k], legend[k], legend[k].colour,
                          texts.legendTexts[k]);
        }
    }
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
    const bool connected = Connected(type);
    const bool points = type == GraphType::NormalPoints || type == GraphType::LinePoints;
    const bool newPens = !CurveLegend(p);
    const bool styled = StyledBranches(p);
    std::size_t branch = 0;
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
            } else if (styled) {
                c.SetPen({own, BranchStyle(++branch), kCurveWidth});
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

// After the curves: the rows of a single curve's branches take the colours it was drawn in.
void DrawParameterLegend(Canvas& c, const PictureContent& p, const TextLayout& texts,
                         const std::vector<LegendEntry>& legend,
                         const std::vector<GraphColour>& colours) {
    const std::size_t first = CurveLegend(p) ? p.curves.size() : 0;
    std::size_t rows = texts.legendRows.size();
    if (!StyledBranches(p)) rows = std::min(rows, first + colours.size());
    for (std::size_t k = first; k < rows; ++k) {
        const GraphColour colour = legend[k].line ? kBlack : colours[k - first];
        DrawLegendRow(c, texts.legendRows[k], legend[k], colour, texts.legendTexts[k]);
    }
}

}  // namespace

PenStyle BranchStyle(std::size_t k) {
    constexpr PenStyle kStyles[] = {PenStyle::Solid, PenStyle::Dashed, PenStyle::Dotted,
                                    PenStyle::DashDotted, PenStyle::DashDotDotted};
    return kStyles[k % std::size(kStyles)];
}

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

    const GraphCurve& first = *content.curves.front().curve;
    const AxisTexts axis{first.xTitle, JoinedYTitles(content), first.title, scale->x, scale->y};
    const std::vector<LegendEntry> legend = LegendEntries(content);
    const TextLayout texts = LayOutTexts(canvas, *scale, axis, legend);

    canvas.SetFont(FontRole::General);
    canvas.SetTextAlign(TextAlign::Left);
    DrawAxes(canvas, *scale, content, texts, legend);
    std::vector<GraphColour> firstColours;
    for (const CurveSeries& s : content.curves) {
        std::vector<GraphColour> colours = DrawCurve(canvas, *scale, content, s);
        if (firstColours.empty()) firstColours = std::move(colours);
    }
    if (!content.sweep.name.empty()) {
        DrawParameterLegend(canvas, content, texts, legend, firstColours);
    }
}

}  // namespace graphs
