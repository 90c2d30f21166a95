#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "gui_fixture.h"
#include "shell/find_dialog.h"
#include "shell/properties_tree.h"

namespace {

// Items of one menu (or of the menu bar) that share a mnemonic, as "menu: item, item".
void CollectClashes(const QString& title, const QList<QAction*>& actions, QStringList& clashes) {
    QMultiHash<QKeySequence, QString> byKey;
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        const QKeySequence key = QKeySequence::mnemonic(a->text());
        if (!key.isEmpty()) byKey.insert(key, a->text());
        if (QMenu* sub = a->menu()) CollectClashes(sub->title(), sub->actions(), clashes);
    }
    for (const QKeySequence& key : byKey.uniqueKeys()) {
        if (byKey.count(key) > 1) clashes << title + ": " + byKey.values(key).join(", ");
    }
}

}  // namespace

// The main window as a new user first meets it: its size, its title, its menus, Find and the
// keys that move between its panes.
class tst_FirstSession : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() {
        StartFrame();
        EquationApp::Profile()->clear();
    }
    void cleanup() { StopFrame(); }

    // The first window shows every toolbar whole: none hides buttons behind its extension
    // arrow.
    void theFirstWindowShowsEveryToolbar() {
        frame_.reset();
        frame_ = std::make_unique<MainFrame>(*app_);
        frame_->ReadSettings();
        frame_->ShowWithPlacement();
        const QSize screen = frame_->screen()->availableGeometry().size();
        QCOMPARE(frame_->size(), frame_->sizeHint().boundedTo(screen));
        // Where the screen is smaller than the window's wish, the wish is what is checked.
        frame_->resize(frame_->sizeHint());
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        for (QToolBar* bar : frame_->findChildren<QToolBar*>()) {
            if (!bar->isVisible()) continue;
            const QSize whole = bar->sizeHint();
            QVERIFY2(bar->width() >= whole.width() && bar->height() >= whole.height(),
                     qPrintable(bar->objectName()));
        }
    }

    // With a document open: Alt and a letter reaches one item only, in the menu bar and in
    // every menu; Find says when the text is nowhere; F6 goes round the document, the Output
    // window and the Properties tree, Shift+F6 back; the frame's title names the document in
    // front once, whether its window is maximised or not.
    void withADocumentOpen() {
        PadView* view = openDocument("a.alg", "x = 1;\ny = 2;\n");
        for (QAction* a : frame_->menuBar()->actions()) {
            if (a->menu() != nullptr) emit a->menu()->aboutToShow();
        }
        QStringList clashes;
        CollectClashes(QStringLiteral("menu bar"), frame_->menuBar()->actions(), clashes);
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(" / ")));

        action("actionEditFind")->trigger();
        auto* find = frame_->findChild<FindReplaceDialog*>();
        find->findText()->setText(QStringLiteral("z"));
        QVERIFY(!find->FindNext());
        QCOMPARE(frame_->statusBar()->currentMessage(), QStringLiteral("Cannot find \"z\""));
        find->findText()->setText(QStringLiteral("y"));
        QVERIFY(find->FindNext());
        QCOMPARE(view->textCursor().selectedText(), QStringLiteral("y"));
        find->hide();

        view->setFocus();
        QWidget* output = frame_->output();
        QWidget* properties = frame_->properties();
        QAction* next = action("actionNextPane");
        QAction* previous = action("actionPreviousPane");
        QCOMPARE(next->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(previous->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
        const QList<QWidget*> round{output, properties, view};
        for (QWidget* pane : round) {
            next->trigger();
            QCOMPARE(frame_->focusWidget(), pane);
        }
        previous->trigger();
        QCOMPARE(frame_->focusWidget(), properties);
        // A pane that is hidden is passed over.
        action("actionViewOutput")->trigger();
        previous->trigger();
        QCOMPARE(frame_->focusWidget(), view);
        previous->trigger();
        QCOMPARE(frame_->focusWidget(), properties);

        const auto shown = [this](const QString& name) {
            return frame_->windowTitle().remove(QStringLiteral("[*]")).count(name);
        };
        QVERIFY(frame_->mdiArea()->activeSubWindow()->isMaximized());
        QCOMPARE(shown("a.alg"), 1);
        openDocument("b.alg", "x = 1;\n");
        QCOMPARE(shown("b.alg"), 1);
        QCOMPARE(shown("a.alg"), 0);
        frame_->mdiArea()->activeSubWindow()->showNormal();
        QVERIFY(shown("b.alg") <= 1);
        QCOMPARE(frame_->mdiArea()->activeSubWindow()->windowTitle().remove("[*]"),
                 QStringLiteral("b.alg"));
    }
};

QTEST_MAIN(tst_FirstSession)
#include "tst_firstsession.moc"
