#pragma once

#include <QList>
#include <QObject>

class DocumentManager;
class EquationApp;
class FindReplaceDialog;
class OutputWindow;
class PadView;
class QAction;
class QFont;
class QPrinter;
class QWidget;

// The editor's commands on the document in front: undo and the clipboard, Find and Replace,
// word wrap, Go To Pos, tab stops, fonts, page setup and printing (a graph window in front
// prints its graph). The main window places the actions in its menus and toolbar.
class EditorCommands : public QObject {
    Q_OBJECT
   public:
    // Dialogs open over `window`, which owns the commands.
    EditorCommands(EquationApp& app, DocumentManager& documents, OutputWindow& output,
                   QWidget& window);
    ~EditorCommands() override;

    // Offers and enables the commands for the window in front: the editor of a document, a
    // graph window (printing only) or none. Copy also serves a selection of the Output window
    // while it is shown.
    void UpdateActions(PadView* view, bool graphInFront, bool outputSelection);

    // Copy takes the editor's selection, or the Output window's when the editor has none; Cut
    // is that Copy followed by removing the editor's selection.
    void Copy();
    void Cut();

    QAction* undoAct = nullptr;
    QAction* cutAct = nullptr;
    QAction* copyAct = nullptr;
    QAction* pasteAct = nullptr;
    QAction* eraseAct = nullptr;
    QAction* findAct = nullptr;
    QAction* findNextAct = nullptr;
    QAction* replaceAct = nullptr;
    QAction* selectAllAct = nullptr;
    QAction* wordWrapAct = nullptr;
    QAction* goToPosAct = nullptr;
    QAction* tabStopsAct = nullptr;
    QAction* fontAct = nullptr;
    QAction* printerFontAct = nullptr;
    QAction* mirrorFontAct = nullptr;
    QAction* printAct = nullptr;
    QAction* printPreviewAct = nullptr;
    QAction* printSetupAct = nullptr;
    QAction* pageSetupAct = nullptr;

   signals:
    // A short word for the status bar: what a command found, or did not.
    void statusMessage(const QString& text);

   private:
    void CreateActions();
    void ShowFind(bool replacing);
    void FindNext();
    void SetDisplayFont();
    void SetPrinterFont();
    void SetTabStops();
    void GoToPos();
    void ToggleWordWrap(bool on);
    void Print();
    void PrintPreview();
    void PrintSetup();
    void PageSetup();
    QPrinter& Printer();
    QFont PrinterFont(const QPrinter& printer) const;
    void PrintView(PadView* view, QPrinter& printer);

    EquationApp& app_;
    DocumentManager& documents_;
    OutputWindow& output_;
    QWidget& window_;
    QPrinter* printer_ = nullptr;
    FindReplaceDialog* find_ = nullptr;
    // Offered only with a document in front.
    QList<QAction*> documentActions_;
};
