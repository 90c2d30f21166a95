// The main window's commands around runs: the Options sheet, the results viewer, graphs, the
// power-flow import, jumps from the Output window into the text, and the names a document may
// not have.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "import/convert.h"
#include "shell/core_bridge.h"
#include "shell/equation_app.h"
#include "shell/equation_locator.h"
#include "shell/main_frame.h"
#include "shell/option_pages.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/results_dialog.h"
#include "shell/shell_messages.h"

bool MainFrame::AcceptDocumentName(const QString& path) {
    const QString refusal = PadDocument::WorkFileNameError(path);
    if (refusal.isEmpty()) return true;
    app_.Message(this, refusal, QMessageBox::Warning);
    return false;
}

void MainFrame::ShowOptions() {
    PadView* view = activeView();
    if (view == nullptr) return;
    PadDocument* doc = view->padDocument();
    CValdrixProperty sheet(doc->title(), this);
    sheet.methodPage()->Load(doc->settings);
    GeneralOptions general;
    general.capacity = app_.capacity;
    general.optimizationRoute = app_.optimizationRoute;
    general.showIterations = app_.showResultsForEachIteration;
    general.showDerivatives = app_.showDerivativeInformation;
    general.showResults = app_.showResultsInOutputView;
    general.equationColor = app_.editor.equationColor;
    general.commentsColor = app_.editor.commentsColor;
    general.backgroundColor = app_.editor.backgroundColor;
    sheet.generalPage()->Load(general);
    if (app_.Exec(sheet) != QDialog::Accepted) return;
    // The sheet accepted only values both pages can store.
    sheet.methodPage()->Store(doc->settings);
    sheet.generalPage()->Store(general);
    doc->setModified(true);
    if (general.capacity != app_.capacity || general.optimizationRoute != app_.optimizationRoute) {
        app_.capacity = general.capacity;
        app_.optimizationRoute = general.optimizationRoute;
        app_.WriteRunOptions();
    }
    app_.showResultsForEachIteration = general.showIterations;
    app_.showDerivativeInformation = general.showDerivatives;
    app_.showResultsInOutputView = general.showResults;
    ApplyColours(general.equationColor, general.commentsColor, general.backgroundColor);
}

void MainFrame::ApplyColours(const QColor& equation, const QColor& comments,
                             const QColor& background) {
    app_.editor.equationColor = equation;
    app_.editor.commentsColor = comments;
    app_.editor.backgroundColor = background;
    for (PadView* view : views()) view->ColourChange(equation, comments, background);
}

void MainFrame::ShowResults() {
    PadView* view = activeView();
    if (view == nullptr) return;
    PadDocument* doc = view->padDocument();
    if (doc->path().isEmpty()) {
        app_.Message(this, QString::fromLatin1(msg::kNoPrnFile));
        return;
    }
    // A document without a base name has no result file: the viewer stays empty.
    ShowResultsFile(doc->baseName().isEmpty() ? QString() : doc->baseName() + ".PRN");
}

void MainFrame::ShowResultsFromFile() {
    const QString path =
        app_.OpenFileName(this, QString(), QString::fromLatin1(msg::kResultsFilter));
    if (!path.isEmpty()) ShowResultsFile(path);
}

void MainFrame::ShowResultsFile(const QString& path) {
    CResultsDlg dialog(path, this);
    app_.Exec(dialog);
}

QMdiSubWindow* MainFrame::AddGraphWindow(CGraphView* graph) {
    QMdiSubWindow* window = mdi_->addSubWindow(graph);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("GraphFrame"));
    window->setWindowTitle(graph->Document()->Title());
    TrackChildState(window);
    if (childShow_ == ShowState::kMaximized)
        window->showMaximized();
    else
        window->show();
    mdi_->setActiveSubWindow(window);
    UpdateMenus();
    return window;
}

void MainFrame::OpenGraphWindow(PadView* view, const QString& path) {
    if (!app_.graphOpener) return;
    if (CGraphView* graph = app_.graphOpener(&view->graphs(), path, this)) AddGraphWindow(graph);
}

void MainFrame::GraphFromResults() {
    PadView* view = activeView();
    if (view == nullptr) return;
    const QString base = view->padDocument()->baseName();
    const QString path = base.isEmpty() ? QString() : base + ".PRN";
    // Without a name to form it from, or before a run wrote it, there is no result file.
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        QApplication::beep();
        app_.Message(this, QString::fromLatin1(msg::kFileDoesNotExist), QMessageBox::Warning);
        return;
    }
    OpenGraphWindow(view, path);
}

void MainFrame::GraphFromFile() {
    PadView* view = activeView();
    if (view == nullptr) return;
    const QString path =
        app_.OpenFileName(this, QString(), QString::fromLatin1(msg::kGraphFileFilter));
    if (!path.isEmpty()) OpenGraphWindow(view, path);
}

void MainFrame::ReadCommonFormat() {
    QFileDialog dialog(this, QString::fromLatin1(msg::kReadCfTitle), QString(),
                       QString::fromLatin1(msg::kCfFilter));
    dialog.setObjectName(QStringLiteral("ReadCfDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    auto* fullModel = new QCheckBox(QStringLiteral("Full model"), &dialog);
    fullModel->setObjectName(QStringLiteral("fullModel"));
    fullModel->setToolTip(QString::fromLatin1(msg::kFullModelTip));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(fullModel, grid->rowCount(), 0, 1, -1);
    }
    if (app_.Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString input = dialog.selectedFiles().first();
    ImportOptions options;
    options.fullModel = fullModel->isChecked();
    const ImportResult result =
        ConvertCommonFormat(QFile::encodeName(input).toStdString(), {}, options);
    if (!result.ok) {
        app_.Message(this, QString::fromStdString(result.message), QMessageBox::Warning);
        return;
    }
    app_.Message(this, QString::fromStdString(result.message));
    const QString output =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(result.outputPath)))
            .absoluteFilePath();
    // A document already open under that name shows the new equations unless it has changes
    // of its own.
    for (PadView* view : views()) {
        PadDocument* doc = view->padDocument();
        if (doc->path() != output) continue;
        if (!doc->isModified()) {
            QString error;
            QStringList messages;
            doc->Open(output, &error, &messages);
        }
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
        return;
    }
    OpenDocument(output);
}

bool MainFrame::JumpToOutputLine(const QString& line) {
    const auto ref = locator::ReferenceIn(line);
    PadView* view = runView_;
    if (!ref || view == nullptr) return false;
    if (ref->kind == locator::Reference::Kind::kCharacter) {
        view->ShowCompilerError(ref->number);
    } else if (!runNumbersDocument_ || !view->SelectEquation(ref->number)) {
        return false;
    }
    if (auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
        mdi_->setActiveSubWindow(window);
    }
    view->setFocus();
    return true;
}
