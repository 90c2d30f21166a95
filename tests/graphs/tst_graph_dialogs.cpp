#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "graphs/fft_dlg.h"
#include "graphs/graph_doc.h"
#include "graphs/graph_generation_dlg.h"
#include "graphs/graph_set_dlg.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"

using namespace graphs;

namespace {

template <typename T>
T* Child(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no child %s", name);
    return child;
}

QString Cell(const CGraphSetDlg& d, int row, int column) {
    const QTableWidgetItem* item = d.Grid()->item(row, column);
    return item != nullptr ? item->text() : QString();
}

// Runs `step` on the modal dialog that the code under test opens next.
void OnNextDialog(std::function<void(QDialog*)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        step(dialog);
    });
}

}  // namespace

class TestGraphDialogs : public QObject {
    Q_OBJECT
   private slots:
    void init();
    void cleanup();
    void graphSetListsTheHeaderAndStartsEmpty();
    void graphSetRowsTakeTheCurrentVariablesAndColour();
    void graphSetBuildsCurvesFromCompleteRows();
    void openGraphWithoutCurvesSaysSo();
    void generationDefaultsAndParameterFields();
    void generationForFftOffersPowersOfTwo();
    void generationRefusesAnEmptyRange_data();
    void generationRefusesAnEmptyRange();
    void fftPreselectsColumnsByName();

   private:
    QStringList messages_;
    MessageHandler previous_;
    QTemporaryDir dir_;
    QString sweep_;
};

void TestGraphDialogs::init() {
    messages_.clear();
    previous_ = SetMessageHandler([this](QWidget*, const QString& text) { messages_ << text; });
    sweep_ = dir_.filePath("s.PRN");
    QFile f(sweep_);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("PARAMETER:         v        2\n  g  r  v  a\n9.81 1 10 0.1\n9.81 2 10 0.2\n");
}

void TestGraphDialogs::cleanup() {
    SetMessageHandler(previous_);
    QVERIFY2(QApplication::topLevelWidgets().isEmpty(), "a test left a window open");
}

void TestGraphDialogs::graphSetListsTheHeaderAndStartsEmpty() {
    CGraphSetDlg d(sweep_);
    QCOMPARE(d.windowTitle(), "Graph: " + sweep_);
    QCOMPARE(d.Variables()->count(), 4);
    QCOMPARE(d.Variables()->item(3)->text(), QString("a"));
    QCOMPARE(d.Variables()->currentRow(), 0);
    QCOMPARE(d.CurrentX(), QString("g"));
    QStringList headings;
    for (int c = 0; c < d.Grid()->columnCount(); ++c)
        headings << d.Grid()->horizontalHeaderItem(c)->text();
    QCOMPARE(headings, (QStringList{"No", "X-axis     ", "Y-axis     ", "X-Title     ",
                                    "Y-Title     ", "Title                  ", "Color"}));
    QCOMPARE(d.Grid()->palette().color(QPalette::Base), QColor(255, 255, 224));
    const GraphLayout l = d.Layout();
    QVERIFY(l.oneGraph && l.horizontalGrid && l.verticalGrid);
    QCOMPARE(l.type, GraphType::None);
    for (const char* name : {"useX", "useY", "insert", "delete", "refresh"})
        QVERIFY(!Child<QPushButton>(&d, name)->isEnabled());
    QVERIFY(Child<QPushButton>(&d, "new")->isEnabled());
    QCOMPARE(Child<QPushButton>(&d, "useX")->text(), QString("Use as\n &x axis"));
}

