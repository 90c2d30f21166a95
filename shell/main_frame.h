#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <cstdint>

#include "shell/editor_settings.h"
#include "shell/window_placement.h"

class CGraphView;
class EquationApp;
class FindReplaceDialog;
class OutputWindow;
class PadFrame;
class PadView;
class PropertiesTree;
class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QProgressBar;
class QToolBar;
class QToolButton;

// The main window: the document windows, six toolbars, the status bar, the Properties and
// Output windows, the menus and the commands behind them.
class MainFrame : public QMainWindow {
    Q_OBJECT
   public:
    explicit MainFrame(EquationApp& app, QWidget* parent = nullptr);
    ~MainFrame() override;

    OutputWindow* output() const { return output_; }
    PropertiesTree* properties() const { return properties_; }
    QMdiArea* mdiArea() const { return mdi_; }
    PadView* activeView() const;
    // The graph window in front, if the front window is one.
    CGraphView* activeGraph() const;
    QList<PadView*> views() const;

    // Core output, buffered until a line feed or 101 characters.
    void AppendOutput(const QString& text);

    PadView* NewDocument();
    PadView* OpenDocument(const QString& path);
    // Save and Save As of a view's document; false when it was not saved.
    bool SaveDocument(PadView* view);
    bool SaveDocumentAs(PadView* view);

    // Placement and bar layout from the profile, applied when the window is first shown.
    void ReadSettings();
    void WriteSettings();
    void ShowWithPlacement();

    // Called by the views around their runs. Lines of the run's output that name an equation
    // lead to `view` when double-clicked.
    void RunStarted(PadView* view, const QString& command);
    void RunFinished();
    void UpdateAllGraphs(PadView* view);
    // A line of the Output window double-clicked: the editor shows the character or equation
    // it names. False when it names none the last run's document has.
    bool JumpToOutputLine(const QString& line);

    // Puts a graph into a window of its own, titled "Picture:" and its path.
    QMdiSubWindow* AddGraphWindow(CGraphView* graph);
    // New colours for the editor, from the Options sheet: every open editor takes them.
    void ApplyColours(const QColor& equation, const QColor& comments, const QColor& background);
    // A document named like a file the solver writes beside it (model.PRN, model.TMP, ...)
    // would be overwritten by its own runs; such a name is refused with a message.
    bool AcceptDocumentName(const QString& path);

    // The Solve > Differential Equations command string for a differential method.
    static QString DifferentialCommand(std::uint32_t method);
    bool CanCloseDocument(PadView* view);
    void DocumentClosing(PadView* view);

    // The remembered show state of document windows: normal or maximised.
    ShowState childShowState() const { return childShow_; }

    QStringList recentFiles() const;

    // Copy takes the editor's selection, or the Output window's when the editor has none; Cut
    // is that Copy followed by removing the editor's selection.
    void EditCopy();
    void EditCut();

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
    PadFrame* AddFrame(PadView* view);
    void AddRecentFile(const QString& path);
    void UpdateRecentFileActions();
    void ShowMessages(const QStringList& messages);
    void TrackChildState(QMdiSubWindow* window);

    // Commands.
    void FileOpen();
    void FileClose();
    void OpenAttachmentEditor(PadView* view, const QString& path);
    void AttachFile();
    void FilePrint();
    void FilePrintPreview();
    void FilePrintSetup();
    void ShowTempFiles();
    void EstimationAndRegression();
    void SolveDifferential();
    void RunCore(const QString& command);
    void ArrangeIcons();
    void About();
    void HelpDesk();

    // Editor commands.
    void PageSetup();
    void SetDisplayFont();
    void SetPrinterFont();
    void MirrorDisplayFont();
    void SetTabStops();
    void GoToPos();
    void ToggleWordWrap(bool on);
    void ShowFind(bool replace);
    void FindNext();
    QFont PrinterFont(const QPrinter& printer) const;
    void PrintView(PadView* view, QPrinter& printer);

    // Results, options, graphs and the power-flow import.
    void ShowOptions();
    void ShowResults();
    void ShowResultsFromFile();
    void ShowResultsFile(const QString& path);
    void GraphFromResults();
    void GraphFromFile();
    void OpenGraphWindow(PadView* view, const QString& path);
    void ReadCommonFormat();
    void WireGraphActions();

