#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "graphs/graph_view.h"
#include "shell/attachment_dialog.h"
#include "shell/core_runner.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/palette.h"
#include "shell/shell_messages.h"
#include "shell/tmp_file_dialog.h"

namespace {

// prompt: the status-bar text, then after "\n" the tool tip.
QAction* MakeAction(QObject* parent, const char* name, const QString& text, const QString& prompt,
                    const QKeySequence& key = {}) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QLatin1String(name));
    const qsizetype split = prompt.indexOf(u'\n');
    action->setStatusTip(split < 0 ? prompt : prompt.left(split));
    QString tip =
        split < 0 ? QString(text).remove(u'&').remove(QLatin1String("...")) : prompt.mid(split + 1);
    action->setToolTip(tip);
    if (!key.isEmpty()) action->setShortcut(key);
    return action;
}

}  // namespace

void MainFrame::CreateActions() {
    auto add = [this](const char* name, const QString& text, const QString& prompt,
                      const QKeySequence& key = {}) {
        return MakeAction(this, name, text, prompt, key);
    };
    newAct_ = add("actionFileNew", "&New", "Create a new document\nNew",
                  QKeySequence(Qt::CTRL | Qt::Key_N));
    newAct_->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    connect(newAct_, &QAction::triggered, this, [this] { NewDocument(); });
    openAct_ = add("actionFileOpen", "&Open...", "Open an existing document\nOpen",
                   QKeySequence(Qt::CTRL | Qt::Key_O));
    openAct_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    connect(openAct_, &QAction::triggered, this, &MainFrame::FileOpen);
    closeAct_ = add("actionFileClose", "&Close", "Close the active document\nClose");
    connect(closeAct_, &QAction::triggered, this, &MainFrame::FileClose);
    saveAct_ = add("actionFileSave", "&Save", "Save the active document\nSave",
                   QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAct_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    connect(saveAct_, &QAction::triggered, this, [this] {
        // A graph window saves its pictures.
        if (CGraphView* graph = activeGraph())
            graph->SaveGraph();
        else
            SaveDocument(activeView());
    });
    saveAsAct_ =
        add("actionFileSaveAs", "Save &As...", "Save the active document with a new name\nSave As");
    connect(saveAsAct_, &QAction::triggered, this, [this] { SaveDocumentAs(activeView()); });
    exportLatexAct_ =
        add("actionExportLatex", "Export to La&TEX", "Export equations to latex format");
    connect(exportLatexAct_, &QAction::triggered, this,
            [this] { app_.Message(this, QString::fromLatin1(msg::kNotFinished)); });
    attachNewAct_ = add("actionAttachmentNew", "&New", "New Attachment");
    connect(attachNewAct_, &QAction::triggered, this, [this] {
        PadView* view = activeView();
        view->padDocument()->setAttachmentPath(QString());
        OpenAttachmentEditor(view, QString::fromLatin1(msg::kAttachmentNoName));
    });
    attachFileAct_ = add("actionAttachFile", "&Attach File", "Attach File\nAttachFile");
    connect(attachFileAct_, &QAction::triggered, this, &MainFrame::AttachFile);
    attachEditAct_ = add("actionAttachmentEdit", "&Edit Attached File",
                         "Edit Attached File\nEdit Attached File");
    connect(attachEditAct_, &QAction::triggered, this, [this] {
        PadView* view = activeView();
        OpenAttachmentEditor(view, view->padDocument()->attachmentPath());
    });
    attachRemoveAct_ = add("actionAttachmentRemove", "&Remove", "Remove Attachment");
    connect(attachRemoveAct_, &QAction::triggered, this, [this] {
        activeView()->padDocument()->setAttachmentPath(QString());
        UpdateMenus();
    });
    printAct_ = add("actionFilePrint", "&Print...", "Print the active document\nPrint",
                    QKeySequence(Qt::CTRL | Qt::Key_P));
    printAct_->setIcon(DrawPictogram(Pictogram::kPrint));
    connect(printAct_, &QAction::triggered, this, &MainFrame::FilePrint);
    printPreviewAct_ =
        add("actionFilePrintPreview", "Print Pre&view", "Display full pages\nPrint Preview");
    connect(printPreviewAct_, &QAction::triggered, this, &MainFrame::FilePrintPreview);
    printSetupAct_ = add("actionFilePrintSetup", "P&rint Setup...",
                         "Change the printer and printing options\nPrint Setup");
    connect(printSetupAct_, &QAction::triggered, this, &MainFrame::FilePrintSetup);
    pageSetupAct_ = add("actionPageSetup", "Page Set&up...", "Set headers, footers, and margins");
    connect(pageSetupAct_, &QAction::triggered, this, &MainFrame::PageSetup);
    for (QAction*& a : recentActs_) {
        a = new QAction(this);
        a->setVisible(false);
        a->setStatusTip(QStringLiteral("Open this document"));
        connect(a, &QAction::triggered, this, [this, a] { OpenDocument(a->data().toString()); });
    }
    exitAct_ = add("actionExit", "E&xit", "Quit the application; prompts to save documents\nExit");
    connect(exitAct_, &QAction::triggered, this, &QWidget::close);

    undoAct_ = add("actionEditUndo", "&Undo", "Undo the last action\nUndo",
                   QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoAct_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    connect(undoAct_, &QAction::triggered, this, [this] { activeView()->undo(); });
    cutAct_ = add("actionEditCut", "Cu&t", "Cut the selection and put it on the Clipboard\nCut");
    cutAct_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    cutAct_->setIcon(DrawGlyphIcon(QStringLiteral("\u2702"), QSize(16, 16)));
    connect(cutAct_, &QAction::triggered, this, &MainFrame::EditCut);
    copyAct_ =
        add("actionEditCopy", "&Copy", "Copy the selection and put it on the Clipboard\nCopy");
    copyAct_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    copyAct_->setIcon(DrawPictogram(Pictogram::kCopy));
    connect(copyAct_, &QAction::triggered, this, &MainFrame::EditCopy);
    pasteAct_ = add("actionEditPaste", "&Paste", "Insert Clipboard contents\nPaste");
    pasteAct_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    pasteAct_->setIcon(DrawPictogram(Pictogram::kPaste));
    connect(pasteAct_, &QAction::triggered, this, [this] { activeView()->paste(); });
    deleteAct_ = add("actionEditDelete", "&Delete", "Erase the selection\nErase",
                     QKeySequence(Qt::Key_Delete));
    deleteAct_->setShortcutContext(Qt::WidgetShortcut);  // the editor handles the key itself
    connect(deleteAct_, &QAction::triggered, this, [this] {
        QTextCursor c = activeView()->textCursor();
        if (!c.hasSelection()) c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
    findAct_ = add("actionEditFind", "&Find...", "Find the specified text\nFind",
                   QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(findAct_, &QAction::triggered, this, [this] { ShowFind(false); });
    findNextAct_ = add("actionEditFindNext", "Find &Next", "Repeat the last action\nRepeat",
                       QKeySequence(Qt::Key_F3));
    connect(findNextAct_, &QAction::triggered, this, &MainFrame::FindNext);
    replaceAct_ = add("actionEditReplace", "R&eplace...",
                      "Replace specific text with different text\nReplace",
                      QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replaceAct_, &QAction::triggered, this, [this] { ShowFind(true); });
    selectAllAct_ =
        add("actionEditSelectAll", "Select A&ll", "Select the entire document\nSelect All");
    connect(selectAllAct_, &QAction::triggered, this, [this] { activeView()->selectAll(); });
    wordWrapAct_ = add("actionWordWrap", "&Word Wrap", "Toggle on/off word-wrap mode");
    wordWrapAct_->setCheckable(true);
    connect(wordWrapAct_, &QAction::triggered, this, &MainFrame::ToggleWordWrap);
    goToPosAct_ = add("actionGoToPos", "&Go To Pos", "Go to char number position");
    connect(goToPosAct_, &QAction::triggered, this, &MainFrame::GoToPos);

    tabStopsAct_ = add("actionSetTabStops", "Set &Tab Stops...", "Set tab stops for this window");
    connect(tabStopsAct_, &QAction::triggered, this, &MainFrame::SetTabStops);
    fontAct_ = add("actionSetFont", "Set &Font...", "Select display font for this window");
    connect(fontAct_, &QAction::triggered, this, &MainFrame::SetDisplayFont);
    printerFontAct_ = add("actionSetPrinterFont", "Set &Printer Font...", "Set font for printing");
    connect(printerFontAct_, &QAction::triggered, this, &MainFrame::SetPrinterFont);
    mirrorFontAct_ = add("actionMirrorFont", "&Mirror Display Font",
                         "Use same font for printing as for display");
    connect(mirrorFontAct_, &QAction::triggered, this, &MainFrame::MirrorDisplayFont);
    tempFilesAct_ = add("actionTempFiles", "T&emp Files", "Show tmp files");
    connect(tempFilesAct_, &QAction::triggered, this, &MainFrame::ShowTempFiles);
    resultsAct_ = add("actionShowResults", "&Results", "Show Results", QKeySequence(Qt::Key_F12));
    resultsAct_->setIcon(DrawPictogram(Pictogram::kResults));
    connect(resultsAct_, &QAction::triggered, this, &MainFrame::ShowResults);
    resultsFromFileAct_ =
        add("actionResultsFromFile", "&From File ...", "Show Results From File ...");
    connect(resultsFromFileAct_, &QAction::triggered, this, &MainFrame::ShowResultsFromFile);
    refreshAct_ = add("actionRefresh", "Re&fresh", "Refresh");
    connect(refreshAct_, &QAction::triggered, this, [this] {
        if (PadView* view = activeView()) view->Recolour();
    });
    languageAct_ = add("actionLanguage", "&Language", "Language");  // has no behaviour

    solveAct_ = add("actionSolve", "&Alg. Equations", "Solve selected equation\nSolve",
                    QKeySequence(Qt::Key_F5));
    connect(solveAct_, &QAction::triggered, this, [this] {
        if (PadView* view = activeView()) view->Solve();
    });
    optionsAct_ = add("actionOptions", "&Options", "Options\nOptions", QKeySequence(Qt::Key_F10));
    optionsAct_->setIcon(DrawPictogram(Pictogram::kOptions));
    connect(optionsAct_, &QAction::triggered, this, &MainFrame::ShowOptions);
    readCfAct_ = add("actionReadCf", "&Read CF Format for Power Flow",
                     "Read CF Format for Power Flow\nRead CF Format for Power Flow");
    connect(readCfAct_, &QAction::triggered, this, &MainFrame::ReadCommonFormat);
    graphFromResultsAct_ =
        add("actionGraphFromResults", "From &Results", "Graph From Results\nNew Graph");
    graphFromResultsAct_->setIcon(DrawPictogram(Pictogram::kGraph));
    connect(graphFromResultsAct_, &QAction::triggered, this, &MainFrame::GraphFromResults);
    graphFromFileAct_ = add("actionGraphFromFile", "From &File ...", "Graph from File");
    connect(graphFromFileAct_, &QAction::triggered, this, &MainFrame::GraphFromFile);
    updateGraphsAct_ = add("actionUpdateAllGraphs", "&Update All Graphs", "Update all Graphs");
    connect(updateGraphsAct_, &QAction::triggered, this, [this] { UpdateAllGraphs(activeView()); });
    WireGraphActions();

    cascadeAct_ =
        add("actionCascade", "&Cascade", "Arrange windows so they overlap\nCascade Windows");
    connect(cascadeAct_, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    tileAct_ = add("actionTile", "&Tile", "Arrange windows as non-overlapping tiles\nTile Windows");
    connect(tileAct_, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
    arrangeAct_ = add("actionArrangeIcons", "&Arrange Icons",
                      "Arrange icons at the bottom of the window\nArrange Icons");
    connect(arrangeAct_, &QAction::triggered, this, &MainFrame::ArrangeIcons);
    helpAct_ = add("actionHelpDesk", "&Help Desk", "Display help for current task or command",
                   QKeySequence(Qt::Key_F1));
    connect(helpAct_, &QAction::triggered, this, &MainFrame::HelpDesk);
    aboutAct_ = add("actionAbout", "&About Valdrix...",
                    "Display program information, version number and copyright\nAbout");
    connect(aboutAct_, &QAction::triggered, this, &MainFrame::About);

    documentActions_ = {saveAsAct_,      exportLatexAct_,      printPreviewAct_,
                        deleteAct_,      selectAllAct_,        tempFilesAct_,
                        findAct_,        findNextAct_,         replaceAct_,
                        wordWrapAct_,    goToPosAct_,          tabStopsAct_,
                        fontAct_,        printerFontAct_,      mirrorFontAct_,
                        resultsAct_,     resultsFromFileAct_,  refreshAct_,
                        optionsAct_,     graphFromResultsAct_, graphFromFileAct_,
                        updateGraphsAct_};
}

void MainFrame::WireGraphActions() {
    auto add = [this](const char* name, const QString& text, const QString& prompt) {
        QAction* a = MakeAction(this, name, text, prompt);
        graphActions_.append(a);
        return a;
    };
    updateGraphAct_ = add("actionUpdateGraph", "&Update Graph", "Update Graph");
    connect(updateGraphAct_, &QAction::triggered, this, [this] {
        if (CGraphView* graph = activeGraph()) graph->UpdateGraph();
    });
    saveGraphAct_ = add("actionSaveGraph", "Save &Graph", "Save Graph");
    connect(saveGraphAct_, &QAction::triggered, this, [this] {
        if (CGraphView* graph = activeGraph()) graph->SaveGraph();
    });
    saveGraphAsAct_ = add("actionSaveGraphAs", "Save Graph &As...", "Save Graph As");
    connect(saveGraphAsAct_, &QAction::triggered, this, [this] {
        if (CGraphView* graph = activeGraph()) graph->SaveGraphAs();
    });
}

QAction* MainFrameCoreAction(MainFrame* frame, QList<QAction*>& list, const char* name,
                             const QString& text, const QString& prompt, const QKeySequence& key,
                             std::function<void()> run) {
    QAction* a = MakeAction(frame, name, text, prompt, key);
    QObject::connect(a, &QAction::triggered, frame, std::move(run));
    list.append(a);
    return a;
}

void MainFrame::CreateMenus() {
    auto core = [this](QMenu* menu, const char* name, const QString& text, const QString& prompt,
                       const QString& command, const QKeySequence& key = {}) {
        QAction* a = MainFrameCoreAction(this, coreActions_, name, text, prompt, key,
                                         [this, command] { RunCore(command); });
        menu->addAction(a);
    };
    QMenuBar* bar = menuBar();
    fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    fileMenu_->addActions({newAct_, openAct_, closeAct_, saveAct_, saveAsAct_});
    fileMenu_->addActions({saveGraphAct_, saveGraphAsAct_});
    fileMenu_->addSeparator();
    fileMenu_->addAction(exportLatexAct_);
    QMenu* attachment = fileMenu_->addMenu(QStringLiteral("A&ttachment"));
    attachment->addActions({attachNewAct_, attachFileAct_, attachEditAct_, attachRemoveAct_});
    fileMenu_->addSeparator();
    fileMenu_->addActions({printAct_, printPreviewAct_, printSetupAct_, pageSetupAct_});
    recentSeparator_ = fileMenu_->addSeparator();
    for (QAction* a : recentActs_) fileMenu_->addAction(a);
    fileMenu_->addSeparator();
    fileMenu_->addAction(exitAct_);

    editMenu_ = bar->addMenu(QStringLiteral("&Edit"));
    editMenu_->addAction(undoAct_);
    editMenu_->addSeparator();
    editMenu_->addActions({cutAct_, copyAct_, pasteAct_, deleteAct_});
    editMenu_->addSeparator();
    editMenu_->addActions({findAct_, findNextAct_, replaceAct_});
    editMenu_->addSeparator();
    editMenu_->addActions({selectAllAct_, wordWrapAct_, goToPosAct_});

    viewMenu_ = bar->addMenu(QStringLiteral("&View"));
    QAction* standardToggle = standardBar_->toggleViewAction();
    standardToggle->setText(QStringLiteral("&Standard"));
    standardToggle->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    viewMenu_->addAction(standardToggle);
    const auto bars = PaletteBars();
    QToolBar* palettes[] = {functionsBar_, numbersBar_, alphabetBar_, greekBar_, specialBar_};
    for (QToolBar* palette : palettes) {
        for (const PaletteBar& b : bars) {
            if (palette->objectName() != QLatin1String(b.objectName)) continue;
            QAction* toggle = palette->toggleViewAction();
            toggle->setText(QLatin1String(b.toggleText));
            toggle->setStatusTip(QLatin1String(b.togglePrompt));
            toggle->setObjectName(QStringLiteral("actionView") + palette->objectName());
            viewMenu_->addAction(toggle);
        }
    }
    statusBarAct_ =
        MakeAction(this, "actionViewStatusBar", "Status &Bar", "Show or hide the status bar");
    statusBarAct_->setCheckable(true);
    statusBarAct_->setChecked(true);
    connect(statusBarAct_, &QAction::toggled, statusBar(), &QWidget::setVisible);
    viewMenu_->addAction(statusBarAct_);
    viewMenu_->addSeparator();
    viewMenu_->addActions({propertiesDock_->toggleViewAction(), outputDock_->toggleViewAction()});
    viewMenu_->addSeparator();
    viewMenu_->addActions({tabStopsAct_, fontAct_, printerFontAct_, mirrorFontAct_});
    viewMenu_->addSeparator();
    viewMenu_->addAction(tempFilesAct_);
    QMenu* results = viewMenu_->addMenu(QStringLiteral("&Results"));
    results->addActions({resultsAct_, resultsFromFileAct_});
    viewMenu_->addAction(refreshAct_);
    viewMenu_->addSeparator();
    viewMenu_->addAction(languageAct_);
    viewMenu_->addAction(updateGraphAct_);

    solveMenu_ = bar->addMenu(QStringLiteral("&Solve"));
    solveMenu_->addAction(solveAct_);
    coreActions_.append(solveAct_);
    core(solveMenu_, "actionSolveRepetitive", "With &Repetitive Updates",
         "Solve With Repetitive Updates", "US");
    QAction* differential = MainFrameCoreAction(
        this, coreActions_, "actionSolveDifferential", "&Differential Equations",
        "Solve Differential Equation\nSolve Differential Equation",
        QKeySequence(Qt::CTRL | Qt::Key_D), [this] { SolveDifferential(); });
    solveMenu_->addAction(differential);
    core(solveMenu_, "actionSolveIntegral", "&Integral Equations",
         "Integral Equations\nIntegral Equations", "DDDT", QKeySequence(Qt::CTRL | Qt::Key_I));
    core(solveMenu_, "actionUnconstrained", "&Unconstrained Optimization",
         "Unconstrained Optimization\nUnconstrained Optimization", "O");
    core(solveMenu_, "actionConstrained", "&Constrained Optimization",
         "Constrained Optimization\nConstrained Optimization", "KFK");
    solveMenu_->addAction(MainFrameCoreAction(
        this, coreActions_, "actionEstimation", "&Estimation and Regression",
        "Estimation and Regression", {}, [this] { EstimationAndRegression(); }));
    solveMenu_->addSeparator();
    solveMenu_->addAction(optionsAct_);

    advancedMenu_ = bar->addMenu(QStringLiteral("&Advanced"));
    core(advancedMenu_, "actionLinearized", "&Linearized Equations", "Linearized Equations", "ASL");
    core(advancedMenu_, "actionSymbolicLinearized", "&Symbolic Linearized Equations",
         "Simbolic Linearized Equation", "ASS");
    core(advancedMenu_, "actionSymbolicJacobian", "Symbolic &Jacobian", "Symbolic jacoby", "ASJ");
    core(advancedMenu_, "actionElimination", "Symbolic &Elimination", "Symbolic Elimination", "E");
    core(advancedMenu_, "actionSimplification", "Sim&plification", "Simplify Equations", "AFS");
    core(advancedMenu_, "actionComplex", "&Complex", "Complex mode", "AFC");
    advancedMenu_->addSeparator();
    advancedMenu_->addAction(readCfAct_);

    graphMenu_ = bar->addMenu(QStringLiteral("&Graph"));
    graphMenu_->addAction(graphFromResultsAct_);
    core(graphMenu_, "actionGraphGenerate", "&Generate New", "Graph Generation", "G");
    graphMenu_->addActions({graphFromFileAct_, updateGraphsAct_});
    graphMenu_->addSeparator();
    core(graphMenu_, "actionFft", "Fast &Fourier Transform", "Fast Fourier Transform", "W0");
    core(graphMenu_, "actionFftFromFile", "FFT From File...", "FFT From File...", "W1");

    windowMenu_ = bar->addMenu(QStringLiteral("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
        windowMenu_->clear();
        windowMenu_->addActions({cascadeAct_, tileAct_, arrangeAct_});
        const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
        if (!windows.isEmpty()) windowMenu_->addSeparator();
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow* w = windows[i];
            QAction* a = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
                w->windowTitle().remove(QLatin1String("[*]"))));
            a->setCheckable(true);
            a->setChecked(w == mdi_->activeSubWindow());
            connect(a, &QAction::triggered, mdi_, [this, w] { mdi_->setActiveSubWindow(w); });
        }
    });
    windowMenu_->addActions({cascadeAct_, tileAct_, arrangeAct_});

    helpMenu_ = bar->addMenu(QStringLiteral("&Help"));
    helpMenu_->addActions({helpAct_, aboutAct_});

    // Without a document the menu bar offers only what menu 1 of the original holds.
    documentOnlyMenuItems_ = {saveAsAct_,
                              exportLatexAct_,
                              attachment->menuAction(),
                              printPreviewAct_,
                              undoAct_,
                              cutAct_,
                              pasteAct_,
                              deleteAct_,
                              findAct_,
                              findNextAct_,
                              replaceAct_,
                              selectAllAct_,
                              wordWrapAct_,
                              goToPosAct_,
                              propertiesDock_->toggleViewAction(),
                              outputDock_->toggleViewAction(),
                              functionsBar_->toggleViewAction(),
                              numbersBar_->toggleViewAction(),
                              alphabetBar_->toggleViewAction(),
                              greekBar_->toggleViewAction(),
                              specialBar_->toggleViewAction(),
                              tabStopsAct_,
                              fontAct_,
                              printerFontAct_,
                              mirrorFontAct_,
                              tempFilesAct_,
                              results->menuAction(),
                              refreshAct_,
                              solveMenu_->menuAction(),
                              advancedMenu_->menuAction(),
                              graphMenu_->menuAction()};
    UpdateRecentFileActions();
}

void MainFrame::CreatePaletteBars() {
    const auto bars = PaletteBars();
    QToolBar** targets[] = {&numbersBar_, &alphabetBar_, &specialBar_, &greekBar_, &functionsBar_};
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const PaletteBar& b = bars[i];
        auto* bar = new QToolBar(QLatin1String(b.caption), this);
        bar->setObjectName(QLatin1String(b.objectName));
        bar->setIconSize(b.iconSize);
        const bool rightOnly = &b != &bars.back();
        QWidget* grid = rightOnly ? new QWidget(bar) : nullptr;
        auto* layout = rightOnly ? new QGridLayout(grid) : nullptr;
        if (layout != nullptr) {
            layout->setSpacing(0);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        int n = 0;
        for (const PaletteButton& button : b.buttons) {
            auto* a = new QAction(DrawGlyphIcon(IconText(button), b.iconSize),
                                  QLatin1String(button.name), this);
            a->setStatusTip(QLatin1String(button.name));
            a->setObjectName(QStringLiteral("palette%1_%2").arg(b.objectName).arg(n));
            const PaletteButton* which = &button;
            connect(a, &QAction::triggered, this, [this, which] {
                PadView* view = activeView();
                if (view == nullptr) return;
                switch (which->kind) {
                    case PaletteInsert::kText:
                        view->InsertText(QString::fromLatin1(which->text));
                        break;
                    case PaletteInsert::kFunction:
                        view->InsertFunction(QString::fromLatin1(which->text));
                        break;
                    case PaletteInsert::kSpecialChar:
                        view->InsertSpecialChar(static_cast<unsigned char>(which->text[0]));
                        break;
                    case PaletteInsert::kIfThenElse: view->InsertIfThenElse(); break;
                }
                view->setFocus();
            });
            paletteActions_.append(a);
            if (layout != nullptr) {
                auto* tool = new QToolButton(grid);
                tool->setDefaultAction(a);
                tool->setIconSize(b.iconSize);
                tool->setAutoRaise(true);
                layout->addWidget(tool, n / 3, n % 3);
            } else {
                bar->addAction(a);
            }
            ++n;
        }
        if (grid != nullptr) bar->addWidget(grid);
        if (rightOnly) {
            bar->setAllowedAreas(Qt::RightToolBarArea);
            bar->setOrientation(Qt::Vertical);
        }
        *targets[i] = bar;
    }
    // Keyboard shortcuts of four symbols.
    auto shortcut = [this](const char* bar, int index, const QKeySequence& key) {
        findChild<QAction*>(QStringLiteral("palette%1_%2").arg(QLatin1String(bar)).arg(index))
            ->setShortcut(key);
    };
    shortcut("GreekBar", 34, QKeySequence(Qt::ALT | Qt::Key_0));             // Approx
    shortcut("GreekBar", 35, QKeySequence(Qt::ALT | Qt::Key_Equal));         // Reduce
    shortcut("GreekBar", 37, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D));  // Degree
    shortcut("GreekBar", 12, QKeySequence(Qt::ALT | Qt::Key_P));             // Pi
}

void MainFrame::CreateToolBars() {
    standardBar_ = new QToolBar(QStringLiteral("Standard toolbar"), this);
    standardBar_->setObjectName(QStringLiteral("StandardBar"));
    standardBar_->setIconSize(QSize(16, 16));
    standardBar_->addActions({newAct_, openAct_, saveAct_});
    standardBar_->addSeparator();
    standardBar_->addActions({cutAct_, copyAct_, pasteAct_, printAct_});
    standardBar_->addSeparator();
    standardBar_->addActions({resultsAct_, graphFromResultsAct_, optionsAct_});

    // Top edge: the functions palette left of the standard toolbar; right edge: Greek left of
    // the special functions, Alphabet left of Numbers.
    addToolBar(Qt::TopToolBarArea, functionsBar_);
    addToolBar(Qt::TopToolBarArea, standardBar_);
    addToolBar(Qt::RightToolBarArea, greekBar_);
    addToolBar(Qt::RightToolBarArea, specialBar_);
    addToolBarBreak(Qt::RightToolBarArea);
    addToolBar(Qt::RightToolBarArea, alphabetBar_);
    addToolBar(Qt::RightToolBarArea, numbersBar_);
    alphabetBar_->hide();
    numbersBar_->hide();
}

void MainFrame::UpdateMenus() {
    PadView* view = activeView();
    const bool hasView = view != nullptr;
    const bool busy = app_.runner().busy();
    const bool hasGraph = activeGraph() != nullptr;
    for (QAction* a : documentOnlyMenuItems_) a->setVisible(hasView);
    for (QAction* a : documentActions_) a->setEnabled(hasView);
    for (QAction* a : coreActions_) a->setEnabled(hasView && !busy);
    for (QAction* a : paletteActions_) a->setEnabled(hasView);
    for (QAction* a : graphActions_) {
        a->setVisible(hasGraph);
        a->setEnabled(hasGraph);
    }
    // Close, Save, Print and the Window menu serve graph windows too.
    for (QAction* a : {closeAct_, saveAct_, printAct_, windowMenu_->menuAction()}) {
        a->setVisible(hasView || hasGraph);
        a->setEnabled(hasView || hasGraph);
    }
    {
        const QSignalBlocker block(wordWrapAct_);
        wordWrapAct_->setChecked(hasView && view->wordWrap());
    }
    const bool attached = hasView && view->padDocument()->hasAttachment();
    attachNewAct_->setEnabled(hasView && !attached);
    attachFileAct_->setEnabled(hasView && !attached);
    attachEditAct_->setEnabled(attached);
    attachRemoveAct_->setEnabled(attached);
    const bool editorSelection = hasView && view->textCursor().hasSelection();
    const bool outputSelection = outputDock_->isVisible() && output_->textCursor().hasSelection();
    copyAct_->setEnabled(editorSelection || outputSelection);
    cutAct_->setEnabled(editorSelection);
    pasteAct_->setEnabled(hasView && view->canPaste());
    undoAct_->setEnabled(hasView && view->padDocument()->text()->isUndoAvailable());
}

void MainFrame::EditCopy() {
    PadView* view = activeView();
    if (view != nullptr && view->textCursor().hasSelection())
        view->copy();
    else
        output_->copy();
}

void MainFrame::EditCut() {
    EditCopy();
    if (PadView* view = activeView()) {
        QTextCursor c = view->textCursor();
        c.removeSelectedText();
    }
}

void MainFrame::FileOpen() {
    const QString path = app_.OpenFileName(
        this, QString(),
        QString::fromLatin1(msg::kDocumentFilter) + QStringLiteral(";;All Files (*.*)"));
    if (!path.isEmpty()) OpenDocument(path);
}

void MainFrame::FileClose() {
    if (QMdiSubWindow* w = mdi_->activeSubWindow()) w->close();
}

void MainFrame::RunCore(const QString& command) {
    if (PadView* view = activeView()) view->ExecuteCoreCommand(command);
}

QString MainFrame::DifferentialCommand(std::uint32_t method) {
    // Trapezoidal has its own command; every other method goes the backward way.
    return method == 0 ? QStringLiteral("DDIT") : QStringLiteral("DDIB");
}

void MainFrame::SolveDifferential() {
    PadView* view = activeView();
    if (view == nullptr) return;
    view->ExecuteCoreCommand(DifferentialCommand(view->padDocument()->settings.differentialMethod));
}

void MainFrame::EstimationAndRegression() {
    PadView* view = activeView();
    if (view == nullptr) return;
    if (!view->padDocument()->hasAttachment()) {
        QApplication::beep();
        app_.Message(this, QString::fromLatin1(msg::kListFileMustBeAttached), QMessageBox::Warning);
        return;
    }
    view->Estimate();
}

void MainFrame::OpenAttachmentEditor(PadView* view, const QString& path) {
    AttachmentDialog dialog(app_, path, QString::fromLatin1(msg::kAttachmentFilter), this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    PadDocument* doc = view->padDocument();
    if (ok) doc->setAttachmentPath(dialog.savedPath());
    doc->settings.updateStepCount = static_cast<std::uint32_t>(dialog.rowCount());
    UpdateMenus();
}

void MainFrame::AttachFile() {
    const QString path = app_.OpenFileName(this, QString::fromLatin1(msg::kAttachmentTitle),
                                           QString::fromLatin1(msg::kAttachmentFilter));
    if (path.isEmpty()) return;
    PadView* view = activeView();
    view->padDocument()->setAttachmentPath(path);
    OpenAttachmentEditor(view, path);
}

void MainFrame::ShowTempFiles() {
    const QString path =
        app_.OpenFileName(this, QString(), QString::fromLatin1(msg::kTempFilesFilter));
    if (path.isEmpty()) return;
    TmpFileDialog dialog(path, this);
    if (dialog.exec() == QDialog::Accepted) {
        app_.convertFilePath = path;
        NewDocument();
    }
}

void MainFrame::FilePrint() {
    if (CGraphView* graph = activeGraph()) {
        graph->Print();
        return;
    }
    PadView* view = activeView();
    if (view == nullptr) return;
    if (printer_ == nullptr) printer_ = new QPrinter(QPrinter::HighResolution);
    QPrintDialog dialog(printer_, this);
    if (app_.Exec(dialog) == QDialog::Accepted) PrintView(view, *printer_);
}

void MainFrame::FilePrintPreview() {
    PadView* view = activeView();
    if (view == nullptr) return;
    if (printer_ == nullptr) printer_ = new QPrinter(QPrinter::HighResolution);
    QPrintPreviewDialog preview(printer_, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, view,
            [this, view](QPrinter* p) { PrintView(view, *p); });
    app_.Exec(preview);
}

void MainFrame::FilePrintSetup() {
    if (printer_ == nullptr) printer_ = new QPrinter(QPrinter::HighResolution);
    QPageSetupDialog dialog(printer_, this);
    dialog.exec();
}

void MainFrame::ArrangeIcons() {
    // Minimised windows in a row along the bottom of the workspace.
    int x = 0;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, mdi_->viewport()->height() - w->height());
        x += w->width();
    }
}

void MainFrame::About() {
    QMessageBox::about(
        this, QStringLiteral("About Valdrix"),
        QStringLiteral("Valdrix %1\n%2")
            .arg(QCoreApplication::applicationVersion(), QString::fromLatin1(msg::kCopyright)));
}
