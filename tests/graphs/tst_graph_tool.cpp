#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run Tool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VALDRIX_GRAPH_PROGRAM), args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray Head(const QString& path, int bytes) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

const QString kSweep = QStringLiteral(VALDRIX_GRAPHS_DATA "/range_sweep.PRN");

}  // namespace

class TestGraphTool : public QObject {
    Q_OBJECT
   private slots:
    void failuresExitWithTwoAndSayWhy_data();
    void failuresExitWithTwoAndSayWhy();
    void writesTheFourFormatsOfATwoParameterSweep();
    void emfOutputConvertsToSvgWithoutComplaint();
};

void TestGraphTool::failuresExitWithTwoAndSayWhy_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QStringList{"nowhere.PRN", "a", "r", "-o", "g.png"}
                                  << "cannot open results file 'nowhere.PRN'";
    QTest::newRow("unknown column")
        << QStringList{kSweep, "a", "q", "-o", "g.png"} << "has no column 'q' (columns: g r v a)";
    QTest::newRow("unknown x") << QStringList{kSweep, "b", "r", "-o", "g.png"}
                               << "has no column 'b'";
    QTest::newRow("format") << QStringList{kSweep, "a", "r", "-o", "g.jpg"}
                            << "the extension must be emf, svg, png or pdf";
    QTest::newRow("no y") << QStringList{kSweep, "a", "-o", "g.png"} << "expected RESULTS.PRN X Y";
    QTest::newRow("no output") << QStringList{kSweep, "a", "r"} << "expected -o FILE";
    QTest::newRow("size") << QStringList{kSweep, "a", "r", "-o", "g.png", "--size", "0x5"}
                          << "--size takes WxH";
    QTest::newRow("type") << QStringList{kSweep, "a", "r", "-o", "g.png", "--type", "pie"}
                          << "unknown graph type 'pie'";
}

void TestGraphTool::failuresExitWithTwoAndSayWhy() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    for (QString& a : args) {
        if (a.startsWith("g.")) a = dir.filePath(a);
    }
    const Run r = Tool(args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(QDir(dir.path()).isEmpty());

    const Run help = Tool({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("usage: valdrix-graph RESULTS.PRN X Y"));
}

void TestGraphTool::writesTheFourFormatsOfATwoParameterSweep() {
    QTemporaryDir dir;
    for (const char* ext : {"emf", "svg", "png", "pdf"}) {
        const QString out = dir.filePath(QStringLiteral("range.") + ext);
        const Run r = Tool({kSweep, "a", "r", "-o", out, "--title", "Range of a projectile"});
        QCOMPARE(r.status, 0);
        QVERIFY2(!r.err.contains("valdrix-graph"), qPrintable(r.err));
    }
    QCOMPARE(Head(dir.filePath("range.emf"), 44).mid(40), QByteArray(" EMF"));
    const QByteArray svg = Head(dir.filePath("range.svg"), 1 << 20);
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("v=15"));  // the parameter legend
    QVERIFY(svg.contains("Range of a projectile"));
    const QImage png(dir.filePath("range.png"));
    QCOMPARE(png.size(), QSize(960, 560));
    QCOMPARE(Head(dir.filePath("range.pdf"), 5), QByteArray("%PDF-"));

    const Run two = Tool({kSweep, "a", "r", "g", "-o", dir.filePath("two.png"), "--size", "480x280",
                          "--type", "bar"});
    QCOMPARE(two.status, 0);
    QCOMPARE(QImage(dir.filePath("two.png")).size(), QSize(480, 280));
}

void TestGraphTool::emfOutputConvertsToSvgWithoutComplaint() {
    const QString converter = QStandardPaths::findExecutable("emf2svg-conv");
    if (converter.isEmpty()) QSKIP("emf2svg-conv is not installed");
    QTemporaryDir dir;
    QCOMPARE(Tool({kSweep, "a", "r", "-o", dir.filePath("g.emf")}).status, 0);
    QProcess conv;
    conv.start(converter, {"-i", dir.filePath("g.emf"), "-o", dir.filePath("g.svg")});
    QVERIFY(conv.waitForFinished(60000));
    QCOMPARE(conv.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(conv.readAllStandardError()), QString());
    const QByteArray svg = Head(dir.filePath("g.svg"), 1 << 20);
    QVERIFY(svg.contains("v=20"));
    QVERIFY(svg.contains("Times New Roman"));
}

QTEST_MAIN(TestGraphTool)
#include "tst_graph_tool.moc"
