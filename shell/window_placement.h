#pragma once

#include <QRect>
#include <QString>
#include <optional>

// How a window is shown. The numbers are those the profile stores ("ShowCmd", and the second
// number of "WindowPos").
enum class ShowState : unsigned { kNormal = 1, kMinimized = 2, kMaximized = 3 };

// The show state of document windows as the profile's "ShowCmd" keeps it: normal or maximised.
// Anything else (edited by hand) is none.
std::optional<ShowState> ChildShowState(int stored);

// The main window's placement as the profile's "WindowPos" keeps it: ten numbers, flags and
// show state, the minimised and maximised positions, and the normal rectangle.
struct WindowPlacement {
    static constexpr unsigned kRestoreToMaximized = 2;

    unsigned flags = 0;
    ShowState showCmd = ShowState::kNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
};

// Exactly ten comma-separated integers, or nothing.
std::optional<WindowPlacement> ParseWindowPos(const QString& text);
QString FormatWindowPos(const WindowPlacement& placement);
