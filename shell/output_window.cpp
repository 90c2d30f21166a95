#include "shell/output_window.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

OutputWindow::OutputWindow(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setObjectName(QStringLiteral("OutputWindow"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies(
        {QStringLiteral("Valdrix Courier"), QStringLiteral("DejaVu Sans Mono"), font.family()});
    font.setStyleHint(QFont::Monospace);
    setFont(font);
}

void OutputWindow::AppendOutput(const QString& text) {
    AppendOutput(QStringList{text});
}

void OutputWindow::AppendOutput(const QStringList& pieces) {
    QString shown;
    for (const QString& text : pieces) {
        QString converted;
        converted.reserve(text.size() + 8);
        bool lineFeed = false;
        for (QChar c : text) {
            if (c == u'\n') {
                converted += u'\r';
                lineFeed = true;
            }
            converted += c;
        }
        buffer_ += converted;
        if (!lineFeed && buffer_.size() < kFlushLength) continue;
        shown += buffer_;
        buffer_.clear();
    }
    if (shown.isEmpty()) return;

    // The window keeps lines, not line-end characters: the carriage returns stay in the
    // buffer's count but are not drawn.
    shown.remove(u'\r');
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    setTextCursor(cursor);
    if (atEnd) bar->setValue(bar->maximum());
}

void OutputWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    const QTextBlock block = cursorForPosition(event->position().toPoint()).block();
    if (block.isValid()) emit lineActivated(block.text());
}

QString OutputWindow::LastLine() const {
    if (const QString pending = buffer_.trimmed(); !pending.isEmpty()) return pending;
    for (QTextBlock b = document()->lastBlock(); b.isValid(); b = b.previous()) {
        if (const QString line = b.text().trimmed(); !line.isEmpty()) return line;
    }
    return {};
}
