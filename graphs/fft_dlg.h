#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/base/shell_services.h"

class QComboBox;
class QSpinBox;

// "FFT": which columns of a result series hold the time and the signal's real and imaginary
// parts ("(none)" for a real signal), the unit of the spectrum's first column and the range of
// output indexes.
class CFftDlg : public QDialog {
    Q_OBJECT
   public:
    // `initial` is what the core chose before it asked, the columns by its one rule (the FFT
    // series' PreselectFftColumns): the dialog shows that choice, so that the desktop transforms
    // what the command line does unless the user picks otherwise.
    CFftDlg(const std::vector<std::string>& columns, const FftChoice& initial,
            QWidget* parent = nullptr);

    FftChoice Choice() const;

    static bool Ask(const std::vector<std::string>& columns, FftChoice& choice,
                    QWidget* parent = nullptr);

   private:
    QComboBox* time_;
    QComboBox* real_;
    QComboBox* imag_;
    QComboBox* axis_;
    QSpinBox* low_;
    QSpinBox* high_;
};
