#include <QAction>
#include <QHeaderView>
#include <QTableView>
#include <QTextBlock>
#include <QtTest>

#include "gui_fixture.h"
#include "shell/core_runner.h"
#include "shell/equation_app.h"
#include "shell/equation_locator.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/results_dialog.h"

using guitest::WriteFile;

namespace {

QString Row(const ResultsModel& model, int row) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) {
        cells << model.data(model.index(row, c), Qt::DisplayRole).toString();
    }
    return cells.join(u'|');
}

QString Header(const ResultsModel& model) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) {
        cells << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return cells.join(u'|');
}

// A statement too long for one line of the compiler: 30 terms, 147 characters.
QString LongSum(const QString& before, const QString& after) {
    QStringList terms;
    for (int i = 0; i < 30; ++i) terms << QStringLiteral("aa");
    return before + terms.join(QStringLiteral(" + ")) + after;
}

}  // namespace

// The results viewer, and the way from the solver's messages back into the equation text.
class tst_ResultsView : public QObject {
    Q_OBJECT
   private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsResultFiles_data();
    void readsResultFiles();
    void viewerShowsTheTable();
    void resultsCommandFindsTheDocumentsFile();
    void viewerReadsTheSweepOfTheCore();
    void documentPositions_data();
    void documentPositions();
    void equationsAreCountedAsTheCompilerDoes_data();
    void equationsAreCountedAsTheCompilerDoes();
    void outputLinesThatNameAPlace_data();
    void outputLinesThatNameAPlace();
    void parseErrorPlacesTheCaret_data();
    void parseErrorPlacesTheCaret();
    void doubleClickOnAnOutputLineSelectsTheEquation();

   private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    PadView* openDocument(const QString& name, const QByteArray& text) {
        return frame_->OpenDocument(WriteFile(path(name), text));
    }
    bool waitForRun() {
        return QTest::qWaitFor([this] { return !app_->runner().busy(); }, 120000);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<EquationApp> app_;
    std::unique_ptr<MainFrame> frame_;
    std::function<void(QDialog&)> answer_;
    QStringList messages_;
};

void tst_ResultsView::initTestCase() {
    static QTemporaryDir profile;
    guitest::UseScratchProfile(profile, "tst_resultsview");
}

void tst_ResultsView::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    app_ = std::make_unique<EquationApp>();
    messages_.clear();
    app_->messageHook = [this](const QString& text, QMessageBox::Icon) { messages_ << text; };
    app_->execHook = [this](QDialog& d) {
        if (answer_) answer_(d);
        return int(QDialog::Rejected);
    };
    answer_ = nullptr;
    frame_ = std::make_unique<MainFrame>(*app_);
    frame_->resize(900, 700);
    frame_->show();
}

void tst_ResultsView::cleanup() {
    QVERIFY(waitForRun());
    frame_.reset();
    app_.reset();
    QCOMPARE(guitest::VisibleTopLevels(), QStringList());
}

void tst_ResultsView::readsResultFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("a solve") << QByteArray("         x         y\n  1.000000  2.000000\n")
                             << "  No|x|y" << QStringList{"1|1.000000|2.000000"};
    QTest::newRow("a sweep: the header follows the PARAMETER line")
        << QByteArray("PARAMETER:         a        0\n    a    b\n1 2\n3 4\n") << "  No|a|b"
        << QStringList{"1|1|2", "2|3|4"};
    QTest::newRow("tabs, semicolons and line ends of another system")
        << QByteArray("p;q\tr\r\n1;2\t3\r\n") << "  No|p|q|r" << QStringList{"1|1|2|3"};
    QTest::newRow("rows end at the first empty line")
        << QByteArray("x\n1\n2\n\n3\n") << "  No|x" << QStringList{"1|1", "2|2"};
    QTest::newRow("a short row leaves cells empty, a long one gets unnamed columns")
        << QByteArray("x y\n1\n1 2 3\n") << "  No|x|y|" << QStringList{"1|1||", "2|1|2|3"};
    QTest::newRow("an empty file") << QByteArray() << "  No" << QStringList{};
    QTest::newRow("symbol characters come through")
        << QByteArray("\xE1 \xE2\n1 2\n") << QString::fromUtf8("  No|\u03B1|\u03B2")
        << QStringList{"1|1|2"};
}

void tst_ResultsView::readsResultFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, header);
    QFETCH(QStringList, rows);
    ResultsModel model(ReadResultsTable(WriteFile(path("r.PRN"), bytes)));
    QCOMPARE(Header(model), header);
    QCOMPARE(model.rowCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r) QCOMPARE(Row(model, r), rows[r]);
}

