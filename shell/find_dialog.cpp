#include "shell/find_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

FindReplaceDialog::FindReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog"));
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("findText"));
    replace_ = new QLineEdit(this);
    replace_->setObjectName(QStringLiteral("replaceText"));
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    auto* next = new QPushButton(QStringLiteral("&Find Next"), this);
    next->setDefault(true);
    replaceButton_ = new QPushButton(QStringLiteral("&Replace"), this);
    replaceAllButton_ = new QPushButton(QStringLiteral("Replace &All"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);

    replaceRow_ = new QWidget(this);
    auto* replaceLayout = new QHBoxLayout(replaceRow_);
    replaceLayout->setContentsMargins(0, 0, 0, 0);
    replaceLayout->addWidget(new QLabel(QStringLiteral("Replace with:"), replaceRow_));
    replaceLayout->addWidget(replace_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Find what:"), find_);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {next, replaceButton_, replaceAllButton_, close}) buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(replaceRow_);
    left->addWidget(matchCase_);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);

    connect(next, &QPushButton::clicked, this, &FindReplaceDialog::FindNext);
    connect(replaceButton_, &QPushButton::clicked, this, &FindReplaceDialog::Replace);
    connect(replaceAllButton_, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceAll);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void FindReplaceDialog::showFor(bool replace) {
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    replaceRow_->setVisible(replace);
    replaceButton_->setVisible(replace);
    replaceAllButton_->setVisible(replace);
    show();
    raise();
    find_->setFocus();
    find_->selectAll();
}

bool FindReplaceDialog::FindNext() {
    if (editor_ == nullptr || find_->text().isEmpty()) return false;
    const QTextDocument::FindFlags flags =
        matchCase_->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    if (editor_->find(find_->text(), flags)) return true;
    // Once more from the start of the text.
    const QTextCursor before = editor_->textCursor();
    editor_->moveCursor(QTextCursor::Start);
    if (editor_->find(find_->text(), flags)) return true;
    editor_->setTextCursor(before);
    QApplication::beep();
    emit notFound(find_->text());
    return false;
}

bool FindReplaceDialog::Replace() {
    if (editor_ == nullptr) return false;
    QTextCursor c = editor_->textCursor();
    const Qt::CaseSensitivity cs =
        matchCase_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (c.hasSelection() && c.selectedText().compare(find_->text(), cs) == 0) {
        c.insertText(replace_->text());
        editor_->setTextCursor(c);
    }
    return FindNext();
}

int FindReplaceDialog::ReplaceAll() {
    if (editor_ == nullptr || find_->text().isEmpty()) return 0;
    const QTextDocument::FindFlags flags =
        matchCase_->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    QTextDocument* doc = editor_->document();
    QTextCursor edit(doc);
    edit.beginEditBlock();  // one undo step
    int count = 0;
    QTextCursor found = doc->find(find_->text(), 0, flags);
    while (!found.isNull()) {
        found.insertText(replace_->text());
        ++count;
        found = doc->find(find_->text(), found.position(), flags);
    }
    edit.endEditBlock();
    return count;
}
