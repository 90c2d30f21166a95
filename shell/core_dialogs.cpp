#include "shell/core_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSpinBox>

#include "graphs/fft_dlg.h"
#include "graphs/graph_generation_dlg.h"

CoreDialogFactory CoreDialogFactory::Standard() {
    CoreDialogFactory f;
    f.graphGeneration = [](QWidget* parent, const std::vector<std::string>& names,
                           SweepChoice& choice) {
        CGraphGenerationDlg dialog(names, parent);
        ShowSweepChoice(dialog, choice);
        if (dialog.exec() != QDialog::Accepted) return false;
        choice = dialog.Choice();
        return true;
    };
    f.fft = [](QWidget* parent, const std::vector<std::string>& columns, FftChoice& choice) {
        return CFftDlg::Ask(columns, choice, parent);
    };
    f.fftFile = [](QWidget* parent, std::string& path) {
        const QString chosen = QFileDialog::getOpenFileName(parent, QString(), QString(),
                                                            QStringLiteral("FFT Files (*.FFT)"));
        if (chosen.isEmpty()) return false;
        path = QFile::encodeName(chosen).toStdString();
        return true;
    };
    return f;
}

namespace {

template <typename W>
W* Field(CGraphGenerationDlg& dialog, const char* name) {
    return dialog.findChild<W*>(QLatin1String(name));
}

void ShowNumber(CGraphGenerationDlg& dialog, const char* name, double value) {
    Field<QLineEdit>(dialog, name)->setText(QString::number(value, 'g', 15));
}

}  // namespace

void ShowSweepChoice(CGraphGenerationDlg& dialog, const SweepChoice& choice) {
    // For FFT first: ticking it puts one period of an angle into the range.
    Field<QCheckBox>(dialog, "forFft")->setChecked(choice.writeFft);
    Field<QComboBox>(dialog, "independentVariable")->setCurrentIndex(choice.variable - 1);
    ShowNumber(dialog, "from", choice.from);
    ShowNumber(dialog, "to", choice.to);
    if (choice.writeFft) {
        auto* fftSteps = Field<QComboBox>(dialog, "fftSteps");
        if (const int at = fftSteps->findData(choice.intervals); at >= 0)
            fftSteps->setCurrentIndex(at);
    } else {
        Field<QSpinBox>(dialog, "steps")->setValue(choice.intervals);
    }
    Field<QCheckBox>(dialog, "parametric")->setChecked(choice.secondParameter);
    Field<QComboBox>(dialog, "parameterVariable")->setCurrentIndex(choice.parameter - 1);
    ShowNumber(dialog, "paramFrom", choice.paramFrom);
    ShowNumber(dialog, "paramTo", choice.paramTo);
    Field<QSpinBox>(dialog, "paramSteps")->setValue(choice.paramIntervals);
}
