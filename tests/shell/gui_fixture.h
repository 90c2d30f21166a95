#pragma once

// Shared set-up of the desktop application's tests: a scratch profile and scratch folder per
// test program, files written byte for byte, and the check that no window outlives a test.

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace guitest {

// Gives the program its own profile (an INI file in a temporary folder), so the user's
// settings are neither read nor changed.
inline void UseScratchProfile(QTemporaryDir& dir, const char* program) {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path() + "/profile");
    QCoreApplication::setOrganizationName(QStringLiteral("ValdrixTest"));
    QCoreApplication::setApplicationName(QLatin1String(program));
}

inline QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(bytes);
    return path;
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Visible top-level windows left behind by a test are a leak of the code under test.
inline QStringList VisibleTopLevels() {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            names.append(QString::fromLatin1(w->metaObject()->className()) + ":" + w->objectName());
    }
    return names;
}

}  // namespace guitest
