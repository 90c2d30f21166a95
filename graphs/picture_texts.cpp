#include "graphs/picture_texts.h"

#include <algorithm>
#include <cmath>

#include "graphs/axis_ticks.h"
#include "graphs/text_layout.h"

namespace graphs {

namespace {

using geometry::kHalfHeight;
using geometry::kHalfWidth;
constexpr int hw = kHalfWidth;
constexpr int hh = kHalfHeight;
// Texts keep this far inside the frame, so that no device cuts a glyph's edge.
constexpr int kPad = 5;

class Placer {
   public:
    Placer(const Canvas& canvas, TextLayout& out) : canvas_(canvas), out_(out) {}

    double Width(FontRole font, const std::string& text) const {
        return canvas_.TextWidth(font, text);
    }
    const std::vector<Box>& Placed() const { return placed_; }
    void Keep(const Box& box) { placed_.push_back(box); }

    // A text is kept with a clearance around it, so that what comes later keeps apart from it.
    void Place(PlacedText t) {
        placed_.push_back(TextBox(t.at, t.align, t.font, Width(t.font, t.text)).Grown(kClearance));
        out_.texts.push_back(std::move(t));
    }

    // Places a left-aligned text at `at`, or as near as it stands clear of what is placed,
    // moving up (step > 0) or down; where nothing is clear, at `at`.
    void PlaceClear(PlacedText t, int step, int limit) {
        const double w = Width(t.font, t.text);
        const StackItem item{static_cast<double>(t.at.x), t.at.x + w, Descent(t.font),
                             Ascent(t.font)};
        const std::vector<int> at = Stack({item}, t.at.y, step, limit, placed_);
        if (!at.empty()) t.at.y = at.front();
        Place(std::move(t));
    }

   private:
    const Canvas& canvas_;
    TextLayout& out_;
    std::vector<Box> placed_;
};

void PowerOfTen(Placer& p, Point at, Point exponentAt, int exponent) {
    p.Place({at, FontRole::General, TextAlign::Right, "x10"});
    p.Place({exponentAt, FontRole::Exponent, TextAlign::Left, std::to_string(exponent)});
}

// Right of the axis when the labels do not fit left of it: a narrow range far from zero has
// labels of many digits.
void PlaceYLabels(Placer& p, const std::vector<Tick>& ticks, int ax) {
    double widest = 0;
    for (const Tick& t : ticks) widest = std::max(widest, p.Width(FontRole::General, t.label));
    const bool right = ax - 8 - widest < geometry::kFrameLeft + kPad;
    for (const Tick& t : ticks) {
        p.Place({{right ? t.at.x + 8 : t.at.x - 8, t.at.y - 10},
                 FontRole::General,
                 right ? TextAlign::Left : TextAlign::Right,
                 t.label});
    }
}

void PlaceXLabels(Placer& p, const std::vector<Tick>& ticks, const StepInfo& step) {
    const double t = step.mantissa * std::pow(10.0, step.exponent);
    std::vector<Box> boxes;
    std::vector<double> multiples;
    for (const Tick& tick : ticks) {
        const Point at{tick.at.x, tick.at.y - 30};
        boxes.push_back(TextBox(at, TextAlign::Centre, FontRole::General,
                                p.Width(FontRole::General, tick.label)));
        multiples.push_back(std::round(tick.value / t));
    }
    const std::vector<bool> shown = LabelsShown(boxes, multiples, p.Placed());
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (shown[i]) {
            p.Place({{ticks[i].at.x, ticks[i].at.y - 30},
                     FontRole::General,
                     TextAlign::Centre,
                     ticks[i].label});
        }
    }
}

// Bottom up from the lowest: x min, x max, y min, y max. A readout wider than the margin
// writes its value under its name. Returns the top of the highest.
double PlaceReadouts(Placer& p, const AxisTexts& a) {
    struct Readout {
        const std::string& name;
        const char* which;
        double value;
    };
    const Readout readouts[] = {{a.xTitle, "min", a.x.min},
                                {a.xTitle, "max", a.x.max},
                                {a.yTitle, "min", a.y.min},
                                {a.yTitle, "max", a.y.max}};
    std::vector<std::string> lines;
    for (const Readout& r : readouts) {
        std::string whole = FormatReadout(r.name + r.which, r.value);
        if (p.Width(FontRole::General, whole) <= margin::kWidest) {
            lines.push_back(std::move(whole));
        } else {
            lines.push_back(FormatReadout(r.which, r.value));
            lines.push_back(r.name);
        }
    }
    std::vector<StackItem> items;
    for (const std::string& line : lines) {
        const double w = p.Width(FontRole::General, line);
        const double left = MarginStart(w);
        items.push_back({left, left + w, Descent(FontRole::General), Ascent(FontRole::General)});
    }
    const std::vector<int> at =
        Stack(items, -hh, kReadoutStep, geometry::kFrameTop - kPad, p.Placed());
    double top = -hh;
    for (std::size_t i = 0; i < at.size(); ++i) {
        p.Place({{static_cast<int>(std::floor(items[i].left)), at[i]},
                 FontRole::General,
                 TextAlign::Left,
                 lines[i]});
        top = std::max(top, at[i] + items[i].above);
    }
    return top;
}

}  // namespace

