#pragma once

#include <QPlainTextEdit>

// The Output window: every piece of text the core prints, shown in a monospace font that has
// the equation language's symbols.
class OutputWindow : public QPlainTextEdit {
    Q_OBJECT
   public:
    // Text stays buffered until a line feed arrives or the buffer holds this many characters.
    static constexpr int kFlushLength = 101;

    explicit OutputWindow(QWidget* parent = nullptr);

    // Appends core output: a carriage return goes before every line feed, and the buffer is
    // shown once it holds a line feed or kFlushLength characters.
    void AppendOutput(const QString& text);
    // Pieces that arrived together, each taken by the rule above, shown in one insertion.
    void AppendOutput(const QStringList& pieces);
    // Empties the window at the start of a run; text still buffered stays buffered.
    void ClearText() { clear(); }
    const QString& buffered() const { return buffer_; }
    // The last line that holds more than blanks, shown or still buffered; empty when none.
    QString LastLine() const;

   signals:
    // A line was double-clicked; its text.
    void lineActivated(const QString& line);

   protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

   private:
    QString buffer_;
};
