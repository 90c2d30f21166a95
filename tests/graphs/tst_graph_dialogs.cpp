#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "core/base/bounds.h"
#include "core/run/entry.h"
#include "graph_test_files.h"
#include "graphs/fft_dlg.h"
#include "graphs/graph_doc.h"
#include "graphs/graph_generation_dlg.h"
#include "graphs/graph_set_dlg.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"

using namespace graphs;
using Set = CGraphSetDlg;
using Outcome = CGraphDoc::UpdateOutcome;

namespace {

template <typename T>
T* Child(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no child %s", name);
    return child;
}

QString Cell(const Set& d, int row, int column) {
    const QTableWidgetItem* item = d.Grid()->item(row, column);
    return item != nullptr ? item->text() : QString();
}

QColor Colour(const Set& d, int row, int column) {
    return d.Grid()->item(row, column)->background().color();
}

// Runs `step` on the modal dialog that the code under test opens next.
void OnNextDialog(std::function<void(Set*)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<Set*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        step(dialog);
    });
}

std::vector<GraphCurve> Curves(std::initializer_list<const char*> ys) {
    std::vector<GraphCurve> curves;
    for (const char* y : ys) curves.push_back(Curve("t", y));
    return curves;
}

}  // namespace

// Graph documents, their windows and the dialogs that make them. Each test starts with t.PRN, a
// table of three rows, in its folder.
class TestGraphDialogs : public QObject {
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

    void graphSetRowsTakeTheCurrentVariablesAndColourAndCompleteOnesMakeCurves() {
        Set d(sweep_);
        QCOMPARE(d.windowTitle(), "Graph: " + sweep_);
        QCOMPARE(d.Variables()->count(), 4);  // the header after the parameter line
        QCOMPARE(d.CurrentX(), QString("g"));
        QCOMPARE(d.Grid()->horizontalHeaderItem(Set::kTitle)->text(),
                 QString("Title                  "));
        QCOMPARE(d.Layout().type, GraphType::None);
        QVERIFY(d.Layout().oneGraph && d.Layout().horizontalGrid && d.Layout().verticalGrid);
        QVERIFY(!Child<QPushButton>(&d, "useY")->isEnabled());  // no row has the focus yet

        d.Variables()->setCurrentRow(3);
        d.NewRow();  // One Graph: the current x variable (still g) fills X-axis and X-Title
        QCOMPARE(Cell(d, 0, Set::kNo), QString("01"));
        QCOMPARE(Cell(d, 0, Set::kXAxis), QString("g"));
        QCOMPARE(Cell(d, 0, Set::kXTitle), QString("g"));
        QVERIFY(Child<QPushButton>(&d, "useY")->isEnabled());
        d.UseAsX();  // a becomes the x variable of every row
        d.NewRow();
        QCOMPARE(Cell(d, 1, Set::kXAxis), QString("a"));
        d.Variables()->setCurrentRow(1);
        d.UseAsY();
        QCOMPARE(Cell(d, 1, Set::kYTitle), QString("r"));

        d.SetCurrentColour(MakeColour(200, 0, 0));
        d.Grid()->setCurrentCell(0, Set::kTitle);
        d.InsertRow();  // before row 0, renumbering the rest
        QCOMPARE(Cell(d, 2, Set::kNo), QString("03"));
        QCOMPARE(Cell(d, 0, Set::kXTitle), QString("a"));
        QCOMPARE(Colour(d, 0, Set::kColor), QColor(200, 0, 0));
        QCOMPARE(Colour(d, 1, Set::kColor), QColor(0, 0, 255));
        d.Grid()->setCurrentCell(1, 0);
        d.RefreshColour();
        QCOMPARE(Colour(d, 1, Set::kColor), QColor(200, 0, 0));
        d.DeleteRow();
        QCOMPARE(Cell(d, 1, Set::kNo), QString("02"));
        QCOMPARE(Cell(d, 1, Set::kYAxis), QString("r"));

        d.OneGraph()->setChecked(false);
        d.NewRow();  // without One Graph X-axis stays empty
        QCOMPARE(Cell(d, 2, Set::kXAxis), QString());
        d.Variables()->setCurrentRow(3);
        d.UseAsX();
        d.Variables()->setCurrentRow(1);
        d.UseAsY();
        d.Grid()->item(2, Set::kTitle)->setText(QString::fromUtf8("Range \u03b1"));
        d.NewRow();                      // no y: no curve
        d.OneGraph()->setChecked(true);  // ticking it fills X-axis of every row
        QCOMPARE(Cell(d, 3, Set::kXAxis), QString("a"));
        const std::vector<GraphCurve> curves = d.Curves();  // of the complete rows 1 and 2
        QCOMPARE(curves.size(), std::size_t{2});
        QCOMPARE(curves[0].colour, kBlue);
        QCOMPARE(curves[1].xName, std::string("a"));
        QCOMPARE(curves[1].yName, std::string("r"));
        QCOMPARE(curves[1].xIndex, 3);
        QCOMPARE(curves[1].yIndex, 1);
        QCOMPARE(curves[1].title, std::string("Range \xce\xb1"));
        QCOMPARE(curves[1].colour, MakeColour(200, 0, 0));  // the colour chosen above
    }

