#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// Shows one of the core's work or result files read-only. A symbolic-Jacobian file (extension
// exactly "SJC") is shown in the equation font and can be converted into a new document:
// the dialog then closes with Accepted.
class TmpFileDialog : public QDialog {
    Q_OBJECT
   public:
    explicit TmpFileDialog(const QString& path, QWidget* parent = nullptr);

    bool isSymbolicJacobianFile() const { return symbolic_; }
    QPlainTextEdit* textBox() const { return text_; }
    QPushButton* convertButton() const { return convert_; }

   private:
    bool symbolic_;
    QPlainTextEdit* text_;
    QPushButton* convert_;
};
