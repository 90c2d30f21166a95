#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "gui_fixture.h"

namespace {

// The letter after the one '&' that is not doubled, lower-cased; null without one.
QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// Items of one menu (or of the menu bar) that share a mnemonic, as "menu: item, item".
void CollectClashes(const QString& title, const QList<QAction*>& actions, QStringList& clashes) {
    QMultiHash<QChar, QString> byKey;
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        if (const QChar key = Mnemonic(a->text()); !key.isNull()) byKey.insert(key, a->text());
        if (QMenu* sub = a->menu()) CollectClashes(sub->title(), sub->actions(), clashes);
    }
    for (QChar key : byKey.uniqueKeys()) {
        if (byKey.count(key) > 1) clashes << title + ": " + byKey.values(key).join(", ");
    }
}

}  // namespace

// The main window as a new user first meets it: its size, its title and its menus.
class tst_Menus : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() {
        StartFrame();
        EquationApp::Profile()->clear();
    }
    void cleanup() { StopFrame(); }

    // Alt and a letter reaches one item only, in the menu bar and in every menu, with and
    // without a document or a graph open.
    void everyMenuHasDistinctMnemonics() {
        openDocument("a.alg", "x = 1;\n");
        for (QAction* a : frame_->menuBar()->actions()) {
            if (a->menu() != nullptr) emit a->menu()->aboutToShow();
        }
        QStringList clashes;
        CollectClashes(QStringLiteral("menu bar"), frame_->menuBar()->actions(), clashes);
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(" / ")));
    }
};

QTEST_MAIN(tst_Menus)
#include "tst_menus.moc"
