#include "shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "shell/charset.h"
#include "shell/core_runner.h"
#include "shell/equation_app.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/properties_tree.h"
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

    CreateActions();
    CreatePaletteBars();
    CreateToolBars();
    CreateStatusBar();
    CreateDocks();
    CreateMenus();

    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        UpdateMenus();
        const PadView* view = activeView();
        const CGraphView* graph = activeGraph();
        const QString name = view != nullptr    ? view->padDocument()->title()
                             : graph != nullptr ? graph->Document()->Title()
                                                : QString();
        setWindowTitle(name.isEmpty() ? QString::fromLatin1(msg::kProgramName)
                                      : QStringLiteral("%1 - %2").arg(
                                            QString::fromLatin1(msg::kProgramName), name));
        if (w != nullptr && view != nullptr) properties_->SelectNode(view->padDocument()->node);
    });
    connect(output_, &OutputWindow::lineActivated, this, &MainFrame::JumpToOutputLine);
    CoreRunner& runner = app_.runner();
    connect(&runner, &CoreRunner::outputText, this,
            [this](const QByteArray& text) { AppendOutput(charset::ToUnicode(text)); });
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
    delete printer_;
}

PadView* MainFrame::activeView() const {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (w == nullptr && !mdi_->subWindowList().isEmpty()) w = mdi_->currentSubWindow();
    auto* frame = qobject_cast<PadFrame*>(w);
    return frame != nullptr ? frame->view() : nullptr;
}

CGraphView* MainFrame::activeGraph() const {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (w == nullptr && !mdi_->subWindowList().isEmpty()) w = mdi_->currentSubWindow();
    return w != nullptr ? qobject_cast<CGraphView*>(w->widget()) : nullptr;
}

QList<PadView*> MainFrame::views() const {
    QList<PadView*> list;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (auto* frame = qobject_cast<PadFrame*>(w)) list.append(frame->view());
    }
    return list;
}

void MainFrame::AppendOutput(const QString& text) {
    output_->AppendOutput(text);
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
    connect(cancelButton_, &QToolButton::clicked, this, [this] { app_.runner().cancel(); });
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
    bar->showMessage(QStringLiteral("Ready"));
}

void MainFrame::CreateDocks() {
    properties_ = new PropertiesTree;
    propertiesDock_ = new QDockWidget(QStringLiteral("Properties"), this);
    propertiesDock_->setObjectName(QStringLiteral("PropertiesBar"));
    propertiesDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    propertiesDock_->setWidget(properties_);
    addDockWidget(Qt::LeftDockWidgetArea, propertiesDock_);

    output_ = new OutputWindow;
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
}

PadFrame* MainFrame::AddFrame(PadView* view) {
    auto* frame = new PadFrame(*this, view);
    mdi_->addSubWindow(frame);
    PadDocument* doc = view->padDocument();
    auto updateTitle = [frame, doc] {
        frame->setWindowTitle(doc->title() + QStringLiteral("[*]"));
        frame->setWindowModified(doc->isModified());
    };
    updateTitle();
    connect(doc->text(), &QTextDocument::modificationChanged, frame, updateTitle);
    connect(view, &QPlainTextEdit::selectionChanged, this, &MainFrame::UpdateMenus);
    connect(view, &QPlainTextEdit::undoAvailable, this, &MainFrame::UpdateMenus);
    TrackChildState(frame);
    if (childShow_ == ShowState::kMaximized)
        frame->showMaximized();
    else
        frame->show();
    view->setFocus();
    return frame;
}

void MainFrame::TrackChildState(QMdiSubWindow* window) {
    connect(window, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates, Qt::WindowStates now) {
                // A minimised window keeps the remembered state.
                if (now & Qt::WindowMinimized) return;
                childShow_ =
                    (now & Qt::WindowMaximized) ? ShowState::kMaximized : ShowState::kNormal;
            });
}

PadView* MainFrame::NewDocument() {
    auto* view = new PadView(app_, *this);
    PadDocument* doc = view->padDocument();
    doc->setUntitledName(QString::fromLatin1(msg::kUntitled) + QString::number(++untitledCount_));
    doc->node = properties_->ShowResultsSummary(doc->settings, doc->title(), {});
    AddFrame(view);
    view->FillFromConvertFile();
    UpdateMenus();
    return view;
}

PadView* MainFrame::OpenDocument(const QString& path) {
    const QString canonical = QFileInfo(path).absoluteFilePath();
    if (!AcceptDocumentName(canonical)) return nullptr;
    for (PadView* view : views()) {
        if (view->padDocument()->path() == canonical) {
            mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
            return view;
        }
    }
    auto* view = new PadView(app_, *this);
    PadDocument* doc = view->padDocument();
    QString error;
    QStringList messages;
    if (!doc->Open(canonical, &error, &messages)) {
        delete view;
        app_.Message(this, QString::fromLatin1(msg::kOpenFailed).arg(canonical, error),
                     QMessageBox::Warning);
        return nullptr;
    }
    ShowMessages(messages);
    doc->node = properties_->ShowResultsSummary(doc->settings, canonical, {});
    AddFrame(view);
    AddRecentFile(canonical);
    UpdateMenus();
    return view;
}

void MainFrame::ShowMessages(const QStringList& messages) {
    for (const QString& m : messages) app_.Message(this, m, QMessageBox::Warning);
}

bool MainFrame::SaveDocument(PadView* view) {
    if (view == nullptr) return false;
    PadDocument* doc = view->padDocument();
    if (doc->path().isEmpty()) return SaveDocumentAs(view);
    QString error;
    QStringList messages;
    if (!doc->Save(doc->path(), &error, &messages)) {
        app_.Message(this, error, QMessageBox::Critical);
        return false;
    }
    ShowMessages(messages);
    doc->node = properties_->ReplaceNode(doc->node, doc->settings, doc->path());
    UpdateMenus();
    return true;
}