void TestGraphDialogs::graphSetRowsTakeTheCurrentVariablesAndColour() {
    CGraphSetDlg d(sweep_);
    d.Variables()->setCurrentRow(3);
    d.NewRow();  // One Graph: the current x variable (still g) fills X-axis and X-Title
    QCOMPARE(Cell(d, 0, CGraphSetDlg::kNo), QString("01"));
    QCOMPARE(Cell(d, 0, CGraphSetDlg::kXAxis), QString("g"));
    QCOMPARE(Cell(d, 0, CGraphSetDlg::kXTitle), QString("g"));
    QVERIFY(Child<QPushButton>(&d, "useY")->isEnabled());
    QVERIFY(!(d.Grid()->item(0, CGraphSetDlg::kXAxis)->flags() & Qt::ItemIsEditable));
    QVERIFY(d.Grid()->item(0, CGraphSetDlg::kTitle)->flags() & Qt::ItemIsEditable);

    d.UseAsX();  // a becomes the x variable of every row
    d.NewRow();
    QCOMPARE(Cell(d, 1, CGraphSetDlg::kXAxis), QString("a"));
    d.Variables()->setCurrentRow(1);
    d.UseAsY();
    QCOMPARE(Cell(d, 1, CGraphSetDlg::kYAxis), QString("r"));
    QCOMPARE(Cell(d, 1, CGraphSetDlg::kYTitle), QString("r"));

    d.SetCurrentColour(MakeColour(200, 0, 0));
    d.Grid()->setCurrentCell(0, CGraphSetDlg::kTitle);
    d.InsertRow();  // before row 0, renumbering the rest
    QCOMPARE(d.Grid()->rowCount(), 3);
    QCOMPARE(Cell(d, 2, CGraphSetDlg::kNo), QString("03"));
    QCOMPARE(Cell(d, 0, CGraphSetDlg::kXTitle), QString("a"));
    QCOMPARE(d.Grid()->item(0, CGraphSetDlg::kColor)->background().color(), QColor(200, 0, 0));
    QCOMPARE(d.Grid()->item(0, CGraphSetDlg::kNo)->background().color(), QColor(200, 0, 0));
    QCOMPARE(d.Grid()->item(1, CGraphSetDlg::kColor)->background().color(), QColor(0, 0, 255));

    d.Grid()->setCurrentCell(1, 0);
    d.RefreshColour();
    QCOMPARE(d.Grid()->item(1, CGraphSetDlg::kColor)->background().color(), QColor(200, 0, 0));
    d.DeleteRow();
    QCOMPARE(d.Grid()->rowCount(), 2);
    QCOMPARE(Cell(d, 1, CGraphSetDlg::kNo), QString("02"));
    QCOMPARE(Cell(d, 1, CGraphSetDlg::kYAxis), QString("r"));
}

void TestGraphDialogs::graphSetBuildsCurvesFromCompleteRows() {
    CGraphSetDlg d(sweep_);
    d.OneGraph()->setChecked(false);
    d.NewRow();  // without One Graph X-axis stays empty
    QCOMPARE(Cell(d, 0, CGraphSetDlg::kXAxis), QString());
    d.Variables()->setCurrentRow(3);
    d.UseAsX();
    d.Variables()->setCurrentRow(1);
    d.UseAsY();
    d.Grid()->item(0, CGraphSetDlg::kTitle)->setText(QString::fromUtf8("Range \u03b1"));
    d.NewRow();                      // only X-Title: no curve
    d.OneGraph()->setChecked(true);  // ticking it fills X-axis of every row
    QCOMPARE(Cell(d, 1, CGraphSetDlg::kXAxis), QString("a"));

    const std::vector<GraphCurve> curves = d.Curves();
    QCOMPARE(curves.size(), std::size_t{1});
    QCOMPARE(curves[0].xName, std::string("a"));
    QCOMPARE(curves[0].xIndex, 3);
    QCOMPARE(curves[0].yName, std::string("r"));
    QCOMPARE(curves[0].yIndex, 1);
    QCOMPARE(curves[0].title, std::string("Range \xce\xb1"));
    QCOMPARE(curves[0].colour, kBlue);
}

void TestGraphDialogs::openGraphWithoutCurvesSaysSo() {
    GraphList list;
    OnNextDialog([](QDialog* d) {
        static_cast<CGraphSetDlg*>(d)->NewRow();
        d->accept();
    });
    QCOMPARE(OpenGraph(&list, sweep_, nullptr), nullptr);
    QCOMPARE(messages_, QStringList{"There is nothing to be drawn"});

    OnNextDialog([](QDialog* d) { d->reject(); });
    QCOMPARE(OpenGraph(&list, sweep_, nullptr), nullptr);
    QCOMPARE(messages_.size(), 1);

    OnNextDialog([](QDialog* d) {
        auto* set = static_cast<CGraphSetDlg*>(d);
        set->NewRow();
        set->Variables()->setCurrentRow(1);
        set->UseAsY();
        d->accept();
    });
    std::unique_ptr<CGraphView> view(OpenGraph(&list, sweep_, nullptr));
    QVERIFY(view != nullptr);
    QCOMPARE(list.Graphs().size(), std::size_t{1});
}

