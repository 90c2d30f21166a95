#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include "core/base/limits.h"
#include "core/base/modes.h"
#include "shell/core_bridge.h"
#include "shell/editor_settings.h"

class CColourPicker;
class NumberEdit;
class QCheckBox;
class QComboBox;
class QTabWidget;

// "Method": the solver options of one document.
class CMethodPrPage : public QWidget {
    Q_OBJECT
   public:
    explicit CMethodPrPage(QWidget* parent = nullptr);

    void Load(const DocumentSettings& settings);
    // Reads every control back into `settings`. A field that holds no number, or a value the
    // option cannot take, leaves `settings` unchanged and returns false with the reason.
    bool Store(DocumentSettings& settings, QString* error = nullptr) const;

   private:
    QComboBox* method_;
    QComboBox* jacobian_;
    NumberEdit* tolerance_;
    NumberEdit* deltaJ_;
    NumberEdit* maxIterations_;
    NumberEdit* repetitions_;
    NumberEdit* minGuess_;
    NumberEdit* maxGuess_;
    QComboBox* differential_;
    NumberEdit* deltaT_;
    QCheckBox* solveInGroups_;
    QCheckBox* autoHomotopy_;
    QCheckBox* autoSimplify_;
};

// What the General page edits: three display flags of the program, the editor's colours, the
// capacity of every run (the largest number of equations and variables) and how every run
// minimizes.
struct GeneralOptions {
    int capacity = Limits::kDefaultCapacity;
    OptimizationRoute optimizationRoute = OptimizationRoute::kDirect;
    bool showIterations = false;
    bool showDerivatives = false;
    bool showResults = true;
    QColor equationColor;
    QColor commentsColor;
    QColor backgroundColor;
};

// "General": the display flags and the editor's colours.
class CGeneralPrPage : public QWidget {
    Q_OBJECT
   public:
    explicit CGeneralPrPage(QWidget* parent = nullptr);

    void Load(const GeneralOptions& options);
    // False, with the reason in `error`, while the capacity field holds no allowed value.
    bool Store(GeneralOptions& options, QString* error = nullptr) const;

    CColourPicker* equationPicker() const { return equation_; }
    CColourPicker* commentsPicker() const { return comments_; }
    CColourPicker* backgroundPicker() const { return background_; }

   private:
    QCheckBox* showIterations_;
    QCheckBox* showDerivatives_;
    QCheckBox* showResults_;
    NumberEdit* capacity_;
    QComboBox* optimizationRoute_;
    CColourPicker* equation_;
    CColourPicker* comments_;
    CColourPicker* background_;
};

// The Options sheet of a document, captioned with its title. OK is refused, with the reason,
// while a field holds a value its option cannot take.
class CValdrixProperty : public QDialog {
    Q_OBJECT
   public:
    explicit CValdrixProperty(const QString& title, QWidget* parent = nullptr);

    CMethodPrPage* methodPage() const { return method_; }
    CGeneralPrPage* generalPage() const { return general_; }
    QTabWidget* tabs() const { return tabs_; }
    // The reason the last OK was refused.
    const QString& refusal() const { return refusal_; }

    void accept() override;

   private:
    QTabWidget* tabs_;
    CMethodPrPage* method_;
    CGeneralPrPage* general_;
    QString refusal_;
};
