#include "shell/pad_view.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>

#include "shell/charset.h"
#include "shell/core_runner.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/properties_tree.h"
#include "shell/shell_messages.h"

PadView::PadView(EquationApp& app, MainFrame& frame, QWidget* parent)
    : QPlainTextEdit(parent), app_(app), frame_(frame), doc_(new PadDocument(this)) {
    setDocument(doc_->text());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setObjectName(QStringLiteral("PadView"));
    connect(&app_.runner(), &CoreRunner::finished, this, &PadView::OnRunFinished);
}

void PadView::setHighlighter(QSyntaxHighlighter* highlighter) {
    if (highlighter_ != nullptr) highlighter_->setDocument(nullptr);
    highlighter_ = highlighter;
    if (highlighter_ != nullptr) highlighter_->setDocument(doc_->text());
}

void PadView::InsertText(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void PadView::InsertFunction(const QString& text) {
    InsertText(text);
    moveCursor(QTextCursor::PreviousCharacter);
}

void PadView::InsertSpecialChar(unsigned char byte) {
    InsertText(QString(charset::CharForByte(byte)));
}

void PadView::InsertIfThenElse() {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(QStringLiteral("IF  THEN   ELSE"));
    cursor.setPosition(start + 3);
    setTextCursor(cursor);
}

void PadView::FillFromConvertFile() {
    if (app_.convertFilePath.size() < 4) return;
    QFile file(app_.convertFilePath);
    app_.convertFilePath.clear();
    if (!file.open(QIODevice::ReadOnly)) return;
    QTextCursor cursor(doc_->text());
    cursor.movePosition(QTextCursor::End);
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        cursor.insertText(charset::ToUnicode(line) + u'\n');
    }
}

void PadView::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    frame_.properties()->SelectNode(doc_->node);
}

void PadView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && app_.runner().busy()) {
        app_.runner().cancel();
        event->accept();
        return;
    }
    // The editor copies its own selection; without one the Copy command's own rule applies.
    if ((event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) &&
        !textCursor().hasSelection()) {
        frame_.EditCopy();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool PadView::PrepareRun() {
    if (app_.runner().busy()) {
        app_.Message(this, QString::fromLatin1(msg::kRunInProgress), QMessageBox::Warning);
        return false;
    }
    if (doc_->isModified()) frame_.SaveDocument(this);
    // A document that has never been saved is saved now and the command ends: the user runs
    // it again on the saved file.
    if (doc_->path().isEmpty()) {
        frame_.SaveDocument(this);
        return false;
    }
    return true;
}

bool PadView::StartRun(const QString& command, RunKind kind) {
    frame_.output()->ClearText();
    app_.activeView = this;
    GuiShellServices& services = app_.runner().services();
    services.showDerivatives.store(app_.showDerivativeInformation);
    services.showIterations.store(app_.showResultsForEachIteration);
    services.showResults.store(app_.showResultsInOutputView);
    services.dialogParent = &frame_;
    ShellSettingsRecord record = corebridge::RecordFor(doc_->settings);
    if (!app_.runner().start(doc_->path(), command, record)) return false;
    running_ = true;
    runKind_ = kind;
    if (kind == RunKind::kCoreCommand) viewport()->setCursor(Qt::BusyCursor);
    frame_.RunStarted();
    return true;
}

bool PadView::ExecuteCoreCommand(const QString& command) {
    if (!PrepareRun()) return false;
    return StartRun(command, RunKind::kCoreCommand);
}

bool PadView::Solve() {
    if (!PrepareRun()) return false;
    return StartRun(doc_->hasAttachment() ? QStringLiteral("US") : QStringLiteral("S"),
                    RunKind::kSolve);
}

void PadView::OnRunFinished(int result, const QStringList& lines) {
    if (!running_) return;
    running_ = false;
    if (runKind_ == RunKind::kSolve) {
        doc_->settings.lastResult = static_cast<std::uint32_t>(result);
        doc_->node =
            frame_.properties()->ReplaceNode(doc_->node, doc_->settings, doc_->path(), lines);
    } else {
        viewport()->unsetCursor();
        frame_.UpdateAllGraphs(this);
    }
    frame_.RunFinished();
    emit coreFinished(result);
}

PadFrame::PadFrame(MainFrame& frame, PadView* view) : frame_(frame), view_(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("PadFrame"));
}

void PadFrame::closeEvent(QCloseEvent* event) {
    if (frame_.CanCloseDocument(view_)) {
        frame_.DocumentClosing(view_);
        event->accept();
    } else {
        event->ignore();
    }
}