void tst_ResultsView::viewerShowsTheTable() {
    const QString file = WriteFile(path("s.PRN"), "PARAMETER: a 0\na b\n1 2\n3 4\n5 6\n");
    CResultsDlg dialog(file);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Results from: ") + file);
    QCOMPARE(dialog.model()->rowCount(), 3);
    QCOMPARE(dialog.model()->data(dialog.model()->index(2, 0), Qt::DisplayRole).toString(),
             QStringLiteral("3"));
    QCOMPARE(dialog.view()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(dialog.model()->flags(dialog.model()->index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(dialog.view()->columnWidth(0) >= 50);
    QCOMPARE(dialog.model()->data(dialog.model()->index(0, 1), Qt::BackgroundRole).value<QColor>(),
             QColor(255, 255, 224));

    CResultsDlg missing(path("none.PRN"));
    QCOMPARE(missing.model()->rowCount(), 0);
    QCOMPARE(missing.model()->columnCount(), 1);
    CResultsDlg unnamed{QString()};
    QCOMPARE(unnamed.model()->rowCount(), 0);
}

void tst_ResultsView::resultsCommandFindsTheDocumentsFile() {
    auto* command = frame_->findChild<QAction*>(QStringLiteral("actionShowResults"));
    QVERIFY(command != nullptr);

    // A document that was never saved has no result file.
    frame_->NewDocument();
    bool opened = false;
    answer_ = [&opened](QDialog&) { opened = true; };
    command->trigger();
    QVERIFY(!opened);
    QCOMPARE(messages_, QStringList{QStringLiteral("There is no PRN file available!!")});

    // After Solve the viewer shows the document's results.
    PadView* view = openDocument("pair.alg", "alpha = 2;\nbeta = alpha + 1;\n");
    view->Solve();
    QVERIFY(waitForRun());
    QString caption, header, row;
    answer_ = [&](QDialog& d) {
        auto& viewer = dynamic_cast<CResultsDlg&>(d);
        caption = viewer.windowTitle();
        header = Header(*viewer.model());
        row = Row(*viewer.model(), 0);
    };
    command->trigger();
    QCOMPARE(caption, QStringLiteral("Results from: ") + path("pair.PRN"));
    QCOMPARE(header, QStringLiteral("  No|alpha|beta"));
    QVERIFY2(row.startsWith(QStringLiteral("1|2.")) && row.contains(QStringLiteral("|3.")),
             qPrintable(row));
}

void tst_ResultsView::viewerReadsTheSweepOfTheCore() {
    // A sweep of a over 0, 0.5, 1 for b = 1 and b = 2: the file starts with a PARAMETER line.
    app_->runner().dialogs().graphGeneration = [](QWidget*, const std::vector<std::string>& names,
                                                  SweepChoice& choice) {
        const auto at = [&names](const char* name) {
            return int(std::find(names.begin(), names.end(), name) - names.begin()) + 1;
        };
        choice.variable = at("a");
        choice.from = 0;
        choice.to = 1;
        choice.intervals = 2;
        choice.secondParameter = true;
        choice.parameter = at("b");
        choice.paramFrom = 1;
        choice.paramTo = 2;
        choice.paramIntervals = 1;
        return true;
    };
    openDocument("sweep.alg", "y = a*b + 1;\nz = a - b;\n");
    frame_->findChild<QAction*>(QStringLiteral("actionGraphGenerate"))->trigger();
    QVERIFY(waitForRun());
    QVERIFY(guitest::ReadFile(path("sweep.PRN")).startsWith("PARAMETER:"));

    QString header;
    QStringList rows;
    answer_ = [&](QDialog& d) {
        if (auto* viewer = dynamic_cast<CResultsDlg*>(&d)) {
            header = Header(*viewer->model());
            for (int r = 0; r < viewer->model()->rowCount(); ++r) rows << Row(*viewer->model(), r);
        }
    };
    frame_->findChild<QAction*>(QStringLiteral("actionShowResults"))->trigger();
    QCOMPARE(header, QStringLiteral("  No|y|a|b|z"));
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[1], QStringLiteral("2|1.5000000|0.5000000|1.0000000|-0.5000000"));
    QCOMPARE(rows[5], QStringLiteral("6|3.0000000|1.0000000|2.0000000|-1.0000000"));
}

void tst_ResultsView::documentPositions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("work");  // 1-based, as the compiler counts
    QTest::addColumn<int>("position");
    QTest::newRow("first character") << "x = 1;" << 1 << 0;
    QTest::newRow("second line") << "x = 1;\ny = 2 +* x;" << 15 << 14;
    QTest::newRow("the options line is not read") << "{Options: 0 0}\nx = 1 +* 2;" << 8 << 22;
    QTest::newRow("beyond the end is the end") << "x;" << 40 << 2;
    // The long line reaches the compiler as two pieces, each with a line end of its own.
    QTest::newRow("on a cut line")
        << LongSum(QStringLiteral("y = "), QStringLiteral(" + #;")) << 156 << 154;
}

void tst_ResultsView::documentPositions() {
    QFETCH(QString, text);
    QFETCH(int, work);
    QFETCH(int, position);
    QCOMPARE(locator::DocumentPosition(text, work), position);
}

void tst_ResultsView::equationsAreCountedAsTheCompilerDoes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("equation");  // empty: no such equation
    const QString text = QString::fromUtf8(
        "{header; with a semicolon}\n"
        "x \u2248 1;\n"  // an initial guess is no equation
        "a = 1; {note}\n"
        "b = IF(x \u2248 1) THEN 2 ELSE 3;\n"  // a relation inside parentheses is
        "  c = a + b");
    QTest::newRow("comments and guesses are skipped") << text << 1 << "a = 1;";
    QTest::newRow("a relation inside parentheses is no guess")
        << text << 2 << QString::fromUtf8("b = IF(x \u2248 1) THEN 2 ELSE 3;");
    QTest::newRow("the last statement may lack its ';'") << text << 3 << "c = a + b";
    QTest::newRow("beyond the last") << text << 4 << "";
    QTest::newRow("zero") << text << 0 << "";
}

