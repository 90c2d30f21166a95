#include <QMenu>
#include <QToolButton>

#include "gui_fixture.h"
#include "shell/colour_picker.h"
#include "shell/number_edit.h"

// The controls of the Options sheet: number fields and the colour picker.
class tst_OptionControls : public QObject {
    Q_OBJECT
   private slots:
    void cleanup() { QCOMPARE(guitest::VisibleTopLevels(), QStringList()); }

    void numberFields_data() {
        guitest::RowsFrom("number_fields.txt", {"number", "decimals", "shown"});
    }
    void numberFields() {
        QFETCH(QString, number);
        QFETCH(QString, decimals);
        const double value = number.toDouble();
        NumberEdit edit(decimals.toInt());
        edit.setValue(value);
        QTEST(edit.text(), "shown");
        QCOMPARE(edit.value(), std::optional<double>(value));
        for (const char* junk : {"", " ", "-", "1e", "abc"})
            QVERIFY2(!NumberEdit::Parse(QLatin1String(junk)), junk);
    }

    void colourPicker() {
        const auto colours = NamedColours();
        QCOMPARE(int(colours.size()), 40);
        // The ends of the table and the names whose spelling is easily lost.
        for (const auto& [index, name, rgb] : {std::tuple{0, "Black", qRgb(0, 0, 0)},
                                               std::tuple{23, "Grey - 50", qRgb(127, 127, 127)},
                                               std::tuple{35, "Pale green ", qRgb(152, 251, 152)},
                                               std::tuple{39, "White", qRgb(255, 255, 255)}}) {
            QCOMPARE(QLatin1String(colours[index].name), QLatin1String(name));
            QCOMPARE(QColor(colours[index].rgb), QColor(rgb));
        }
        QSet<QRgb> distinct;
        for (const NamedColour& c : colours) distinct.insert(c.rgb);
        QCOMPARE(distinct.size(), 40);

        // Every swatch of the drop-down chooses its colour and says so.
        CColourPicker picker(QStringLiteral("Equation"), QColor(255, 0, 0));
        QSignalSpy changed(&picker, &CColourPicker::colourChanged);
        for (int i = 0; i < 40; ++i) {
            auto* swatch =
                picker.dropDown()->findChild<QToolButton*>(QStringLiteral("colour%1").arg(i));
            QVERIFY(swatch != nullptr);
            QCOMPARE(swatch->toolTip(), QLatin1String(colours[i].name));
            swatch->click();
            QCOMPARE(picker.colour(), QColor(colours[i].rgb));
        }
        QCOMPARE(changed.size(), 40);
        QCOMPARE(picker.toolTip(), QStringLiteral("White"));

        // Automatic goes back to the setting's default; More Colours offers the current colour.
        const QColor grey(128, 128, 128);
        CColourPicker comments(QStringLiteral("Comments"), grey);
        QCOMPARE(comments.text(), QStringLiteral("Comments"));
        const QList<QAction*> entries = comments.dropDown()->actions();
        QCOMPARE(entries.first()->text(), QStringLiteral("Automatic"));
        QCOMPARE(entries.last()->text(), QStringLiteral("More Colours..."));

        comments.setColour(QColor(0x12, 0x34, 0x56));
        entries.first()->trigger();
        QCOMPARE(comments.colour(), grey);  // the setting's default

        QColor offered;
        comments.moreColoursHook = [&offered](const QColor& current) {
            offered = current;
            return QColor(1, 2, 3);
        };
        entries.last()->trigger();
        QCOMPARE(offered, grey);
        QCOMPARE(comments.colour(), QColor(1, 2, 3));
        QCOMPARE(comments.toolTip(), QStringLiteral("#010203"));

        // Cancelling the colour dialog keeps the colour.
        comments.moreColoursHook = [](const QColor&) { return QColor(); };
        entries.last()->trigger();
        QCOMPARE(comments.colour(), QColor(1, 2, 3));
    }
};

QTEST_MAIN(tst_OptionControls)
#include "tst_optioncontrols.moc"
