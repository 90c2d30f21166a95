#include "shell/editor_commands.h"

#include <QAction>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

#include "graphs/graph_view.h"
#include "shell/command_action.h"
#include "shell/document_manager.h"
#include "shell/editor_dialogs.h"
#include "shell/equation_app.h"
#include "shell/find_dialog.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_print.h"
#include "shell/pad_view.h"
#include "shell/palette.h"
#include "shell/shell_messages.h"

namespace {

qreal ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

}  // namespace

EditorCommands::EditorCommands(EquationApp& app, DocumentManager& documents, OutputWindow& output,
                               QWidget& window)
    : QObject(&window), app_(app), documents_(documents), output_(output), window_(window) {
    CreateActions();
}

EditorCommands::~EditorCommands() {
    delete printer_;
}

void EditorCommands::CreateActions() {
    auto add = [this](const char* name, const QString& text, const QString& prompt,
                      const QKeySequence& key = {}) {
        return MakeAction(this, name, text, prompt, key);
    };
    // Every command below acts on the editor in front; while there is none it is disabled.
    auto active = [this] { return documents_.activeView(); };

    printAct = add("actionFilePrint", "&Print...", "Print the active document\nPrint",
                   QKeySequence(Qt::CTRL | Qt::Key_P));
    printAct->setIcon(DrawPictogram(Pictogram::kPrint));
    connect(printAct, &QAction::triggered, this, &EditorCommands::Print);
    printPreviewAct =
        add("actionFilePrintPreview", "Print Pre&view", "Display full pages\nPrint Preview");
    connect(printPreviewAct, &QAction::triggered, this, &EditorCommands::PrintPreview);
    printSetupAct = add("actionFilePrintSetup", "P&rint Setup...",
                        "Change the printer and printing options\nPrint Setup");
    connect(printSetupAct, &QAction::triggered, this, &EditorCommands::PrintSetup);
    pageSetupAct = add("actionPageSetup", "Page Set&up...", "Set headers, footers, and margins");
    connect(pageSetupAct, &QAction::triggered, this, &EditorCommands::PageSetup);

    undoAct = add("actionEditUndo", "&Undo", "Undo the last action\nUndo",
                  QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoAct->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    connect(undoAct, &QAction::triggered, this, [active] { active()->undo(); });
    cutAct = add("actionEditCut", "Cu&t", "Cut the selection and put it on the Clipboard\nCut");
    cutAct->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    cutAct->setIcon(DrawGlyphIcon(QStringLiteral("\u2702"), QSize(16, 16)));
    connect(cutAct, &QAction::triggered, this, &EditorCommands::Cut);
    copyAct =
        add("actionEditCopy", "&Copy", "Copy the selection and put it on the Clipboard\nCopy");
    copyAct->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    copyAct->setIcon(DrawPictogram(Pictogram::kCopy));
    connect(copyAct, &QAction::triggered, this, &EditorCommands::Copy);
    pasteAct = add("actionEditPaste", "&Paste", "Insert Clipboard contents\nPaste");
    pasteAct->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    pasteAct->setIcon(DrawPictogram(Pictogram::kPaste));
    connect(pasteAct, &QAction::triggered, this, [active] { active()->paste(); });
    eraseAct = add("actionEditDelete", "&Delete", "Erase the selection\nErase",
                   QKeySequence(Qt::Key_Delete));
    eraseAct->setShortcutContext(Qt::WidgetShortcut);  // the editor handles the key itself
    connect(eraseAct, &QAction::triggered, this, [active] {
        QTextCursor c = active()->textCursor();
        if (!c.hasSelection()) c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
    findAct = add("actionEditFind", "&Find...", "Find the specified text\nFind",
                  QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(findAct, &QAction::triggered, this, [this] { ShowFind(false); });
    findNextAct = add("actionEditFindNext", "Find &Next", "Repeat the last action\nRepeat",
                      QKeySequence(Qt::Key_F3));
    connect(findNextAct, &QAction::triggered, this, &EditorCommands::FindNext);
    replaceAct = add("actionEditReplace", "R&eplace...",
                     "Replace specific text with different text\nReplace",
                     QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replaceAct, &QAction::triggered, this, [this] { ShowFind(true); });
    selectAllAct =
        add("actionEditSelectAll", "Select A&ll", "Select the entire document\nSelect All");
    connect(selectAllAct, &QAction::triggered, this, [active] { active()->selectAll(); });
    wordWrapAct = add("actionWordWrap", "&Word Wrap", "Toggle on/off word-wrap mode");
    wordWrapAct->setCheckable(true);
    connect(wordWrapAct, &QAction::triggered, this, &EditorCommands::ToggleWordWrap);
    goToPosAct = add("actionGoToPos", "&Go To Pos", "Go to char number position");
    connect(goToPosAct, &QAction::triggered, this, &EditorCommands::GoToPos);

    tabStopsAct = add("actionSetTabStops", "Set &Tab Stops...", "Set tab stops for this window");
    connect(tabStopsAct, &QAction::triggered, this, &EditorCommands::SetTabStops);
    fontAct = add("actionSetFont", "Set &Font...", "Select display font for this window");
    connect(fontAct, &QAction::triggered, this, &EditorCommands::SetDisplayFont);
    printerFontAct = add("actionSetPrinterFont", "Set Pr&inter Font...", "Set font for printing");
    connect(printerFontAct, &QAction::triggered, this, &EditorCommands::SetPrinterFont);
    mirrorFontAct = add("actionMirrorFont", "&Mirror Display Font",
                        "Use same font for printing as for display");
    connect(mirrorFontAct, &QAction::triggered, this,
            [this] { app_.editor.printFont = app_.editor.font; });

    documentActions_ = {printPreviewAct, eraseAct,   selectAllAct,   findAct,
                        findNextAct,     replaceAct, wordWrapAct,    goToPosAct,
                        tabStopsAct,     fontAct,    printerFontAct, mirrorFontAct};
}

void EditorCommands::UpdateActions(PadView* view, bool graphInFront, bool outputSelection) {
    const bool hasView = view != nullptr;
    for (QAction* a : documentActions_) {
        a->setVisible(hasView);
        a->setEnabled(hasView);
    }
    for (QAction* a : {undoAct, cutAct, pasteAct}) a->setVisible(hasView);
    printAct->setVisible(hasView || graphInFront);
    printAct->setEnabled(hasView || graphInFront);
    {
        const QSignalBlocker block(wordWrapAct);
        wordWrapAct->setChecked(hasView && view->wordWrap());
    }
    const bool editorSelection = hasView && view->textCursor().hasSelection();
    copyAct->setEnabled(editorSelection || outputSelection);
    cutAct->setEnabled(editorSelection);
    pasteAct->setEnabled(hasView && view->canPaste());
    undoAct->setEnabled(hasView && view->document()->isUndoAvailable());
}

void EditorCommands::Copy() {
    PadView* view = documents_.activeView();
    if (view != nullptr && view->textCursor().hasSelection())
        view->copy();
    else
        output_.copy();
}

void EditorCommands::Cut() {
    Copy();
    if (PadView* view = documents_.activeView()) {
        QTextCursor c = view->textCursor();
        c.removeSelectedText();
    }
}

QPrinter& EditorCommands::Printer() {
    if (printer_ == nullptr) printer_ = new QPrinter(QPrinter::HighResolution);
    return *printer_;
}

void EditorCommands::Print() {
    if (CGraphView* graph = documents_.activeGraph()) {
        graph->Print();
        return;
    }
    PadView* view = documents_.activeView();
    if (view == nullptr) return;
    QPrintDialog dialog(&Printer(), &window_);
    if (app_.Exec(dialog) == QDialog::Accepted) PrintView(view, Printer());
}

void EditorCommands::PrintPreview() {
    PadView* view = documents_.activeView();
    if (view == nullptr) return;
    QPrintPreviewDialog preview(&Printer(), &window_);
    connect(&preview, &QPrintPreviewDialog::paintRequested, view,
            [this, view](QPrinter* p) { PrintView(view, *p); });
    app_.Exec(preview);
}

void EditorCommands::PrintSetup() {
    QPageSetupDialog dialog(&Printer(), &window_);
    dialog.exec();
}

void EditorCommands::PageSetup() {
    CPageSetupDlg dialog(app_.editor.pageSetup, &window_);
    if (app_.Exec(dialog) == QDialog::Accepted) app_.editor.pageSetup = dialog.value();
}

QFont EditorCommands::PrinterFont(const QPrinter& printer) const {
    // Without a printer font of its own the text prints in the display font. Fonts hold screen
    // pixels; the printer has its own resolution.
    QFont font = app_.editor.printerFont();
    const int screenPixels =
        font.pixelSize() > 0 ? font.pixelSize() : EditorSettings::kDefaultPixelSize;
    font.setPixelSize(std::max(1, qRound(screenPixels * printer.resolution() / ScreenDpi())));
    return font;
}

void EditorCommands::PrintView(PadView* view, QPrinter& printer) {
    PadDocument* doc = view->padDocument();
    PrintJob job;
    job.setup = app_.editor.pageSetup;
    job.fileName = doc->path().isEmpty() ? doc->title() : doc->path();
    job.headerTime = PageTextTime(job.setup.headerTime, doc->path());
    job.footerTime = PageTextTime(job.setup.footerTime, doc->path());
    job.font = PrinterFont(printer);
    PrintEquationText(*view->document(), printer, job);
}

void EditorCommands::SetDisplayFont() {
    PadView* view = documents_.activeView();
    if (view == nullptr) return;
    QFontDialog dialog(app_.editor.displayFont(), &window_);
    if (app_.Exec(dialog) != QDialog::Accepted) return;
    app_.editor.font = EditorFont(dialog.currentFont());
    view->SetDisplayFont(*app_.editor.font);
}

void EditorCommands::SetPrinterFont() {
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid()) {
        app_.Message(&window_, QString::fromLatin1(msg::kNoPrinterContext), QMessageBox::Warning);
        return;
    }
    QFontDialog dialog(app_.editor.printerFont(), &window_);
    if (app_.Exec(dialog) != QDialog::Accepted) return;
    app_.editor.printFont = EditorFont(dialog.currentFont());
}

void EditorCommands::SetTabStops() {
    PadView* view = documents_.activeView();
    if (view == nullptr) return;
    CSetTabStops dialog(app_.editor.tabStops, &window_);
    if (app_.Exec(dialog) != QDialog::Accepted) return;
    app_.editor.tabStops = dialog.value();
    view->SetTabStops(dialog.value());
}

void EditorCommands::GoToPos() {
    PadView* view = documents_.activeView();
    if (view == nullptr) return;
    CMoveCursorDlg dialog(view->textCursor().position(), view->document()->characterCount() - 1,
                          &window_);
    if (app_.Exec(dialog) == QDialog::Accepted) view->GoToPos(dialog.value());
}

void EditorCommands::ToggleWordWrap(bool on) {
    PadView* view = documents_.activeView();
    if (view == nullptr) return;
    view->SetWordWrap(on);
    app_.editor.wordWrap = on;  // documents opened later take it
}

void EditorCommands::ShowFind(bool replacing) {
    if (find_ == nullptr) {
        find_ = new FindReplaceDialog(&window_);
        connect(find_, &FindReplaceDialog::notFound, this, [this](const QString& text) {
            emit statusMessage(QString::fromLatin1(msg::kTextNotFound).arg(text));
        });
    }
    find_->setEditor(documents_.activeView());
    find_->showFor(replacing);
}

void EditorCommands::FindNext() {
    // F3 repeats the last search; before there is one it asks what to find.
    if (find_ == nullptr || find_->findText()->text().isEmpty()) {
        ShowFind(false);
        return;
    }
    find_->setEditor(documents_.activeView());
    find_->FindNext();
}
