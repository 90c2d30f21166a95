#include <QFontInfo>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "graph_test_files.h"
#include "graphs/graph_export.h"
#include "graphs/graph_renderer.h"
#include "graphs/qt_canvas.h"
#include "graphs/screen_thinning.h"
#include "graphs/svg_writer.h"
#include "graphs/view_zoom.h"

using namespace graphs;

namespace {

// Counts what a painter hands its device: separate lines, and polylines with their points.
class CountingEngine : public QPaintEngine {
   public:
    int lines = 0;
    int polylines = 0;
    qsizetype polylinePoints = 0;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawLines(const QLineF*, int count) override { lines += count; }
    void drawLines(const QLine*, int count) override { lines += count; }
    void drawPolygon(const QPointF*, int count, PolygonDrawMode mode) override {
        if (mode != PolylineMode) return;
        ++polylines;
        polylinePoints += count;
    }
};

class CountingDevice : public QPaintDevice {
   public:
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable CountingEngine engine;

   protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth: return 1200;
            case PdmHeight: return 700;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY: return 96;
            case PdmDepth: return 32;
            case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
            default: return 1;
        }
    }
};

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs valdrix-graph as a batch job runs it: the platform its own choice, and the session's
// runtime folder there or not, as `withRuntime` says.
Run Tool(const QStringList& args, bool withRuntime = true) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!withRuntime) env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VALDRIX_GRAPH_PROGRAM), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kSweep = QStringLiteral(VALDRIX_GRAPHS_DATA "/range_sweep.PRN");

// Keeps what is written to it and how it came: the largest single write tells whether a
// document was streamed or built whole first. Refuses writes past `limit` bytes when given.
class WriteLog : public QIODevice {
   public:
    explicit WriteLog(qint64 limit = -1) : limit_(limit) { open(QIODevice::WriteOnly); }
    QByteArray data;
    qint64 largestWrite = 0;

   protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* bytes, qint64 n) override {
        if (limit_ >= 0 && data.size() + n > limit_) return -1;
        largestWrite = std::max(largestWrite, n);
        data.append(bytes, n);
        return n;
    }

   private:
    qint64 limit_;
};

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

// Export names and files, through the library and through valdrix-graph; and the window's
// drawing, a thinned copy of a picture that must look like the picture itself.
class TestGraphExport : public QObject {
    Q_OBJECT
   private slots:
    void splitKeepsAKnownExtensionOnce_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("extension");
        QFile table(QStringLiteral(VALDRIX_GRAPH_TABLES "/export_names.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QStringList row = QString::fromUtf8(line).split(" | ");
            if (row.size() == 4) QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
        }
    }

    void splitKeepsAKnownExtensionOnce() {
        QFETCH(QString, chosen);
        const ExportName name = SplitExportName(chosen);
        QTEST(name.base, "base");
        QTEST(name.extension, "extension");
        QCOMPARE(ExportFileNames(name, 1), QStringList{name.base + "." + name.extension});
    }

