#include "shell/safe_save.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cstdio>

QString SafeSaveTempName(const QString& path) {
    return path + QStringLiteral(".saving");
}

bool SaveFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    const QString temp = SafeSaveTempName(path);
    auto fail = [&](const QString& why) {
        QFile::remove(temp);
        if (error != nullptr) *error = why;
        return false;
    };
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail(out.errorString());
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        const QString why = out.errorString();
        out.close();
        return fail(why);
    }
    // The data must be on the disk before the rename makes it the document.
    if (::fsync(out.handle()) != 0) {
        out.close();
        return fail(QStringLiteral("the data could not be written to the disk"));
    }
    out.close();
    const QFileInfo old(path);
    if (old.exists()) QFile::setPermissions(temp, old.permissions());
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) !=
        0) {
        return fail(QStringLiteral("the file could not be replaced"));
    }
    return true;
}
