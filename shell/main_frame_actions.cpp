// The main window's commands and where they are offered: the actions, the menus, the toolbars
// and palettes, and which commands the window in front allows.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFile>
#include <QGridLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "graphs/graph_view.h"
#include "shell/command_action.h"
#include "shell/core_runner.h"
#include "shell/document_manager.h"
#include "shell/editor_commands.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/palette.h"
#include "shell/run_controller.h"
#include "shell/shell_messages.h"

void MainFrame::CreateActions() {
    // The commands of the toolbar and those whose state UpdateMenus sets one by one; the others
    // are made with their menus.
    auto add = [this](const char* name, const QString& text, const QString& prompt,
                      const QKeySequence& key = {}) {
        return MakeAction(this, name, text, prompt, key);
    };
    newAct_ = add("actionFileNew", "&New", "Create a new document\nNew",
                  QKeySequence(Qt::CTRL | Qt::Key_N));
    newAct_->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    connect(newAct_, &QAction::triggered, documents_, [this] { documents_->NewDocument(); });
    openAct_ = add("actionFileOpen", "&Open...", "Open an existing document\nOpen",
                   QKeySequence(Qt::CTRL | Qt::Key_O));
    openAct_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    connect(openAct_, &QAction::triggered, this, &MainFrame::FileOpen);
    closeAct_ = add("actionFileClose", "&Close", "Close the active document\nClose");
    connect(closeAct_, &QAction::triggered, this, [this] {
        if (QMdiSubWindow* w = mdi_->activeSubWindow()) w->close();
    });
    saveAct_ = add("actionFileSave", "&Save", "Save the active document\nSave",
                   QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAct_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    connect(saveAct_, &QAction::triggered, this, [this] {
        // A graph window saves its pictures.
        if (CGraphView* graph = documents_->activeGraph())
            graph->SaveGraph();
        else
            documents_->Save(documents_->activeView());
    });

    attachNewAct_ = add("actionAttachmentNew", "&New", "New Attachment");
    connect(attachNewAct_, &QAction::triggered, this, [this] {
        PadView* view = documents_->activeView();
        view->padDocument()->setAttachmentPath(QString());
        OpenAttachmentEditor(view, QString::fromLatin1(msg::kAttachmentNoName));
    });
    attachFileAct_ = add("actionAttachFile", "&Attach File", "Attach File\nAttachFile");
    connect(attachFileAct_, &QAction::triggered, this, &MainFrame::AttachFile);
    attachEditAct_ = add("actionAttachmentEdit", "&Edit Attached File",
                         "Edit Attached File\nEdit Attached File");
    connect(attachEditAct_, &QAction::triggered, this, [this] {
        PadView* view = documents_->activeView();
        OpenAttachmentEditor(view, view->padDocument()->attachmentPath());
    });
    attachRemoveAct_ = add("actionAttachmentRemove", "&Remove", "Remove Attachment");
    connect(attachRemoveAct_, &QAction::triggered, this, [this] {
        documents_->activeView()->padDocument()->setAttachmentPath(QString());
        UpdateMenus();
    });
    for (QAction*& a : recentActs_) {
        a = new QAction(this);
        a->setVisible(false);
        a->setStatusTip(QStringLiteral("Open this document"));
        connect(a, &QAction::triggered, this,
                [this, a] { documents_->OpenDocument(a->data().toString()); });
    }

    resultsAct_ = add("actionShowResults", "&Results", "Show Results", QKeySequence(Qt::Key_F12));
    resultsAct_->setIcon(DrawPictogram(Pictogram::kResults));
    connect(resultsAct_, &QAction::triggered, this, &MainFrame::ShowResults);
    optionsAct_ = add("actionOptions", "&Options", "Options\nOptions", QKeySequence(Qt::Key_F10));
    optionsAct_->setIcon(DrawPictogram(Pictogram::kOptions));
    connect(optionsAct_, &QAction::triggered, this, &MainFrame::ShowOptions);
    graphFromResultsAct_ =
        add("actionGraphFromResults", "From &Results", "Graph From Results\nNew Graph");
    graphFromResultsAct_->setIcon(DrawPictogram(Pictogram::kGraph));
    connect(graphFromResultsAct_, &QAction::triggered, this, &MainFrame::GraphFromResults);
    documentActions_ = {resultsAct_, optionsAct_, graphFromResultsAct_};
}

void MainFrame::CreateMenus() {
    // A command made with its menu; `list`, when given, is the list UpdateMenus enables it by.
    auto add = [this](QMenu* menu, const char* name, const QString& text, const QString& prompt,
                      const QKeySequence& key, std::function<void()> run,
                      QList<QAction*>* list = nullptr) {
        QAction* a = MakeAction(this, name, text, prompt, key);
        connect(a, &QAction::triggered, this, std::move(run));
        menu->addAction(a);
        if (list != nullptr) list->append(a);
        return a;
    };
    auto core = [this, &add](QMenu* menu, const char* name, const QString& text,
                             const QString& prompt, const QString& command,
                             const QKeySequence& key = {}) {
        add(
            menu, name, text, prompt, key,
            [this, command] { runs_->RunCommand(documents_->activeView(), command); },
            &coreActions_);
    };
    auto graph = [this, &add](QMenu* menu, const char* name, const QString& text,
                              std::function<void(CGraphView&)> command) {
        add(
            menu, name, text, QString(text).remove(u'&').remove(QLatin1String("...")), {},
            [this, command] {
                if (CGraphView* view = documents_->activeGraph()) command(*view);
            },
            &graphActions_);
    };
    const EditorCommands& edit = *editing_;
    QMenuBar* bar = menuBar();

    QMenu* fileMenu = bar->addMenu(QStringLiteral("&File"));
    fileMenu->addActions({newAct_, openAct_, closeAct_, saveAct_});
    QAction* saveAs = add(
        fileMenu, "actionFileSaveAs", "Save &As...",
        "Save the active document with a new name\nSave As", {},
        [this] { documents_->SaveAs(documents_->activeView()); }, &documentActions_);
    graph(fileMenu, "actionSaveGraph", "Save &Graph", [](CGraphView& g) { g.SaveGraph(); });
    graph(fileMenu, "actionSaveGraphAs", "Save Grap&h As...",
          [](CGraphView& g) { g.SaveGraphAs(); });
    fileMenu->addSeparator();
    QAction* exportLatex = add(
        fileMenu, "actionExportLatex", "&Export to LaTEX", "Export equations to latex format", {},
        [this] { app_.Message(this, QString::fromLatin1(msg::kNotFinished)); }, &documentActions_);
    QMenu* attachment = fileMenu->addMenu(QStringLiteral("A&ttachment"));
    attachment->addActions({attachNewAct_, attachFileAct_, attachEditAct_, attachRemoveAct_});
    fileMenu->addSeparator();
    fileMenu->addActions(
        {edit.printAct, edit.printPreviewAct, edit.printSetupAct, edit.pageSetupAct});
    recentSeparator_ = fileMenu->addSeparator();
    for (QAction* a : recentActs_) fileMenu->addAction(a);
    fileMenu->addSeparator();
    add(fileMenu, "actionExit", "E&xit", "Quit the application; prompts to save documents\nExit",
        {}, [this] { close(); });

    QMenu* editMenu = bar->addMenu(QStringLiteral("&Edit"));
    editMenu->addAction(edit.undoAct);
    editMenu->addSeparator();
    editMenu->addActions({edit.cutAct, edit.copyAct, edit.pasteAct, edit.eraseAct});
    editMenu->addSeparator();
    editMenu->addActions({edit.findAct, edit.findNextAct, edit.replaceAct});
    editMenu->addSeparator();
    editMenu->addActions({edit.selectAllAct, edit.wordWrapAct, edit.goToPosAct});

    QMenu* viewMenu = bar->addMenu(QStringLiteral("&View"));
    QAction* standardToggle = standardBar_->toggleViewAction();
    standardToggle->setText(QStringLiteral("&Standard"));
    standardToggle->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    viewMenu->addAction(standardToggle);
    const auto bars = PaletteBars();
    QList<QAction*> paletteToggles;
    for (QToolBar* palette : {functionsBar_, numbersBar_, alphabetBar_, greekBar_, specialBar_}) {
        for (const PaletteBar& b : bars) {
            if (palette->objectName() != QLatin1String(b.objectName)) continue;
            QAction* toggle = palette->toggleViewAction();
            toggle->setText(QLatin1String(b.toggleText));
            toggle->setStatusTip(QLatin1String(b.togglePrompt));
            toggle->setObjectName(QStringLiteral("actionView") + palette->objectName());
            viewMenu->addAction(toggle);
            paletteToggles.append(toggle);
        }
    }
    QAction* statusBarToggle =
        MakeAction(this, "actionViewStatusBar", "Status &Bar", "Show or hide the status bar");
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    connect(statusBarToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    viewMenu->addAction(statusBarToggle);
    viewMenu->addSeparator();
    viewMenu->addActions({propertiesDock_->toggleViewAction(), outputDock_->toggleViewAction()});
    viewMenu->addSeparator();
    viewMenu->addActions({edit.tabStopsAct, edit.fontAct, edit.printerFontAct, edit.mirrorFontAct});
    viewMenu->addSeparator();
    QAction* tempFiles = add(
        viewMenu, "actionTempFiles", "T&emp Files", "Show tmp files", {},
        [this] { ShowTempFiles(); }, &documentActions_);
    QMenu* results = viewMenu->addMenu(QStringLiteral("&Results"));
    results->addAction(resultsAct_);
    add(
        results, "actionResultsFromFile", "&From File ...", "Show Results From File ...", {},
        [this] {
            const QString path =
                app_.OpenFileName(this, QString(), QString::fromLatin1(msg::kResultsFilter));
            if (!path.isEmpty()) ShowResultsFile(path);
        },
        &documentActions_);
    QAction* refresh = add(
        viewMenu, "actionRefresh", "Refres&h", "Refresh", {},
        [this] {
            if (PadView* view = documents_->activeView()) view->Recolour();
        },
        &documentActions_);
    viewMenu->addSeparator();
    viewMenu->addAction(
        MakeAction(this, "actionLanguage", "Lan&guage", "Language"));  // no behaviour
    graph(viewMenu, "actionUpdateGraph", "&Update Graph", [](CGraphView& g) { g.UpdateGraph(); });

    QMenu* solveMenu = bar->addMenu(QStringLiteral("&Solve"));
    add(
        solveMenu, "actionSolve", "&Alg. Equations", "Solve selected equation\nSolve",
        QKeySequence(Qt::Key_F5), [this] { runs_->Solve(documents_->activeView()); },
        &coreActions_);
    core(solveMenu, "actionSolveRepetitive", "With &Repetitive Updates",
         "Solve With Repetitive Updates", "US");
    add(
        solveMenu, "actionSolveDifferential", "&Differential Equations",
        "Solve Differential Equation\nSolve Differential Equation",
        QKeySequence(Qt::CTRL | Qt::Key_D),
        [this] {
            if (PadView* view = documents_->activeView()) {
                const auto method = view->padDocument()->settings.differentialMethod;
                runs_->RunCommand(view, DifferentialCommand(method));
            }
        },
        &coreActions_);
    core(solveMenu, "actionSolveIntegral", "&Integral Equations",
         "Integral Equations\nIntegral Equations", "DDDT", QKeySequence(Qt::CTRL | Qt::Key_I));
    core(solveMenu, "actionUnconstrained", "&Unconstrained Optimization",
         "Unconstrained Optimization\nUnconstrained Optimization", "O");
    core(solveMenu, "actionConstrained", "&Constrained Optimization",
         "Constrained Optimization\nConstrained Optimization", "KFK");
    add(
        solveMenu, "actionEstimation", "&Estimation and Regression", "Estimation and Regression",
        {}, [this] { runs_->Estimate(documents_->activeView()); }, &coreActions_);
    solveMenu->addSeparator();
    solveMenu->addAction(optionsAct_);

    QMenu* advancedMenu = bar->addMenu(QStringLiteral("&Advanced"));
    core(advancedMenu, "actionLinearized", "&Linearized Equations", "Linearized Equations", "ASL");
    core(advancedMenu, "actionSymbolicLinearized", "&Symbolic Linearized Equations",
         "Simbolic Linearized Equation", "ASS");
    core(advancedMenu, "actionSymbolicJacobian", "Symbolic &Jacobian", "Symbolic jacoby", "ASJ");
    core(advancedMenu, "actionElimination", "Symbolic &Elimination", "Symbolic Elimination", "E");
    core(advancedMenu, "actionSimplification", "Sim&plification", "Simplify Equations", "AFS");
    core(advancedMenu, "actionComplex", "&Complex", "Complex mode", "AFC");
    advancedMenu->addSeparator();
    add(advancedMenu, "actionReadCf", "&Read CF Format for Power Flow",
        "Read CF Format for Power Flow\nRead CF Format for Power Flow", {},
        [this] { ReadCommonFormat(); });

    QMenu* graphMenu = bar->addMenu(QStringLiteral("&Graph"));
    graphMenu->addAction(graphFromResultsAct_);
    core(graphMenu, "actionGraphGenerate", "&Generate New", "Graph Generation", "G");
    add(
        graphMenu, "actionGraphFromFile", "From &File ...", "Graph from File", {},
        [this] {
            PadView* view = documents_->activeView();
            if (view == nullptr) return;
            const QString path =
                app_.OpenFileName(this, QString(), QString::fromLatin1(msg::kGraphFileFilter));
            if (!path.isEmpty()) OpenGraphWindow(view, path);
        },
        &documentActions_);
    add(
        graphMenu, "actionUpdateAllGraphs", "&Update All Graphs", "Update all Graphs", {},
        [this] {
            if (PadView* view = documents_->activeView()) view->padDocument()->graphs().UpdateAll();
        },
        &documentActions_);
    graphMenu->addSeparator();
    core(graphMenu, "actionFft", "Fast Fourier &Transform", "Fast Fourier Transform", "W0");
    core(graphMenu, "actionFftFromFile", "FFT From File...", "FFT From File...", "W1");

    QAction* cascade = MakeAction(this, "actionCascade", "&Cascade",
                                  "Arrange windows so they overlap\nCascade Windows");
    connect(cascade, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    QAction* tile = MakeAction(this, "actionTile", "&Tile",
                               "Arrange windows as non-overlapping tiles\nTile Windows");
    connect(tile, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
    QAction* arrange = MakeAction(this, "actionArrangeIcons", "&Arrange Icons",
                                  "Arrange icons at the bottom of the window\nArrange Icons");
    connect(arrange, &QAction::triggered, this, &MainFrame::ArrangeIcons);
    windowMenu_ = bar->addMenu(QStringLiteral("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this, cascade, tile, arrange] {
        windowMenu_->clear();
        windowMenu_->addActions({cascade, tile, arrange});
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
    windowMenu_->addActions({cascade, tile, arrange});

    QMenu* helpMenu = bar->addMenu(QStringLiteral("&Help"));
    add(helpMenu, "actionHelpDesk", "&Help Desk", "Display help for current task or command",
        QKeySequence(Qt::Key_F1), [this] { HelpDesk(); });
    add(helpMenu, "actionAbout", "&About Valdrix...",
        "Display program information, version number and copyright\nAbout", {}, [this] {
            QMessageBox::about(this, QStringLiteral("About Valdrix"),
                               QStringLiteral("Valdrix %1\n%2")
                                   .arg(QCoreApplication::applicationVersion(),
                                        QString::fromLatin1(msg::kCopyright)));
        });

    // Without a document the menu bar offers only what menu 1 of the original holds.
    documentOnlyMenuItems_ = {saveAs,
                              exportLatex,
                              attachment->menuAction(),
                              propertiesDock_->toggleViewAction(),
                              outputDock_->toggleViewAction(),
                              tempFiles,
                              results->menuAction(),
                              refresh,
                              solveMenu->menuAction(),
                              advancedMenu->menuAction(),
                              graphMenu->menuAction()};
    documentOnlyMenuItems_.append(paletteToggles);
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
                PadView* view = documents_->activeView();
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
    const EditorCommands& edit = *editing_;
    standardBar_ = new QToolBar(QStringLiteral("Standard toolbar"), this);
    standardBar_->setObjectName(QStringLiteral("StandardBar"));
    standardBar_->setIconSize(QSize(16, 16));
    standardBar_->addActions({newAct_, openAct_, saveAct_});
    standardBar_->addSeparator();
    standardBar_->addActions({edit.cutAct, edit.copyAct, edit.pasteAct, edit.printAct});
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
    PadView* view = documents_->activeView();
    const bool hasView = view != nullptr;
    const bool busy = app_.runner().busy();
    const bool hasGraph = documents_->activeGraph() != nullptr;
    for (QAction* a : documentOnlyMenuItems_) a->setVisible(hasView);
    for (QAction* a : documentActions_) a->setEnabled(hasView);
    for (QAction* a : coreActions_) a->setEnabled(hasView && !busy);
    cancelAct_->setEnabled(busy);
    for (QAction* a : paletteActions_) a->setEnabled(hasView);
    for (QAction* a : graphActions_) {
        a->setVisible(hasGraph);
        a->setEnabled(hasGraph);
    }
    // Close, Save and the Window menu serve graph windows too.
    for (QAction* a : {closeAct_, saveAct_, windowMenu_->menuAction()}) {
        a->setVisible(hasView || hasGraph);
        a->setEnabled(hasView || hasGraph);
    }
    const bool attached = hasView && view->padDocument()->hasAttachment();
    attachNewAct_->setEnabled(hasView && !attached);
    attachFileAct_->setEnabled(hasView && !attached);
    attachEditAct_->setEnabled(attached);
    attachRemoveAct_->setEnabled(attached);
    const bool outputSelection = outputDock_->isVisible() && output_->textCursor().hasSelection();
    editing_->UpdateActions(view, hasGraph, outputSelection);
}

void MainFrame::FileOpen() {
    const QString path = app_.OpenFileName(
        this, QString(),
        QString::fromLatin1(msg::kDocumentFilter) + QStringLiteral(";;All Files (*.*)"));
    if (!path.isEmpty()) documents_->OpenDocument(path);
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

void MainFrame::HelpDesk() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("HelpDesk"));
    dialog.setWindowTitle(QStringLiteral("Valdrix Help"));
    auto* text = new QTextBrowser(&dialog);
    QFile guide(QStringLiteral(":/valdrix/desktop.md"));
    if (guide.open(QIODevice::ReadOnly)) text->setMarkdown(QString::fromUtf8(guide.readAll()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(760, 600);
    app_.Exec(dialog);
}
