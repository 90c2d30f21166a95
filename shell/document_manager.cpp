#include "shell/document_manager.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScopedValueRollback>
#include <QSettings>
#include <QTimer>

#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "shell/core_runner.h"
#include "shell/equation_app.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/properties_tree.h"
#include "shell/settings_keys.h"
#include "shell/shell_messages.h"

// A window of the workspace, a document's or a graph's. Whether a document's window may close
// is the manager's question: the window only asks it, and tells the manager when it goes.
class DocumentManager::Frame : public QMdiSubWindow {
   public:
    Frame(DocumentManager& documents, QWidget* content, PadView* view, const char* name)
        : documents_(documents), view_(view) {
        setWidget(content);
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(QLatin1String(name));
    }

   protected:
    void closeEvent(QCloseEvent* event) override {
        if (view_ != nullptr && !documents_.CanClose(view_)) {
            event->ignore();
            return;
        }
        documents_.Closing(this, view_);
        event->accept();
    }

   private:
    DocumentManager& documents_;
    PadView* view_;  // null for a graph's window
};

DocumentManager::DocumentManager(EquationApp& app, QMdiArea& area, PropertiesTree& properties,
                                 QWidget& dialogParent)
    : QObject(&dialogParent),
      app_(app),
      area_(area),
      properties_(properties),
      dialogParent_(dialogParent) {
    // The window the workspace brings to the front after another closed may come unmaximised
    // (when is up to the window system); it takes the state the windows share.
    connect(&area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w != nullptr && !arranging_ && !quitting_ && childShow_ == ShowState::kMaximized &&
            !w->isMaximized() && !w->isMinimized()) {
            ShowInRememberedState(w);
        }
    });
}

QMdiSubWindow* DocumentManager::FrontWindow() const {
    QMdiSubWindow* w = area_.activeSubWindow();
    // While the program's window is not active no window of the workspace is either; the
    // current one is still the one in front.
    if (w == nullptr && !area_.subWindowList().isEmpty()) w = area_.currentSubWindow();
    return w;
}

PadView* DocumentManager::activeView() const {
    QMdiSubWindow* w = FrontWindow();
    return w != nullptr ? qobject_cast<PadView*>(w->widget()) : nullptr;
}

CGraphView* DocumentManager::activeGraph() const {
    QMdiSubWindow* w = FrontWindow();
    return w != nullptr ? qobject_cast<CGraphView*>(w->widget()) : nullptr;
}

QList<PadView*> DocumentManager::views() const {
    QList<PadView*> list;
    for (QMdiSubWindow* w : area_.subWindowList()) {
        if (auto* view = qobject_cast<PadView*>(w->widget())) list.append(view);
    }
    return list;
}

void DocumentManager::Activate(PadView* view) {
    if (auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
        area_.setActiveSubWindow(window);
    }
}

void DocumentManager::ShowWindow(QMdiSubWindow* window) {
    connect(window, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates old, Qt::WindowStates now) {
                // The workspace restores and maximises windows by itself when one opens or
                // closes; only what the user did to a window is remembered. A window that
                // only comes to the front or leaves it changes nothing, and a minimised
                // window keeps the remembered state.
                if (arranging_ || closing_ || (now & Qt::WindowMinimized) ||
                    !((old ^ now) & Qt::WindowMaximized))
                    return;
                childShow_ =
                    (now & Qt::WindowMaximized) ? ShowState::kMaximized : ShowState::kNormal;
            });
    ShowInRememberedState(window);
}

void DocumentManager::ShowInRememberedState(QMdiSubWindow* window) {
    const QScopedValueRollback<bool> arranging(arranging_, true);
    if (childShow_ == ShowState::kMaximized)
        window->showMaximized();
    else
        window->show();
}

void DocumentManager::Closing(QMdiSubWindow* window, PadView* view) {
    if (view != nullptr) {
        properties_.RemoveNode(view->padDocument()->node);
        view->padDocument()->node = nullptr;
        if (app_.activeView == view) app_.activeView = nullptr;
    }
    // The workspace activates the next window once this one is gone, without the state the
    // windows share; the window in front then takes it again.
    closing_ = true;
    QTimer::singleShot(0, this, [this, gone = QPointer<QMdiSubWindow>(window)] {
        closing_ = false;
        QMdiSubWindow* front = FrontWindow();
        if (front != nullptr && front != gone && !front->isMinimized() &&
            front->isMaximized() != (childShow_ == ShowState::kMaximized)) {
            ShowInRememberedState(front);
        }
    });
}

bool DocumentManager::CloseAll() {
    // Every question first: a Cancel leaves every window open.
    for (PadView* view : views()) {
        if (!CanClose(view)) return false;
    }
    const QScopedValueRollback<bool> answered(quitting_, true);
    area_.closeAllSubWindows();
    return true;
}

void DocumentManager::AddFrame(PadView* view) {
    auto* frame = new Frame(*this, view, view, "PadFrame");
    area_.addSubWindow(frame);
    PadDocument* doc = view->padDocument();
    auto updateTitle = [frame, doc] {
        frame->setWindowTitle(doc->title() + QStringLiteral("[*]"));
        frame->setWindowModified(doc->isModified());
    };
    updateTitle();
    connect(doc->text(), &QTextDocument::modificationChanged, frame, updateTitle);
    connect(view, &PadView::focusReceived, this,
            [this, doc] { properties_.SelectNode(doc->node); });
    emit viewAdded(view);
    ShowWindow(frame);
    view->setFocus();
}

