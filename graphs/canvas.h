#pragma once

#include <string>

#include "graphs/graph_types.h"
#include "graphs/plot_layout.h"

namespace graphs {

enum class PenStyle { Solid, Dotted };
enum class TextAlign { Left, Centre, Right };  // text always stands on its baseline
enum class FontRole { General, Title, Exponent };

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
};

}  // namespace graphs
