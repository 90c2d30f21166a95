#pragma once

#include <QByteArray>
#include <QString>

// Writes a user's file without ever leaving it half-written: the bytes go to a temporary file in
// the same folder, which then replaces the old file in one rename. On failure the old file is
// untouched, the temporary file is removed and *error says why.
bool SaveFileSafely(const QString& path, const QByteArray& bytes, QString* error);

// The name of the temporary file a save of path writes first.
QString SafeSaveTempName(const QString& path);
