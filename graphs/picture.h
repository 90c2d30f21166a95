#pragma once

#include <string>
#include <variant>
#include <vector>

#include "graphs/canvas.h"
#include "graphs/text_layout.h"

namespace graphs {

namespace op {
struct SetPen {
    Pen pen;
};
struct SetFont {
    FontRole font;
};
struct SetTextAlign {
    TextAlign align;
};
struct Line {
    Point from, to;
};
struct Rect {
    Point corner, opposite;
    GraphColour fill;
    bool outline;
};
struct Circle {
    Point centre;
    int radius;
};
struct Text {
    Point at;
    std::string text;
};
}  // namespace op

using PictureOp = std::variant<op::SetPen, op::SetFont, op::SetTextAlign, op::Line, op::Rect,
                               op::Circle, op::Text>;

// A recorded picture: drawn once when the graph is rendered, then played unchanged into the
// window, the printer and every export format.
//
// Texts are measured while the picture is recorded, with the fonts that will draw it; a picture
// recorded without them measures by EstimatedTextWidth.
class Picture : public Canvas {
   public:
    explicit Picture(TextMeasure measure = EstimatedTextWidth) : measure_(measure) {}

    void SetPen(const Pen& pen) override { ops_.emplace_back(op::SetPen{pen}); }
    void SetFont(FontRole font) override { ops_.emplace_back(op::SetFont{font}); }
    void SetTextAlign(TextAlign align) override { ops_.emplace_back(op::SetTextAlign{align}); }
    void Line(Point from, Point to) override { ops_.emplace_back(op::Line{from, to}); }
    void Rect(Point corner, Point opposite, GraphColour fill, bool outline) override {
        ops_.emplace_back(op::Rect{corner, opposite, fill, outline});
    }
    void Circle(Point centre, int radius) override {
        ops_.emplace_back(op::Circle{centre, radius});
    }
    void Text(Point at, const std::string& utf8) override { ops_.emplace_back(op::Text{at, utf8}); }
    double TextWidth(FontRole font, const std::string& utf8) const override {
        return measure_(font, utf8);
    }

    void Play(Canvas& target) const;
    const std::vector<PictureOp>& Ops() const { return ops_; }
    bool Empty() const { return ops_.empty(); }

   private:
    TextMeasure measure_;
    std::vector<PictureOp> ops_;
};

}  // namespace graphs
