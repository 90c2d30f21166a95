#include "gui_fixture.h"
#include "shell/editor_profile.h"
#include "shell/screenshot.h"
#include "shell/startup.h"
#include "shell/window_placement.h"

using guitest::Row;

// What the program reads as it starts: its command line, and the profile's values (the
// editor's settings in the forms the profile stores them in, written back only where they
// changed, and the placement of the windows).
class tst_Startup : public guitest::DirTest {
    Q_OBJECT
   private slots:
    void init() { NewDir(); }

    void commandLine_data() {
        using M = GuiArguments::Mode;
        guitest::Columns<QStringList, int, QStringList>("args", "mode", "documents");
        Row("nothing", QStringList{}, int(M::kRun), QStringList{});
        Row("a document", QStringList{"m.alg"}, int(M::kRun), QStringList{"m.alg"});
        Row("help", QStringList{"m.alg", "--help"}, int(M::kHelp), QStringList{"m.alg"});
        Row("version", QStringList{"--version"}, int(M::kVersion), QStringList{});
        Row("unknown option", QStringList{"--fast"}, int(M::kError), QStringList{});
        // A file manager opens every selected document in one window.
        Row("two documents", QStringList{"a.alg", "b.alg"}, int(M::kRun),
            (QStringList{"a.alg", "b.alg"}));
        Row("screenshot without a document", QStringList{"--screenshot", "s.png"}, int(M::kError),
            QStringList{});
        Row("screenshot of two documents", (QStringList{"--screenshot", "s.png", "a.alg", "b.alg"}),
            int(M::kError), (QStringList{"a.alg", "b.alg"}));
        Row("screenshot of a sweep and its graph",
            (QStringList{"--screenshot", "s.png", "--screenshot-sweep", "a=0.1:1.5:14",
                         "--screenshot-graph", "a:r", "m.alg"}),
            int(M::kRun), QStringList{"m.alg"});
        Row("sweep without a screenshot", (QStringList{"--screenshot-sweep", "a=0:1:2", "m.alg"}),
            int(M::kError), QStringList{"m.alg"});
        Row("sweep and fit in one picture",
            (QStringList{"--screenshot", "s.png", "--screenshot-sweep", "a=0:1:2",
                         "--screenshot-fit", "m.LST", "m.alg"}),
            int(M::kError), QStringList{"m.alg"});
        Row("graph without its y column",
            (QStringList{"--screenshot", "s.png", "--screenshot-graph", "a", "m.alg"}),
            int(M::kError), QStringList{});
    }
    void commandLine() {
        QFETCH(QStringList, args);
        const GuiArguments a = ParseGuiArguments(args);
        QTEST(int(a.mode), "mode");
        QTEST(a.documents, "documents");
    }

    // The answer a screenshot gives the Graph Generation dialog, read as the dialog would take
    // it; anything else is refused and leaves the request as it was.
    void screenshotSweep_data() {
        guitest::Columns<QString, bool, QString, double, double, int>("text", "read", "variable",
                                                                      "from", "to", "steps");
        Row("a sweep", "a=0.1:1.5:14", true, "a", 0.1, 1.5, 14);
        Row("negative ends", "x=-2.5:-1e-1:3", true, "x", -2.5, -0.1, 3);
        Row("falling range", "a=1.5:0.1:14", false, "", 0.0, 0.0, 0);
        Row("no steps", "a=0:1:0", false, "", 0.0, 0.0, 0);
        Row("no name", "=0:1:4", false, "", 0.0, 0.0, 0);
        Row("an end that is no number", "a=0:x:4", false, "", 0.0, 0.0, 0);
        Row("two fields", "a=0:1", false, "", 0.0, 0.0, 0);
    }
    void screenshotSweep() {
        QFETCH(QString, text);
        ScreenshotRequest r;
        QTEST(ReadScreenshotSweep(text, r), "read");
        QTEST(r.sweepVariable, "variable");
        QTEST(r.sweepFrom, "from");
        QTEST(r.sweepTo, "to");
        QTEST(r.sweepSteps, "steps");
    }

    // A colour is stored with red in the low byte; values the editor does not allow keep the
    // defaults, and what did not change is not written, not even in another form.
    void editorSettingsAreWrittenOnlyWhenChanged() {
        QSettings stored(path("stored.ini"), QSettings::IniFormat);
        stored.setValue("Font/Height", 0);
        stored.setValue("Settings/EquationColor", 0x123456);
        stored.setValue("Settings/CommentsColor", 0x1000000);
        stored.setValue("Settings/TabStops", 17);
        stored.setValue("Settings/WordWrap", 5);
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
    }

    // A font read from the profile keeps its record when it is written again (mirrored into the
    // printer font here); a font chosen in the program is stored with its height in pixels.
    void fontsKeepTheRecordTheyWereReadFrom() {
        QSettings stored(path("stored.ini"), QSettings::IniFormat);
        const QVariantMap record{{"Height", 20},
                                 {"Weight", 700},
                                 {"PitchAndFamily", 34},
                                 {"CharSet", 0},
                                 {"FaceName", "DejaVu Sans"}};
        for (auto i = record.begin(); i != record.end(); ++i)
            stored.setValue("Font/" + i.key(), *i);
        EditorProfile profile;
        EditorSettings settings = profile.Read(stored);
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
        QCOMPARE(mirrored.childKeys(), QStringList(record.keys()));
        for (auto i = record.begin(); i != record.end(); ++i)
            QCOMPARE(mirrored.value(i.key()).toString(), i->toString());

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

    void windowPos_data() {
        guitest::Columns<QString, bool>("text", "valid");
        Row("ten numbers", "0,1,-1,-1,-1,-1,10,20,810,620", true);
        Row("nine numbers", "0,1,-1,-1,-1,-1,10,20,810", false);
        Row("eleven numbers", "0,1,-1,-1,-1,-1,10,20,810,620,5", false);
        Row("a word", "0,1,-1,-1,-1,-1,10,20,810,wide", false);
        Row("negative flags", "-2,1,-1,-1,-1,-1,10,20,810,620", false);
        Row("empty", "", false);
    }
    void windowPos() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto p = ParseWindowPos(text);
        QCOMPARE(p.has_value(), valid);
        if (valid) {
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
