#include "graphs/svg_writer.h"

#include <QFont>
#include <QFontInfo>
#include <QIODevice>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "graphs/graph_fonts.h"
#include "graphs/picture.h"
#include "graphs/qt_canvas.h"

namespace graphs {

namespace {

// Output is handed to the device whenever this much has gathered.
constexpr std::size_t kFlushBytes = 64 * 1024;

// To a hundredth of a user unit, without trailing zeros: finer than any device shows.
void AppendNumber(std::string& out, double v) {
    const long long hundredths = std::llround(v * 100);
    const unsigned long long magnitude = hundredths < 0
                                             ? 0ULL - static_cast<unsigned long long>(hundredths)
                                             : static_cast<unsigned long long>(hundredths);
    if (hundredths < 0) out += '-';
    out += std::to_string(magnitude / 100);
    const unsigned long long fraction = magnitude % 100;
    if (fraction == 0) return;
    out += '.';
    out += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) out += static_cast<char>('0' + fraction % 10);
}

std::string ColourText(GraphColour c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return buffer;
}

// Text as XML character data. Malformed UTF-8 becomes U+FFFD and control characters, which
// XML cannot hold, are left out.
void AppendEscaped(std::string& out, const std::string& utf8) {
    const QByteArray clean =
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUtf8();
    for (const char ch : clean) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default:
                if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t') out += ch;
                break;
        }
    }
}

// The faces an SVG names for a font: the one its texts were measured and placed with, then a
// face of the same widths, then only the generic family. A viewer without them takes a face of
// that family rather than a wider one named further down a longer list, so the texts keep the
// room the layout gave them.
QStringList SvgFamilies(const FontSpec& face, const QString& measured) {
    const QString draw = QString::fromLatin1(face.drawFace),
                  emf = QString::fromLatin1(face.emfFace);
    QStringList families{measured};
    if (measured == draw) families << emf;
    if (measured == emf) families << draw;
    families << (face.serif ? QStringLiteral("serif") : QStringLiteral("sans-serif"));
    return families;
}

// The attributes of a font role's text. Its height is a cell height, as on the other devices:
// the em size is found from the face's own ascent and descent.
std::string FontAttributes(FontRole role, double scale) {
    const FontSpec& face = FontFor(role);
    std::string a = " font-family=\"";
    const QStringList families = SvgFamilies(face, QFontInfo(PictureFont(role)).family());
    for (qsizetype i = 0; i < families.size(); ++i) {
        if (i > 0) a += ", ";
        const bool generic = i + 1 == families.size();
        a += generic ? families[i].toStdString() : "'" + families[i].toStdString() + "'";
    }
    a += "\" font-size=\"";
    AppendNumber(a, face.height * scale * EmPerCell(role));
    a += face.bold ? "\" font-weight=\"bold\"" : "\"";
    return a;
}

class SvgCanvas : public Canvas {
   public:
    SvgCanvas(QIODevice& device, QSize size)
        : device_(device), fit_(FrameFit::Into(QRectF(QPointF(0, 0), QSizeF(size)))) {
        for (FontRole role : {FontRole::General, FontRole::Title, FontRole::Exponent}) {
            fonts_[static_cast<int>(role)] = FontAttributes(role, fit_.scale);
        }
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
        AppendNumber(out_, size.width() / 10.0);
        out_ += "mm\" height=\"";
        AppendNumber(out_, size.height() / 10.0);
        out_ += "mm\" viewBox=\"0 0 " + std::to_string(size.width()) + " " +
                std::to_string(size.height()) + "\">\n<title>Valdrix graph</title>\n";
    }

    bool Finish() {
        EndRun();
        if (groupOpen_) out_ += "</g>\n";
        out_ += "</svg>\n";
        Flush();
        return !failed_;
    }

    // The group of a pen is opened only when something is stroked with it, so pens set and
    // replaced before any drawing leave no empty groups.
    void SetPen(const Pen& pen) override { pen_ = pen; }
    void SetFont(FontRole font) override { font_ = font; }
    void SetTextAlign(TextAlign align) override { align_ = align; }

    void Line(Point from, Point to) override {
        ApplyPen();
        if (runOpen_ && runEnd_ == from) {
            out_ += ' ';
        } else {
            EndRun();
            out_ += "<polyline points=\"";
            AppendPoint(from);
            out_ += ' ';
            runOpen_ = true;
        }
        AppendPoint(to);
        runEnd_ = to;
        MaybeFlush();
    }

