#include "shell/command_action.h"

#include <QAction>

QAction* MakeAction(QObject* parent, const char* name, const QString& text, const QString& prompt,
                    const QKeySequence& key) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QLatin1String(name));
    const qsizetype split = prompt.indexOf(u'\n');
    action->setStatusTip(split < 0 ? prompt : prompt.left(split));
    QString tip =
        split < 0 ? QString(text).remove(u'&').remove(QLatin1String("...")) : prompt.mid(split + 1);
    action->setToolTip(tip);
    if (!key.isEmpty()) action->setShortcut(key);
    return action;
}
