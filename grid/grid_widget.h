#pragma once

#include <QColor>
#include <QStringList>
#include <QTableWidget>

// An editable grid with one fixed header row (the column titles) and one fixed first column
// (row labels such as row numbers). Data columns are numbered from 0 and do not include the
// first column; cells carry text, an integer and a background colour, and may be read-only.
class GridWidget : public QTableWidget {
    Q_OBJECT
   public:
    explicit GridWidget(QWidget* parent = nullptr);

    void setFixedColumnTitle(const QString& title);
    void setFixedColumnWidth(int width);

    int dataColumnCount() const { return columnCount() - 1; }
    int dataRowCount() const { return rowCount(); }

    QString columnTitle(int column) const;
    void setColumnTitle(int column, const QString& title);
    QStringList columnTitles() const;

    QString rowLabel(int row) const;
    void setRowLabel(int row, const QString& label);

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    int cellData(int row, int column) const;
    void setCellData(int row, int column, int value);
    void setCellBackground(int row, int column, const QColor& colour);
    void setCellReadOnly(int row, int column, bool readOnly);
    bool isCellReadOnly(int row, int column) const;
    // The background of every cell, also of cells added later.
    void setGridBackground(const QColor& colour);

    // Rows and data columns; inserted ones come before the given index.
    int appendRow(const QString& label = QString());
    void insertRowAt(int row, const QString& label = QString());
    void deleteRow(int row);
    int appendColumn(const QString& title);
    void insertColumnAt(int column, const QString& title);
    void deleteColumn(int column);
    void clearGrid();

    // The focused cell, as a row and a data column (-1 when there is none or it is the
    // first column).
    int focusedRow() const { return currentRow(); }
    int focusedColumn() const { return currentColumn() - 1; }
    void focusCell(int row, int column);

    // Text of each data cell of one row.
    QStringList rowTexts(int row) const;
    void setReadOnly(bool readOnly);
    void autoSize();

   private:
    QTableWidgetItem* ensureItem(int row, int column);
    void prepareRow(int row);
    QColor background_ = QColor(Qt::white);
    bool readOnly_ = false;
};
