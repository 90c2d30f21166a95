#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QTableView;

// A result table as the viewer shows it: the names of its header line and its rows of values,
// as text, read by the rules of every reader of the table (core/base/result_table.h).
struct ResultsTable {
    QStringList names;
    std::vector<QStringList> rows;
};

// Empty when the path is empty or the file cannot be read.
ResultsTable ReadResultsTable(const QString& path);

// The table for a view: a fixed first column "  No" with the row numbers, then one column per
// name. A row shorter than the header leaves its last cells empty; values beyond the header
// are shown under columns without a name.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
   public:
    explicit ResultsModel(ResultsTable table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

   private:
    ResultsTable table_;
    int columns_ = 1;
};

// The results viewer: a result file in a read-only table, captioned "Results from: " and the
// path; modal, closed with the window's close button.
class CResultsDlg : public QDialog {
    Q_OBJECT
   public:
    explicit CResultsDlg(const QString& path, QWidget* parent = nullptr);

    QTableView* view() const { return view_; }
    ResultsModel* model() const { return model_; }

   private:
    QTableView* view_;
    ResultsModel* model_;
};
