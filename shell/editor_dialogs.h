#pragma once

#include <QDialog>

#include "shell/editor_settings.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

// "Page Setup": the header and footer of printed pages and the time each one shows.
class CPageSetupDlg : public QDialog {
    Q_OBJECT
   public:
    explicit CPageSetupDlg(const PageSetup& setup, QWidget* parent = nullptr);
    PageSetup value() const;

   private:
    QLineEdit* header_;
    QLineEdit* footer_;
    QRadioButton* headerSystemTime_;
    QRadioButton* footerSystemTime_;
};

// "Set Tab Stops": the tab width, 1 to 16 quarters of the average character width.
class CSetTabStops : public QDialog {
    Q_OBJECT
   public:
    explicit CSetTabStops(int tabStops, QWidget* parent = nullptr);
    int value() const;

   private:
    QSpinBox* tabStops_;
};

// "Move Cursor": the character position the caret jumps to, from 0.
class CMoveCursorDlg : public QDialog {
    Q_OBJECT
   public:
    CMoveCursorDlg(int position, int last, QWidget* parent = nullptr);
    int value() const;

   private:
    QSpinBox* position_;
};
