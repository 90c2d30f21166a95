#include "shell/screenshot.h"

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "graphs/graph_set_dlg.h"
#include "graphs/open_graph.h"
#include "shell/charset.h"
#include "shell/core_runner.h"
#include "shell/document_manager.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/run_controller.h"

namespace {

// The window is drawn this long after it was asked to be: layouts and the graph's first paint
// are queued events.
constexpr int kSettleMilliseconds = 300;
constexpr QSize kWindowSize(1280, 800);

// A name as the core spells it (single-byte text).
std::string CoreName(const QString& name) {
    QByteArray bytes;
    return charset::FromUnicode(name, bytes) ? bytes.toStdString() : std::string();
}

// The graph-set dialog filled in as a user fills it: the x column chosen and used as X, the
// y column chosen and used as Y, drawn as a normal graph. Null when the result file lacks
// either column.
CGraphView* OpenOneCurve(GraphList* owner, const QString& path, const QString& x,
                         const QString& y) {
    CGraphSetDlg dialog(path);
    if (dialog.Grid()->rowCount() == 0) dialog.NewRow();
    dialog.Grid()->setCurrentCell(0, CGraphSetDlg::kYAxis);
    const auto choose = [&dialog](const QString& name) {
        const QList<QListWidgetItem*> found = dialog.Variables()->findItems(name, Qt::MatchExactly);
        if (!found.isEmpty()) dialog.Variables()->setCurrentItem(found.first());
        return !found.isEmpty();
    };
    if (!choose(x)) return nullptr;
    dialog.UseAsX();
    if (!choose(y)) return nullptr;
    dialog.UseAsY();
    // A connected curve: with no type chosen the dialog draws a line down to the axis at
    // every point.
    for (QRadioButton* type : dialog.findChildren<QRadioButton*>()) {
        if (type->text() == QLatin1String("Normal Graph")) type->setChecked(true);
    }
    std::vector<graphs::GraphCurve> curves = dialog.Curves();
    if (curves.empty()) return nullptr;
    return CreateGraph(owner, path, std::move(curves), dialog.Layout());
}

void Fail(const QString& why) {
    std::fprintf(stderr, "valdrix-gui: %s\n", qPrintable(why));
    QCoreApplication::exit(1);
}

void SaveAndQuit(MainFrame& frame, const QString& file) {
    QTimer::singleShot(kSettleMilliseconds, &frame, [&frame, file] {
        const bool saved = frame.grab().save(file);
        std::fprintf(stderr, saved ? "valdrix-gui: saved %s\n" : "valdrix-gui: cannot save %s\n",
                     qPrintable(file));
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

bool ReadScreenshotSweep(const QString& text, ScreenshotRequest& request) {
    static const QRegularExpression form(QStringLiteral("^([^=]+)=([^:]+):([^:]+):([0-9]+)$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return false;
    bool fromOk = false;
    bool toOk = false;
    bool stepsOk = false;
    const double from = m.captured(2).toDouble(&fromOk);
    const double to = m.captured(3).toDouble(&toOk);
    const int steps = m.captured(4).toInt(&stepsOk);
    if (!fromOk || !toOk || !stepsOk || !(from < to) || steps <= 0) return false;
    request.sweep = true;
    request.sweepVariable = m.captured(1);
    request.sweepFrom = from;
    request.sweepTo = to;
    request.sweepSteps = steps;
    return true;
}

bool ReadScreenshotGraph(const QString& text, ScreenshotRequest& request) {
    const QStringList names = text.split(u':');
    if (names.size() != 2 || names[0].isEmpty() || names[1].isEmpty()) return false;
    request.graphX = names[0];
    request.graphY = names[1];
    return true;
}

bool StartScreenshot(MainFrame& frame, EquationApp& app, const QString& document,
                     const ScreenshotRequest& request) {
    frame.resize(kWindowSize);
    app.messageHook = [](const QString& text, QMessageBox::Icon) {
        std::fprintf(stderr, "valdrix-gui: %s\n", qPrintable(text));
    };
    PadView* view = frame.documents().OpenDocument(document);
    if (view == nullptr) return false;
    if (request.sweep) {
        app.runner().dialogs().graphGeneration = [request](QWidget*,
                                                           const std::vector<std::string>& names,
                                                           SweepChoice& choice) {
            const auto it = std::find(names.begin(), names.end(), CoreName(request.sweepVariable));
            if (it == names.end()) return false;
            choice.variable = static_cast<int>(it - names.begin()) + 1;
            choice.from = request.sweepFrom;
            choice.to = request.sweepTo;
            choice.intervals = request.sweepSteps;
            return true;
        };
    }
    if (!request.graphX.isEmpty()) {
        app.graphOpener = [request](GraphList* owner, const QString& path, QWidget*) {
            return OpenOneCurve(owner, path, request.graphX, request.graphY);
        };
    }
    QObject::connect(&frame.runs(), &RunController::runFinished, &frame, [&frame, request] {
        if (!request.graphX.isEmpty()) {
            const qsizetype before = frame.mdiArea()->subWindowList().size();
            if (QAction* graph =
                    frame.findChild<QAction*>(QStringLiteral("actionGraphFromResults")))
                graph->trigger();
            if (frame.mdiArea()->subWindowList().size() == before) {
                Fail(QStringLiteral("no graph of %1 over %2 in the results")
                         .arg(request.graphY, request.graphX));
                return;
            }
        }
        SaveAndQuit(frame, request.file);
    });
    RunController& runs = frame.runs();
    QTimer::singleShot(kSettleMilliseconds, view, [&runs, view, request] {
        if (request.sweep) {
            runs.RunCommand(view, QStringLiteral("G"));
        } else if (!request.fitList.isEmpty()) {
            view->padDocument()->setAttachmentPath(request.fitList);
            runs.Estimate(view);
        } else {
            runs.Solve(view);
        }
    });
    return true;
}
