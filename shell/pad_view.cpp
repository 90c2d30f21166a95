#include "shell/pad_view.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include "shell/charset.h"
#include "shell/equation_highlighter.h"
#include "shell/equation_locator.h"
#include "shell/pad_document.h"

namespace {

const QColor kErrorMark(255, 205, 205);

}  // namespace

PadView::PadView(const EditorSettings& settings, QWidget* parent)
    : QPlainTextEdit(parent),
      doc_(new PadDocument(this)),
      highlighter_(new EquationHighlighter(doc_->text())) {
    setDocument(doc_->text());
    setObjectName(QStringLiteral("PadView"));
    ApplyEditorSettings(settings);
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

void PadView::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusReceived();
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
    // The editor copies its own selection; without one the Copy command's own rule applies.
    // ESC is not the editor's: it reaches the main window, which stops a run with it.
    if ((event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) &&
        !textCursor().hasSelection()) {
        emit copyWithoutSelection();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
