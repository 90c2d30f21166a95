#include <QtTest>

#include "shell/output_window.h"

// The Output window shows the core's text a line (or 101 characters) at a time.
class tst_OutputWindow : public QObject {
    Q_OBJECT
   private slots:
    void buffering_data();
    void buffering();
    void threeLettersWaitForTheLineFeed();
    void clearingKeepsTheUnfinishedLine();
};

void tst_OutputWindow::buffering_data() {
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("buffered");
    QTest::newRow("three letters stay buffered") << QStringList{"abc"} << QString() << 3;
    QTest::newRow("100 characters stay buffered")
        << QStringList{QString(100, u'x')} << QString() << 100;
    QTest::newRow("101 characters are shown at once")
        << QStringList{QString(101, u'x')} << QString(101, u'x') << 0;
    QTest::newRow("pieces add up to 101") << QStringList{QString(60, u'a'), QString(41, u'b')}
                                          << QString(60, u'a') + QString(41, u'b') << 0;
    QTest::newRow("a line feed shows everything before and after it")
        << QStringList{"ab", "c\nde"} << QStringLiteral("abc\nde") << 0;
    QTest::newRow("lines appear in order")
        << QStringList{"one\n", "two\n", "thr"} << QStringLiteral("one\ntwo\n") << 3;
}

void tst_OutputWindow::buffering() {
    QFETCH(QStringList, pieces);
    QFETCH(QString, shown);
    QFETCH(int, buffered);
    OutputWindow w;
    for (const QString& piece : pieces) w.AppendOutput(piece);
    QCOMPARE(w.toPlainText(), shown);
    QCOMPARE(int(w.buffered().size()), buffered);
}

void tst_OutputWindow::threeLettersWaitForTheLineFeed() {
    OutputWindow w;
    w.AppendOutput(QStringLiteral("abc"));
    QVERIFY(w.toPlainText().isEmpty());
    w.AppendOutput(QStringLiteral("\n"));
    QCOMPARE(w.toPlainText(), QStringLiteral("abc\n"));
    QVERIFY(w.buffered().isEmpty());
}

void tst_OutputWindow::clearingKeepsTheUnfinishedLine() {
    OutputWindow w;
    w.AppendOutput(QStringLiteral("done\n"));
    w.AppendOutput(QStringLiteral("part"));
    w.ClearText();
    QVERIFY(w.toPlainText().isEmpty());
    w.AppendOutput(QStringLiteral("ial\n"));
    QCOMPARE(w.toPlainText(), QStringLiteral("partial\n"));
}

QTEST_MAIN(tst_OutputWindow)
#include "tst_outputwindow.moc"
