#include "shell/startup.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <cstdio>

#include "shell/document_manager.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
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
        "usage: valdrix-gui [--no-splash] [DOC.alg ...]   open the documents (or a new one)\n"
        "       valdrix-gui --screenshot FILE.png [--screenshot-sweep VAR=FROM:TO:STEPS]\n"
        "                   [--screenshot-fit LIST.LST] [--screenshot-graph X:Y] DOC.alg\n"
        "                 solve DOC (or sweep it, or fit it to LIST), draw Y over X from its\n"
        "                 results if asked, save a picture of the window to FILE.png and quit\n"
        "       valdrix-gui --help | --version\n");
}

namespace {

GuiArguments Refused(GuiArguments a, const QString& error) {
    a.mode = GuiArguments::Mode::kError;
    a.error = error;
    return a;
}

}  // namespace

GuiArguments ParseGuiArguments(const QStringList& args) {
    GuiArguments a;
    ScreenshotRequest& shot = a.screenshot;
    bool screenshotDetail = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
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
        } else if (arg == QLatin1String("--screenshot") && hasValue) {
            shot.file = args[++i];
            a.splash = false;
        } else if (arg == QLatin1String("--screenshot-sweep") && hasValue) {
            if (!ReadScreenshotSweep(args[++i], shot))
                return Refused(a, QStringLiteral("--screenshot-sweep wants VAR=FROM:TO:STEPS "
                                                 "with FROM < TO and STEPS > 0"));
            screenshotDetail = true;
        } else if (arg == QLatin1String("--screenshot-fit") && hasValue) {
            shot.fitList = args[++i];
            screenshotDetail = true;
        } else if (arg == QLatin1String("--screenshot-graph") && hasValue) {
            if (!ReadScreenshotGraph(args[++i], shot))
                return Refused(a, QStringLiteral("--screenshot-graph wants X:Y"));
            screenshotDetail = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return Refused(a, QStringLiteral("unknown option '%1'").arg(arg));
        } else {
            a.documents.append(arg);
        }
    }
    if (screenshotDetail && shot.file.isEmpty())
        return Refused(a, QStringLiteral("the --screenshot-... options need --screenshot"));
    if (shot.sweep && !shot.fitList.isEmpty())
        return Refused(a, QStringLiteral("a screenshot shows a sweep or a fit, not both"));
    if (!shot.file.isEmpty() && a.documents.size() != 1)
        return Refused(a, QStringLiteral("--screenshot needs one document"));
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

    if (!parsed.screenshot.file.isEmpty()) {
        if (!StartScreenshot(frame, app, parsed.documents.first(), parsed.screenshot)) return 1;
    } else if (parsed.documents.isEmpty()) {
        frame.documents().NewDocument();
    } else {
        // A document that cannot be opened is reported and the others open; with none of them
        // open there is nothing to work on.
        bool opened = false;
        for (const QString& document : parsed.documents) {
            if (frame.documents().OpenDocument(document) != nullptr) opened = true;
        }
        if (!opened) return 1;
    }
    return qapp.exec();
}
