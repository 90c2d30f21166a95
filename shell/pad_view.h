#pragma once

#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>

class EquationApp;
class MainFrame;
class PadDocument;
class QSyntaxHighlighter;

// The editor of one equation document, and the commands that run the core for it.
class PadView : public QPlainTextEdit {
    Q_OBJECT
   public:
    PadView(EquationApp& app, MainFrame& frame, QWidget* parent = nullptr);

    PadDocument* padDocument() const { return doc_; }

    // Palette insertions at the caret (replacing the selection, undoable).
    void InsertText(const QString& text);
    // Inserts a function's name and brackets and leaves the caret between the brackets.
    void InsertFunction(const QString& text);
    // One character of the equation language, given as its byte.
    void InsertSpecialChar(unsigned char byte);
    // "IF  THEN   ELSE" with the caret between the two blanks after IF.
    void InsertIfThenElse();

    // Runs one core command for this document on the worker thread: saves first, and an
    // untitled document is only saved (false, the core does not run). coreFinished follows.
    bool ExecuteCoreCommand(const QString& command);
    // Solve (F5): "S", or "US" with an attachment; the result lines go to the Properties tree.
    bool Solve();
    bool running() const { return running_; }

    // The syntax colouring of the editor attaches here.
    void setHighlighter(QSyntaxHighlighter* highlighter);

    // Fills a new document from the file a temporary-file viewer asked to convert.
    void FillFromConvertFile();

   signals:
    void coreFinished(int result);

   protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

   private:
    enum class RunKind { kSolve, kCoreCommand };
    bool PrepareRun();
    bool StartRun(const QString& command, RunKind kind);
    void OnRunFinished(int result, const QStringList& lines);

    EquationApp& app_;
    MainFrame& frame_;
    PadDocument* doc_;
    QPointer<QSyntaxHighlighter> highlighter_;
    bool running_ = false;
    RunKind runKind_ = RunKind::kSolve;
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