    // Names in the result file are single bytes; the dialog shows their letters, and the curves
    // keep the bytes so that the graph finds its columns in the file again.
    void graphSetShowsSymbolNamesAndKeepsTheirBytes() {
        Set d(QString::fromStdString(
            WriteFile(dir_.filePath("greek.PRN").toStdString(), "  x  \xE1  \xF1\n1 2 3\n")));
        QCOMPARE(d.Variables()->count(), 3);
        QCOMPARE(d.Variables()->item(1)->text(), QString::fromUtf8("\u03b1"));
        QCOMPARE(d.Variables()->item(2)->text(), QString::fromUtf8("\u03c1"));
        d.Variables()->setCurrentRow(0);
        d.NewRow();
        d.Variables()->setCurrentRow(2);
        d.UseAsY();
        QCOMPARE(Cell(d, 0, Set::kYAxis), QString::fromUtf8("\u03c1"));
        const std::vector<GraphCurve> curves = d.Curves();
        QCOMPARE(curves.size(), std::size_t(1));
        QCOMPARE(curves[0].xName, std::string("x"));
        QCOMPARE(curves[0].yName, std::string("\xF1"));
        QCOMPARE(curves[0].yIndex, 2);
    }

    void openGraphWithoutCurvesSaysSo() {
        GraphList list;
        OnNextDialog([](Set* d) {
            d->NewRow();
            d->accept();
        });
        QCOMPARE(OpenGraph(&list, sweep_, nullptr), nullptr);
        QCOMPARE(messages_, QStringList{"There is nothing to be drawn"});

        OnNextDialog([](Set* d) { d->reject(); });
        QCOMPARE(OpenGraph(&list, sweep_, nullptr), nullptr);
        QCOMPARE(messages_.size(), 1);

        OnNextDialog([](Set* d) {
            d->NewRow();
            d->Variables()->setCurrentRow(1);
            d->UseAsY();
            d->accept();
        });
        std::unique_ptr<CGraphView> view(OpenGraph(&list, sweep_, nullptr));
        QVERIFY(view != nullptr);
        QCOMPARE(list.Graphs(), std::vector<CGraphDoc*>{view->Document()});
    }

