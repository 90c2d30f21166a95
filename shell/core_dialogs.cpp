#include "shell/core_dialogs.h"

#include <QFile>
#include <QFileDialog>

#include "graphs/fft_dlg.h"
#include "graphs/graph_generation_dlg.h"

CoreDialogFactory CoreDialogFactory::Standard() {
    CoreDialogFactory f;
    f.graphGeneration = [](QWidget* parent, const std::vector<std::string>& names,
                           SweepChoice& choice) {
        return CGraphGenerationDlg::Ask(names, choice, parent);
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
