#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <QStringList>
#include <memory>

#include "graphs/canvas.h"
#include "graphs/screen_thinning.h"

namespace graphs {

struct FontSpec;
class Picture;

// Where the picture frame (120 mm by 70 mm) lands in a target rectangle: scaled to fit keeping
// its proportions, and centred there.
struct FrameFit {
    double scale = 1.0;  // device units per 0.1 mm
    QPointF topLeft;

    static FrameFit Into(const QRectF& target);
    QPointF Map(Point p) const;
    PixelGrid Grid() const;
};

// The faces asked for a font, best first, ending in the generic family.
QStringList FontFamilies(const FontSpec& font);
// A font of the picture, its size not yet set.
QFont PictureFont(FontRole role);
// Pixels of a font's em per pixel of its cell height (ascent plus descent), which is what the
// picture's font heights give.
double EmPerCell(FontRole role);
// How wide a text is in a font of the picture, in 0.1 mm, as every device draws it: the faces'
// advances are fractional, so one measure at a large size scales to any device.
double FontTextWidth(FontRole role, const std::string& utf8);

// How closely a QPainterCanvas follows the picture.
enum class Drawing {
    Exact,   // files and printers: every shape as recorded, joined lines in long polylines
    Screen,  // a window's pixels: see QPainterCanvas
};

// Draws picture coordinates through a QPainter: the window, the printer, PNG and PDF.
// The picture frame (120 mm by 70 mm) is scaled into `target` keeping its proportions and
// centred there; text sizes, pen widths and radii scale with it.
//
// Lines that each start where the last one ended are drawn as one polyline, a bounded number of
// points at a time: a curve of a million points is one path to the device, not a million.
//
// On screen, polylines are short: antialiased stroking of one long path costs more than
// linearly in its length when the path crosses itself, as a thinned curve does in every pixel
// column, and short pieces with round caps look the same. Circles are stamped from one image
// drawn per pen, at the nearest whole pixel: thousands of small antialiased circles would each
// be stroked as a path.
class QPainterCanvas : public Canvas {
   public:
    QPainterCanvas(QPainter& painter, const QRectF& target, Drawing drawing = Drawing::Exact);
    QPainterCanvas(const QPainterCanvas&) = delete;
    QPainterCanvas& operator=(const QPainterCanvas&) = delete;
    ~QPainterCanvas() override { EndRun(); }

    void SetPen(const Pen& pen) override;
    void SetFont(FontRole font) override;
    void SetTextAlign(TextAlign align) override { align_ = align; }
    void Line(Point from, Point to) override;
    void Rect(Point corner, Point opposite, GraphColour fill, bool outline) override;
    void Circle(Point centre, int radius) override;
    void Text(Point at, const std::string& utf8) override;
    double TextWidth(FontRole font, const std::string& utf8) const override;

    // Device pixels per 0.1 mm.
    double Scale() const { return fit_.scale; }
    QPointF Map(Point p) const { return fit_.Map(p); }
    PixelGrid Grid() const;  // the device's pixels

   private:
    // A font at a whole number of pixels, which is all a device's fonts come in, and how much
    // larger or smaller it is drawn to take the size the layout measured it at.
    struct DrawFont {
        QFont font;
        double scale = 1.0;
    };
    DrawFont MakeFont(FontRole role) const;
    void EndRun();  // draws the lines gathered so far
    const QImage& CircleStamp(int radius);

    QPainter& painter_;
    FrameFit fit_;
    Drawing drawing_;
    QPen pen_;
    TextAlign align_ = TextAlign::Left;
    DrawFont fonts_[3];
    FontRole font_ = FontRole::General;
    qsizetype runPoints_;   // most points of one polyline
    double pixelRatio_;     // device pixels per unit of the painter
    QPolygonF run_;         // joined lines not yet drawn
    Point runEnd_;          // where the last of them ends
    QImage stamp_;          // a circle of the current pen, on screen
    int stampRadius_ = -1;  // its radius in 0.1 mm; -1 when there is none
};

// Plays a picture into `target` as the graph window shows it: antialiased, thinned to what
// its pixels can show (ThinForScreen); `copy` keeps the thinned picture for the next repaint.
void PaintOnScreen(QPainter& painter, const std::shared_ptr<const Picture>& picture,
                   const QRectF& target, ScreenCopy& copy);

QColor ToQColor(GraphColour c);
GraphColour FromQColor(const QColor& c);

}  // namespace graphs
