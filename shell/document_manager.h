#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include "shell/window_placement.h"

class CGraphView;
class EquationApp;
class PadView;
class PropertiesTree;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// The equation documents of the workspace: new, open, save, save as and close, each document in
// a window of its own with its node in the Properties tree; the questions about unsaved changes;
// the recent-file list; and the show state that document and graph windows share.
class DocumentManager : public QObject {
    Q_OBJECT
   public:
    // Messages and file dialogs open over `dialogParent`, which owns the manager.
    DocumentManager(EquationApp& app, QMdiArea& area, PropertiesTree& properties,
                    QWidget& dialogParent);

    PadView* activeView() const;
    // The graph window in front, if the front window is one.
    CGraphView* activeGraph() const;
    QList<PadView*> views() const;
    // Brings the view's window to the front.
    void Activate(PadView* view);

    PadView* NewDocument();
    // Closes every window at the end of the program: first asks about each changed document,
    // once; a Cancel (or a save that failed) keeps every window open and gives false.
    bool CloseAll();
    // The window of the document at `path`: the one already open, or a new one. Null when the
    // file cannot be read or its name is refused.
    PadView* OpenDocument(const QString& path);
    // Save and Save As of a view's document; false when it was not saved.
    bool Save(PadView* view);
    bool SaveAs(PadView* view);
    // After the import wrote a document: an open copy without changes of its own reads it again,
    // and its window comes to the front; a document not open yet is opened.
    void ShowRewritten(const QString& path);
    // A document named like a file the solver writes beside it (model.PRN, model.TMP, ...)
    // would be overwritten by its own runs; such a name is refused with a message.
    bool AcceptDocumentName(const QString& path);

    QStringList recentFiles() const;

    // Puts a graph into a window of its own, titled "Picture:" and its path.
    QMdiSubWindow* AddGraphWindow(CGraphView* graph);
    ShowState childShowState() const { return childShow_; }
    void setChildShowState(ShowState state) { childShow_ = state; }

   signals:
    // A document was added, saved or changed: the commands it offers may have changed.
    void documentsChanged();
    void recentFilesChanged();
    // A new document window, before it is shown.
    void viewAdded(PadView* view);

   private:
    class Frame;

    QMdiSubWindow* FrontWindow() const;
    void AddFrame(PadView* view);
    void ShowWindow(QMdiSubWindow* window);
    void ShowInRememberedState(QMdiSubWindow* window);
    // The document window may close: never while the core works on its document; a changed
    // document asks whether to save first.
    bool CanClose(PadView* view);
    // A window goes: a document's node leaves the Properties tree.
    void Closing(QMdiSubWindow* window, PadView* view);
    void AddRecentFile(const QString& path);
    void ShowMessages(const QStringList& messages);

    EquationApp& app_;
    QMdiArea& area_;
    PropertiesTree& properties_;
    QWidget& dialogParent_;
    int untitledCount_ = 0;
    ShowState childShow_ = ShowState::kMaximized;
    bool arranging_ = false;  // a window is being shown in the remembered state
    bool closing_ = false;    // a window closes; the next one is not yet in front
    bool quitting_ = false;   // the questions of CloseAll are answered
};
