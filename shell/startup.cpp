#include "shell/startup.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <cstdio>

#include "shell/charset.h"
#include "shell/core_bridge.h"
#include "shell/document_manager.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_view.h"
#include "shell/run_controller.h"
#include "shell/settings_keys.h"

#ifndef VALDRIX_VERSION
#define VALDRIX_VERSION "2.0"
#endif

namespace {

constexpr int kSplashMilliseconds = 800;

QPixmap SplashPicture() {
    QPixmap pixmap(360, 160);
    pixmap.fill(QColor(255, 255, 224));
    QPainter p(&pixmap);
    p.setPen(QColor(20, 20, 120));
    p.drawRect(0, 0, 359, 159);
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 20, 360, 60), Qt::AlignCenter, QStringLiteral("Valdrix"));
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(14);
    p.setFont(line);
    p.drawText(QRect(0, 90, 360, 50), Qt::AlignCenter,
               QStringLiteral("Equations solved: \u03B1, \u03C0, \u2248 ...\nVersion %1")
                   .arg(QLatin1String(VALDRIX_VERSION)));
    return pixmap;
}

}  // namespace

QString GuiUsageText() {
    return QStringLiteral(
        "usage: valdrix-gui [--no-splash] [DOC.alg]   open DOC (or a new document) in the window\n"
        "       valdrix-gui --screenshot FILE.png DOC.alg\n"
        "                 solve DOC, save a picture of the window to FILE.png and quit\n"
        "       valdrix-gui --help | --version\n");
}

GuiArguments ParseGuiArguments(const QStringList& args) {
    GuiArguments a;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            a.mode = GuiArguments::Mode::kHelp;
            return a;
        }
        if (arg == QLatin1String("--version")) {
            a.mode = GuiArguments::Mode::kVersion;
            return a;
        }
        if (arg == QLatin1String("--no-splash")) {
            a.splash = false;
        } else if (arg == QLatin1String("--screenshot") && i + 1 < args.size()) {
            a.screenshot = args[++i];
            a.splash = false;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            a.mode = GuiArguments::Mode::kError;
            a.error = QStringLiteral("unknown option '%1'").arg(arg);
            return a;
        } else if (a.document.isEmpty()) {
            a.document = arg;
        } else {
            a.mode = GuiArguments::Mode::kError;
            a.error = QStringLiteral("only one document may be given");
            return a;
        }
    }
    if (!a.screenshot.isEmpty() && a.document.isEmpty()) {
        a.mode = GuiArguments::Mode::kError;
        a.error = QStringLiteral("--screenshot needs a document");
    }
    return a;
}

int RunGuiApplication(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
    const GuiArguments parsed = ParseGuiArguments(args);
    switch (parsed.mode) {
        case GuiArguments::Mode::kHelp: std::fputs(qPrintable(GuiUsageText()), stdout); return 0;
        case GuiArguments::Mode::kVersion:
            std::printf("valdrix-gui %s\n", VALDRIX_VERSION);
            return 0;
        case GuiArguments::Mode::kError:
            std::fprintf(stderr, "valdrix-gui: %s\n%s", qPrintable(parsed.error),
                         qPrintable(GuiUsageText()));
            return 2;
        case GuiArguments::Mode::kRun: break;
    }

    QApplication qapp(argc, argv);
    Q_INIT_RESOURCE(valdrix);
    QCoreApplication::setOrganizationName(keys::kOrganisation);
    QCoreApplication::setApplicationName(keys::kApplication);
    QCoreApplication::setApplicationVersion(QLatin1String(VALDRIX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("valdrix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/valdrix/valdrix.svg")));

    EquationApp app;
    MainFrame frame(app);
    frame.ReadSettings();
    frame.ShowWithPlacement();
    std::unique_ptr<QSplashScreen> splash;
    if (parsed.splash && !frame.isMinimized()) {
        splash = std::make_unique<QSplashScreen>(SplashPicture());
        splash->show();
        QTimer::singleShot(kSplashMilliseconds, splash.get(), &QWidget::close);
    }

    DocumentManager& documents = frame.documents();
    PadView* view = nullptr;
    if (!parsed.document.isEmpty()) {
        view = documents.OpenDocument(parsed.document);
        if (view == nullptr) return 1;
    } else {
        documents.NewDocument();
    }
    if (!parsed.screenshot.isEmpty()) {
        frame.resize(1280, 800);
        RunController& runs = frame.runs();
        QObject::connect(&runs, &RunController::runFinished, &frame, [&frame, &parsed] {
            QTimer::singleShot(300, &frame, [&frame, &parsed] {
                const bool saved = frame.grab().save(parsed.screenshot);
                std::fprintf(stderr,
                             saved ? "valdrix-gui: saved %s\n" : "valdrix-gui: cannot save %s\n",
                             qPrintable(parsed.screenshot));
                QCoreApplication::exit(saved ? 0 : 1);
            });
        });
        QTimer::singleShot(300, view, [&runs, view] { runs.Solve(view); });
    }
    corebridge::SetOutput([&frame](const char* text) {
        QMetaObject::invokeMethod(&frame, [&frame, t = QByteArray(text)] {
            frame.output()->AppendOutput(charset::ToUnicode(t));
        });
    });
    return qapp.exec();
}