    void generationDefaultsAndChoices() {
        CGraphGenerationDlg d({"x", "y", "k"});
        QCOMPARE(d.windowTitle(), QString("Graph Generation"));
        QCOMPARE(Child<QLineEdit>(&d, "from")->text(), QString("-10"));
        QCOMPARE(Child<QLineEdit>(&d, "paramTo")->text(), QString("5"));
        QVERIFY(!Child<QComboBox>(&d, "parameterVariable")->isEnabled());
        Child<QCheckBox>(&d, "parametric")->setChecked(true);
        QVERIFY(Child<QComboBox>(&d, "parameterVariable")->isEnabled());
        Child<QComboBox>(&d, "independentVariable")->setCurrentIndex(1);
        Child<QComboBox>(&d, "parameterVariable")->setCurrentIndex(2);
        Child<QLineEdit>(&d, "paramFrom")->setText("1.5");
        d.accept();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const SweepChoice c = d.Choice();
        QCOMPARE(c.variable, 2);  // 1-based, as the sweep counts variables
        QCOMPARE(c.to, 10.0);
        QCOMPARE(c.intervals, 50);
        QVERIFY(c.secondParameter && !c.writeFft);
        QCOMPARE(c.parameter, 3);
        QCOMPARE(c.paramFrom, 1.5);
        QCOMPARE(c.paramIntervals, 5);

        // For an FFT the steps are powers of two.
        CGraphGenerationDlg f({"yr", "yi", "w", "z"});
        f.show();
        auto* fftSteps = Child<QComboBox>(&f, "fftSteps");
        QVERIFY(!fftSteps->isVisible());
        Child<QCheckBox>(&f, "forFft")->setChecked(true);
        QVERIFY(fftSteps->isVisible() && !Child<QSpinBox>(&f, "steps")->isVisible());
        QCOMPARE(fftSteps->currentText(), QString("256"));
        QCOMPARE(Child<QLineEdit>(&f, "to")->text(), QString("6.283185"));
        fftSteps->setCurrentIndex(0);
        const SweepChoice fft = f.Choice();
        QCOMPARE(fft.variable, 3);  // w: the first name that is not half of a complex pair
        QVERIFY(fft.writeFft);
        QCOMPARE(fft.intervals, 32);
        QCOMPARE(fft.from, 0.0);
        f.close();
    }

