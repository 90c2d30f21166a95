#include "graphs/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace graphs {

namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

void ShowMessage(QWidget* parent, const QString& text) {
    if (Handler()) {
        Handler()(parent, text);
        return;
    }
    QMessageBox::warning(parent != nullptr ? parent : QApplication::activeWindow(),
                         QApplication::applicationName(), text);
}

}  // namespace graphs
