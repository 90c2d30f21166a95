#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QObject;

// A command of the menus: `prompt` is the status-bar text, then after "\n" the tool tip (the
// text without '&' and "..." when there is none).
QAction* MakeAction(QObject* parent, const char* name, const QString& text, const QString& prompt,
                    const QKeySequence& key = {});
