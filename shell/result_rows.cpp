#include "shell/result_rows.h"

#include <QFile>
#include <QFileInfo>

ResultFiles::ResultFiles(const std::string& basePath) {
    if (basePath.empty()) return;
    const QString base = QFile::decodeName(QByteArray::fromStdString(basePath));
    stamps_[0] = StampOf(base + QStringLiteral(".PRN"));
    stamps_[1] = StampOf(base + QStringLiteral(".FFT"));
}

ResultFiles::Stamp ResultFiles::StampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {path, {}, -1};
    return {path, info.lastModified(), info.size()};
}

WrittenRows ResultFiles::Written() const {
    for (const Stamp& before : stamps_) {
        if (before.path.isEmpty()) continue;
        const Stamp now = StampOf(before.path);
        if (now.size < 0 || (now.size == before.size && now.modified == before.modified)) continue;
        const long rows = CountDataRows(before.path);
        // The sweep that writes its table to base.FFT also empties base.PRN.
        if (rows > 0) return {before.path, rows};
    }
    return {};
}

long CountDataRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    long rows = 0;
    bool lineStart = true;
    char buffer[1 << 16];
    for (qint64 n; (n = file.read(buffer, sizeof buffer)) > 0;) {
        for (qint64 i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\n') {
                lineStart = true;
            } else if (lineStart && c != ' ' && c != '\t' && c != '\r') {
                lineStart = false;
                if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') ++rows;
            }
        }
    }
    return rows;
}
