#pragma once

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <QStringList>

#include "graphs/canvas.h"

namespace graphs {

struct FontSpec;

// Where the picture frame (120 mm by 70 mm) lands in a target rectangle: scaled to fit keeping
// its proportions, and centred there.
struct FrameFit {
    double scale = 1.0;  // device units per 0.1 mm
    QPointF topLeft;

    static FrameFit Into(const QRectF& target);
    QPointF Map(Point p) const;
};

// The faces asked for a font, best first, ending in the generic family.
QStringList FontFamilies(const FontSpec& font);

// Draws picture coordinates through a QPainter: the window, the printer, PNG and PDF.
// The picture frame (120 mm by 70 mm) is scaled into `target` keeping its proportions and
// centred there; text sizes, pen widths and radii scale with it.
//
// Lines that each start where the last one ended are drawn as one polyline, a bounded number of
// points at a time: a curve of a million points is one path to the device, not a million.
class QPainterCanvas : public Canvas {
   public:
    QPainterCanvas(QPainter& painter, const QRectF& target);
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

    // Device pixels per 0.1 mm.
    double Scale() const { return fit_.scale; }
    QPointF Map(Point p) const { return fit_.Map(p); }

   private:
    QFont MakeFont(FontRole role) const;
    void EndRun();  // draws the lines gathered so far

    QPainter& painter_;
    FrameFit fit_;
    QPen pen_;
    TextAlign align_ = TextAlign::Left;
    QFont fonts_[3];
    FontRole font_ = FontRole::General;
    QPolygonF run_;  // joined lines not yet drawn
    Point runEnd_;   // where the last of them ends
};

QColor ToQColor(GraphColour c);
GraphColour FromQColor(const QColor& c);

}  // namespace graphs
