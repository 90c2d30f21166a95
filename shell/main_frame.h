#pragma once

#include <QList>
#include <QMainWindow>

#include "shell/settings_keys.h"
#include "shell/window_placement.h"

class DocumentManager;
class EditorCommands;
class EquationApp;
class OutputWindow;
class PadView;
class PropertiesTree;
class QAction;
class QColor;
class QDockWidget;
class QMdiArea;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;
class RunController;

// The main window: the workspace of document and graph windows, the toolbars and palettes, the
// status bar, the Properties and Output windows, and the menus. The documents, the runs and the
// editor's commands are each a class of their own; the window places their commands, enables
// them for the window in front, and keeps its layout in the profile.
class MainFrame : public QMainWindow {
    Q_OBJECT
   public:
    explicit MainFrame(EquationApp& app, QWidget* parent = nullptr);
    ~MainFrame() override;

    DocumentManager& documents() const { return *documents_; }
    RunController& runs() const { return *runs_; }
    OutputWindow* output() const { return output_; }
    PropertiesTree* properties() const { return properties_; }
    QMdiArea* mdiArea() const { return mdi_; }

    // Placement, bar layout and the editor's settings from the profile, applied when the window
    // is first shown; written back when it closes.
    void ReadSettings();
    void WriteSettings();
    void ShowWithPlacement();

    // New colours for the editor, from the Options sheet: every open editor takes them.
    void ApplyColours(const QColor& equation, const QColor& comments, const QColor& background);

   public slots:
    void UpdateMenus();

   protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

   private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePaletteBars();
    void CreateStatusBar();
    void CreateDocks();
    void ConnectView(PadView* view);
    void UpdateRecentFileActions();
    void RunStarted();
    void RunFinished();
    // F6 and Shift+F6: the focus goes round the document, the Output window and the Properties
    // tree.
    void MovePane(int step);

    // Commands of the File, View, Graph and Help menus.
    void FileOpen();
    void OpenAttachmentEditor(PadView* view, const QString& path);
    void AttachFile();
    void ShowTempFiles();
    void ShowOptions();
    void ShowResults();
    void ShowResultsFile(const QString& path);
    void GraphFromResults();
    void OpenGraphWindow(PadView* view, const QString& path);
    void ReadCommonFormat();
    void ArrangeIcons();
    void HelpDesk();

    EquationApp& app_;
    QMdiArea* mdi_ = nullptr;
    OutputWindow* output_ = nullptr;
    PropertiesTree* properties_ = nullptr;
    DocumentManager* documents_ = nullptr;
    RunController* runs_ = nullptr;
    EditorCommands* editing_ = nullptr;
    QDockWidget* propertiesDock_ = nullptr;
    QDockWidget* outputDock_ = nullptr;
    QToolBar* standardBar_ = nullptr;
    QToolBar* functionsBar_ = nullptr;
    QToolBar* numbersBar_ = nullptr;
    QToolBar* alphabetBar_ = nullptr;
    QToolBar* specialBar_ = nullptr;
    QToolBar* greekBar_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QAction* cancelAct_ = nullptr;
    QToolButton* cancelButton_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    // The document windows' show state as read, written back only when it changed.
    ShowState childShowRead_ = ShowState::kMaximized;
    bool settingsRead_ = false;

    // Offered only with a document in front; enabled with one, and the core actions also only
    // while the core is idle. The graph window's commands are offered only with one in front.
    QList<QAction*> documentOnlyMenuItems_;
    QList<QAction*> documentActions_;
    QList<QAction*> coreActions_;
    QList<QAction*> graphActions_;
    QList<QAction*> paletteActions_;

    QAction* newAct_ = nullptr;
    QAction* openAct_ = nullptr;
    QAction* closeAct_ = nullptr;
    QAction* saveAct_ = nullptr;
    QAction* attachNewAct_ = nullptr;
    QAction* attachFileAct_ = nullptr;
    QAction* attachEditAct_ = nullptr;
    QAction* attachRemoveAct_ = nullptr;
    QAction* recentActs_[keys::kRecentFileCount] = {};
    QAction* recentSeparator_ = nullptr;
    QAction* resultsAct_ = nullptr;
    QAction* graphFromResultsAct_ = nullptr;
    QAction* optionsAct_ = nullptr;
};