    // A usage error exits with 2, nothing to draw (in any format) with 1; either way the
    // message says why and no file is left behind. A row of refusals.txt: name | arguments
    // (tables of the data folder by their names there) | status | message (%1 stands for the
    // output file).
    void failuresWriteNoFileAndSayWhy_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QDir data(QStringLiteral(VALDRIX_GRAPH_TOOL_DATA));
        const QStringList rows = QString::fromUtf8(Read(data.filePath("refusals.txt"))).split('\n');
        QVERIFY2(rows.size() > 1, "refusals.txt is missing");
        for (const QString& line : rows) {
            const QStringList row = line.split(" | ");
            if (row.size() != 4) continue;
            QStringList args = row[1].split(' ');
            for (QString& a : args) {
                if (a.endsWith(".PRN") && QFileInfo::exists(data.filePath(a))) a = data.filePath(a);
            }
            QTest::newRow(qPrintable(row[0])) << args << row[2].toInt() << row[3];
        }
    }

    void failuresWriteNoFileAndSayWhy() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        for (QString& a : args) {
            if (a.startsWith("g.")) a = dir.filePath(a);
        }
        if (message.contains("%1")) message = message.arg(args.last());
        const Run r = Tool(args);
        QTEST(r.status, "status");
        QVERIFY2(r.err.startsWith("valdrix-graph: ") && r.err.contains(message), qPrintable(r.err));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // Nothing on stderr when all goes well, with or without a session around the program.
    void writesTheFourFormatsOfATwoParameterSweep() {
        QTemporaryDir dir;
        for (const char* ext : {"emf", "svg", "png", "pdf"}) {
            for (bool withRuntime : {true, false}) {
                const Run r =
                    Tool({kSweep, "a", "r", "-o", dir.filePath(QStringLiteral("range.") + ext),
                          "--title", "Range of a projectile"},
                         withRuntime);
                QCOMPARE(r.status, 0);
                QCOMPARE(r.err, QString());
            }
        }
        QCOMPARE(Tool({"--help"}).status, 0);
        QCOMPARE(Read(dir.filePath("range.emf")).mid(40, 4), QByteArray(" EMF"));
        const QByteArray svg = Read(dir.filePath("range.svg"));
        QVERIFY(svg.contains("width=\"120mm\"") && svg.contains("height=\"70mm\""));
        QVERIFY(svg.contains("v=15"));  // the parameter legend
        QVERIFY(svg.contains("Range of a projectile"));
        const QImage image(dir.filePath("range.png"));
        QCOMPARE(image.size(), kDefaultPixelSize);
        int dark = 0, blue = 0, purple = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                dark += c.lightness() < 60;
                blue += c.blue() > 200 && c.red() < 60 && c.green() < 60;
                purple += c.blue() > 170 && c.red() > 100 && c.red() < 150 && c.green() < 40;
            }
        }
        QVERIFY2(dark > 2000, "axes and labels are drawn in black");
        QVERIFY2(blue > 200, "the first branch is drawn in blue");
        QVERIFY2(purple > 200, "the second branch in the colour derived from it");
        QVERIFY(Read(dir.filePath("range.pdf")).startsWith("%PDF-"));

        QCOMPARE(Tool({kSweep, "a", "r", "g", "-o", dir.filePath("two.png"), "--size", "480x280"})
                     .status,
                 0);
        QCOMPARE(QImage(dir.filePath("two.png")).size(), QSize(480, 280));
        // Names of twenty letters and readouts of large numbers stay on the picture.
        const Run named =
            Tool({VALDRIX_GRAPH_TOOL_DATA "/long_names.PRN", "abcdefghijklmnopqrst",
                  "ABCDEFGHIJKLMNOPQRST", "mnopqrstuvwxyzabcdef", "-o", dir.filePath("wide.png")});
        QCOMPARE(named.status, 0);
        const QImage wide(dir.filePath("wide.png"));
        QCOMPARE(wide.size(), kDefaultPixelSize);
        for (int x : {0, 1, 2, wide.width() - 3, wide.width() - 2, wide.width() - 1}) {
            for (int y = 0; y < wide.height(); ++y) {
                QVERIFY2(wide.pixelColor(x, y).lightness() > 200,
                         qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            }
        }
        // A folder that does not exist: not written, and nothing left behind.
        QCOMPARE(Tool({kSweep, "a", "r", "-o", dir.filePath("none/g.pdf")}).status, 1);
        QVERIFY(!QFileInfo::exists(dir.filePath("none")));

        // An independent reader takes the metafile without complaint.
        const QString converter = QStandardPaths::findExecutable("emf2svg-conv");
        if (converter.isEmpty()) QSKIP("emf2svg-conv is not installed");
        QProcess conv;
        conv.start(converter,
                   {"-i", dir.filePath("range.emf"), "-o", dir.filePath("converted.svg")});
        QVERIFY(conv.waitForFinished(60000));
        QCOMPARE(conv.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(conv.readAllStandardError()), QString());
        const QByteArray converted = Read(dir.filePath("converted.svg"));
        QVERIFY(converted.contains("v=20") && converted.contains("Times New Roman"));
    }

    // A picture of hundreds of thousands of lines reaches the device in pieces while it plays,
    // not as one document built in memory first, and keeps every point; a refused write fails
    // the export. PDF, PNG, printing and the window take a curve as one path a few thousand
    // points at a time; a path per segment made the PDF writer hold tens of bytes for every
    // point.
    void manyJoinedLinesAreStreamedAsSvgAndReachDevicesAsPolylines() {
        constexpr int kSegments = 300000;
        Picture picture;  // a zigzag of lines joined end to start
        picture.SetPen({kBlue, PenStyle::Solid, 3});
        for (int i = 0; i < kSegments; ++i)
            picture.Line({i % 700 - 350, i % 2}, {(i + 1) % 700 - 350, (i + 1) % 2});
        picture.SetTextAlign(TextAlign::Centre);
        picture.Text({0, -340}, "a<b & c");
        picture.SetFont(FontRole::Exponent);
        picture.Text({0, 40}, "exponent");
        WriteLog log;
        QVERIFY(WriteSvg(picture, log, QSize(1200, 700)));
        QVERIFY(log.data.size() > 2 * 1024 * 1024);
        QVERIFY2(log.largestWrite <= 256 * 1024, qPrintable(QString::number(log.largestWrite)));
        WriteLog refused(100 * 1024);
        QVERIFY(!WriteSvg(picture, refused, QSize(1200, 700)));

        QXmlStreamReader xml(log.data);
        qsizetype points = 0;
        QStringList texts, anchors, families;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == QLatin1String("polyline")) {
                points += xml.attributes().value("points").split(u' ').size();
            } else if (xml.name() == QLatin1String("text")) {
                anchors << xml.attributes().value("text-anchor").toString();
                families << xml.attributes().value("font-family").toString();
                texts << xml.readElementText();
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(points, kSegments + 1);  // one run: each line starts where the last ended
        QCOMPARE(texts, (QStringList{"a<b & c", "exponent"}));
        QCOMPARE(anchors.front(), QStringLiteral("middle"));

        // A viewer that lacks the face the texts were placed with takes one of the generic
        // family, not a wider face further down a list. Faces of the same widths may stand
        // between the two.
        const QStringList twins{"Liberation Serif", "Times New Roman", "Liberation Sans", "Arial"};
        const std::pair<FontRole, QString> roles[] = {{FontRole::General, "serif"},
                                                      {FontRole::Exponent, "sans-serif"}};
        for (int i = 0; i < 2; ++i) {
            const QStringList names = families[i].split(", ");
            const QString measured = QFontInfo(PictureFont(roles[i].first)).family();
            QCOMPARE(names.front(), "'" + measured + "'");
            QCOMPARE(names.back(), roles[i].second);
            QVERIFY2(names.size() == 2 || (names.size() == 3 && twins.contains(measured) &&
                                           twins.contains(names[1].mid(1).chopped(1))),
                     qPrintable(families[i]));
        }

        CountingDevice device;
        {
            QPainter painter(&device);
            QPainterCanvas canvas(painter, QRectF(0, 0, 1200, 700));
            picture.Play(canvas);
        }
        QCOMPARE(device.engine.lines, 0);
        QVERIFY(device.engine.polylines > 0 && device.engine.polylines < kSegments / 1000);
        // Each polyline after the first starts again where the one before ended.
        QCOMPARE(device.engine.polylinePoints, kSegments + device.engine.polylines);
    }

    // The layout measures texts at one large size; every device must draw them that wide. The
    // branches of a sweep differ by the pattern of their lines: every pattern must show.
    void textsAreMeasuredAsTheyAreDrawnAndPatternsShowTheirGaps() {
        const std::pair<PenStyle, int> styles[] = {{PenStyle::Solid, 1},
                                                   {PenStyle::Dashed, 10},
                                                   {PenStyle::Dotted, 20},
                                                   {PenStyle::DashDotted, 15}};
        const QRectF frame(QPointF(0, 0), QSizeF(kDefaultPixelSize));
        QImage image(kDefaultPixelSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            QPainterCanvas canvas(painter, frame);
            for (FontRole role : {FontRole::General, FontRole::Title, FontRole::Exponent}) {
                for (const char* text :
                     {"abcdefghijklmnopqrst", "ymax=-1.2345678e+05", "WWW iii"}) {
                    const double measured = FontTextWidth(role, text);
                    QVERIFY(measured > 0);
                    QVERIFY2(std::abs(canvas.TextWidth(role, text) / measured - 1) < 0.01, text);
                }
            }
            for (int k = 0; k < 4; ++k) {
                canvas.SetPen({kBlack, styles[k].first, 3});
                canvas.Line({-300, 100 * k}, {300, 100 * k});
            }
        }
        for (int k = 0; k < 4; ++k) {
            const int row = static_cast<int>(FrameFit::Into(frame).Map({0, 100 * k}).y());
            int dashes = 0;
            bool inked = false;
            for (int x = 0; x < image.width(); ++x) {
                const bool now = image.pixelColor(x, row).lightness() < 128;
                dashes += now && !inked;
                inked = now;
            }
            QVERIFY2(k == 0 ? dashes == 1 : dashes >= styles[k].second,
                     qPrintable(QString::number(dashes)));
        }
    }

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

QTEST_MAIN(TestGraphExport)
#include "tst_graph_export.moc"
