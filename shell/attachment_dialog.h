#pragma once

#include <QDialog>
#include <QString>

#include "shell/attachment_file.h"

class EquationApp;
class GridWidget;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The attachment editor: the .LST table in a grid, with buttons for rows and columns and a
// name box for column titles. Closes with OK once the table is saved, or with Cancel.
class AttachmentDialog : public QDialog {
    Q_OBJECT
   public:
    static constexpr int kNameLength = 9;

    AttachmentDialog(EquationApp& app, const QString& path, const QString& filter,
                     QWidget* parent = nullptr);

    // The path the table was saved to, and its number of value rows.
    QString savedPath() const { return path_; }
    int rowCount() const { return rowCount_; }

    GridWidget* grid() const { return grid_; }
    AttachmentTable table() const;

    void AddRow();
    void InsertRow();
    void DeleteRow();
    void AddColumn();
    void InsertColumn();
    void DeleteColumn();
    void GetVarName();
    void RefreshVar();
    void Save();

    QLineEdit* nameBox() const { return name_; }
    QCheckBox* approxBox() const { return approx_; }

   private:
    void Load(const QString& path);
    void Renumber();
    int NextNumber() const;

    EquationApp& app_;
    QString path_;
    QString filter_;
    int rowCount_ = 0;
    GridWidget* grid_;
    QLineEdit* name_;
    QCheckBox* approx_;
};