void TestGraphDialogs::generationDefaultsAndParameterFields() {
    CGraphGenerationDlg d({"x", "y", "k"});
    QCOMPARE(d.windowTitle(), QString("Graph Generation"));
    QCOMPARE(Child<QLineEdit>(&d, "from")->text(), QString("-10"));
    QCOMPARE(Child<QLineEdit>(&d, "to")->text(), QString("10"));
    QCOMPARE(Child<QSpinBox>(&d, "steps")->value(), 50);
    QCOMPARE(Child<QLineEdit>(&d, "paramTo")->text(), QString("5"));
    QCOMPARE(Child<QSpinBox>(&d, "paramSteps")->value(), 5);
    QVERIFY(!Child<QComboBox>(&d, "parameterVariable")->isEnabled());
    Child<QCheckBox>(&d, "parametric")->setChecked(true);
    QVERIFY(Child<QComboBox>(&d, "parameterVariable")->isEnabled());
    Child<QComboBox>(&d, "independentVariable")->setCurrentIndex(1);
    Child<QComboBox>(&d, "parameterVariable")->setCurrentIndex(2);
    Child<QLineEdit>(&d, "paramFrom")->setText("1.5");
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const SweepChoice c = d.Choice();
    QCOMPARE(c.variable, 2);
    QCOMPARE(c.intervals, 50);
    QVERIFY(c.secondParameter);
    QCOMPARE(c.parameter, 3);
    QCOMPARE(c.paramFrom, 1.5);
    QCOMPARE(c.paramIntervals, 5);
    QVERIFY(!c.writeFft);
}

void TestGraphDialogs::generationForFftOffersPowersOfTwo() {
    CGraphGenerationDlg d({"yr", "yi", "w", "z"});
    d.show();
    auto* fftSteps = Child<QComboBox>(&d, "fftSteps");
    QVERIFY(!fftSteps->isVisible());
    Child<QCheckBox>(&d, "forFft")->setChecked(true);
    QVERIFY(fftSteps->isVisible());
    QVERIFY(!Child<QSpinBox>(&d, "steps")->isVisible());
    QCOMPARE(fftSteps->count(), 14);
    QCOMPARE(fftSteps->currentText(), QString("256"));
    QCOMPARE(Child<QLineEdit>(&d, "from")->text(), QString("0"));
    QCOMPARE(Child<QLineEdit>(&d, "to")->text(), QString("6.283185"));
    QCOMPARE(Child<QComboBox>(&d, "independentVariable")->currentText(), QString("w"));
    fftSteps->setCurrentIndex(0);
    const SweepChoice c = d.Choice();
    QVERIFY(c.writeFft);
    QCOMPARE(c.intervals, 32);
    QCOMPARE(c.variable, 3);
    QCOMPARE(c.to, 6.283185);
    d.close();
}

void TestGraphDialogs::generationRefusesAnEmptyRange_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("steps");
    QTest::newRow("equal") << "5"
                           << "5" << 50;
    QTest::newRow("reversed") << "6"
                              << "5" << 50;
    QTest::newRow("no steps") << "0"
                              << "1" << 0;
    QTest::newRow("not a number") << ""
                                  << "1" << 10;
}

void TestGraphDialogs::generationRefusesAnEmptyRange() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, steps);
    CGraphGenerationDlg d({"x", "y"});
    d.show();
    Child<QLineEdit>(&d, "from")->setText(from);
    Child<QLineEdit>(&d, "to")->setText(to);
    Child<QSpinBox>(&d, "steps")->setValue(steps);
    d.accept();
    QVERIFY(d.isVisible());  // stays open
    QCOMPARE(messages_, QStringList{"Value \"From\" must be less than \"To\" value!!"});
    d.close();
}

void TestGraphDialogs::fftPreselectsColumnsByName() {
    FftChoice initial;
    initial.axis = 1;
    CFftDlg d({"t", "ur", "ui", "vr", "vi"}, initial);
    QCOMPARE(d.windowTitle(), QString("FFT"));
    QCOMPARE(Child<QComboBox>(&d, "axis")->count(), 3);
    QCOMPARE(Child<QSpinBox>(&d, "highIndex")->text(), QString("last"));
    Child<QComboBox>(&d, "imagColumn")->setCurrentIndex(4);
    Child<QSpinBox>(&d, "highIndex")->setValue(10);
    Child<QSpinBox>(&d, "lowIndex")->setValue(20);  // lifts the highest index with it
    const FftChoice c = d.Choice();
    QCOMPARE(c.timeColumn, 0);
    QCOMPARE(c.realColumn, 1);
    QCOMPARE(c.imagColumn, 4);
    QCOMPARE(c.axis, 1);
    QCOMPARE(c.lowIndex, 20);
    QCOMPARE(c.highIndex, 20);
    QCOMPARE(CFftDlg({"t", "ur", "ui"}, FftChoice{}).Choice().imagColumn, 2);
}

QTEST_MAIN(TestGraphDialogs)
#include "tst_graph_dialogs.moc"
