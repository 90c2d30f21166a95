#include "graphs/qt_canvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "graphs/graph_fonts.h"
#include "graphs/picture.h"
#include "graphs/screen_thinning.h"

namespace graphs {

using namespace geometry;

QColor ToQColor(GraphColour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

GraphColour FromQColor(const QColor& c) {
    return MakeColour(c.red(), c.green(), c.blue());
}

FrameFit FrameFit::Into(const QRectF& target) {
    FrameFit fit;
    fit.scale = std::min(target.width() / kFrameWidth, target.height() / kFrameHeight);
    fit.topLeft = QPointF(target.x() + (target.width() - kFrameWidth * fit.scale) / 2,
                          target.y() + (target.height() - kFrameHeight * fit.scale) / 2);
    return fit;
}

PixelGrid FrameFit::Grid() const {
    return {scale, topLeft.x(), topLeft.y()};
}

QPointF FrameFit::Map(Point p) const {
    return {topLeft.x() + (p.x - kFrameLeft) * scale, topLeft.y() + (kFrameTop - p.y) * scale};
}

QStringList FontFamilies(const FontSpec& font) {
    return {QString::fromLatin1(font.face), QString::fromLatin1(font.drawFace),
            QString::fromLatin1(font.emfFace), QString::fromLatin1(font.fallback),
            font.serif ? QStringLiteral("serif") : QStringLiteral("sans-serif")};
}

namespace {

// Points of one polyline: few long paths keep a PDF small; on screen short ones draw fast.
constexpr qsizetype kExactRunPoints = 4096;
constexpr qsizetype kScreenRunPoints = 16;

}  // namespace

QFont PictureFont(FontRole role) {
    const FontSpec& face = FontFor(role);
    QFont font;
    font.setFamilies(FontFamilies(face));
    font.setStyleHint(face.serif ? QFont::Serif : QFont::SansSerif);
    font.setBold(face.bold);
    return font;
}

namespace {

// The size fonts are measured at: large enough that no advance is rounded.
constexpr int kProbePixels = 1000;

Qt::PenStyle QtStyle(PenStyle style) {
    switch (style) {
        case PenStyle::Solid: return Qt::SolidLine;
        case PenStyle::Dotted: return Qt::DotLine;
        case PenStyle::Dashed: return Qt::DashLine;
        case PenStyle::DashDotted: return Qt::DashDotLine;
        case PenStyle::DashDotDotted: return Qt::DashDotDotLine;
    }
    return Qt::SolidLine;
}

QFontMetricsF ProbeMetrics(FontRole role) {
    QFont font = PictureFont(role);
    font.setPixelSize(kProbePixels);
    return QFontMetricsF(font);
}

}  // namespace

double EmPerCell(FontRole role) {
    const double cell = ProbeMetrics(role).height();
    return cell > 0 ? kProbePixels / cell : 1.0;
}

double FontTextWidth(FontRole role, const std::string& utf8) {
    const QFontMetricsF metrics = ProbeMetrics(role);
    const double cell = metrics.height();
    if (cell <= 0) return EstimatedTextWidth(role, utf8);
    return metrics.horizontalAdvance(QString::fromStdString(utf8)) / cell * FontFor(role).height;
}

QPainterCanvas::QPainterCanvas(QPainter& painter, const QRectF& target, Drawing drawing)
    : painter_(painter),
      fit_(FrameFit::Into(target)),
      drawing_(drawing),
      runPoints_(drawing == Drawing::Screen ? kScreenRunPoints : kExactRunPoints),
      pixelRatio_(painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0) {
    for (FontRole role : {FontRole::General, FontRole::Title, FontRole::Exponent}) {
        fonts_[static_cast<int>(role)] = MakeFont(role);
    }
    painter_.setBackgroundMode(Qt::TransparentMode);
    SetPen(Pen{});
    SetFont(FontRole::General);
}

// The heights of the fonts are cell heights (ascent plus descent), as the metafile's fonts
// are; the em is found from the face's own metrics at the size the layout measured at. A
// device's fonts come in whole pixels, which at a small size would make a text several percent
// wider or narrower than laid out; the text is scaled the rest of the way when drawn.
QPainterCanvas::DrawFont QPainterCanvas::MakeFont(FontRole role) const {
    const double em = FontFor(role).height * fit_.scale * EmPerCell(role);  // device pixels
    const int pixels = std::max(1, static_cast<int>(std::lround(em)));
    QFont font = PictureFont(role);
    font.setPixelSize(pixels);
    return {font, em / pixels};
}

void QPainterCanvas::SetPen(const Pen& pen) {
    EndRun();
    pen_ = QPen(ToQColor(pen.colour));
    pen_.setWidthF(pen.width * fit_.scale);  // width 0 draws the thinnest line of the device
    pen_.setStyle(QtStyle(pen.style));
    pen_.setCapStyle(pen.style == PenStyle::Solid ? Qt::RoundCap : Qt::FlatCap);
    pen_.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen_);
    stampRadius_ = -1;
}

void QPainterCanvas::SetFont(FontRole font) {
    font_ = font;
    painter_.setFont(fonts_[static_cast<int>(font)].font);
}

void QPainterCanvas::Line(Point from, Point to) {
    if (run_.isEmpty() || !(runEnd_ == from) || run_.size() >= runPoints_) {
        EndRun();
        run_ << Map(from);
    }
    run_ << Map(to);
    runEnd_ = to;
}

void QPainterCanvas::EndRun() {
    if (run_.size() >= 2) painter_.drawPolyline(run_);
    run_.clear();
}

void QPainterCanvas::Rect(Point corner, Point opposite, GraphColour fill, bool outline) {
    EndRun();
    painter_.setPen(outline ? pen_ : QPen(Qt::NoPen));
    painter_.setBrush(ToQColor(fill));
    painter_.drawRect(QRectF(Map(corner), Map(opposite)).normalized());
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(pen_);
}

void QPainterCanvas::Circle(Point centre, int radius) {
    EndRun();
    if (drawing_ == Drawing::Screen) {
        const QImage& stamp = CircleStamp(radius);
        const auto [x, y] = Grid().Nearest(centre);
        painter_.drawImage(QPointF(x - stamp.width() / 2, y - stamp.height() / 2) / pixelRatio_,
                           stamp);
        return;
    }
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(Map(centre), radius * fit_.scale, radius * fit_.scale);
}

// The circle is centred on a pixel corner of an image of even size in device pixels, so that
// stamping it at a whole pixel puts its centre where the painter would.
const QImage& QPainterCanvas::CircleStamp(int radius) {
    if (stampRadius_ == radius) return stamp_;
    const double r = radius * fit_.scale;
    const int half = static_cast<int>(std::ceil((r + pen_.widthF() / 2) * pixelRatio_)) + 2;
    stamp_ = QImage(2 * half, 2 * half, QImage::Format_ARGB32_Premultiplied);
    stamp_.setDevicePixelRatio(pixelRatio_);
    stamp_.fill(Qt::transparent);
    QPainter p(&stamp_);
    p.setRenderHints(painter_.renderHints());
    p.setPen(pen_);
    p.drawEllipse(QPointF(half, half) / pixelRatio_, r, r);
    stampRadius_ = radius;
    return stamp_;
}

// Pixels of the device, which on a high-density screen are finer than the painter's units.
PixelGrid QPainterCanvas::Grid() const {
    const PixelGrid logical = fit_.Grid();
    return {logical.scale * pixelRatio_, logical.left * pixelRatio_, logical.top * pixelRatio_};
}

void QPainterCanvas::Text(Point at, const std::string& utf8) {
    if (utf8.empty()) return;
    EndRun();
    const DrawFont& font = fonts_[static_cast<int>(font_)];
    QPointF p = Map(at);
    if (align_ != TextAlign::Left) {
        const double width = TextWidth(font_, utf8) * fit_.scale;
        p.rx() -= align_ == TextAlign::Centre ? width / 2 : width;
    }
    painter_.save();
    painter_.setPen(Qt::black);
    painter_.translate(p);
    painter_.scale(font.scale, font.scale);
    painter_.drawText(QPointF(0, 0), QString::fromStdString(utf8));
    painter_.restore();
}

double QPainterCanvas::TextWidth(FontRole role, const std::string& utf8) const {
    const DrawFont& font = fonts_[static_cast<int>(role)];
    const QFontMetricsF metrics(font.font, painter_.device());
    return metrics.horizontalAdvance(QString::fromStdString(utf8)) * font.scale / fit_.scale;
}

void PaintOnScreen(QPainter& painter, const std::shared_ptr<const Picture>& picture,
                   const QRectF& target, ScreenCopy& copy) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QPainterCanvas canvas(painter, target, Drawing::Screen);
    copy.For(picture, canvas.Grid()).Play(canvas);
}

}  // namespace graphs
