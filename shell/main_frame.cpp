#include "shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

#include "shell/charset.h"
#include "shell/command_action.h"
#include "shell/core_runner.h"
#include "shell/document_manager.h"
#include "shell/editor_commands.h"
#include "shell/equation_app.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/properties_tree.h"
#include "shell/run_controller.h"
#include "shell/settings_keys.h"
#include "shell/shell_messages.h"
#include "shell/window_placement.h"

MainFrame::MainFrame(EquationApp& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QString::fromLatin1(msg::kProgramName));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    properties_ = new PropertiesTree;
    output_ = new OutputWindow;
    documents_ = new DocumentManager(app_, *mdi_, *properties_, *this);
    runs_ = new RunController(app_, *documents_, *properties_, *output_, *this);
    editing_ = new EditorCommands(app_, *documents_, *output_, *this);

    CreateActions();
    CreatePaletteBars();
    CreateToolBars();
    CreateStatusBar();
    CreateDocks();
    CreateMenus();

    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        // The title stays the program's: a maximised window adds its own name to it, any other
        // shows the name in its own title bar.
        UpdateMenus();
        const PadView* view = documents_->activeView();
        if (w != nullptr && view != nullptr) properties_->SelectNode(view->padDocument()->node);
    });
    connect(documents_, &DocumentManager::documentsChanged, this, &MainFrame::UpdateMenus);
    connect(editing_, &EditorCommands::statusMessage, statusBar(),
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(documents_, &DocumentManager::recentFilesChanged, this,
            &MainFrame::UpdateRecentFileActions);
    connect(documents_, &DocumentManager::viewAdded, this, &MainFrame::ConnectView);
    connect(runs_, &RunController::runStarted, this, &MainFrame::RunStarted);
    connect(runs_, &RunController::runFinished, this, &MainFrame::RunFinished);
    connect(output_, &OutputWindow::lineActivated, runs_, &RunController::JumpToOutputLine);
    CoreRunner& runner = app_.runner();
    connect(&runner, &CoreRunner::outputText, this, [this](const QByteArrayList& pieces) {
        QStringList text;
        text.reserve(pieces.size());
        for (const QByteArray& piece : pieces) text.append(charset::ToUnicode(piece));
        output_->AppendOutput(text);
    });
    connect(&runner, &CoreRunner::progressed, this, [this](long step, long total) {
        progress_->setMaximum(int(std::min<long>(total, 1 << 30)));
        progress_->setValue(int(std::min<long>(step, 1 << 30)));
        progress_->setVisible(total > 1);
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &MainFrame::UpdateMenus);
    connect(output_, &QPlainTextEdit::selectionChanged, this, &MainFrame::UpdateMenus);
    UpdateMenus();
}

MainFrame::~MainFrame() {
    // The children outlive this object's members while the base class destroys them: nothing
    // they signal may reach this object any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    QObject::disconnect(&app_.runner(), nullptr, this, nullptr);
    QObject::disconnect(QApplication::clipboard(), nullptr, this, nullptr);
}

void MainFrame::ConnectView(PadView* view) {
    connect(view, &QPlainTextEdit::selectionChanged, this, &MainFrame::UpdateMenus);
    connect(view, &QPlainTextEdit::undoAvailable, this, &MainFrame::UpdateMenus);
    connect(view, &PadView::copyWithoutSelection, editing_, &EditorCommands::Copy);
}

void MainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    progress_ = new QProgressBar(bar);
    progress_->setObjectName(QStringLiteral("RunProgress"));
    progress_->setMaximumWidth(160);
    progress_->setTextVisible(true);
    progress_->hide();
    cancelButton_ = new QToolButton(bar);
    cancelButton_->setObjectName(QStringLiteral("CancelRun"));
    cancelButton_->setText(QStringLiteral("Cancel"));
    cancelButton_->setToolTip(QStringLiteral("Stop the run (ESC)"));
    cancelButton_->hide();
    connect(cancelButton_, &QToolButton::clicked, runs_, &RunController::Cancel);
    // A shortcut of the window, so that ESC stops a run even where the widget with the focus
    // keeps the key for itself (the menu bar after Alt, a list).
    cancelAct_ = MakeAction(this, "actionCancelRun", QStringLiteral("Cancel"),
                            QStringLiteral("Stop the run"), Qt::Key_Escape);
    cancelAct_->setEnabled(false);
    connect(cancelAct_, &QAction::triggered, runs_, &RunController::Cancel);
    addAction(cancelAct_);
    bar->addPermanentWidget(progress_);
    bar->addPermanentWidget(cancelButton_);
    // The keyboard indicators of the original status bar; the lock states cannot be read
    // portably, so they stay as labels.
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), bar);
        label->setEnabled(false);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label);
    }
    bar->showMessage(QString::fromLatin1(msg::kReady));
}

