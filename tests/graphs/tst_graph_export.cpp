#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "graphs/graph_export.h"
#include "graphs/graph_renderer.h"

using namespace graphs;

namespace {

// A sweep over a second parameter: y = p * x for p = 1, 2, 3.
struct KnownGraph {
    GraphCurve curve;
    std::vector<float> x{0, 1, 2, 0, 1, 2, 0, 1, 2};
    std::vector<float> y{0, 1, 2, 0, 2, 4, 0, 3, 6};
    Picture picture;
    KnownGraph() {
        curve.xName = curve.xTitle = "x";
        curve.yName = curve.yTitle = "y";
        curve.title = "Known graph";
        GraphLayout layout;
        layout.type = GraphType::Normal;
        RenderPicture(picture, {{{&curve, x, y}}, layout, {"p", {1, 2, 3}, {0, 3, 6}}});
    }
};

QByteArray Head(const QString& path, int bytes) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

}  // namespace

class TestGraphExport : public QObject {
    Q_OBJECT
   private slots:
    void splitKeepsAKnownExtensionOnce_data();
    void splitKeepsAKnownExtensionOnce();
    void severalPicturesAreNumbered();
    void pngOfAKnownGraphShowsItsCurvesAndText();
    void everyFormatWritesItsOwnKindOfFile();
    void failedWritesLeaveNoFile();
};

void TestGraphExport::splitKeepsAKnownExtensionOnce_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");
    QTest::newRow("no extension") << "C:\\g"
                                  << "C:\\g"
                                  << "EMF";
    QTest::newRow("emf") << "/tmp/g.emf"
                         << "/tmp/g"
                         << "emf";
    QTest::newRow("EMF") << "/tmp/g.EMF"
                         << "/tmp/g"
                         << "EMF";
    QTest::newRow("png") << "/tmp/g.png"
                         << "/tmp/g"
                         << "png";
    QTest::newRow("other suffix") << "/tmp/my.graph"
                                  << "/tmp/my.graph"
                                  << "EMF";
    QTest::newRow("dot in folder") << "/tmp/a.b/g"
                                   << "/tmp/a.b/g"
                                   << "EMF";
    QTest::newRow("doubled") << "/tmp/g.emf.emf"
                             << "/tmp/g.emf"
                             << "emf";
}

void TestGraphExport::splitKeepsAKnownExtensionOnce() {
    QFETCH(QString, chosen);
    const ExportName name = SplitExportName(chosen);
    QTEST(name.base, "base");
    QTEST(name.extension, "extension");
    QCOMPARE(ExportFileNames(name, 1), QStringList{name.base + "." + name.extension});
}

void TestGraphExport::severalPicturesAreNumbered() {
    QCOMPARE(ExportFileNames({"C:\\g", "EMF"}, 2), (QStringList{"C:\\g_01.EMF", "C:\\g_02.EMF"}));
    QCOMPARE(ExportFileNames({"C:\\g", "EMF"}, 1), QStringList{"C:\\g.EMF"});

    QTemporaryDir dir;
    const KnownGraph g;
    const SaveOutcome saved =
        SavePictures({&g.picture, nullptr, &g.picture}, {dir.filePath("g"), "svg"});
    QVERIFY(saved.ok);
    QCOMPARE(saved.written, (QStringList{dir.filePath("g_01.svg"), dir.filePath("g_03.svg")}));
    QVERIFY(!QFile::exists(dir.filePath("g_02.svg")));
}

void TestGraphExport::pngOfAKnownGraphShowsItsCurvesAndText() {
    QTemporaryDir dir;
    const KnownGraph g;
    QVERIFY(WritePicture(g.picture, dir.filePath("g.png"), ExportFormat::Png));
    const QImage image(dir.filePath("g.png"));
    QCOMPARE(image.size(), kDefaultPixelSize);
    int dark = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.lightness() < 60) ++dark;
            if (c.blue() > 200 && c.red() < 60 && c.green() < 60) ++blue;
        }
    }
    QVERIFY2(dark > 2000, "axes and labels are drawn in black");
    QVERIFY2(blue > 200, "the first branch is drawn in blue");
    // The title stands centred under the plot box, in the bottom tenth of the picture.
    int titleInk = 0;
    for (int y = image.height() * 9 / 10; y < image.height(); ++y) {
        for (int x = image.width() * 3 / 10; x < image.width() / 2; ++x)
            titleInk += image.pixelColor(x, y).lightness() < 100;
    }
    QVERIFY(titleInk > 50);

    QVERIFY(WritePicture(g.picture, dir.filePath("small.png"), ExportFormat::Png, QSize(300, 200)));
    QCOMPARE(QImage(dir.filePath("small.png")).size(), QSize(300, 200));
}

void TestGraphExport::everyFormatWritesItsOwnKindOfFile() {
    QTemporaryDir dir;
    const KnownGraph g;
    QVERIFY(WritePicture(g.picture, dir.filePath("g.svg"), ExportFormat::Svg));
    QVERIFY(WritePicture(g.picture, dir.filePath("g.pdf"), ExportFormat::Pdf));
    QVERIFY(WritePicture(g.picture, dir.filePath("g.emf"), ExportFormat::Emf));
    const QByteArray svg = Head(dir.filePath("g.svg"), 4096);
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("width=\"120mm\""));
    QVERIFY(svg.contains("height=\"70mm\""));
    QVERIFY(Head(dir.filePath("g.pdf"), 5) == "%PDF-");
    QCOMPARE(Head(dir.filePath("g.emf"), 44).mid(40), QByteArray(" EMF"));
    QCOMPARE(FormatFromExtension("Pdf"), std::optional<ExportFormat>(ExportFormat::Pdf));
    QVERIFY(!FormatFromExtension("jpg"));
}

void TestGraphExport::failedWritesLeaveNoFile() {
    QTemporaryDir dir;
    const KnownGraph g;
    const QString missing = dir.filePath("none/g.png");
    QVERIFY(!WritePicture(g.picture, missing, ExportFormat::Png));
    const SaveOutcome saved = SavePictures({&g.picture}, {dir.filePath("none/g"), "pdf"});
    QVERIFY(!saved.ok);
    QCOMPARE(saved.failed, dir.filePath("none/g.pdf"));
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

QTEST_MAIN(TestGraphExport)
#include "tst_graph_export.moc"
