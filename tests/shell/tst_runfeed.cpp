#include <QThread>
#include <QtTest>

#include "shell/run_feed.h"

// A run's output and progress on their way from the core's thread to the window: every piece
// of text arrives, in order, with the last step, in far fewer deliveries than the core made.
class tst_RunFeed : public QObject {
    Q_OBJECT
   private slots:
    void aHundredThousandUpdatesArriveInAFewBatches() {
        constexpr long kUpdates = 100000;
        RunFeed feed;
        long batches = 0;
        long steps = 0;
        long lastStep = -1;
        long lastTotal = -1;
        QByteArray text;
        connect(&feed, &RunFeed::text, [&](const QByteArrayList& pieces) {
            ++batches;
            for (const QByteArray& piece : pieces) text += piece;
        });
        connect(&feed, &RunFeed::progressed, [&](long step, long total) {
            ++steps;
            lastStep = step;
            lastTotal = total;
        });

        feed.Start();
        QThread* core = QThread::create([&feed] {
            for (long i = 1; i <= kUpdates; ++i) {
                feed.AddText(QByteArray::number(qlonglong(i)).append('\n').constData());
                feed.SetProgress(i, kUpdates);
            }
        });
        core->start();
        QVERIFY(QTest::qWaitFor([core] { return core->isFinished(); }, 120000));
        delete core;
        feed.Stop();
        feed.Flush();

        // One queued event for each update would have made a hundred thousand deliveries.
        QVERIFY2(batches < 1000 && steps < 1000, qPrintable(QString::number(steps)));
        QCOMPARE(lastStep, kUpdates);
        QCOMPARE(lastTotal, kUpdates);
        QByteArray expected;
        for (long i = 1; i <= kUpdates; ++i) expected += QByteArray::number(qlonglong(i)) + '\n';
        QVERIFY(text == expected);

        // Nothing new, nothing delivered.
        const long before = steps;
        feed.Flush();
        QCOMPARE(steps, before);
    }
};

QTEST_MAIN(tst_RunFeed)
#include "tst_runfeed.moc"
