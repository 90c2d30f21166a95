#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"

using namespace graphs;

namespace {

GraphCurve Curve(const std::string& x, const std::string& y) {
    GraphCurve c;
    c.xName = c.xTitle = x;
    c.yName = c.yTitle = y;
    return c;
}

void Write(const QString& path, const QByteArray& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

GraphLayout Separate() {
    GraphLayout l;
    l.oneGraph = false;
    return l;
}

}  // namespace

class TestGraphDoc : public QObject {
    Q_OBJECT
   private slots:
    void init();
    void cleanup();
    void updateReadsChangedFilesAndKeepsPicturesOnFailure();
    void oneGraphOrOnePicturePerCurve();
    void listReusesSlotsAndOutlivesNeitherSide();
    void viewZoomsByClicksAndStacksPictures();
    void saveGraphWritesNumberedFilesAndPrintingMakesPages();

   private:
    QStringList messages_;
    MessageHandler previous_;
};

void TestGraphDoc::init() {
    messages_.clear();
    previous_ = SetMessageHandler([this](QWidget*, const QString& text) { messages_ << text; });
}

void TestGraphDoc::cleanup() {
    SetMessageHandler(previous_);
    QVERIFY2(QApplication::topLevelWidgets().isEmpty(), "a test left a window open");
}

void TestGraphDoc::updateReadsChangedFilesAndKeepsPicturesOnFailure() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.PRN");
    Write(path, "t x y\n0 1 2\n1 2 4\n");
    CGraphDoc doc(path, {Curve("t", "y")}, GraphLayout{});
    QCOMPARE(doc.Title(), "Picture:" + path);
    QSignalSpy changed(&doc, &CGraphDoc::Changed);
    QCOMPARE(doc.Update(true), CGraphDoc::UpdateOutcome::Rendered);
    QCOMPARE(doc.Pictures().size(), std::size_t{1});
    const auto first = doc.Pictures()[0];
    QVERIFY(!first->Empty());
    QCOMPARE(doc.Update(false), CGraphDoc::UpdateOutcome::Unchanged);
    QCOMPARE(doc.Update(true), CGraphDoc::UpdateOutcome::Rendered);
    QCOMPARE(changed.count(), 2);

    Write(path, "t z y\n0 1 2\n1 2 4\n2 3 9\n");
    QCOMPARE(doc.Update(false), CGraphDoc::UpdateOutcome::Rendered);
    QCOMPARE(doc.Pictures().size(), std::size_t{1});

    Write(path, "t x z\n0 1 2\n");
    const auto before = doc.Pictures()[0];
    QCOMPARE(doc.Update(false), CGraphDoc::UpdateOutcome::MissingColumn);
    QCOMPARE(messages_,
             QStringList{"Graph cannot be updated!\nMissing information for y variable!"});
    QCOMPARE(doc.Pictures()[0], before);

    QFile::remove(path);
    QCOMPARE(doc.Update(true), CGraphDoc::UpdateOutcome::Unreadable);
    QCOMPARE(doc.Pictures()[0], before);

    // A curve whose values are all equal has an empty picture.
    Write(path, "t x y\n0 1 2\n1 2 2\n");
    QCOMPARE(doc.Update(false), CGraphDoc::UpdateOutcome::Rendered);
    QVERIFY(doc.Pictures()[0]->Empty());
}

void TestGraphDoc::oneGraphOrOnePicturePerCurve() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.PRN");
    Write(path, "t x y\n0 1 2\n1 2 4\n");
    CGraphDoc one(path, {Curve("t", "x"), Curve("t", "y")}, GraphLayout{});
    one.Update(true);
    QCOMPARE(one.Pictures().size(), std::size_t{1});
    CGraphDoc two(path, {Curve("t", "x"), Curve("t", "y")}, Separate());
    for (int i = 0; i < 3; ++i) two.Update(true);
    QCOMPARE(two.Pictures().size(), std::size_t{2});
    QCOMPARE(two.PictureSlots().size(), std::size_t{2});
}

