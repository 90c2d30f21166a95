#pragma once

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>

#include "shell/editor_settings.h"

class EquationHighlighter;
class PadDocument;

// The editor of one equation document: comments and equations in their colours, the symbols of
// the equation language in the symbol face, the palette insertions, and the places in the text
// the solver's messages name. It knows nothing of the window around it: what it leaves to others
// it signals, and the document manager and the run controller act on it.
class PadView : public QPlainTextEdit {
    Q_OBJECT
   public:
    explicit PadView(const EditorSettings& settings, QWidget* parent = nullptr);

    PadDocument* padDocument() const { return doc_; }
    EquationHighlighter* highlighter() const { return highlighter_; }

    // Palette insertions at the caret (replacing the selection, undoable).
    void InsertText(const QString& text);
    // Inserts a function's name and brackets and leaves the caret between the brackets.
    void InsertFunction(const QString& text);
    // One character of the equation language, given as its byte.
    void InsertSpecialChar(unsigned char byte);
    // "IF  THEN   ELSE" with the caret between the two blanks after IF.
    void InsertIfThenElse();

    // The editor settings a view takes when it is created: font, colours, wrapping, tabs.
    void ApplyEditorSettings(const EditorSettings& settings);
    // Colours the whole text again from the display font and the view's colours.
    void Recolour();
    // New colours from the Options sheet: the background is set, and the text recoloured when
    // the equation or comment colour changed.
    void ColourChange(const QColor& equation, const QColor& comments, const QColor& background);
    void SetDisplayFont(const QFont& font);
    QColor equationColour() const { return equationColour_; }
    QColor commentsColour() const { return commentsColour_; }
    QColor backgroundColour() const { return backgroundColour_; }
    void SetWordWrap(bool on);
    bool wordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
    // Tab width in quarters of the average character width.
    void SetTabStops(int tabStops);
    // The caret to a character position (no selection); beyond the end it goes to the end.
    void GoToPos(int position);

    // A compiler message at a character of the work copy: the caret goes to that character and
    // its statement is marked until the next edit.
    void ShowCompilerError(int workPosition);
    // Selects the 1-based equation of the compiled model; false when the text has no such
    // equation.
    bool SelectEquation(int number);
    // The span the last compiler error marked (empty when none is marked).
    QList<QTextEdit::ExtraSelection> errorMarks() const { return extraSelections(); }

   signals:
    void focusReceived();
    // Copy or Cut pressed with nothing selected here: the program's Copy rule decides what is
    // copied (the Output window's selection).
    void copyWithoutSelection();

   protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

   private:
    PadDocument* doc_;
    EquationHighlighter* highlighter_;
    QFont displayFont_;
    QColor equationColour_;
    QColor commentsColour_;
    QColor backgroundColour_;
    int tabStops_ = 16;
};
