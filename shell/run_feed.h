#pragma once

#include <QByteArrayList>
#include <QMutex>
#include <QObject>
#include <QTimer>
#include <optional>

// What a run reports while it goes, its printed text and how far it has come, gathered on the
// core's thread and handed to the user-interface thread in batches. The core may print a line
// or report a step a million times a second; one queued event for each would keep the window
// from painting, opening menus or seeing ESC until the queue drained. A batch goes at most
// every kIntervalMs while the feed is started and once more when asked (Flush), so the last
// state is always delivered.
class RunFeed : public QObject {
    Q_OBJECT
   public:
    static constexpr int kIntervalMs = 33;  // about 30 batches a second

    explicit RunFeed(QObject* parent = nullptr);

    // Any thread: a piece of printed text, kept as the core handed it over.
    void AddText(const char* text);
    // Any thread: the step reached; only the latest is kept.
    void SetProgress(long step, long total);

    // User-interface thread: batches start and stop going out on their own.
    void Start();
    void Stop();
    // User-interface thread: hands over what is waiting now, text before progress.
    void Flush();

   signals:
    void text(const QByteArrayList& pieces);
    void progressed(long step, long total);

   private:
    struct Progress {
        long step;
        long total;
    };

    QMutex mutex_;
    QByteArrayList pieces_;             // text not yet handed over
    std::optional<Progress> progress_;  // the latest step, when not yet handed over
    QTimer timer_;
};
