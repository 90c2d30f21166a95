#include "shell/window_placement.h"

#include <QStringList>

std::optional<ShowState> ChildShowState(int stored) {
    const auto state = static_cast<ShowState>(stored);
    if (state == ShowState::kNormal || state == ShowState::kMaximized) return state;
    return std::nullopt;
}

std::optional<WindowPlacement> ParseWindowPos(const QString& text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 10) return std::nullopt;
    long long v[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        v[i] = fields[i].trimmed().toLongLong(&ok);
        if (!ok || v[i] < -1000000 || v[i] > 1000000) return std::nullopt;
    }
    if (v[0] < 0 || v[1] < 0) return std::nullopt;  // the first two are unsigned
    WindowPlacement p;
    p.flags = static_cast<unsigned>(v[0]);
    p.showCmd = static_cast<ShowState>(v[1]);
    p.minX = int(v[2]);
    p.minY = int(v[3]);
    p.maxX = int(v[4]);
    p.maxY = int(v[5]);
    p.left = int(v[6]);
    p.top = int(v[7]);
    p.right = int(v[8]);
    p.bottom = int(v[9]);
    return p;
}

QString FormatWindowPos(const WindowPlacement& p) {
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
        .arg(p.flags)
        .arg(static_cast<unsigned>(p.showCmd))
        .arg(p.minX)
        .arg(p.minY)
        .arg(p.maxX)
        .arg(p.maxY)
        .arg(p.left)
        .arg(p.top)
        .arg(p.right)
        .arg(p.bottom);
}
