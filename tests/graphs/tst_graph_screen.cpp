#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <memory>

#include "counting_device.h"
#include "graph_test_files.h"
#include "graphs/graph_renderer.h"
#include "graphs/qt_canvas.h"
#include "graphs/screen_thinning.h"
#include "graphs/view_zoom.h"

using namespace graphs;

namespace {

// A curve of `rows` rows of a wave with fast noise on it: many rows to each pixel column.
std::shared_ptr<const Picture> NoisyWave(std::size_t rows, GraphType type) {
    static const GraphCurve curve = Curve("t", "x");
    std::vector<float> x(rows), y(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const double t = 10.0 * static_cast<double>(i) / static_cast<double>(rows);
        x[i] = static_cast<float>(t);
        y[i] = static_cast<float>(std::sin(5 * t) + 0.3 * std::sin(3777 * t));
    }
    GraphLayout layout;
    layout.type = type;
    auto picture = std::make_shared<Picture>();
    RenderPicture(*picture, {{{&curve, x, y}}, layout, {}});
    return picture;
}

// The picture drawn whole and antialiased, as the exporters draw it, or as the window draws it.
QImage Drawn(const std::shared_ptr<const Picture>& picture, QSize size, bool onScreen) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRectF frame(QPointF(0, 0), QSizeF(size));
    ScreenCopy copy;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (onScreen) {
        PaintOnScreen(painter, picture, frame, copy);
    } else {
        QPainterCanvas canvas(painter, frame);
        picture->Play(canvas);
    }
    painter.end();
    return image;
}

int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// At least half covered: further from the white background than halfway.
bool Inked(QRgb c) {
    return Distance(c, qRgb(255, 255, 255)) > 127;
}

// Inked pixels of `a` with no inked pixel of `b` of a near colour at or next to them. An
// antialiased edge drawn over itself many times darkens, so the drawings are compared by where
// they put ink, not by the shade of their edges.
int InkNotIn(const QImage& a, const QImage& b) {
    const auto at = [](const QImage& image, int x, int y) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
    };
    int missing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb want = at(a, x, y);
            if (!Inked(want)) continue;
            bool found = false;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, b.height() - 1); ++ny) {
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, b.width() - 1); ++nx) {
                    const QRgb near = at(b, nx, ny);
                    found = found || (Inked(near) && Distance(want, near) <= 128);
                }
            }
            missing += !found;
        }
    }
    return missing;
}

}  // namespace

// The window draws a thinned copy of a picture; it must look like the picture itself.
class TestGraphScreen : public QObject {
    Q_OBJECT
   private slots:
    void thinnedDrawingLooksLikeTheFullOne_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("zoom");
        for (int zoom : {1, 3}) {
            const auto row = [&](const char* name, GraphType type) {
                QTest::addRow("%s, zoom %d", name, zoom) << static_cast<int>(type) << zoom;
            };
            row("normal", GraphType::Normal);
            row("stems", GraphType::None);
            row("bars", GraphType::Bar);
            row("normal and points", GraphType::NormalPoints);
            row("stems and points", GraphType::LinePoints);
        }
    }

    // Tolerance: every pixel that one drawing inks at least halfway has one of nearly its colour
    // within a pixel in the other. Where the curve's edge crosses the black axes the two mix
    // in different shades; one pixel in 10,000 may differ so.
    void thinnedDrawingLooksLikeTheFullOne() {
        QFETCH(int, type);
        QFETCH(int, zoom);
        const auto picture = NoisyWave(50000, static_cast<GraphType>(type));
        const PixelSize at = PictureScreenSize(96 / 25.4, 96 / 25.4);
        const QSize size(zoom * at.width, zoom * at.height);
        const QImage full = Drawn(picture, size, false), shown = Drawn(picture, size, true);
        const int allowed = size.width() * size.height() / 10000;
        QVERIFY2(InkNotIn(full, shown) <= allowed, "the window leaves out what the picture shows");
        QVERIFY2(InkNotIn(shown, full) <= allowed, "the window shows what the picture does not");
    }

    // A million rows reach the device as a few points for each pixel column, not a million.
    void theWindowHandsTheDeviceAFewPointsPerPixelColumn() {
        const auto picture = NoisyWave(1000000, GraphType::Normal);
        CountingDevice device;  // 1200 pixels wide: one to each 0.1 mm of the frame
        {
            QPainter painter(&device);
            ScreenCopy copy;
            PaintOnScreen(painter, picture, QRectF(0, 0, 1200, 700), copy);
        }
        const qsizetype columns = 2 * geometry::kHalfWidth + 1;
        QVERIFY(device.engine.polylinePoints > columns);
        QVERIFY2(device.engine.polylinePoints < 6 * columns,
                 qPrintable(QString::number(device.engine.polylinePoints)));
    }
};

QTEST_MAIN(TestGraphScreen)
#include "tst_graph_screen.moc"