void TestGraphDoc::listReusesSlotsAndOutlivesNeitherSide() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.PRN");
    Write(path, "t y\n0 1\n1 2\n");
    auto* kept = new CGraphDoc(path, {Curve("t", "y")}, GraphLayout{});
    {
        GraphList list;
        auto* a = new CGraphDoc(path, {Curve("t", "y")}, GraphLayout{});
        auto* b = new CGraphDoc(path, {Curve("t", "y")}, GraphLayout{});
        list.Add(a);
        list.Add(b);
        QCOMPARE(a->Owner(), &list);
        delete a;  // a closed graph leaves its slot empty
        QCOMPARE(list.Graphs(), std::vector<CGraphDoc*>{b});
        list.Add(kept);
        QCOMPARE(list.SlotOf(kept), 0);
        QCOMPARE(list.SlotCount(), 2);

        kept->Update(true);
        b->Update(true);
        Write(path, "t y\n0 1\n1 2\n2 5\n");
        QSignalSpy keptChanged(kept, &CGraphDoc::Changed);
        list.UpdateAll();
        QCOMPARE(keptChanged.count(), 1);
        list.UpdateAll();
        QCOMPARE(keptChanged.count(), 1);  // unchanged since
        delete b;
    }
    QCOMPARE(kept->Owner(), nullptr);  // the view closed: the graph stays, without owner
    delete kept;
}

void TestGraphDoc::viewZoomsByClicksAndStacksPictures() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.PRN");
    Write(path, "t x y\n0 1 2\n1 2 4\n2 0 3\n");
    GraphList list;
    std::unique_ptr<CGraphView> view(
        CreateGraph(&list, path, {Curve("t", "x"), Curve("t", "y")}, Separate()));
    QCOMPARE(list.Graphs().size(), std::size_t{1});
    QCOMPARE(view->windowTitle(), "Picture:" + path);
    view->resize(300, 200);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    const PixelSize size = view->PictureSize();
    const QSize window = view->viewport()->size();
    QCOMPARE(view->verticalScrollBar()->maximum(), 2 * size.height - window.height());

    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(view->Zoom(), 1);  // not below 1
    view->horizontalScrollBar()->setValue(20);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
    QCOMPARE(view->Zoom(), 2);
    QCOMPARE(view->horizontalScrollBar()->value(), 2 * 20 + 40);
    QCOMPARE(view->horizontalScrollBar()->maximum(), 2 * size.width - window.width());
    QCOMPARE(view->verticalScrollBar()->maximum(), 4 * size.height - window.height());
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(view->Zoom(), 1);

    const QImage shot = view->viewport()->grab().toImage();
    int ink = 0;
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2) ink += shot.pixelColor(x, y).lightness() < 128;
    }
    QVERIFY2(ink > 50, "the view shows its first picture");
}

void TestGraphDoc::saveGraphWritesNumberedFilesAndPrintingMakesPages() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.PRN");
    Write(path, "t x y\n0 1 2\n1 2 4\n");
    std::unique_ptr<CGraphView> view(
        CreateGraph(nullptr, path, {Curve("t", "x"), Curve("t", "y")}, Separate()));
    CGraphDoc* doc = view->Document();
    QVERIFY(!doc->HasExportName());
    doc->SetExportName(dir.filePath("g.EMF"));
    QCOMPARE(doc->ExportName()->base, dir.filePath("g"));
    QVERIFY(view->SaveGraph());
    QVERIFY(QFile::exists(dir.filePath("g_01.EMF")));
    QVERIFY(QFile::exists(dir.filePath("g_02.EMF")));
    QVERIFY(!QFile::exists(dir.filePath("g.EMF.EMF")));

    doc->SetExportName(dir.filePath("missing/g"));
    QVERIFY(!view->SaveGraph());
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].contains("missing/g_01.EMF"));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    view->PrintTo(printer);
    QFile printed(dir.filePath("printed.pdf"));
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QCOMPARE(printed.readAll().count("/Type /Page\n") + 0, 2);
}

QTEST_MAIN(TestGraphDoc)
#include "tst_graph_doc.moc"