PadView* DocumentManager::NewDocument() {
    auto* view = new PadView(app_.editor);
    PadDocument* doc = view->padDocument();
    doc->setUntitledName(QString::fromLatin1(msg::kUntitled) + QString::number(++untitledCount_));
    doc->node = properties_.ShowResultsSummary(doc->settings, doc->title(), {});
    AddFrame(view);
    // A work file the temporary-file viewer converts fills the new document once.
    if (app_.convertFilePath.size() >= 4) {
        doc->AppendFileLines(app_.convertFilePath);
        app_.convertFilePath.clear();
    }
    emit documentsChanged();
    return view;
}

PadView* DocumentManager::OpenDocument(const QString& path) {
    const QString canonical = QFileInfo(path).absoluteFilePath();
    if (!AcceptDocumentName(canonical)) return nullptr;
    for (PadView* view : views()) {
        if (view->padDocument()->path() == canonical) {
            Activate(view);
            return view;
        }
    }
    auto* view = new PadView(app_.editor);
    PadDocument* doc = view->padDocument();
    QString error;
    QStringList messages;
    if (!doc->Open(canonical, &error, &messages)) {
        delete view;
        app_.Message(&dialogParent_, QString::fromLatin1(msg::kOpenFailed).arg(canonical, error),
                     QMessageBox::Warning);
        return nullptr;
    }
    ShowMessages(messages);
    doc->node = properties_.ShowResultsSummary(doc->settings, canonical, {});
    AddFrame(view);
    AddRecentFile(canonical);
    emit documentsChanged();
    return view;
}

void DocumentManager::ShowMessages(const QStringList& messages) {
    for (const QString& m : messages) app_.Message(&dialogParent_, m, QMessageBox::Warning);
}

bool DocumentManager::Save(PadView* view) {
    if (view == nullptr) return false;
    PadDocument* doc = view->padDocument();
    if (doc->path().isEmpty()) return SaveAs(view);
    QString error;
    QStringList messages;
    if (!doc->Save(doc->path(), &error, &messages)) {
        app_.Message(&dialogParent_, error, QMessageBox::Critical);
        return false;
    }
    ShowMessages(messages);
    doc->node = properties_.ReplaceNode(doc->node, doc->settings, doc->path());
    emit documentsChanged();
    return true;
}

bool DocumentManager::SaveAs(PadView* view) {
    if (view == nullptr) return false;
    PadDocument* doc = view->padDocument();
    const QString chosen = app_.SaveFileName(
        &dialogParent_, QString(), QString::fromLatin1(msg::kDocumentFilter),
        doc->path().isEmpty() ? doc->title() : doc->path(), QStringLiteral("alg"));
    if (chosen.isEmpty()) return false;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    if (!AcceptDocumentName(path)) return false;
    QString error;
    QStringList messages;
    if (!doc->Save(path, &error, &messages)) {
        app_.Message(&dialogParent_, error, QMessageBox::Critical);
        return false;
    }
    ShowMessages(messages);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
        frame->setWindowTitle(doc->title() + QStringLiteral("[*]"));
        frame->setWindowModified(false);
    }
    doc->node = properties_.ReplaceNode(doc->node, doc->settings, doc->path());
    AddRecentFile(path);
    emit documentsChanged();
    return true;
}

void DocumentManager::ShowRewritten(const QString& path) {
    for (PadView* view : views()) {
        PadDocument* doc = view->padDocument();
        if (doc->path() != path) continue;
        if (!doc->isModified()) {
            QString error;
            QStringList messages;
            doc->Open(path, &error, &messages);
        }
        Activate(view);
        return;
    }
    OpenDocument(path);
}

bool DocumentManager::AcceptDocumentName(const QString& path) {
    const QString refusal = PadDocument::WorkFileNameError(path);
    if (refusal.isEmpty()) return true;
    app_.Message(&dialogParent_, refusal, QMessageBox::Warning);
    return false;
}

bool DocumentManager::CanClose(PadView* view) {
    // The view of the run going on is the one the core last ran for.
    if (app_.runner().busy() && app_.activeView == view) {
        app_.Message(&dialogParent_, QString::fromLatin1(msg::kRunInProgress),
                     QMessageBox::Warning);
        return false;
    }
    PadDocument* doc = view->padDocument();
    if (!doc->isModified() || quitting_) return true;
    switch (app_.AskSaveChanges(&dialogParent_,
                                QString::fromLatin1(msg::kSaveChanges).arg(doc->title()))) {
        case QMessageBox::Yes: return Save(view);
        case QMessageBox::No: return true;
        default: return false;
    }
}

QStringList DocumentManager::recentFiles() const {
    auto profile = EquationApp::Profile();
    QStringList files;
    profile->beginGroup(keys::kRecentFileSection);
    for (int i = 1; i <= keys::kRecentFileCount; ++i) {
        const QString f = profile->value(keys::kRecentFilePrefix + QString::number(i)).toString();
        if (!f.isEmpty()) files.append(f);
    }
    return files;
}

void DocumentManager::AddRecentFile(const QString& path) {
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
    emit recentFilesChanged();
}

QMdiSubWindow* DocumentManager::AddGraphWindow(CGraphView* graph) {
    auto* window = new Frame(*this, graph, nullptr, "GraphFrame");
    area_.addSubWindow(window);
    window->setWindowTitle(graph->Document()->Title());
    ShowWindow(window);
    area_.setActiveSubWindow(window);
    emit documentsChanged();
    return window;
}
