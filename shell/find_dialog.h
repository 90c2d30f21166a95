#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Find and Replace over the active editor: a window that stays open beside it. Searching goes
// forward from the caret and wraps round at the end of the text once.
class FindReplaceDialog : public QDialog {
    Q_OBJECT
   public:
    explicit FindReplaceDialog(QWidget* parent = nullptr);

    // The editor searched; may change while the window is open.
    void setEditor(QPlainTextEdit* editor) { editor_ = editor; }
    void showFor(bool replace);

    QLineEdit* findText() const { return find_; }
    QLineEdit* replaceText() const { return replace_; }
    QCheckBox* matchCase() const { return matchCase_; }

   public slots:
    bool FindNext();
    // Replaces the selection when it is a match, then finds the next one.
    bool Replace();
    int ReplaceAll();

   signals:
    // The text was found nowhere in the editor.
    void notFound(const QString& text);

   private:
    QPlainTextEdit* editor_ = nullptr;
    QLineEdit* find_;
    QLineEdit* replace_;
    QCheckBox* matchCase_;
    QWidget* replaceRow_;
    QPushButton* replaceButton_;
    QPushButton* replaceAllButton_;
};
