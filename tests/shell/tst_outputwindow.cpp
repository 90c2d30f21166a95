#include "gui_fixture.h"
#include "shell/output_window.h"

// The Output window shows the core's text a line (or 101 characters) at a time.
class tst_OutputWindow : public QObject {
    Q_OBJECT
   private slots:
    void buffering_data() {
        guitest::RowsFrom("output_buffering.txt", {"sent", "shown", "buffered"});
    }
    void buffering() {
        QFETCH(QString, sent);
        const QStringList pieces = sent.split(u'/');
        OutputWindow w;
        for (const QString& piece : pieces) w.AppendOutput(piece);
        QTEST(w.toPlainText(), "shown");
        QTEST(QString::number(w.buffered().size()), "buffered");

        // Pieces that arrive in one batch show as they would one by one.
        OutputWindow batched;
        batched.AppendOutput(pieces);
        QTEST(batched.toPlainText(), "shown");
        QTEST(QString::number(batched.buffered().size()), "buffered");
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
