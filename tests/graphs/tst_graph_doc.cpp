#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "graph_test_files.h"
#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"

using namespace graphs;
using Outcome = CGraphDoc::UpdateOutcome;

namespace {

std::vector<GraphCurve> Curves(std::initializer_list<const char*> ys) {
    std::vector<GraphCurve> curves;
    for (const char* y : ys) curves.push_back(Curve("t", y));
    return curves;
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
    void init() {
        messages_.clear();
        previous_ = SetMessageHandler([this](QWidget*, const QString& text) { messages_ << text; });
        path_ = dir_.filePath("t.PRN");
        Write("t x y\n0 1 2\n1 2 4\n2 0 3\n");
    }
    void cleanup() {
        SetMessageHandler(previous_);
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(), "a test left a window open");
    }

    void updateReadsChangedFilesAndKeepsPicturesOnFailure() {
        CGraphDoc doc(path_, Curves({"y"}), GraphLayout{});
        QCOMPARE(doc.Title(), "Picture:" + path_);
        QSignalSpy changed(&doc, &CGraphDoc::Changed);
        QCOMPARE(doc.Update(true), Outcome::Rendered);
        QCOMPARE(doc.Update(false), Outcome::Unchanged);
        QCOMPARE(doc.Update(true), Outcome::Rendered);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(doc.Pictures().size(), std::size_t{1});  // not one more per rendering

        Write("t z y\n0 1 2\n1 2 4\n2 3 9\n");
        QCOMPARE(doc.Update(false), Outcome::Rendered);
        const auto before = doc.Pictures()[0];
        Write("t x z\n0 1 2\n");
        QCOMPARE(doc.Update(false), Outcome::MissingColumn);
        QCOMPARE(messages_,
                 QStringList{"Graph cannot be updated!\nMissing information for y variable!"});
        QCOMPARE(doc.Pictures()[0], before);
        QFile::remove(path_);
        QCOMPARE(doc.Update(true), Outcome::Unreadable);
        QCOMPARE(doc.Pictures()[0], before);

        Write("t x y\n0 1 2\n1 2 2\n");  // all y equal: an empty picture
        QCOMPARE(doc.Update(false), Outcome::Rendered);
        QVERIFY(doc.Pictures()[0]->Empty());

        CGraphDoc separate(path_, Curves({"x", "y"}), Separate());
        separate.Update(true);
        QCOMPARE(separate.Pictures().size(), std::size_t{2});
    }

    void listReusesSlotsAndOutlivesNeitherSide() {
        auto* kept = new CGraphDoc(path_, Curves({"y"}), GraphLayout{});
        {
            GraphList list;
            auto* a = new CGraphDoc(path_, Curves({"y"}), GraphLayout{});
            auto* b = new CGraphDoc(path_, Curves({"y"}), GraphLayout{});
            list.Add(a);
            list.Add(b);
            QCOMPARE(a->Owner(), &list);
            delete a;  // a closed graph leaves its slot empty for the next
            list.Add(kept);
            QCOMPARE(list.SlotOf(kept), 0);
            QCOMPARE(list.Graphs(), (std::vector<CGraphDoc*>{kept, b}));

            list.UpdateAll();
            Write("t x y\n0 1 2\n1 2 5\n");
            QSignalSpy keptChanged(kept, &CGraphDoc::Changed);
            list.UpdateAll();
            list.UpdateAll();
            QCOMPARE(keptChanged.count(), 1);  // only the run that changed the file
            delete b;
        }
        QCOMPARE(kept->Owner(), nullptr);  // its view closed: the graph stays, without owner
        delete kept;
    }

    void viewZoomsByClicksStacksPicturesAndSavesAndPrintsEach() {
        GraphList list;
        std::unique_ptr<CGraphView> view(CreateGraph(&list, path_, Curves({"x", "y"}), Separate()));
        QCOMPARE(list.Graphs(), std::vector<CGraphDoc*>{view->Document()});
        QCOMPARE(view->windowTitle(), "Picture:" + path_);
        view->resize(300, 200);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        const PixelSize size = view->PictureSize();
        const QSize window = view->viewport()->size();
        QCOMPARE(view->verticalScrollBar()->maximum(), 2 * size.height - window.height());

        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(view->Zoom(), 1);
        view->horizontalScrollBar()->setValue(20);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
        QCOMPARE(view->Zoom(), 2);
        QCOMPARE(view->horizontalScrollBar()->value(), 2 * 20 + 40);  // the clicked point stays
        QCOMPARE(view->verticalScrollBar()->maximum(), 4 * size.height - window.height());
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(view->Zoom(), 1);

        const QImage shot = view->viewport()->grab().toImage();
        int ink = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) ink += shot.pixelColor(x, y).lightness() < 128;
        }
        QVERIFY2(ink > 200, "the view shows its first picture");

        // Saving writes numbered files, printing makes pages: one for each picture.
        CGraphDoc* doc = view->Document();
        doc->SetExportName(dir_.filePath("g.EMF"));
        QVERIFY(view->SaveGraph());
        QVERIFY(QFile::exists(dir_.filePath("g_01.EMF")));
        QVERIFY(QFile::exists(dir_.filePath("g_02.EMF")));

        doc->SetExportName(dir_.filePath("missing/g"));
        QVERIFY(!view->SaveGraph());
        QCOMPARE(messages_,
                 QStringList{"The graph cannot be saved to " + dir_.filePath("missing/g_01.EMF")});

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir_.filePath("printed.pdf"));
        view->PrintTo(printer);
        QFile printed(dir_.filePath("printed.pdf"));
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QCOMPARE(printed.readAll().count("/Type /Page\n"), 2);
    }

   private:
    void Write(const QByteArray& text);
    QStringList messages_;
    MessageHandler previous_;
    QTemporaryDir dir_;
    QString path_;
};

void TestGraphDoc::Write(const QByteArray& text) {
    WriteFile(path_.toStdString(), text.toStdString());
}

QTEST_MAIN(TestGraphDoc)
#include "tst_graph_doc.moc"