    // An empty range stays open with a message, and so does any sweep that the core would
    // refuse for its size: a sweep takes its steps plus one rows, and a second parameter
    // multiplies them. The ranges are rows of generation_ranges.txt (see the README beside it).
    void generationRefusesWhatTheCoreWouldNotTake_data() {
        QTest::addColumn<QStringList>("row");
        QFile table(QStringLiteral(VALDRIX_GRAPH_DIALOGS_DATA "/generation_ranges.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QStringList row = QString::fromUtf8(line).split(" | ");
            if (row.size() == 7) QTest::newRow(qPrintable(row[0])) << row.mid(1);
        }
    }

    void generationRefusesWhatTheCoreWouldNotTake() {
        QFETCH(QStringList, row);
        const QString refusal = row[5] == "taken" ? QString() : row[5];
        CGraphGenerationDlg d({"x", "y"});
        d.show();
        Child<QLineEdit>(&d, "from")->setText(row[0]);
        Child<QLineEdit>(&d, "to")->setText(row[1]);
        Child<QCheckBox>(&d, "parametric")->setChecked(row[2] == "parametric");
        Child<QComboBox>(&d, "parameterVariable")->setCurrentIndex(1);
        Child<QSpinBox>(&d, "steps")->setValue(row[3].toInt());
        Child<QSpinBox>(&d, "paramSteps")->setValue(row[4].toInt());
        d.accept();
        QCOMPARE(d.isVisible(), !refusal.isEmpty());
        QCOMPARE(messages_, refusal.isEmpty() ? QStringList{} : QStringList{refusal});
        if (refusal.isEmpty()) {
            const SweepChoice c = d.Choice();
            QVERIFY(SweepStepCount(c.intervals, c.secondParameter ? c.paramIntervals : 0) <=
                    kMaxSweepSteps);
        }
        d.close();
    }

    // The FFT dialog as the core's command W opens it on a series file: it shows the core's own
    // preselection, so that the desktop transforms what the command line does; a real signal
    // has "(none)" as its imaginary part, never its real part a second time.
    void fftShowsTheCorePreselection_data() {
        QTest::addColumn<QByteArray>("series");
        QTest::addColumn<QStringList>("shown");  // independent variable, Re ( Y ), Im ( Y )
        QTest::addColumn<double>("amplitude1");  // of output index 1
        QTest::newRow("a real signal")
            << QByteArray("t y\n0 1\n1 0\n2 -1\n3 0\n") << QStringList{"t", "y", "(none)"} << 1.0;
        QTest::newRow("a complex pair") << QByteArray("t yr yi\n0 1 0\n1 0 -1\n2 -1 0\n3 0 1\n")
                                        << QStringList{"t", "yr", "yi"} << 2.0;
    }

    void fftShowsTheCorePreselection() {
        QFETCH(QByteArray, series);
        struct Services : DefaultShellServices {
            QStringList shown;
            bool FftDialog(const std::vector<std::string>& columns, FftChoice& choice) override {
                CFftDlg d(columns, choice);
                for (const char* list : {"timeColumn", "realColumn", "imagColumn"})
                    shown << Child<QComboBox>(&d, list)->currentText();
                choice = d.Choice();
                return true;
            }
        } services;
        const std::string document =
            WriteFile(dir_.filePath("wave.alg").toStdString(), "y = 2*t;\n");
        WriteFile(dir_.filePath("wave.FFT").toStdString(), series.toStdString());

        SetShellServices(&services);
        SolverEntry(document.c_str(), "W0");
        SetShellServices(nullptr);
        QTEST(services.shown, "shown");
        QFile spectrum(dir_.filePath("wave.PRN"));
        QVERIFY(spectrum.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = spectrum.readAll().split('\n');
        QVERIFY(lines.size() > 2);
        const QList<QByteArray> row = lines[2].simplified().split(' ');  // after the header
        QVERIFY(row.size() >= 2);
        QTEST(row[1].toDouble(), "amplitude1");
    }

    void fftNoneStandsForARealSignalAndTheRangeNeverRunsBackwards() {
        CFftDlg d({"t", "ur", "ui", "vr", "vi"}, FftChoice{0, 3, 4, 1});
        QCOMPARE(d.windowTitle(), QString("FFT"));
        auto* imag = Child<QComboBox>(&d, "imagColumn");
        QCOMPARE(imag->itemText(0), QString("(none)"));
        QCOMPARE(imag->currentText(), QString("vi"));
        QCOMPARE(Child<QComboBox>(&d, "realColumn")->count(), 5);  // no "(none)" for the others
        QCOMPARE(Child<QSpinBox>(&d, "highIndex")->text(), QString("last"));
        Child<QSpinBox>(&d, "highIndex")->setValue(10);
        Child<QSpinBox>(&d, "lowIndex")->setValue(20);  // lifts the highest index with it
        FftChoice c = d.Choice();
        QCOMPARE((std::vector<int>{c.timeColumn, c.realColumn, c.imagColumn}),
                 (std::vector<int>{0, 3, 4}));
        QCOMPARE(c.axis, 1);
        QCOMPARE(c.lowIndex, 20);
        QCOMPARE(c.highIndex, 20);
        imag->setCurrentIndex(0);
        QCOMPARE(d.Choice().imagColumn, kNoFftColumn);
    }

    void updateReadsChangedFilesKeepsPicturesOnFailureAndListsReuseSlots() {
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

        CGraphDoc separate(path_, Curves({"x", "y"}), GraphLayout{.oneGraph = false});
        separate.Update(true);
        QCOMPARE(separate.Pictures().size(), std::size_t{2});

        // A list of graphs reuses the slots of closed ones and outlives neither side.
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
        std::unique_ptr<CGraphView> view(
            CreateGraph(&list, path_, Curves({"x", "y"}), GraphLayout{.oneGraph = false}));
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
    void Write(const QByteArray& text) { WriteFile(path_.toStdString(), text.toStdString()); }
    QStringList messages_;
    MessageHandler previous_;
    QTemporaryDir dir_;
    QString path_;
    const QString sweep_ = QStringLiteral(VALDRIX_GRAPHS_DATA "/range_sweep.PRN");
};

QTEST_MAIN(TestGraphDialogs)
#include "tst_graph_dialogs.moc"