void MainFrame::CreateDocks() {
    propertiesDock_ = new QDockWidget(QStringLiteral("Properties"), this);
    propertiesDock_->setObjectName(QStringLiteral("PropertiesBar"));
    propertiesDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    propertiesDock_->setWidget(properties_);
    addDockWidget(Qt::LeftDockWidgetArea, propertiesDock_);

    outputDock_ = new QDockWidget(QStringLiteral("Output"), this);
    outputDock_->setObjectName(QStringLiteral("OutputBar"));
    outputDock_->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    outputDock_->setWidget(output_);
    addDockWidget(Qt::BottomDockWidgetArea, outputDock_);

    QAction* showProperties = propertiesDock_->toggleViewAction();
    showProperties->setText(QStringLiteral("&Properties"));
    showProperties->setStatusTip(QStringLiteral("Show or Hide Properties Window"));
    showProperties->setObjectName(QStringLiteral("actionViewProperties"));
    QAction* showOutput = outputDock_->toggleViewAction();
    showOutput->setText(QStringLiteral("&Output"));
    showOutput->setStatusTip(QStringLiteral("Show or Hide Results Window"));
    showOutput->setObjectName(QStringLiteral("actionViewOutput"));

    QAction* nextPane = MakeAction(this, "actionNextPane", QStringLiteral("Next Pane"),
                                   QStringLiteral("Move to the next pane"), Qt::Key_F6);
    connect(nextPane, &QAction::triggered, this, [this] { MovePane(1); });
    QAction* previousPane =
        MakeAction(this, "actionPreviousPane", QStringLiteral("Previous Pane"),
                   QStringLiteral("Move to the previous pane"), Qt::SHIFT | Qt::Key_F6);
    connect(previousPane, &QAction::triggered, this, [this] { MovePane(-1); });
    addActions({nextPane, previousPane});
}

void MainFrame::MovePane(int step) {
    // The document in front, the Output window and the Properties tree, as far as they show.
    QList<QWidget*> panes;
    if (QMdiSubWindow* front = mdi_->activeSubWindow()) panes << front->widget();
    if (outputDock_->isVisible()) panes << output_;
    if (propertiesDock_->isVisible()) panes << properties_;
    if (panes.isEmpty()) return;
    QWidget* focus = focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < panes.size(); ++i) {
        if (focus != nullptr && (panes[i] == focus || panes[i]->isAncestorOf(focus))) at = i;
    }
    const qsizetype count = panes.size();
    const qsizetype next = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
    panes[next]->setFocus(Qt::ShortcutFocusReason);
}

void MainFrame::RunStarted() {
    progress_->setValue(0);
    progress_->hide();
    cancelButton_->show();
    statusBar()->showMessage(QStringLiteral("Running..."));
    UpdateMenus();
}

void MainFrame::RunFinished() {
    progress_->hide();
    cancelButton_->hide();
    statusBar()->showMessage(runs_->status());
    UpdateMenus();
}

void MainFrame::keyPressEvent(QKeyEvent* event) {
    // ESC stops a run wherever in the window it is pressed; the editors leave it to this.
    if (event->key() == Qt::Key_Escape && app_.runner().busy()) {
        runs_->Cancel();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) documents_->OpenDocument(url.toLocalFile());
    }
    event->acceptProposedAction();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (app_.runner().busy()) {
        app_.Message(this, QString::fromLatin1(msg::kRunInProgress), QMessageBox::Warning);
        event->ignore();
        return;
    }
    // The windows are gone only once control returns to the event loop; whether the program
    // may end is the answers' to the questions about changed documents.
    if (!documents_->CloseAll()) {
        event->ignore();
        return;
    }
    WriteSettings();
    event->accept();
}

void MainFrame::UpdateRecentFileActions() {
    const QStringList files = documents_->recentFiles();
    for (int i = 0; i < keys::kRecentFileCount; ++i) {
        if (i < files.size()) {
            recentActs_[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
            recentActs_[i]->setData(files[i]);
            recentActs_[i]->setVisible(true);
        } else {
            recentActs_[i]->setVisible(false);
        }
    }
    recentSeparator_->setVisible(!files.isEmpty());
}

void MainFrame::ReadSettings() {
    app_.ReadSettings();
    for (PadView* view : documents_->views()) view->ApplyEditorSettings(app_.editor);
    auto profile = EquationApp::Profile();
    const QByteArray state = profile->value(keys::kBarState).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    bool ok = false;
    const int stored = profile->value(keys::kShowCmd).toInt(&ok);
    const auto shown = ok ? ChildShowState(stored) : std::nullopt;
    childShowRead_ = shown.value_or(ShowState::kMaximized);
    documents_->setChildShowState(childShowRead_);
    settingsRead_ = true;
    UpdateRecentFileActions();
}

void MainFrame::ShowWithPlacement() {
    auto profile = EquationApp::Profile();
    const auto placement = ParseWindowPos(profile->value(keys::kWindowPos).toString());
    bool placed = false;
    if (placement) {
        // A rectangle no screen shows any more (a monitor was removed) is not used.
        const QRect rect = placement->normalRect();
        bool visible = false;
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(rect)) visible = true;
        }
        if (visible && rect.width() > 100 && rect.height() > 100) {
            setGeometry(rect);
            placed = true;
        }
        if (placement->showCmd == ShowState::kMaximized ||
            (placement->showCmd == ShowState::kMinimized &&
             (placement->flags & WindowPlacement::kRestoreToMaximized) != 0)) {
            showMaximized();
            return;
        }
    }
    // The first session: large enough for every toolbar to show whole, as far as the screen
    // allows.
    if (!placed) resize(sizeHint().boundedTo(screen()->availableGeometry().size()));
    show();
}

void MainFrame::WriteSettings() {
    app_.WriteSettings();
    auto profile = EquationApp::Profile();
    profile->setValue(keys::kBarState, saveState());
    WindowPlacement p;
    p.flags = isMaximized() ? WindowPlacement::kRestoreToMaximized : 0;
    p.showCmd = isMaximized()   ? ShowState::kMaximized
                : isMinimized() ? ShowState::kMinimized
                                : ShowState::kNormal;
    const QRect r = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.left = r.left();
    p.top = r.top();
    p.right = r.right() + 1;
    p.bottom = r.bottom() + 1;
    profile->setValue(keys::kWindowPos, FormatWindowPos(p));
    const ShowState childShow = documents_->childShowState();
    if (!settingsRead_ || childShow != childShowRead_) {
        profile->setValue(keys::kShowCmd, static_cast<unsigned>(childShow));
    }
}
