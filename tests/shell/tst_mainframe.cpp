#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>

#include "gui_fixture.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/properties_tree.h"
#include "shell/settings_keys.h"
#include "shell/window_placement.h"

using guitest::ReadFile;
using guitest::WriteFile;

// The main window: its commands, their enabling, and runs of the core from a document.
class tst_MainFrame : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() { StartFrame(); }
    void cleanup() { StopFrame(); }

    void withoutADocumentOnlyTheFirstMenuIsOffered() {
        QVERIFY(docs().activeView() == nullptr);
        QVERIFY(!action("actionSolve")->isEnabled());
        QVERIFY(!action("actionSolve")->isVisible() || !frame_->findChild<QMenu*>()->isVisible());
        for (const char* name : {"actionFileNew", "actionFileOpen", "actionExit", "actionAbout"})
            QVERIFY2(action(name)->isEnabled() && action(name)->isVisible(), name);
        for (const char* name :
             {"actionFileSave", "actionFileClose", "actionEditPaste", "actionTempFiles"})
            QVERIFY2(!action(name)->isVisible(), name);
        QVERIFY(action("actionViewStatusBar")->isVisible());
        QVERIFY(!action("actionEditCopy")->isEnabled());

        // With a document and no run going, every command is offered, the core's included.
        docs().NewDocument();
        QVERIFY(action("actionFileSave")->isVisible());
        QVERIFY(action("paletteGreekBar_0")->isEnabled());
        const QString names = QStringLiteral(
            "Solve SolveRepetitive Fft FftFromFile SolveDifferential SolveIntegral Elimination "
            "Simplification GraphGenerate Unconstrained Constrained Estimation Linearized "
            "SymbolicLinearized SymbolicJacobian Complex Options ShowResults GraphFromResults "
            "ReadCf PageSetup SetFont EditFind HelpDesk ExportLatex TempFiles");
        for (const QString& name : names.split(u' ')) {
            const QByteArray full = "action" + name.toLatin1();
            QVERIFY2(action(full.constData())->isEnabled(), full.constData());
        }
    }

    // Estimation without an attachment and LaTeX export only warn; the attachment commands
    // follow the attachment.
    void attachmentCommandsFollowTheAttachment() {
        PadView* view = openDocument("e.alg", "x = 1;\n");
        frame_->output()->AppendOutput(QStringLiteral("kept\n"));
        action("actionEstimation")->trigger();
        QCOMPARE(messages_, QStringList{"List file must be attached"});
        QCOMPARE(icons_.value(0), QMessageBox::Warning);
        QVERIFY(!app_->runner().busy());
        QCOMPARE(frame_->output()->toPlainText(), QStringLiteral("kept\n"));
        action("actionExportLatex")->trigger();
        QCOMPARE(messages_.value(1), QStringLiteral("Not finished...!"));

        for (bool attached : {false, true}) {
            if (attached) view->padDocument()->setAttachmentPath(path("t.LST"));
            frame_->UpdateMenus();
            QCOMPARE(action("actionAttachmentNew")->isEnabled(), !attached);
            QCOMPARE(action("actionAttachFile")->isEnabled(), !attached);
            QCOMPARE(action("actionAttachmentEdit")->isEnabled(), attached);
            QCOMPARE(action("actionAttachmentRemove")->isEnabled(), attached);
        }
        action("actionAttachmentRemove")->trigger();
        QVERIFY(!view->padDocument()->hasAttachment());
        QVERIFY(action("actionAttachmentNew")->isEnabled());
    }

    void copyTakesTheOutputSelectionWhenTheEditorHasNone() {
        PadView* view = editor(QStringLiteral("x = 1;"), 0);
        frame_->output()->AppendOutput(QStringLiteral("Solution Found!\n"));
        OutputWindow* out = frame_->output();
        QTextCursor c = out->textCursor();
        c.setPosition(0);
        c.setPosition(8, QTextCursor::KeepAnchor);
        out->setTextCursor(c);
        frame_->UpdateMenus();
        QVERIFY(action("actionEditCopy")->isEnabled());
        action("actionEditCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Solution"));
        QApplication::clipboard()->clear();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);  // the keyboard follows the rule
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Solution"));

        view->selectAll();
        action("actionEditCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("x = 1;"));
    }

    void solveOnANeverSavedDocumentOnlySaves() {
        PadView* view = docs().NewDocument();
        saveAnswers_ = {path("saved.alg")};
        QVERIFY(!solve(view));
        QCOMPARE(saveTitles_.size(), 1);
        QCOMPARE(view->padDocument()->path(), path("saved.alg"));
        QVERIFY(QFile::exists(path("saved.alg")));
        QVERIFY(!app_->runner().busy());
        QVERIFY(app_->runner().lastCommand().isEmpty());

        // Changed and never saved: the save is offered and, refused, offered once more.
        PadView* second = docs().NewDocument();
        second->insertPlainText(QStringLiteral("x = 1;"));
        QVERIFY(!solve(second));
        QCOMPARE(saveTitles_.size(), 3);
        QVERIFY(app_->runner().lastCommand().isEmpty());
    }

    void solveShowsTheResultsInTheProperties() {
        PadView* view = openDocument(
            "circle.alg", "{ a circle and a line }\nx^2 + y^2 = 25;\ny = 2*x - 2;\nx \xBB 2;\n");
        openDocument("two.alg", "z = 1 + 1;\n");
        frame_->mdiArea()->setActiveSubWindow(frame_->mdiArea()->subWindowList().first());
        PropertiesTree* tree = frame_->properties();
        QCOMPARE(tree->topLevelItem(0)->text(0), path("circle.alg"));
        frame_->output()->AppendOutput(QStringLiteral("from before\n"));
        action("actionSolve")->trigger();
        QVERIFY(app_->runner().busy());
        QVERIFY(!action("actionSolve")->isEnabled());
        QVERIFY(waitForRun());
        QCOMPARE(app_->runner().lastCommand(), QStringLiteral("S"));
        QCOMPARE(app_->activeView.data(), view);
        QCOMPARE(view->padDocument()->settings.lastResult, 1u);
        QVERIFY(frame_->output()->toPlainText().contains(QStringLiteral("Solution Found!")));
        QVERIFY(!frame_->output()->toPlainText().contains(QStringLiteral("from before")));

        // Solving moves the document's node to the end.
        QTreeWidgetItem* node = view->padDocument()->node;
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(1), node);
        QCOMPARE(node->text(0), path("circle.alg"));
        QVERIFY(node->isExpanded());
        QTreeWidgetItem* results = node->child(0);
        QCOMPARE(results->text(0), QStringLiteral("Results: OK"));
        QCOMPARE(results->childCount(), 2);
        const QRegularExpression line(QStringLiteral("^(\\w+)=(-?\\d+\\.\\d{15})$"));
        QMap<QString, double> values;
        for (int i = 0; i < 2; ++i) {
            const auto m = line.match(results->child(i)->text(0));
            QVERIFY2(m.hasMatch(), qPrintable(results->child(i)->text(0)));
            values[m.captured(1)] = m.captured(2).toDouble();
        }
        QVERIFY(qAbs(values.value("x") - 3.0) < 1e-3);
        QVERIFY(qAbs(values.value("y") - 4.0) < 1e-3);
        QCOMPARE(node->child(1)->text(0), QStringLiteral("Method = Newton"));
        QCOMPARE(node->child(4)->text(0), QStringLiteral("Min. Tolerance = E-3"));
    }

    // After Estimation and Regression the document's node shows each estimate with its
    // standard error, read from the fit's statistics file; a fit that fails shows NOT FOUND.
    void estimationShowsTheFitInTheProperties() {
        PadView* view = openDocument("fit.alg", "y = a + b*x;\n");
        view->padDocument()->setAttachmentPath(
            WriteFile(path("fit.LST"), "x y\n0 1\n1 3\n2 5\n3 7.5\n"));
        frame_->UpdateMenus();
        action("actionEstimation")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(app_->runner().lastCommand(), QStringLiteral("ALR"));
        QTreeWidgetItem* results = view->padDocument()->node->child(0);
        QCOMPARE(results->text(0), QStringLiteral("Results: OK"));
        const QStringList lines{"a=0.9", "b=2.15",
                                "Residual Standard Deviation=", "R-Squared=", "Observations=4"};
        QCOMPARE(results->childCount(), lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY2(results->child(i)->text(0).startsWith(lines[i]),
                     qPrintable(results->child(i)->text(0)));
        }
        // The estimates carry their standard errors: s = sqrt(0.075 / 2), se(b) = s / sqrt(5).
        QVERIFY2(results->child(1)->text(0).contains(QStringLiteral(" \u00B1 0.0866025")),
                 qPrintable(results->child(1)->text(0)));

        WriteFile(path("fit.LST"), "x y\n");  // no rows
        action("actionEstimation")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(view->padDocument()->node->child(0)->text(0),
                 QStringLiteral("Results: NOT FOUND"));
    }

    // The command a menu item sends follows the document: Solve with an attachment updates
    // repetitively, Differential Equations steps by the document's method.
    void commandFollowsTheDocument_data() {
        guitest::RowsFrom("run_commands.txt", {"actionName", "attached", "method", "command"});
    }
    void commandFollowsTheDocument() {
        QFETCH(QString, actionName);
        QFETCH(QString, attached);
        QFETCH(QString, method);
        PadView* view = openDocument("d.alg", "y = 2*x;\n");
        PadDocument* doc = view->padDocument();
        doc->settings.differentialMethod = method.toUInt();
        if (attached == u'1') {
            doc->setAttachmentPath(WriteFile(path("d.LST"), "x\n1\n2\n"));
            doc->settings.updateStepCount = 2;
        }
        action(qPrintable(actionName))->trigger();
        QVERIFY(waitForRun());
        QTEST(app_->runner().lastCommand(), "command");
    }

    void longSweepCanBeCancelledAndBlocksASecondRun() {
        constexpr int kIntervals = 200000;
        answerSweep("a", 0.1, 1.5, kIntervals);
        PadView* view = openDocument("sweep.alg", "v = 20;\ng = 9.81;\nr = v^2*SIN(2*a)/g;\n");
        PadView* other = openDocument("other.alg", "x = 1;\n");
        frame_->mdiArea()->setActiveSubWindow(frame_->mdiArea()->subWindowList().first());
        QCOMPARE(docs().activeView(), view);
        action("actionGraphGenerate")->trigger();
        QCOMPARE(app_->runner().lastCommand(), QStringLiteral("G"));
        auto* progress = frame_->findChild<QProgressBar*>(QStringLiteral("RunProgress"));
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 2, 60000);
        QCOMPARE(progress->maximum(), kIntervals + 1);

        // While the core works: no second run, and neither the document nor the window closes.
        QVERIFY(!action("actionSolve")->isEnabled());
        QCOMPARE(action("actionCancelRun")->shortcut(), QKeySequence(Qt::Key_Escape));
        QVERIFY(action("actionCancelRun")->isEnabled());
        QVERIFY(!solve(other));
        QCOMPARE(messages_.size(), 1);
        QVERIFY(!frame_->close());
        QVERIFY(frame_->isVisible());

        // ESC in an editor is left to the main window, which stops the run with it; so does
        // the status bar's Cancel.
        QTest::keyClick(other, Qt::Key_Escape);
        QVERIFY(app_->runner().services().cancelled.load());
        auto* cancel = frame_->findChild<QToolButton*>(QStringLiteral("CancelRun"));
        QVERIFY(cancel->isVisible());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(waitForRun());
        QVERIFY(!cancel->isVisible());
        const QList<QByteArray> rows = ReadFile(path("sweep.PRN")).split('\n');
        QVERIFY2(rows.size() > 3 && rows.size() < kIntervals,
                 qPrintable(QString::number(rows.size())));
        QVERIFY(action("actionSolve")->isEnabled());
        // Without a run ESC is the widgets' again.
        QVERIFY(!action("actionCancelRun")->isEnabled());
    }

    void paletteInsertions_data() {
        guitest::RowsFrom("palette_insertions.txt", {"actionName", "text", "caret"});
    }
    void paletteInsertions() {
        QFETCH(QString, actionName);
        PadView* view = editor(QStringLiteral("0123456789"), 10);
        action(qPrintable(actionName))->trigger();
        QTEST(view->toPlainText(), "text");
        QTEST(QString::number(view->textCursor().position()), "caret");
        view->undo();
        QCOMPARE(view->toPlainText(), QStringLiteral("0123456789"));
    }

    // A damaged side file is reported and the document opens; a converted file fills the next
    // new document, which has no name.
    void documentsFromOtherFiles() {
        WriteFile(path("bad.VDP"), QByteArray(20, '\0'));
        QVERIFY(openDocument("bad.alg", "x = 1;\n") != nullptr);
        QCOMPARE(messages_, QStringList{"Incorect File Format"});
        QCOMPARE(docs().recentFiles().value(0), path("bad.alg"));

        app_->convertFilePath = WriteFile(path("m.SJC"), "a\xE1 = 1;\nb = 2;");
        PadView* view = docs().NewDocument();
        QCOMPARE(view->toPlainText(), QStringLiteral("a\u03B1 = 1;\nb = 2;\n"));
        QVERIFY(app_->convertFilePath.isEmpty());
        QVERIFY(view->padDocument()->path().isEmpty());
    }

    void closeAsksAboutUnsavedChanges() {
        PadView* view = openDocument("c.alg", "x = 1;\n");
        view->setFocus();
        view->moveCursor(QTextCursor::Start);
        QTest::keyClicks(view, "y");
        QVERIFY(view->padDocument()->isModified());
        closeAnswer_ = QMessageBox::Cancel;
        action("actionFileClose")->trigger();
        QCOMPARE(docs().views().size(), 1);
        closeAnswer_ = QMessageBox::Yes;
        action("actionFileClose")->trigger();
        QTRY_COMPARE(docs().views().size(), 0);
        QCOMPARE(ReadFile(path("c.alg")), QByteArray("yx = 1;\n"));
        QCOMPARE(frame_->properties()->topLevelItemCount(), 0);
    }

    void placementAndRecentFilesAreKept() {
        frame_->ReadSettings();
        frame_->setGeometry(30, 40, 900, 650);
        frame_->WriteSettings();
        auto profile = EquationApp::Profile();
        const auto p = ParseWindowPos(profile->value(keys::kWindowPos).toString());
        QVERIFY(p.has_value());
        QCOMPARE(p->flags, 0u);
        QCOMPARE(p->right - p->left, 900);
        QCOMPARE(p->bottom - p->top, 650);
        QVERIFY(!profile->contains(keys::kShowCmd));  // unchanged: not written

        for (int i = 1; i <= 5; ++i) openDocument(QStringLiteral("r%1.alg").arg(i), "x = 1;\n");
        QCOMPARE(docs().recentFiles(),
                 (QStringList{path("r5.alg"), path("r4.alg"), path("r3.alg"), path("r2.alg")}));
    }
};

QTEST_MAIN(tst_MainFrame)
#include "tst_mainframe.moc"
