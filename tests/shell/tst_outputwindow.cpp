#include "gui_fixture.h"
#include "shell/output_window.h"

using guitest::Row;

// The Output window shows the core's text a line (or 101 characters) at a time.
class tst_OutputWindow : public QObject {
    Q_OBJECT
   private slots:
    void buffering_data() {
        guitest::Columns<QStringList, QString, int>("pieces", "shown", "buffered");
        Row("three letters stay buffered", QStringList{"abc"}, QString(), 3);
        Row("100 characters stay buffered", QStringList{QString(100, u'x')}, QString(), 100);
        Row("101 characters are shown at once", QStringList{QString(101, u'x')}, QString(101, u'x'),
            0);
        Row("pieces add up to 101", QStringList{QString(60, u'a'), QString(41, u'b')},
            QString(60, u'a') + QString(41, u'b'), 0);
        Row("a line feed shows everything before and after it", QStringList{"ab", "c\nde"},
            QStringLiteral("abc\nde"), 0);
        Row("lines appear in order", QStringList{"one\n", "two\n", "thr"},
            QStringLiteral("one\ntwo\n"), 3);
    }
    void buffering() {
        QFETCH(QStringList, pieces);
        OutputWindow w;
        for (const QString& piece : pieces) w.AppendOutput(piece);
        QTEST(w.toPlainText(), "shown");
        QTEST(int(w.buffered().size()), "buffered");

        // Pieces that arrive in one batch show as they would one by one.
        OutputWindow batched;
        batched.AppendOutput(pieces);
        QTEST(batched.toPlainText(), "shown");
        QTEST(int(batched.buffered().size()), "buffered");
    }

    // The last line is the last with text; clearing keeps the line not yet finished.
    void theLastLineAndClearing() {
        OutputWindow w;
        QCOMPARE(w.LastLine(), QString());
        w.AppendOutput(QStringList{"Solving...\n", "  Too many steps  \n", "\n", "  \n"});
        QCOMPARE(w.LastLine(), QStringLiteral("Too many steps"));
        w.AppendOutput(QStringLiteral("part"));
        QCOMPARE(w.LastLine(), QStringLiteral("part"));
        w.ClearText();
        QVERIFY(w.toPlainText().isEmpty());
        w.AppendOutput(QStringLiteral("ial\n"));
        QCOMPARE(w.toPlainText(), QStringLiteral("partial\n"));
    }
};

QTEST_MAIN(tst_OutputWindow)
#include "tst_outputwindow.moc"