    void Rect(Point corner, Point opposite, GraphColour fill, bool outline) override {
        ApplyPen();
        EndRun();
        const QPointF a = fit_.Map(corner), b = fit_.Map(opposite);
        out_ += "<rect x=\"";
        AppendNumber(out_, std::min(a.x(), b.x()));
        out_ += "\" y=\"";
        AppendNumber(out_, std::min(a.y(), b.y()));
        out_ += "\" width=\"";
        AppendNumber(out_, std::abs(a.x() - b.x()));
        out_ += "\" height=\"";
        AppendNumber(out_, std::abs(a.y() - b.y()));
        out_ += "\" fill=\"" + ColourText(fill) + (outline ? "\"/>\n" : "\" stroke=\"none\"/>\n");
        MaybeFlush();
    }

    void Circle(Point centre, int radius) override {
        ApplyPen();
        EndRun();
        const QPointF c = fit_.Map(centre);
        out_ += "<circle cx=\"";
        AppendNumber(out_, c.x());
        out_ += "\" cy=\"";
        AppendNumber(out_, c.y());
        out_ += "\" r=\"";
        AppendNumber(out_, radius * fit_.scale);
        out_ += "\"/>\n";
        MaybeFlush();
    }

    double TextWidth(FontRole font, const std::string& utf8) const override {
        return FontTextWidth(font, utf8);
    }
    void Text(Point at, const std::string& utf8) override {
        if (utf8.empty()) return;
        EndRun();
        const QPointF p = fit_.Map(at);
        out_ += "<text x=\"";
        AppendNumber(out_, p.x());
        out_ += "\" y=\"";
        AppendNumber(out_, p.y());
        out_ += "\"" + fonts_[static_cast<int>(font_)];
        switch (align_) {
            case TextAlign::Left: break;
            case TextAlign::Centre: out_ += " text-anchor=\"middle\""; break;
            case TextAlign::Right: out_ += " text-anchor=\"end\""; break;
        }
        out_ += " fill=\"#000000\" stroke=\"none\" xml:space=\"preserve\">";
        AppendEscaped(out_, utf8);
        out_ += "</text>\n";
        MaybeFlush();
    }

   private:
    void ApplyPen() {
        if (groupOpen_ && groupPen_ == pen_) return;
        EndRun();
        if (groupOpen_) out_ += "</g>\n";
        // A pen of width 0 draws the device's thinnest line; dashes and gaps are measured in
        // widths, as QPainter draws them.
        const double width = pen_.width > 0 ? pen_.width * fit_.scale : 1.0;
        const std::span<const int> pattern = DashPattern(pen_.style);
        out_ += "<g fill=\"none\" stroke=\"" + ColourText(pen_.colour) + "\" stroke-width=\"";
        AppendNumber(out_, width);
        out_ += pattern.empty() ? "\" stroke-linecap=\"round\"" : "\" stroke-linecap=\"butt\"";
        out_ += " stroke-linejoin=\"round\"";
        if (!pattern.empty()) {
            out_ += " stroke-dasharray=\"";
            for (std::size_t i = 0; i < pattern.size(); ++i) {
                if (i > 0) out_ += ",";
                AppendNumber(out_, pattern[i] * width);
            }
            out_ += "\"";
        }
        out_ += ">\n";
        groupPen_ = pen_;
        groupOpen_ = true;
    }
    void AppendPoint(Point p) {
        const QPointF m = fit_.Map(p);
        AppendNumber(out_, m.x());
        out_ += ',';
        AppendNumber(out_, m.y());
    }
    void EndRun() {
        if (!runOpen_) return;
        out_ += "\"/>\n";
        runOpen_ = false;
    }
    void MaybeFlush() {
        if (out_.size() >= kFlushBytes) Flush();
    }
    void Flush() {
        if (!failed_ && !out_.empty()) {
            failed_ = device_.write(out_.data(), static_cast<qint64>(out_.size())) !=
                      static_cast<qint64>(out_.size());
        }
        out_.clear();
    }

    QIODevice& device_;
    FrameFit fit_;
    std::string out_;  // written, not yet handed to the device
    bool failed_ = false;
    Pen pen_;       // the current pen
    Pen groupPen_;  // the pen of the open group
    bool groupOpen_ = false;
    bool runOpen_ = false;  // a polyline's points are being written
    Point runEnd_;          // where the open polyline ends
    std::string fonts_[3];
    FontRole font_ = FontRole::General;
    TextAlign align_ = TextAlign::Left;
};

}  // namespace

bool WriteSvg(const Picture& picture, QIODevice& device, QSize pixelSize) {
    SvgCanvas canvas(device, pixelSize);
    picture.Play(canvas);
    return canvas.Finish();
}

}  // namespace graphs
