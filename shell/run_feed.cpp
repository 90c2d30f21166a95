#include "shell/run_feed.h"

#include <QMutexLocker>
#include <utility>

RunFeed::RunFeed(QObject* parent) : QObject(parent) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &RunFeed::Flush);
}

void RunFeed::AddText(const char* text) {
    const QMutexLocker lock(&mutex_);
    pieces_.append(QByteArray(text));
}

void RunFeed::SetProgress(long step, long total) {
    const QMutexLocker lock(&mutex_);
    progress_ = Progress{step, total};
}

void RunFeed::Start() {
    timer_.start();
}

void RunFeed::Stop() {
    timer_.stop();
}

void RunFeed::Flush() {
    QByteArrayList pieces;
    std::optional<Progress> progress;
    {
        const QMutexLocker lock(&mutex_);
        pieces.swap(pieces_);
        progress = std::exchange(progress_, std::nullopt);
    }
    if (!pieces.isEmpty()) emit text(pieces);
    if (progress) emit progressed(progress->step, progress->total);
}
