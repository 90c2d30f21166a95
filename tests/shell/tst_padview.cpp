#include <QClipboard>
#include <QFontDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextLayout>

#include "gui_fixture.h"
#include "shell/editor_dialogs.h"
#include "shell/equation_highlighter.h"
#include "shell/pad_document.h"

namespace {

const QColor kEquation(255, 0, 0);
const QColor kComment(128, 128, 128);

// "e" for each character in the equation colour, "c" in the comment colour, as the editor
// shows them; line ends are left out.
QString Colours(PadView* view) {
    QString out;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
        const QList<QTextLayout::FormatRange> ranges = b.layout()->formats();
        for (int i = 0; i < b.length() - 1; ++i) {
            QColor colour;
            for (const QTextLayout::FormatRange& r : ranges) {
                if (i >= r.start && i < r.start + r.length &&
                    r.format.hasProperty(QTextFormat::ForegroundBrush)) {
                    colour = r.format.foreground().color();
                }
            }
            out += colour == kComment ? u'c' : colour == kEquation ? u'e' : u'?';
        }
    }
    return out;
}

QStringList FamiliesAt(PadView* view, int position) {
    const QTextBlock b = view->document()->findBlock(position);
    for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
        const int i = position - b.position();
        if (i >= r.start && i < r.start + r.length &&
            r.format.hasProperty(QTextFormat::FontFamilies))
            return r.format.fontFamilies().toStringList();
    }
    return {};
}

}  // namespace

