#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "graphs/graph_types.h"

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QPushButton;
class QTableWidget;

// "Graph: <path>": the user lists the curves of a graph, one grid row each, by picking the x
// and y columns from the result file's header, with titles and a colour, and chooses the
// layout and the type of the graph.
class CGraphSetDlg : public QDialog {
    Q_OBJECT
   public:
    enum Column { kNo, kXAxis, kYAxis, kXTitle, kYTitle, kTitle, kColor, kColumnCount };

    explicit CGraphSetDlg(const QString& resultPath, QWidget* parent = nullptr);

    // Curves of the rows whose X-axis and Y-axis are both filled in, in row order.
    std::vector<graphs::GraphCurve> Curves() const;
    graphs::GraphLayout Layout() const;

    QListWidget* Variables() const { return variables_; }
    QTableWidget* Grid() const { return grid_; }
    QCheckBox* OneGraph() const { return oneGraph_; }
    graphs::GraphColour CurrentColour() const { return colour_; }
    void SetCurrentColour(graphs::GraphColour colour) { colour_ = colour; }
    QString CurrentX() const;  // the current x variable

   public slots:
    void NewRow();
    void InsertRow();
    void DeleteRow();
    void UseAsX();
    void UseAsY();
    void PickColour();
    void RefreshColour();  // gives the focused row the current colour

   private slots:
    void OnOneGraph(bool on);
    void UpdateButtons();

   private:
    void FillRow(int row, bool withXAxis, bool withXTitle);
    void SetFixedCell(int row, int column, const QString& text, int position = -1);
    void SetEditableCell(int row, int column, const QString& text);
    void SetRowColour(int row, graphs::GraphColour colour);
    void Renumber();
    QString Cell(int row, int column) const;

    std::vector<std::string> names_;  // the header's names as single-byte text
    QListWidget* variables_;
    QTableWidget* grid_;
    QCheckBox* oneGraph_;
    QCheckBox* horizontal_;
    QCheckBox* vertical_;
    QButtonGroup* type_;
    QPushButton* useX_;
    QPushButton* useY_;
    QPushButton* insert_;
    QPushButton* delete_;
    QPushButton* refresh_;
    int currentX_ = -1;  // row of the variables list
    graphs::GraphColour colour_ = graphs::kBlue;
};
