// The editor's commands of the main window: page setup and printing, fonts, tab stops, word
// wrap, Go To Pos, Find and Replace, and the help.
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "shell/editor_dialogs.h"
#include "shell/equation_app.h"
#include "shell/find_dialog.h"
#include "shell/main_frame.h"
#include "shell/pad_document.h"
#include "shell/pad_print.h"
#include "shell/pad_view.h"
#include "shell/shell_messages.h"

namespace {

qreal ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

}  // namespace

void MainFrame::PageSetup() {
    CPageSetupDlg dialog(app_.editor.pageSetup, this);
    if (app_.Exec(dialog) == QDialog::Accepted) app_.editor.pageSetup = dialog.value();
}

QFont MainFrame::PrinterFont(const QPrinter& printer) const {
    // Without a printer font of its own the text prints in the display font. Descriptions hold
    // screen pixels; the printer has its own resolution.
    QFont font = app_.editor.printerFont();
    const int screenPixels =
        font.pixelSize() > 0 ? font.pixelSize() : EditorSettings::kDefaultPixelSize;
    font.setPixelSize(std::max(1, qRound(screenPixels * printer.resolution() / ScreenDpi())));
    return font;
}

void MainFrame::PrintView(PadView* view, QPrinter& printer) {
    PadDocument* doc = view->padDocument();
    PrintJob job;
    job.setup = app_.editor.pageSetup;
    job.fileName = doc->path().isEmpty() ? doc->title() : doc->path();
    job.headerTime = PageTextTime(job.setup.headerTime, doc->path());
    job.footerTime = PageTextTime(job.setup.footerTime, doc->path());
    job.font = PrinterFont(printer);
    PrintEquationText(*view->document(), printer, job);
}

void MainFrame::SetDisplayFont() {
    PadView* view = activeView();
    if (view == nullptr) return;
    QFontDialog dialog(app_.editor.displayFont(), this);
    if (app_.Exec(dialog) != QDialog::Accepted) return;
    app_.editor.font = EditorFont(dialog.currentFont());
    view->SetDisplayFont(*app_.editor.font);
}

void MainFrame::SetPrinterFont() {
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid()) {
        app_.Message(this, QString::fromLatin1(msg::kNoPrinterContext), QMessageBox::Warning);
        return;
    }
    QFontDialog dialog(app_.editor.printerFont(), this);
    if (app_.Exec(dialog) != QDialog::Accepted) return;
    app_.editor.printFont = EditorFont(dialog.currentFont());
}

void MainFrame::MirrorDisplayFont() {
    app_.editor.printFont = app_.editor.font;
}

void MainFrame::SetTabStops() {
    PadView* view = activeView();
    if (view == nullptr) return;
    CSetTabStops dialog(app_.editor.tabStops, this);
    if (app_.Exec(dialog) != QDialog::Accepted) return;
    app_.editor.tabStops = dialog.value();
    view->SetTabStops(dialog.value());
}

void MainFrame::GoToPos() {
    PadView* view = activeView();
    if (view == nullptr) return;
    CMoveCursorDlg dialog(view->textCursor().position(), view->document()->characterCount() - 1,
                          this);
    if (app_.Exec(dialog) == QDialog::Accepted) view->GoToPos(dialog.value());
}

void MainFrame::ToggleWordWrap(bool on) {
    PadView* view = activeView();
    if (view == nullptr) return;
    view->SetWordWrap(on);
    app_.editor.wordWrap = on;  // documents opened later take it
}

void MainFrame::ShowFind(bool replace) {
    if (find_ == nullptr) find_ = new FindReplaceDialog(this);
    find_->setEditor(activeView());
    find_->showFor(replace);
}

void MainFrame::FindNext() {
    // F3 repeats the last search; before there is one it asks what to find.
    if (find_ == nullptr || find_->findText()->text().isEmpty()) {
        ShowFind(false);
        return;
    }
    find_->setEditor(activeView());
    find_->FindNext();
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
