#pragma once

#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>

#include "graphs/graph_doc.h"
#include "shell/editor_settings.h"

class EquationApp;
class EquationHighlighter;
class MainFrame;
class PadDocument;

// The editor of one equation document: comments and equations in their colours, the symbols of
// the equation language in the symbol face, the palette insertions, and the commands that run
// the core for the document. It keeps the graphs opened from it.
class PadView : public QPlainTextEdit {
    Q_OBJECT
   public:
    PadView(EquationApp& app, MainFrame& frame, QWidget* parent = nullptr);

    PadDocument* padDocument() const { return doc_; }
    EquationHighlighter* highlighter() const { return highlighter_; }
    GraphList& graphs() { return graphs_; }

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

    // Runs one core command for this document on the worker thread: saves first, and an
    // untitled document is only saved (false, the core does not run). coreFinished follows.
    bool ExecuteCoreCommand(const QString& command);
    // Solve (F5): "S", or "US" with an attachment; the result lines go to the Properties tree.
    bool Solve();
    // Estimation and Regression: "ALR" on the attached list file; the estimates with their
    // standard errors go to the Properties tree as a solve's values do.
    bool Estimate();
    bool running() const { return running_; }

    // Fills a new document from the file a temporary-file viewer asked to convert.
    void FillFromConvertFile();

   signals:
    void coreFinished(int result);

   protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

   private:
    enum class RunKind { kSolve, kFit, kCoreCommand };
    bool PrepareRun();
    bool StartRun(const QString& command, RunKind kind);
    void OnRunFinished(int result, const QStringList& lines);
    void PlaceCompilerError();

    EquationApp& app_;
    MainFrame& frame_;
    PadDocument* doc_;
    EquationHighlighter* highlighter_;
    GraphList graphs_;
    QFont displayFont_;
    QColor equationColour_;
    QColor commentsColour_;
    QColor backgroundColour_;
    int tabStops_ = 16;
    bool running_ = false;
    RunKind runKind_ = RunKind::kSolve;
    int revisionAtRun_ = 0;
};

// The frame of one document window; asks about unsaved changes and refuses to close while the
// core works on its document.
class PadFrame : public QMdiSubWindow {
    Q_OBJECT
   public:
    PadFrame(MainFrame& frame, PadView* view);
    PadView* view() const { return view_; }

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    MainFrame& frame_;
    PadView* view_;
};