    EquationApp& app_;
    QMdiArea* mdi_ = nullptr;
    OutputWindow* output_ = nullptr;
    PropertiesTree* properties_ = nullptr;
    QDockWidget* propertiesDock_ = nullptr;
    QDockWidget* outputDock_ = nullptr;
    QToolBar* standardBar_ = nullptr;
    QToolBar* functionsBar_ = nullptr;
    QToolBar* numbersBar_ = nullptr;
    QToolBar* alphabetBar_ = nullptr;
    QToolBar* specialBar_ = nullptr;
    QToolBar* greekBar_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QToolButton* cancelButton_ = nullptr;
    QPrinter* printer_ = nullptr;
    FindReplaceDialog* find_ = nullptr;
    // The view of the last run and whether the equation numbers of its output are those of its
    // document (not of a rewritten set).
    QPointer<PadView> runView_;
    bool runNumbersDocument_ = false;
    int untitledCount_ = 0;
    ShowState childShow_ = ShowState::kMaximized;
    ShowState childShowRead_ = ShowState::kMaximized;
    bool settingsRead_ = false;

    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* solveMenu_ = nullptr;
    QMenu* advancedMenu_ = nullptr;
    QMenu* graphMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;

    // Commands that need an equation document, and those that also run the core.
    QList<QAction*> documentActions_;
    QList<QAction*> coreActions_;
    // The commands of a graph window.
    QList<QAction*> graphActions_;
    QList<QAction*> paletteActions_;
    QList<QAction*> documentOnlyMenuItems_;

    QAction* newAct_ = nullptr;
    QAction* openAct_ = nullptr;
    QAction* closeAct_ = nullptr;
    QAction* saveAct_ = nullptr;
    QAction* saveAsAct_ = nullptr;
    QAction* exportLatexAct_ = nullptr;
    QAction* attachNewAct_ = nullptr;
    QAction* attachFileAct_ = nullptr;
    QAction* attachEditAct_ = nullptr;
    QAction* attachRemoveAct_ = nullptr;
    QAction* printAct_ = nullptr;
    QAction* printPreviewAct_ = nullptr;
    QAction* printSetupAct_ = nullptr;
    QAction* pageSetupAct_ = nullptr;
    QAction* recentActs_[4] = {};
    QAction* recentSeparator_ = nullptr;
    QAction* exitAct_ = nullptr;
    QAction* undoAct_ = nullptr;
    QAction* cutAct_ = nullptr;
    QAction* copyAct_ = nullptr;
    QAction* pasteAct_ = nullptr;
    QAction* deleteAct_ = nullptr;
    QAction* findAct_ = nullptr;
    QAction* findNextAct_ = nullptr;
    QAction* replaceAct_ = nullptr;
    QAction* selectAllAct_ = nullptr;
    QAction* wordWrapAct_ = nullptr;
    QAction* goToPosAct_ = nullptr;
    QAction* statusBarAct_ = nullptr;
    QAction* tabStopsAct_ = nullptr;
    QAction* fontAct_ = nullptr;
    QAction* printerFontAct_ = nullptr;
    QAction* mirrorFontAct_ = nullptr;
    QAction* tempFilesAct_ = nullptr;
    QAction* resultsAct_ = nullptr;
    QAction* resultsFromFileAct_ = nullptr;
    QAction* refreshAct_ = nullptr;
    QAction* languageAct_ = nullptr;
    QAction* solveAct_ = nullptr;
    QAction* optionsAct_ = nullptr;
    QAction* readCfAct_ = nullptr;
    QAction* graphFromResultsAct_ = nullptr;
    QAction* graphFromFileAct_ = nullptr;
    QAction* updateGraphsAct_ = nullptr;
    QAction* updateGraphAct_ = nullptr;
    QAction* saveGraphAct_ = nullptr;
    QAction* saveGraphAsAct_ = nullptr;
    QAction* cascadeAct_ = nullptr;
    QAction* tileAct_ = nullptr;
    QAction* arrangeAct_ = nullptr;
    QAction* helpAct_ = nullptr;
    QAction* aboutAct_ = nullptr;
};
