#include "gui_fixture.h"
#include "shell/editor_profile.h"
#include "shell/screenshot.h"
#include "shell/startup.h"
#include "shell/window_placement.h"

// What the program reads as it starts: its command line, and the profile's values (the
// editor's settings in the forms the profile stores them in, written back only where they
// changed, and the placement of the windows).
class tst_Startup : public guitest::DirTest {
    Q_OBJECT
   private slots:
    void init() { NewDir(); }

    void commandLine_data() {
        guitest::RowsFrom("command_lines.txt", {"args", "mode", "documents"});
    }
    void commandLine() {
        QFETCH(QString, args);
        QFETCH(QString, documents);
        const GuiArguments a = ParseGuiArguments(args.split(u' ', Qt::SkipEmptyParts));
        const QStringList modes{"run", "help", "version", "error"};
        QTEST(modes.value(int(a.mode)), "mode");
        QCOMPARE(a.documents, documents.split(u' ', Qt::SkipEmptyParts));
    }

    // The answer a screenshot gives the Graph Generation dialog, read as the dialog would take
    // it; anything else is refused and leaves the request as it was.
    void screenshotSweep_data() {
        guitest::RowsFrom("screenshot_sweeps.txt",
                          {"text", "read", "variable", "from", "to", "steps"});
    }
    void screenshotSweep() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        ScreenshotRequest r;
        QCOMPARE(ReadScreenshotSweep(text, r), read == u'1');
        QTEST(r.sweepVariable, "variable");
        QFETCH(QString, from);
        QFETCH(QString, to);
        QCOMPARE(r.sweepFrom, from.toDouble());
        QCOMPARE(r.sweepTo, to.toDouble());
        QTEST(QString::number(r.sweepSteps), "steps");
    }

    // A colour is stored with red in the low byte; values the editor does not allow keep the
    // defaults, and what did not change is not written, not even in another form.
    void editorSettingsInTheProfile() {
        QSettings stored(QStringLiteral(VALDRIX_SHELL_DATA "/profile_out_of_range.ini"),
                         QSettings::IniFormat);
        EditorProfile profile;
        EditorSettings settings = profile.Read(stored);
        QCOMPARE(settings.equationColor, QColor(0x56, 0x34, 0x12));
        QCOMPARE(settings.commentsColor, EditorSettings{}.commentsColor);
        QCOMPARE(settings.tabStops, EditorSettings{}.tabStops);
        QVERIFY(settings.wordWrap);
        QVERIFY(!settings.font.has_value());  // height 0: no font chosen
        QSettings unchanged(path("unchanged.ini"), QSettings::IniFormat);
        profile.Write(unchanged, settings);
        QCOMPARE(unchanged.allKeys(), QStringList{});

        settings.equationColor = QColor(1, 2, 3);
        settings.pageSetup.header = QStringLiteral("&f &p");
        settings.wordWrap = false;
        QSettings changed(path("changed.ini"), QSettings::IniFormat);
        profile.Write(changed, settings);
        QCOMPARE(changed.allKeys(),
                 (QStringList{"PageSetup/Header", "Settings/EquationColor", "Settings/WordWrap"}));
        QCOMPARE(changed.value("Settings/EquationColor").toLongLong(), 0x030201);
        QCOMPARE(changed.value("Settings/WordWrap").toInt(), 0);

        // A font read from the profile keeps its record when it is written again (mirrored into
        // the printer font here); a font chosen in the program is stored with its height in
        // pixels.
        QSettings withFont(QStringLiteral(VALDRIX_SHELL_DATA "/profile_font.ini"),
                           QSettings::IniFormat);
        settings = profile.Read(withFont);
        QVERIFY(settings.font.has_value());
        QCOMPARE(settings.font->family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(settings.font->pixelSize(), 16);  // a cell of 20 holds characters of 16
        QCOMPARE(settings.font->weight(), QFont::Bold);
        QCOMPARE(settings.printerFont(), *settings.font);  // no printer font of its own

        settings.printFont = settings.font;
        QSettings mirrored(path("mirrored.ini"), QSettings::IniFormat);
        profile.Write(mirrored, settings);
        QCOMPARE(mirrored.childGroups(), QStringList{"PrintFont"});
        mirrored.beginGroup("PrintFont");
        withFont.beginGroup("Font");
        QCOMPARE(mirrored.childKeys(), withFont.childKeys());
        for (const QString& key : withFont.childKeys())
            QCOMPARE(mirrored.value(key).toString(), withFont.value(key).toString());

        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPixelSize(18);
        chosen.setItalic(true);
        settings.font = EditorFont(chosen);
        QSettings written(path("written.ini"), QSettings::IniFormat);
        profile.Write(written, settings);
        QCOMPARE(written.value("Font/Height").toInt(), -18);
        QCOMPARE(written.value("Font/Italic").toInt(), 1);
        QCOMPARE(written.value("Font/Weight").toInt(), int(QFont::Normal));
        QCOMPARE(written.value("Font/FaceName").toString(), QStringLiteral("DejaVu Sans Mono"));
    }

    void windowPos_data() { guitest::RowsFrom("window_positions.txt", {"text", "valid"}); }
    void windowPos() {
        QFETCH(QString, text);
        QFETCH(QString, valid);
        const auto p = ParseWindowPos(text);
        QCOMPARE(p.has_value(), valid == u'1');
        if (p) {
            QCOMPARE(FormatWindowPos(*p), text);
            QCOMPARE(p->normalRect(), QRect(10, 20, 800, 600));
        }
    }

    // Document windows are shown normal or maximised; anything else stored leaves the default.
    void childShowStates() {
        QCOMPARE(ChildShowState(1), std::optional(ShowState::kNormal));
        QCOMPARE(ChildShowState(3), std::optional(ShowState::kMaximized));
        for (int stored : {0, 2, 4, -1}) QVERIFY(!ChildShowState(stored).has_value());
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