// The equation editor: colours that follow every edit, the symbol face, the palette and the
// editor commands.
class tst_PadView : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() { StartFrame(); }
    void cleanup() { StopFrame(); }

    void typingKeepsColours_data() {
        guitest::RowsFrom("typed_colours.txt", {"text", "caret", "typed", "colours"});
    }
    void typingKeepsColours() {
        QFETCH(QString, text);
        QFETCH(QString, caret);
        QFETCH(QString, typed);
        PadView* view = editor(text, caret.toInt());
        QTest::keyClicks(view, typed);
        QTEST(Colours(view), "colours");
    }

    void deletingKeepsColours_data() {
        guitest::RowsFrom("deleted_colours.txt", {"text", "from", "to", "colours"});
    }
    void deletingKeepsColours() {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(QString, to);
        PadView* view = editor(text, from.toInt());
        if (to != from) {
            QTextCursor c = view->textCursor();
            c.setPosition(to.toInt(), QTextCursor::KeepAnchor);
            view->setTextCursor(c);
            QTest::keyClick(view, Qt::Key_Delete);
        } else {
            QTest::keyClick(view, Qt::Key_Backspace);
        }
        QTEST(Colours(view), "colours");
    }

    // A paste and its undo, and what the palette inserts, leave every character its colour.
    void pastesAndPaletteInsertions() {
        PadView* view = editor(QStringLiteral("x=1;\ny=2;"), 0);
        QApplication::clipboard()->setText(QStringLiteral("{note}\n{open"));
        view->paste();
        QCOMPARE(Colours(view), QString(19, u'c'));  // the open comment runs to the end
        view->undo();
        QCOMPARE(view->toPlainText(), QStringLiteral("x=1;\ny=2;"));
        QCOMPARE(Colours(view), QStringLiteral("eeeeeeee"));

        // The palette's Comments button: "{}" with the caret between the braces, both grey.
        view = editor(QStringLiteral("x=1;"), 4);
        action("paletteFunctionsBar_25")->trigger();
        QCOMPARE(view->toPlainText(), QStringLiteral("x=1;{}"));
        QCOMPARE(view->textCursor().position(), 5);
        QCOMPARE(Colours(view), QStringLiteral("eeeecc"));
        QTest::keyClicks(view, "note");
        QCOMPARE(Colours(view), QStringLiteral("eeeecccccc"));

        // Inside a comment the new braces and what stands before them keep the comment colour;
        // the comment now ends at the new '}', as the compiler reads it.
        view = editor(QStringLiteral("{ab cd}"), 3);
        action("paletteFunctionsBar_25")->trigger();
        QCOMPARE(view->toPlainText(), QStringLiteral("{ab{} cd}"));
        QCOMPARE(Colours(view).left(5), QStringLiteral("ccccc"));

        // With a selection the insertion takes its place.
        view = editor(QStringLiteral("x = old;"), 4);
        QTextCursor c = view->textCursor();
        c.setPosition(7, QTextCursor::KeepAnchor);
        view->setTextCursor(c);
        action("paletteFunctionsBar_14")->trigger();  // Sinus
        QCOMPARE(view->toPlainText(), QStringLiteral("x = SIN();"));
        QCOMPARE(view->textCursor().position(), 8);
    }

    void symbolsShowInTheSymbolFace() {
        PadView* view = editor(QStringLiteral("a*b = \u03B1@x;"), 0);
        const QStringList symbol = SymbolFamilies();
        QCOMPARE(FamiliesAt(view, 1), symbol);  // '*'
        QCOMPARE(FamiliesAt(view, 6), symbol);  // alpha
        QCOMPARE(FamiliesAt(view, 7), symbol);  // '@'
        QVERIFY(FamiliesAt(view, 0).isEmpty());
        QVERIFY(FamiliesAt(view, 4).isEmpty());  // '=' is no symbol
        QVERIFY(EquationHighlighter::IsSpecialByte(0xBB));
        QVERIFY(!EquationHighlighter::IsSpecialByte(0xA2));  // Eliminate keeps the text's face
    }

    void colourChangeReachesEveryEditor() {
        PadView* first = editor(QStringLiteral("{c}x"), 0);
        PadView* second = editor(QStringLiteral("y{c}"), 0);
        frame_->ApplyColours(QColor(0, 255, 0), QColor(255, 0, 0), QColor(255, 255, 224));
        for (PadView* view : {first, second}) {
            QCOMPARE(view->palette().color(QPalette::Base), QColor(255, 255, 224));
            const QTextBlock b = view->document()->begin();
            QColor equation, comment;
            for (const auto& r : b.layout()->formats()) {
                (b.text().at(r.start) == u'{' ? comment : equation) = r.format.foreground().color();
            }
            QCOMPARE(equation, QColor(0, 255, 0));
            QCOMPARE(comment, QColor(255, 0, 0));
        }
        QCOMPARE(app_->editor.commentsColor, QColor(255, 0, 0));
        // Documents opened later take the new colours too.
        PadView* third = docs().NewDocument();
        QCOMPARE(third->equationColour(), QColor(0, 255, 0));
    }
    // Move Cursor goes to the position asked for, the end when it is beyond the end.
    void goToPos() {
        PadView* view = editor(QStringLiteral("x = 1;\ny=2;"), 3);
        for (const auto& [asked, caret] : {std::pair{0, 0}, std::pair{6, 6}, std::pair{99, 11}}) {
            answer_ = [asked](QDialog& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("Move Cursor"));
                d.findChild<QSpinBox*>(QStringLiteral("position"))->setValue(asked);
                d.accept();
            };
            action("actionGoToPos")->trigger();
            QCOMPARE(view->textCursor().position(), caret);
            QVERIFY(!view->textCursor().hasSelection());
        }
    }

    // Word wrap, tab stops, the display font and the page setup: each reaches the editors and
    // the settings the program keeps.
    void editorCommands() {
        PadView* view = editor(QStringLiteral("x\t= 1;"), 0);
        QVERIFY(!view->wordWrap());
        action("actionWordWrap")->trigger();
        QVERIFY(view->wordWrap());
        QVERIFY(action("actionWordWrap")->isChecked());
        QVERIFY(app_->editor.wordWrap);
        QVERIFY(docs().NewDocument()->wordWrap());  // the next editor wraps as well

        frame_->mdiArea()->setActiveSubWindow(frame_->mdiArea()->subWindowList().first());
        const qreal before = view->tabStopDistance();
        answer_ = [](QDialog& d) {
            d.findChild<QSpinBox*>(QStringLiteral("tabStops"))->setValue(8);
            d.accept();
        };
        action("actionSetTabStops")->trigger();
        QCOMPARE(app_->editor.tabStops, 8);
        QVERIFY(qAbs(view->tabStopDistance() - before / 2) < 0.5);  // 16 quarters before, 8 now

        QString family;
        answer_ = [&family](QDialog& d) {
            auto& dialog = static_cast<QFontDialog&>(d);
            QFont f(QStringLiteral("DejaVu Sans Mono"));
            f.setPointSize(16);
            f.setBold(true);
            dialog.setCurrentFont(f);
            family = dialog.currentFont().family();
            dialog.accept();
        };
        action("actionSetFont")->trigger();
        QVERIFY(app_->editor.font.has_value());
        const QFont chosen = *app_->editor.font;
        QCOMPARE(chosen.family(), family);
        // 16 points at 96 dots per inch, whatever size the dialog settled on near it.
        QVERIFY2(chosen.pixelSize() >= 18 && chosen.pixelSize() <= 24,
                 qPrintable(QString::number(chosen.pixelSize())));
        QCOMPARE(chosen.weight(), QFont::Bold);
        QCOMPARE(chosen.families().mid(1), SymbolFamilies());  // the symbols come from these
        QCOMPARE(view->font(), chosen);
        action("actionMirrorFont")->trigger();
        QCOMPARE(app_->editor.printFont, app_->editor.font);

        QCOMPARE(app_->editor.pageSetup, PageSetup{});
        answer_ = [](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Page Setup"));
            QCOMPARE(d.findChild<QLineEdit*>(QStringLiteral("header"))->text(),
                     QStringLiteral("File: &f"));
            QVERIFY(!d.findChild<QRadioButton*>(QStringLiteral("footerSystemTime"))->isChecked());
            d.findChild<QLineEdit*>(QStringLiteral("footer"))->setText(QStringLiteral("%H:%M &p"));
            d.findChild<QRadioButton*>(QStringLiteral("footerSystemTime"))->setChecked(true);
            d.accept();
        };
        action("actionPageSetup")->trigger();
        QCOMPARE(app_->editor.pageSetup.header, QStringLiteral("File: &f"));
        QCOMPARE(app_->editor.pageSetup.footer, QStringLiteral("%H:%M &p"));
        QCOMPARE(app_->editor.pageSetup.headerTime, 0);
        QCOMPARE(app_->editor.pageSetup.footerTime, 1);

        // Cancel keeps what was set.
        answer_ = [](QDialog& d) {
            QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("footerSystemTime"))->isChecked());
            d.findChild<QLineEdit*>(QStringLiteral("footer"))->clear();
            d.reject();
        };
        action("actionPageSetup")->trigger();
        QCOMPARE(app_->editor.pageSetup.footer, QStringLiteral("%H:%M &p"));
    }
};

QTEST_MAIN(tst_PadView)
#include "tst_padview.moc"
