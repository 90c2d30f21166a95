#include "shell/pad_view.h"

#include <QCloseEvent>
#include <QFile>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include "shell/charset.h"
#include "shell/core_runner.h"
#include "shell/equation_app.h"
#include "shell/equation_highlighter.h"
#include "shell/equation_locator.h"
#include "shell/fit_summary.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/properties_tree.h"
#include "shell/shell_messages.h"

namespace {

const QColor kErrorMark(255, 205, 205);

}  // namespace

PadView::PadView(EquationApp& app, MainFrame& frame, QWidget* parent)
    : QPlainTextEdit(parent),
      app_(app),
      frame_(frame),
      doc_(new PadDocument(this)),
      highlighter_(new EquationHighlighter(doc_->text())) {
    setDocument(doc_->text());
    setObjectName(QStringLiteral("PadView"));
    ApplyEditorSettings(app_.editor);
    connect(&app_.runner(), &CoreRunner::finished, this, &PadView::OnRunFinished);
    // A mark of a compiler error holds until the text changes.
    connect(doc_->text(), &QTextDocument::contentsChange, this,
            [this](int, int removed, int added) {
                if (removed + added > 0 && !extraSelections().isEmpty()) setExtraSelections({});
            });
}

void PadView::ApplyEditorSettings(const EditorSettings& settings) {
    displayFont_ = settings.displayFont();
    equationColour_ = settings.equationColor;
    commentsColour_ = settings.commentsColor;
    backgroundColour_ = settings.backgroundColor;
    QPalette p = palette();
    p.setColor(QPalette::Base, backgroundColour_);
    setPalette(p);
    SetWordWrap(settings.wordWrap);
    tabStops_ = settings.tabStops;
    Recolour();
}

void PadView::Recolour() {
    setFont(displayFont_);
    SetTabStops(tabStops_);  // the width follows the font
    highlighter_->SetFormats(equationColour_, commentsColour_, SymbolFamilies());
}

void PadView::ColourChange(const QColor& equation, const QColor& comments,
                           const QColor& background) {
    if (background != backgroundColour_) {
        backgroundColour_ = background;
        QPalette p = palette();
        p.setColor(QPalette::Base, background);
        setPalette(p);
    }
    if (equation != equationColour_ || comments != commentsColour_) {
        equationColour_ = equation;
        commentsColour_ = comments;
        Recolour();
    }
}

void PadView::SetDisplayFont(const QFont& font) {
    displayFont_ = font;
    Recolour();
}

void PadView::SetWordWrap(bool on) {
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void PadView::SetTabStops(int tabStops) {
    tabStops_ = std::clamp(tabStops, EditorSettings::kMinTabStops, EditorSettings::kMaxTabStops);
    const qreal average = QFontMetricsF(font()).averageCharWidth();
    setTabStopDistance(tabStops_ * average / 4);
}

void PadView::GoToPos(int position) {
    QTextCursor cursor = textCursor();
    const int last = document()->characterCount() - 1;
    cursor.setPosition(std::clamp(position, 0, std::max(0, last)));
    setTextCursor(cursor);
    ensureCursorVisible();
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

void PadView::ShowCompilerError(int workPosition) {
    const QString text = toPlainText();
    const int position = locator::DocumentPosition(text, workPosition);
    GoToPos(position);
    const auto statement = locator::StatementAt(text, position);
    if (!statement) return;
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(document());
    mark.cursor.setPosition(statement->start);
    mark.cursor.setPosition(statement->end, QTextCursor::KeepAnchor);
    mark.format.setBackground(kErrorMark);
    setExtraSelections({mark});
}

bool PadView::SelectEquation(int number) {
    const auto span = locator::EquationSpan(toPlainText(), number);
    if (!span) return false;
    QTextCursor cursor(document());
    cursor.setPosition(span->start);
    cursor.setPosition(span->end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
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

void PadView::mousePressEvent(QMouseEvent* event) {
    // A right click brings the document's window to the top before its menu opens.
    if (event->button() == Qt::RightButton) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            if (QMdiArea* area = window->mdiArea()) area->setActiveSubWindow(window);
        }
    }
    QPlainTextEdit::mousePressEvent(event);
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
    record.capacity = app_.capacity;
    record.optimizationRoute = app_.optimizationRoute;
    if (!app_.runner().start(doc_->path(), command, record)) return false;
    running_ = true;
    runKind_ = kind;
    revisionAtRun_ = document()->revision();
    if (kind != RunKind::kSolve) viewport()->setCursor(Qt::BusyCursor);
    frame_.RunStarted(this, command);
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

bool PadView::Estimate() {
    if (!PrepareRun()) return false;
    return StartRun(QStringLiteral("ALR"), RunKind::kFit);
}

void PadView::PlaceCompilerError() {
    // Positions hold only for the text the run read.
    if (document()->revision() != revisionAtRun_) return;
    const QStringList lines = frame_.output()->toPlainText().split(u'\n');
    for (const QString& line : lines) {
        const auto ref = locator::ReferenceIn(line);
        if (ref && ref->kind == locator::Reference::Kind::kCharacter) {
            ShowCompilerError(ref->number);
            return;
        }
    }
}

void PadView::OnRunFinished(int result, const QStringList& lines) {
    if (!running_) return;
    running_ = false;
    if (runKind_ != RunKind::kCoreCommand) {
        doc_->settings.lastResult = static_cast<std::uint32_t>(result);
        // A fit shows its estimates with their standard errors; one that failed shows where
        // it stopped, as a failed solve does.
        QStringList shown = lines;
        if (runKind_ == RunKind::kFit && result == 1) {
            const QStringList fit = FitSummaryLines(doc_->baseName() + QStringLiteral(".FIT"));
            if (!fit.isEmpty()) shown = fit;
        }
        doc_->node =
            frame_.properties()->ReplaceNode(doc_->node, doc_->settings, doc_->path(), shown);
    }
    if (runKind_ != RunKind::kSolve) {
        viewport()->unsetCursor();
        graphs_.UpdateAll();
    }
    frame_.RunFinished();
    PlaceCompilerError();
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