bool MainFrame::SaveDocumentAs(PadView* view) {
    if (view == nullptr) return false;
    PadDocument* doc = view->padDocument();
    const QString chosen = app_.SaveFileName(
        this, QString(), QString::fromLatin1(msg::kDocumentFilter),
        doc->path().isEmpty() ? doc->title() : doc->path(), QStringLiteral("alg"));
    if (chosen.isEmpty()) return false;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    if (!AcceptDocumentName(path)) return false;
    QString error;
    QStringList messages;
    if (!doc->Save(path, &error, &messages)) {
        app_.Message(this, error, QMessageBox::Critical);
        return false;
    }
    ShowMessages(messages);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
        frame->setWindowTitle(doc->title() + QStringLiteral("[*]"));
        frame->setWindowModified(false);
    }
    doc->node = properties_->ReplaceNode(doc->node, doc->settings, doc->path());
    AddRecentFile(path);
    UpdateMenus();
    return true;
}

bool MainFrame::CanCloseDocument(PadView* view) {
    if (view->running()) {
        app_.Message(this, QString::fromLatin1(msg::kRunInProgress), QMessageBox::Warning);
        return false;
    }
    PadDocument* doc = view->padDocument();
    if (!doc->isModified()) return true;
    switch (app_.AskSaveChanges(this, QString::fromLatin1(msg::kSaveChanges).arg(doc->title()))) {
        case QMessageBox::Yes: return SaveDocument(view);
        case QMessageBox::No: return true;
        default: return false;
    }
}

void MainFrame::DocumentClosing(PadView* view) {
    properties_->RemoveNode(view->padDocument()->node);
    view->padDocument()->node = nullptr;
    if (app_.activeView == view) app_.activeView = nullptr;
}

void MainFrame::RunStarted(PadView* view, const QString& command) {
    runView_ = view;
    // Only these commands solve the document's own equations; the others number the equations
    // of a set they rewrote.
    runNumbersDocument_ = command == QLatin1String("S") || command == QLatin1String("US") ||
                          command == QLatin1String("G");
    progress_->setValue(0);
    progress_->hide();
    cancelButton_->show();
    statusBar()->showMessage(QStringLiteral("Running..."));
    UpdateMenus();
}

void MainFrame::RunFinished() {
    progress_->hide();
    cancelButton_->hide();
    statusBar()->showMessage(QStringLiteral("Ready"));
    UpdateMenus();
}

void MainFrame::UpdateAllGraphs(PadView* view) {
    if (view != nullptr) view->graphs().UpdateAll();
}

void MainFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && app_.runner().busy()) {
        app_.runner().cancel();
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
        if (url.isLocalFile()) OpenDocument(url.toLocalFile());
    }
    event->acceptProposedAction();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (app_.runner().busy()) {
        app_.Message(this, QString::fromLatin1(msg::kRunInProgress), QMessageBox::Warning);
        event->ignore();
        return;
    }
    mdi_->closeAllSubWindows();
    if (!mdi_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    WriteSettings();
    event->accept();
}

QStringList MainFrame::recentFiles() const {
    auto profile = EquationApp::Profile();
    QStringList files;
    profile->beginGroup(keys::kRecentFileSection);
    for (int i = 1; i <= keys::kRecentFileCount; ++i) {
        const QString f = profile->value(keys::kRecentFilePrefix + QString::number(i)).toString();
        if (!f.isEmpty()) files.append(f);
    }
    return files;
}

void MainFrame::AddRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > keys::kRecentFileCount) files.removeLast();
    auto profile = EquationApp::Profile();
    profile->beginGroup(keys::kRecentFileSection);
    for (int i = 1; i <= keys::kRecentFileCount; ++i) {
        const QString key = keys::kRecentFilePrefix + QString::number(i);
        if (i <= files.size())
            profile->setValue(key, files[i - 1]);
        else
            profile->remove(key);
    }
    profile->endGroup();
    UpdateRecentFileActions();
}

void MainFrame::UpdateRecentFileActions() {
    const QStringList files = recentFiles();
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
    for (PadView* view : views()) view->ApplyEditorSettings(app_.editor);
    auto profile = EquationApp::Profile();
    const QByteArray state = profile->value(keys::kBarState).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    bool ok = false;
    const int stored = profile->value(keys::kShowCmd).toInt(&ok);
    const auto shown = ok ? ChildShowState(stored) : std::nullopt;
    childShow_ = childShowRead_ = shown.value_or(ShowState::kMaximized);
    settingsRead_ = true;
    UpdateRecentFileActions();
}

void MainFrame::ShowWithPlacement() {
    auto profile = EquationApp::Profile();
    const auto placement = ParseWindowPos(profile->value(keys::kWindowPos).toString());
    if (placement) {
        // A rectangle no screen shows any more (a monitor was removed) is not used.
        const QRect rect = placement->normalRect();
        bool visible = false;
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(rect)) visible = true;
        }
        if (visible && rect.width() > 100 && rect.height() > 100) setGeometry(rect);
        if (placement->showCmd == ShowState::kMaximized ||
            (placement->showCmd == ShowState::kMinimized &&
             (placement->flags & WindowPlacement::kRestoreToMaximized) != 0)) {
            showMaximized();
            return;
        }
    }
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
    if (!settingsRead_ || childShow_ != childShowRead_) {
        profile->setValue(keys::kShowCmd, static_cast<unsigned>(childShow_));
    }
}
