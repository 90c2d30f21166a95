#pragma once

#include <QRect>
#include <QString>
#include <optional>

// The main window's placement as the profile's "WindowPos" keeps it: ten numbers, flags and
// show command, the minimised and maximised positions, and the normal rectangle.
struct WindowPlacement {
    static constexpr unsigned kRestoreToMaximized = 2;
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;

    unsigned flags = 0;
    unsigned showCmd = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
};

// Exactly ten comma-separated integers, or nothing.
std::optional<WindowPlacement> ParseWindowPos(const QString& text);
QString FormatWindowPos(const WindowPlacement& placement);
