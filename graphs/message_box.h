#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace graphs {

// Messages of the graphs go through one handler: message boxes by default; tests and batch
// programs put their own in its place.
using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;

// An empty handler restores the message boxes. Returns the handler it replaces.
MessageHandler SetMessageHandler(MessageHandler handler);
void ShowMessage(QWidget* parent, const QString& text);

}  // namespace graphs
