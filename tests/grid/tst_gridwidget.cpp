#include <QtTest>

#include "grid/grid_widget.h"

namespace {

GridWidget* Filled(GridWidget& g) {
    g.setFixedColumnTitle(QStringLiteral("  No"));
    for (const char* t : {"a", "b", "c"}) g.appendColumn(QLatin1String(t));
    for (int r = 0; r < 3; ++r) {
        g.appendRow(QString::number(r + 1));
        for (int c = 0; c < 3; ++c) g.setCellText(r, c, QStringLiteral("%1%2").arg(r).arg(c));
    }
    return &g;
}

}  // namespace

// The editable grid: fixed title row and label column around data cells.
class tst_GridWidget : public QObject {
    Q_OBJECT
   private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), w->metaObject()->className());
    }

    void dataColumnsDoNotCountTheLabelColumn() {
        GridWidget g;
        Filled(g);
        QCOMPARE(g.dataColumnCount(), 3);
        QCOMPARE(g.columnCount(), 4);
        QCOMPARE(g.columnTitles(), (QStringList{"a", "b", "c"}));
        QCOMPARE(g.rowLabel(2), QStringLiteral("3"));
        QCOMPARE(g.cellText(2, 0), QStringLiteral("20"));
        g.focusCell(1, 2);
        QCOMPARE(g.focusedRow(), 1);
        QCOMPARE(g.focusedColumn(), 2);
        g.setCurrentCell(0, 0);  // the label column is no data column
        QCOMPARE(g.focusedColumn(), -1);
        // Out of range, or the label column: nothing is deleted.
        g.deleteRow(-1);
        g.deleteRow(3);
        g.deleteColumn(-1);
        g.deleteColumn(3);
        QCOMPARE(g.dataRowCount(), 3);
        QCOMPARE(g.dataColumnCount(), 3);

        // Inserting and deleting keeps the other cells in their places.
        g.insertColumnAt(1, QStringLiteral("new"));
        QCOMPARE(g.columnTitles(), (QStringList{"a", "new", "b", "c"}));
        QCOMPARE(g.rowTexts(0), (QStringList{"00", "", "01", "02"}));
        g.deleteColumn(0);
        QCOMPARE(g.columnTitles(), (QStringList{"new", "b", "c"}));
        QCOMPARE(g.rowTexts(1), (QStringList{"", "11", "12"}));
        g.insertRowAt(0);
        QCOMPARE(g.dataRowCount(), 4);
        QCOMPARE(g.rowTexts(0), (QStringList{"", "", ""}));
        QCOMPARE(g.rowTexts(1), (QStringList{"", "01", "02"}));
        g.deleteRow(1);
        QCOMPARE(g.dataRowCount(), 3);
        QCOMPARE(g.rowTexts(1), (QStringList{"", "11", "12"}));
    }

    // Data columns are counted after the label column, which is never editable.
    void editingAndColoursFollowTheDataColumns() {
        GridWidget g;
        Filled(g);
        QVERIFY(!(g.item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(g.item(0, 1)->flags() & Qt::ItemIsEditable);
        g.setCellBackground(1, 1, Qt::red);
        QCOMPARE(g.item(1, 2)->background().color(), QColor(Qt::red));
        g.setCellReadOnly(1, 1, true);
        QVERIFY(g.isCellReadOnly(1, 1));
        QVERIFY(!g.isCellReadOnly(1, 0));
        g.setCellReadOnly(1, 1, false);
        QVERIFY(!g.isCellReadOnly(1, 1));
        g.insertRowAt(1, QStringLiteral("x"));
        QVERIFY(!(g.item(1, 0)->flags() & Qt::ItemIsEditable));

        // A grid's background and read-only state reach cells made later.
        GridWidget later;
        const QColor yellow(255, 255, 224);
        later.setGridBackground(yellow);
        later.setReadOnly(true);
        Filled(later);
        later.insertColumnAt(0, QStringLiteral("z"));
        QCOMPARE(later.item(2, 1)->background().color(), yellow);
        QCOMPARE(later.item(2, 0)->background().color(), yellow);
        QVERIFY(later.isCellReadOnly(0, 0));
        QCOMPARE(later.editTriggers(), QAbstractItemView::NoEditTriggers);
    }
};

QTEST_MAIN(tst_GridWidget)
#include "tst_gridwidget.moc"