TextLayout LayOutTexts(const Canvas& canvas, const PlotScale& s, const AxisTexts& a,
                       const std::vector<LegendEntry>& legend) {
    TextLayout out;
    Placer p(canvas, out);
    const int ax = AxisPosition(s.x, s.sx, hw);
    const int ay = AxisPosition(s.y, s.sy, hh);
    p.Keep({static_cast<double>(hw), ay - 5.0, hw + 100.0, ay + 5.0});  // the arrows
    p.Keep({ax - 5.0, static_cast<double>(hh), ax + 5.0, hh + 83.0});

    const StepInfo xs = NiceStep(s.x.min, s.x.max);
    const StepInfo ys = NiceStep(s.y.min, s.y.max);
    if (ys.exponent != 0) PowerOfTen(p, {ax - 30, hh + 43}, {ax - 35, hh + 63}, ys.exponent);
    if (xs.exponent != 0) PowerOfTen(p, {hw + 50, ay + 10}, {hw + 45, ay + 30}, xs.exponent);
    PlaceYLabels(p, YTicks(s, ys), ax);

    const FontRole general = FontRole::General;
    const std::string xTitle = FitText(canvas, general, a.xTitle, margin::kRight - (hw + 60));
    p.PlaceClear({{hw + 60, ay - 30}, general, TextAlign::Left, xTitle}, -1,
                 geometry::kFrameBottom + kPad);
    const std::string yTitle = FitText(canvas, general, a.yTitle, margin::kRight - (ax + 20));
    p.PlaceClear({{ax + 20, hh + 43}, general, TextAlign::Left, yTitle}, 1,
                 geometry::kFrameTop - kPad);
    PlaceXLabels(p, XTicks(s, xs), xs);
    const std::string title =
        FitText(canvas, FontRole::Title, a.title, 2.0 * (0 - geometry::kFrameLeft - kPad));
    p.Place({{0, -hh - 90}, FontRole::Title, TextAlign::Centre, title});

    // The names the readouts show are cut to the margin, not to the titles' room.
    AxisTexts readoutNames = a;
    readoutNames.xTitle = FitText(canvas, general, a.xTitle, margin::kWidest);
    readoutNames.yTitle = FitText(canvas, general, a.yTitle, margin::kWidest);
    const double readoutTop = PlaceReadouts(p, readoutNames);

    std::vector<StackItem> rows;
    for (const LegendEntry& e : legend) {
        std::string text = FitText(canvas, general, e.text, margin::kWidest - kLegendTextOffset);
        const double w = kLegendTextOffset + p.Width(general, text);
        const double left = MarginStart(w);
        rows.push_back({left, left + w, Descent(general), kLegendSwatch});
        out.legendTexts.push_back(std::move(text));
    }
    const std::vector<int> at =
        Stack(rows, hh + 20, -kLegendStep, static_cast<int>(std::ceil(readoutTop)), p.Placed());
    for (std::size_t i = 0; i < at.size(); ++i) {
        out.legendRows.push_back({static_cast<int>(std::floor(rows[i].left)), at[i]});
    }
    out.legendTexts.resize(at.size());
    return out;
}

}  // namespace graphs
