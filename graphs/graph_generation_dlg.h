#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/base/shell_services.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// "Graph Generation": what the parameter sweep asks before it runs: the swept variable and
// its range, optionally a second (parameter) variable with its own range, or a sweep written
// for an FFT.
class CGraphGenerationDlg : public QDialog {
    Q_OBJECT
   public:
    explicit CGraphGenerationDlg(const std::vector<std::string>& names, QWidget* parent = nullptr);

    // The answer; meaningful after the dialog was accepted.
    SweepChoice Choice() const;

    // Shows the dialog modally; fills `choice` and returns true on OK.
    static bool Ask(const std::vector<std::string>& names, SweepChoice& choice,
                    QWidget* parent = nullptr);

    // Refuses, with a message, From >= To, a step count below 1 and a sweep of more rows than
    // the core takes.
    void accept() override;

   private slots:
    void OnParametric(bool on);
    void OnForFft(bool on);

   private:
    std::vector<std::string> names_;
    QComboBox* variable_;
    QLineEdit* from_;
    QLineEdit* to_;
    QLabel* stepsLabel_;
    QSpinBox* steps_;
    QComboBox* fftSteps_;
    QCheckBox* parametric_;
    QComboBox* parameter_;
    QLineEdit* paramFrom_;
    QLineEdit* paramTo_;
    QSpinBox* paramSteps_;
    QCheckBox* forFft_;
};
