#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <QTreeWidgetItem>

#include "gui_fixture.h"
#include "shell/colour_picker.h"
#include "shell/number_edit.h"
#include "shell/option_pages.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/settings_keys.h"

// The Options sheet: what it shows, what OK stores and refuses, and the options reaching the
// editors and the core on the next run.
class tst_OptionPages : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() { StartFrame(); }
    void cleanup() { StopFrame(); }

    // A new document's sheet shows the core's defaults (the tolerance without its sign) and the
    // program's flags and colours; Cancel changes nothing.
    void newDocumentShowsTheDefaults() {
        PadView* view = docs().NewDocument();
        const DocumentSettings defaults;
        const EditorSettings editor;
        bool shown = false;
        options([&](QDialog& d) {
            shown = true;
            QCOMPARE(d.windowTitle(), view->padDocument()->title());
            auto* tabs = d.findChild<QTabWidget*>();
            QVERIFY(tabs != nullptr);
            QCOMPARE(tabs->tabText(0), QStringLiteral("Method"));
            QCOMPARE(tabs->tabText(1), QStringLiteral("General"));
            auto* method = child<QComboBox>(d, "solvingMethod");
            QCOMPARE(method->count(), 4);
            QCOMPARE(method->itemText(0), QStringLiteral("Newton"));
            QCOMPARE(method->itemText(1), QStringLiteral("Robust Newton"));
            QCOMPARE(method->itemText(2), QStringLiteral("Dishonest Newton"));
            auto* jacobian = child<QComboBox>(d, "jacobianMethod");
            QCOMPARE(jacobian->itemText(0), QStringLiteral("Exact Jacobian"));
            QCOMPARE(jacobian->itemText(1), QStringLiteral("Incremental Jacobian"));
            auto* differential = child<QComboBox>(d, "differentialMethod");
            QCOMPARE(differential->currentIndex(), int(defaults.differentialMethod));
            QCOMPARE(differential->itemText(0), QStringLiteral("Trapezoidal"));
            QCOMPARE(differential->itemText(2), QStringLiteral("Backward Euler"));
            using enum SolverOption;
            const std::pair<const char*, SolverOption> fields[] = {
                {"solvingMethod", kMethod},
                {"jacobianMethod", kJacobianMode},
                {"tolerance", kToleranceExponent},
                {"deltaJ", kDeltaJ},
                {"maxIterations", kMaxIterations},
                {"repetitions", kStepCount},
                {"minGuess", kMinGuess},
                {"maxGuess", kMaxGuess},
                {"deltaT", kDeltaT},
                {"solveInGroups", kSolveInGroups},
                {"autoSimplify", kAutoSimplify},
                {"autoHomotopy", kAutoHomotopy}};
            for (const auto& [name, option] : fields) {
                const double expected = std::abs(OptionValue(defaults, option));
                if (auto* edit = d.findChild<NumberEdit*>(QLatin1String(name)))
                    QCOMPARE(edit->value(), std::optional<double>(expected));
                else if (auto* box = d.findChild<QCheckBox*>(QLatin1String(name)))
                    QVERIFY2(box->isChecked() == (expected != 0), name);
                else
                    QCOMPARE(child<QComboBox>(d, name)->currentIndex(), int(expected));
            }
            for (const auto& [name, flag] :
                 {std::pair{"showIterations", false}, std::pair{"showDerivatives", false},
                  std::pair{"showResults", true}})
                QVERIFY2(child<QCheckBox>(d, name)->isChecked() == flag, name);
            QCOMPARE(child<CColourPicker>(d, "equationColour")->colour(), editor.equationColor);
            QCOMPARE(child<CColourPicker>(d, "commentsColour")->colour(), editor.commentsColor);
            QCOMPARE(child<CColourPicker>(d, "backgroundColour")->colour(), editor.backgroundColor);
            child<NumberEdit>(d, "repetitions")->setText(QStringLiteral("7"));
            child<QCheckBox>(d, "showResults")->setChecked(false);
            child<CColourPicker>(d, "equationColour")->chooseNamed(13);
            d.reject();
        });
        QVERIFY(shown);
        QCOMPARE(view->padDocument()->settings.stepCount, 50);
        QVERIFY(app_->showResultsInOutputView);
        QCOMPARE(app_->editor.equationColor, QColor(255, 0, 0));
        QVERIFY(!view->padDocument()->isModified());
    }

    void okStoresWhatWasTyped_data() {
        guitest::RowsFrom("stored_options.txt", {"field", "typed", "summaryLine", "reshown"});
    }
    void okStoresWhatWasTyped() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, summaryLine);
        PadView* view = openDocument("opt.alg", "x = 1;\n");
        options([&](QDialog& d) {
            d.findChild<NumberEdit*>(field)->setText(typed);
            child<QComboBox>(d, "differentialMethod")->setCurrentIndex(1);  // Gear
            child<QComboBox>(d, "solvingMethod")->setCurrentIndex(3);
            child<QCheckBox>(d, "autoHomotopy")->setChecked(true);
            d.accept();
        });
        QVERIFY(messages_.isEmpty());
        PadDocument* doc = view->padDocument();
        QVERIFY(doc->isModified());
        QCOMPARE(doc->settings.differentialMethod, 1u);
        QCOMPARE(DifferentialCommand(doc->settings.differentialMethod), QStringLiteral("DDIB"));
        QVERIFY(doc->settings.autoHomotopy);

        // Saving writes the options and shows them in the document's node.
        QVERIFY(docs().Save(view));
        QStringList lines;
        for (int i = 0; i < doc->node->childCount(); ++i) lines << doc->node->child(i)->text(0);
        QVERIFY2(lines.contains(summaryLine), qPrintable(lines.join(u'|')));
        QVERIFY(lines.contains(QStringLiteral("Method = Homotopy")));
        QVERIFY(lines.contains(QStringLiteral("Auto Homotopy = TRUE")));

        options([&](QDialog& d) {
            QTEST(d.findChild<NumberEdit*>(field)->text(), "reshown");
            QCOMPARE(child<QComboBox>(d, "differentialMethod")->currentText(),
                     QStringLiteral("Gear"));
            d.reject();
        });
    }

    void refusedFieldKeepsTheSheetOpen_data() {
        guitest::RowsFrom("refused_options.txt", {"field", "typed", "reason", "page"});
    }
    void refusedFieldKeepsTheSheetOpen() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        QFETCH(QString, page);
        const int tab = page.toInt();
        PadView* view = openDocument("bad.alg", "x = 1;\n");
        const DocumentSettings before = view->padDocument()->settings;
        const int capacity = app_->capacity;
        int result = -1;
        options([&](QDialog& d) {
            child<QComboBox>(d, "solvingMethod")->setCurrentIndex(1);
            d.findChild<NumberEdit*>(field)->setText(typed);
            d.findChild<QTabWidget*>()->setCurrentIndex(1 - tab);
            d.accept();
            result = d.result();
            // The page holding the field is shown again, with the reason.
            QCOMPARE(d.findChild<QTabWidget*>()->currentIndex(), tab);
            d.reject();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(reason), qPrintable(messages_[0]));
        QCOMPARE(view->padDocument()->settings.method, before.method);
        QCOMPARE(app_->capacity, capacity);
        QVERIFY(!view->padDocument()->isModified());
    }

    void generalPageReachesTheEditorsAndTheFlags() {
        PadView* first = openDocument("a.alg", "x = 1; {c}\n");
        PadView* second = openDocument("b.alg", "{c} y = 2;\n");
        options([&](QDialog& d) {
            child<QCheckBox>(d, "showIterations")->setChecked(true);
            child<QCheckBox>(d, "showDerivatives")->setChecked(true);
            child<QCheckBox>(d, "showResults")->setChecked(false);
            child<CColourPicker>(d, "equationColour")->chooseNamed(13);    // Blue
            child<CColourPicker>(d, "backgroundColour")->chooseNamed(34);  // Light yellow
            d.accept();
        });
        QVERIFY(app_->showResultsForEachIteration);
        QVERIFY(app_->showDerivativeInformation);
        QVERIFY(!app_->showResultsInOutputView);
        QCOMPARE(app_->editor.equationColor, QColor(0, 0, 255));
        QCOMPARE(app_->editor.commentsColor, QColor(128, 128, 128));
        for (PadView* view : {first, second}) {
            QCOMPARE(view->equationColour(), QColor(0, 0, 255));
            QCOMPARE(view->palette().color(QPalette::Base), QColor(255, 255, 224));
        }
        // Only the document the sheet was opened for was changed.
        QVERIFY(second->padDocument()->isModified());
        QVERIFY(!first->padDocument()->isModified());
    }

    void optionsReachTheCoreOnTheNextRun() {
        // Newton from a start in [0.1, 1] needs several steps to find the root of x^3 = 5.
        PadView* view = openDocument("cube.alg", "zork^3 = 5;\n");
        solve(view);
        QVERIFY(waitForRun());
        QCOMPARE(view->padDocument()->settings.lastResult, 1u);
        // The results table is echoed to the Output window: its header names the variable.
        QVERIFY(frame_->output()->toPlainText().contains(QStringLiteral("zork")));

        options([&](QDialog& d) {
            child<NumberEdit>(d, "maxIterations")->setText(QStringLiteral("1"));
            child<QCheckBox>(d, "showResults")->setChecked(false);
            d.accept();
        });
        solve(view);  // saves the changed options first
        QVERIFY(waitForRun());
        QCOMPARE(view->padDocument()->settings.lastResult, 0u);
        QCOMPARE(view->padDocument()->node->child(0)->text(0),
                 QStringLiteral("Results: NOT FOUND"));
        QVERIFY(!view->padDocument()->node->isExpanded());

        // Enough steps again, but the results stay out of the Output window.
        options([&](QDialog& d) {
            child<NumberEdit>(d, "maxIterations")->setText(QStringLiteral("20"));
            d.accept();
        });
        solve(view);
        QVERIFY(waitForRun());
        QCOMPARE(view->padDocument()->settings.lastResult, 1u);
        QVERIFY(!frame_->output()->toPlainText().contains(QStringLiteral("zork")));
    }

    // The capacity and the optimization route are the program's, not the document's: the
    // General page sets them, the profile keeps them and they size every run. A document past
    // the default of 25 equations solves once the capacity is raised; on a maximum the direct
    // route never stops, the rewritten gradient equations reach it and the run says what it is.
    void programOptionsReachEveryRunAndTheProfile() {
        QByteArray text;
        for (int i = 1; i <= 30; ++i)
            text += "x" + QByteArray::number(i) + " = " + QByteArray::number(i) + ";\n";
        PadView* thirty = openDocument("thirty.alg", text);
        solve(thirty);
        QVERIFY(waitForRun());
        QCOMPARE(thirty->padDocument()->settings.lastResult, 0u);
        QVERIFY(frame_->output()->toPlainText().contains(QStringLiteral("Too Many")));
        PadView* peak = openDocument("peak.alg", "{Options: 20 -8}\n-(x-1)^2 - (y-2)^2;\n");
        action("actionUnconstrained")->trigger();
        QVERIFY(waitForRun());
        QVERIFY(!frame_->output()->toPlainText().contains(QStringLiteral("maximum")));

        options([&](QDialog& d) {
            QCOMPARE(child<NumberEdit>(d, "capacity")->value(), std::optional<double>(25));
            child<NumberEdit>(d, "capacity")->setText(QStringLiteral("40"));
            auto* route = child<QComboBox>(d, "optimizationRoute");
            QCOMPARE(route->currentIndex(), 0);
            QCOMPARE(route->currentText(), QStringLiteral("Direct minimization"));
            route->setCurrentIndex(1);
            d.accept();
        });
        QCOMPARE(app_->capacity, 40);
        QCOMPARE(EquationApp::Profile()->value(keys::kCapacity).toInt(), 40);
        QCOMPARE(app_->optimizationRoute, OptimizationRoute::kRewrite);
        QCOMPARE(EquationApp::Profile()->value(keys::kOptimizationRoute).toInt(), 1);
        action("actionUnconstrained")->trigger();
        QVERIFY(waitForRun());
        QVERIFY2(frame_->output()->toPlainText().contains(
                     QStringLiteral("Stationary point is a maximum")),
                 qPrintable(frame_->output()->toPlainText()));
        QCOMPARE(peak->padDocument()->settings.lastResult, 0u);
        solve(thirty);
        QVERIFY(waitForRun());
        QCOMPARE(thirty->padDocument()->settings.lastResult, 1u);

        // A later session reads them back; values edited by hand outside the range are not taken.
        EquationApp::Profile()->setValue(keys::kCapacity, 30);
        EquationApp::Profile()->setValue(keys::kOptimizationRoute, 0);
        app_->ReadSettings();
        QCOMPARE(app_->capacity, 30);
        QCOMPARE(app_->optimizationRoute, OptimizationRoute::kDirect);
        EquationApp::Profile()->setValue(keys::kCapacity, 99999);
        EquationApp::Profile()->setValue(keys::kOptimizationRoute, 7);
        app_->ReadSettings();
        QCOMPARE(app_->capacity, 30);
        QCOMPARE(app_->optimizationRoute, OptimizationRoute::kDirect);
        EquationApp::Profile()->remove(keys::kCapacity);
        EquationApp::Profile()->remove(keys::kOptimizationRoute);
    }

   private:
    template <typename T>
    static T* child(QDialog& d, const char* name) {
        T* w = d.findChild<T*>(QLatin1String(name));
        if (w == nullptr) qFatal("no control %s", name);
        return w;
    }
    // Opens the sheet on the active document; `answer` sets the controls and closes it.
    void options(const std::function<void(QDialog&)>& answer) {
        answer_ = answer;
        QAction* command = action("actionOptions");
        QVERIFY(command->isEnabled());
        command->trigger();
        answer_ = nullptr;
    }
};

QTEST_MAIN(tst_OptionPages)
#include "tst_optionpages.moc"
