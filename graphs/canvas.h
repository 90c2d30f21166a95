#pragma once

#include <span>
#include <string>

#include "graphs/graph_types.h"
#include "graphs/plot_layout.h"

namespace graphs {

// Dotted is the grid's pen; the curve of each value of a swept parameter takes the next
// style when several curves share a picture and their colours are taken.
enum class PenStyle { Solid, Dotted, Dashed, DashDotted, DashDotDotted };
enum class TextAlign { Left, Centre, Right };  // text always stands on its baseline
enum class FontRole { General, Title, Exponent };

namespace dashes {
inline constexpr int kDash[] = {4, 2}, kDot[] = {1, 2}, kDashDot[] = {4, 2, 1, 2},
                     kDashDotDot[] = {4, 2, 1, 2, 1, 2};
}  // namespace dashes

// The dashes and gaps of a style in widths of its pen, as QPainter draws them; empty for a
// solid line. Patterned lines have flat ends, so that their dashes keep these lengths.
constexpr std::span<const int> DashPattern(PenStyle style) {
    switch (style) {
        case PenStyle::Solid: return {};
        case PenStyle::Dotted: return dashes::kDot;
        case PenStyle::Dashed: return dashes::kDash;
        case PenStyle::DashDotted: return dashes::kDashDot;
        case PenStyle::DashDotDotted: return dashes::kDashDotDot;
    }
    return {};
}

// How wide a text is in a font of the picture, in 0.1 mm.
using TextMeasure = double (*)(FontRole font, const std::string& utf8);

struct Pen {
    GraphColour colour = kBlack;
    PenStyle style = PenStyle::Solid;
    int width = 0;  // 0.1 mm; 0 is the thinnest line the device draws
    friend bool operator==(const Pen&, const Pen&) = default;
};

// What a picture is drawn on, in picture coordinates (0.1 mm, y up, origin at the centre of
// the plot box). Like a device context it keeps a current pen, font and text alignment; text
// is black on a transparent background.
class Canvas {
   public:
    virtual ~Canvas() = default;
    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetFont(FontRole font) = 0;
    virtual void SetTextAlign(TextAlign align) = 0;
    virtual void Line(Point from, Point to) = 0;
    // Filled with `fill`; outlined with the current pen when `outline`.
    virtual void Rect(Point corner, Point opposite, GraphColour fill, bool outline) = 0;
    virtual void Circle(Point centre, int radius) = 0;  // outline only
    virtual void Text(Point at, const std::string& utf8) = 0;
    // How wide `utf8` is in `font`, in 0.1 mm: the layout of a picture places its texts by it.
    virtual double TextWidth(FontRole font, const std::string& utf8) const = 0;
};

}  // namespace graphs