void tst_ResultsView::equationsAreCountedAsTheCompilerDoes() {
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(QString, equation);
    const auto span = locator::EquationSpan(text, number);
    QCOMPARE(span ? text.mid(span->start, span->end - span->start) : QString(), equation);
}

void tst_ResultsView::outputLinesThatNameAPlace_data() {
    using K = locator::Reference::Kind;
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");  // -1: none
    QTest::addColumn<int>("number");
    QTest::newRow("compiler") << "Illegal Character #42 at character 15" << int(K::kCharacter)
                              << 15;
    QTest::newRow("error in equation") << "Error in Eqn    3" << int(K::kEquation) << 3;
    QTest::newRow("singular") << "Equation    2 is Singular or Inconsistent" << int(K::kEquation)
                              << 2;
    QTest::newRow("dependent") << "Equation    1 Depends on Other Equations" << int(K::kEquation)
                               << 1;
    QTest::newRow("group") << "Eqn   12 group failed" << int(K::kEquation) << 12;
    QTest::newRow("plain output") << "Solution Found!" << -1 << 0;
    QTest::newRow("a number alone") << "   2 variables and    2 equations " << -1 << 0;
}

void tst_ResultsView::outputLinesThatNameAPlace() {
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(int, number);
    const auto ref = locator::ReferenceIn(line);
    QCOMPARE(ref ? int(ref->kind) : -1, kind);
    if (ref) QCOMPARE(ref->number, number);
}

void tst_ResultsView::parseErrorPlacesTheCaret_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("marked");
    QTest::newRow("second line") << QByteArray("x = 1;\ny = 2 +# x;\n") << 14 << "y = 2 +# x;";
    QTest::newRow("after a comment and a long line")
        << LongSum(QStringLiteral("{first} a = 1;\nb = "), QStringLiteral(";\nc = 2 #;\n"))
               .toLatin1()
        << 174 << "c = 2 #;";
}

void tst_ResultsView::parseErrorPlacesTheCaret() {
    QFETCH(QByteArray, text);
    QFETCH(int, caret);
    QFETCH(QString, marked);
    PadView* view = openDocument("bad.alg", text);
    QCOMPARE(view->toPlainText().at(caret), u'#');
    view->Solve();
    QVERIFY(waitForRun());
    QVERIFY2(frame_->output()->toPlainText().contains(QStringLiteral(" at character ")),
             qPrintable(frame_->output()->toPlainText()));
    QCOMPARE(view->textCursor().position(), caret);
    QCOMPARE(view->extraSelections().size(), 1);
    QCOMPARE(view->extraSelections().first().cursor.selectedText(), marked);

    // An edit before the run ends leaves the caret alone: the positions are of the old text.
    view->moveCursor(QTextCursor::Start);
    view->Solve();
    QTest::keyClicks(view, "z");
    QVERIFY(waitForRun());
    QCOMPARE(view->textCursor().position(), 1);
}

void tst_ResultsView::doubleClickOnAnOutputLineSelectsTheEquation() {
    PadView* view = openDocument("dep.alg",
                                 "{two lines, one relation}\nu \xBB 1;\n"
                                 "u + v = 1;\n2*u + 2*v = 2;\n");
    view->Solve();
    QVERIFY(waitForRun());
    OutputWindow* output = frame_->output();
    QTextBlock line;
    for (QTextBlock b = output->document()->begin(); b.isValid(); b = b.next()) {
        if (locator::ReferenceIn(b.text())) line = b;
    }
    QVERIFY2(line.isValid(), qPrintable(output->toPlainText()));
    const auto ref = locator::ReferenceIn(line.text());
    QCOMPARE(int(ref->kind), int(locator::Reference::Kind::kEquation));

    view->moveCursor(QTextCursor::Start);
    QTextCursor at(line);
    output->setTextCursor(at);
    output->ensureCursorVisible();
    const QPoint point = output->cursorRect(at).center() + QPoint(4, 0);
    QTest::mouseDClick(output->viewport(), Qt::LeftButton, {}, point);
    const QStringList equations{QStringLiteral("u + v = 1;"), QStringLiteral("2*u + 2*v = 2;")};
    QCOMPARE(view->textCursor().selectedText(), equations.value(ref->number - 1));

    // A line that names nothing leaves the editor as it is.
    QVERIFY(!frame_->JumpToOutputLine(QStringLiteral("Solution Found!")));
    QCOMPARE(view->textCursor().selectedText(), equations.value(ref->number - 1));
}

QTEST_MAIN(tst_ResultsView)
#include "tst_resultsview.moc"
