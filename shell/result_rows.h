#pragma once

#include <QDateTime>
#include <QString>
#include <string>

// The rows of a result table written by a run, and the file they went to; no file when the
// run wrote none.
struct WrittenRows {
    QString file;
    long rows = 0;
};

// The result files of one document (base.PRN and base.FFT) as they stood before a run, so that
// afterwards the one the run wrote can be told from one it left alone.
class ResultFiles {
   public:
    explicit ResultFiles(const std::string& basePath);
    // The file that changed since construction, with its data rows (not its header or
    // parameter lines).
    WrittenRows Written() const;

   private:
    struct Stamp {
        QString path;
        QDateTime modified;
        qint64 size = -1;
    };
    static Stamp StampOf(const QString& path);

    Stamp stamps_[2];
};

// The lines of a result table that hold numbers.
long CountDataRows(const QString& path);
