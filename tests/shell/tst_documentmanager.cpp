#include <QMdiArea>
#include <QMdiSubWindow>

#include "gui_fixture.h"
#include "shell/pad_document.h"
#include "shell/properties_tree.h"
#include "shell/settings_keys.h"

// The document windows of the workspace: quitting with documents open, and the show state
// that every document window shares.
class tst_DocumentManager : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() {
        StartFrame();
        EquationApp::Profile()->clear();  // each test starts from a first session
        app_->questionHook = [this](const QString& text) {
            questions_ << text;
            return closeAnswer_;
        };
        questions_.clear();
    }
    void cleanup() {
        // Whatever a test left open closes without questions.
        closeAnswer_ = QMessageBox::No;
        StopFrame();
    }

    // Exit asks once about each changed document, and about no unchanged one; Cancel keeps
    // every document open, any other answer ends the program.
    void exitAsksOnceForEachChangedDocument_data() {
        guitest::RowsFrom("exit_answers.txt", {"answer", "ends"});
    }
    void exitAsksOnceForEachChangedDocument() {
        QFETCH(QString, answer);
        QFETCH(QString, ends);
        const int button =
            QMetaEnum::fromType<QMessageBox::StandardButtons>().keyToValue(qPrintable(answer));
        QVERIFY2(button > 0, qPrintable(answer));
        openDocument("a.alg", "a = 1;\n");
        PadView* changed = openDocument("b.alg", "b = 1;\n");
        openDocument("c.alg", "c = 1;\n");
        changed->insertPlainText(QStringLiteral("d = 2;\n"));
        closeAnswer_ = QMessageBox::StandardButton(button);
        action("actionExit")->trigger();
        QCOMPARE(questions_, QStringList{"Save changes to b.alg?"});
        QCOMPARE(frame_->isVisible(), ends == u'0');
        if (ends == u'0') {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(docs().views().size(), 3);
            QCOMPARE(frame_->properties()->topLevelItemCount(), 3);
        }
        const bool saved = guitest::ReadFile(path("b.alg")).contains("d = 2;");
        QCOMPARE(saved, button == int(QMessageBox::Yes));
    }

    // Only the user's restore or maximise changes the state later sessions open documents in:
    // closing a document, or every document at exit, leaves it.
    void closingDocumentsKeepsTheirShowState() {
        frame_->ReadSettings();
        openDocument("a.alg", "a = 1;\n");
        openDocument("b.alg", "b = 1;\n");
        openDocument("c.alg", "c = 1;\n");
        QVERIFY(frame_->mdiArea()->activeSubWindow()->isMaximized());
        action("actionFileClose")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(docs().views().size(), 2);
        QCOMPARE(docs().childShowState(), ShowState::kMaximized);
        QTRY_VERIFY(frame_->mdiArea()->activeSubWindow()->isMaximized());
        QVERIFY(frame_->close());
        QVERIFY(!EquationApp::Profile()->contains(keys::kShowCmd));
    }

    // Restoring or maximising a document window is remembered for later sessions. A window
    // system may bring the next window to the front only after the closed one has gone, and
    // unmaximised: coming to the front is no choice of the user's, and the window takes the
    // shared state.
    void restoringAFrameIsRemembered() {
        frame_->ReadSettings();
        openDocument("a.alg", "a = 1;\n");
        openDocument("b.alg", "b = 1;\n");
        QMdiArea* area = frame_->mdiArea();
        QMdiSubWindow* first = area->subWindowList().first();
        area->setActiveSubWindow(nullptr);
        QVERIFY(!first->isMaximized());
        QCOMPARE(docs().childShowState(), ShowState::kMaximized);
        area->setActiveSubWindow(first);
        QCOMPARE(docs().childShowState(), ShowState::kMaximized);
        QVERIFY(first->isMaximized());

        first->showNormal();
        QCOMPARE(docs().childShowState(), ShowState::kNormal);
        openDocument("c.alg", "c = 1;\n");
        QVERIFY(!area->activeSubWindow()->isMaximized());
        area->activeSubWindow()->showMaximized();
        QCOMPARE(docs().childShowState(), ShowState::kMaximized);
        area->activeSubWindow()->showNormal();
        QVERIFY(frame_->close());
        QCOMPARE(EquationApp::Profile()->value(keys::kShowCmd).toInt(), 1);
    }

   private:
    QStringList questions_;
};

QTEST_MAIN(tst_DocumentManager)
#include "tst_documentmanager.moc"
