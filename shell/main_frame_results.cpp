// The main window's commands around a document's runs: its attachment, the Options sheet, the
// results viewer and the temporary files, graphs of result files, and the power-flow import.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "import/convert.h"
#include "shell/attachment_dialog.h"
#include "shell/document_manager.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/option_pages.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/results_dialog.h"
#include "shell/shell_messages.h"
#include "shell/tmp_file_dialog.h"

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
    PadView* view = documents_->activeView();
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
        documents_->NewDocument();
    }
}

void MainFrame::ShowOptions() {
    PadView* view = documents_->activeView();
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
    for (PadView* view : documents_->views()) view->ColourChange(equation, comments, background);
}

void MainFrame::ShowResults() {
    PadView* view = documents_->activeView();
    if (view == nullptr) return;
    PadDocument* doc = view->padDocument();
    if (doc->path().isEmpty()) {
        app_.Message(this, QString::fromLatin1(msg::kNoPrnFile));
        return;
    }
    // A document without a base name has no result file: the viewer stays empty.
    ShowResultsFile(doc->baseName().isEmpty() ? QString() : doc->baseName() + ".PRN");
}

void MainFrame::ShowResultsFile(const QString& path) {
    CResultsDlg dialog(path, this);
    app_.Exec(dialog);
}

void MainFrame::OpenGraphWindow(PadView* view, const QString& path) {
    if (!app_.graphOpener) return;
    CGraphView* graph = app_.graphOpener(&view->padDocument()->graphs(), path, this);
    if (graph != nullptr) documents_->AddGraphWindow(graph);
}

void MainFrame::GraphFromResults() {
    PadView* view = documents_->activeView();
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
    documents_->ShowRewritten(output);
}
