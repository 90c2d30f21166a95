#include "gui_fixture.h"
#include "shell/equation_locator.h"

// Where the solver's messages point in the text the editor shows: character positions of the
// compiler's work copy, equations as the compiled model numbers them, and the Output lines that
// name either.
class tst_EquationLocator : public QObject {
    Q_OBJECT
   private slots:
    void documentPositions_data() {
        guitest::RowsFrom("document_positions.txt", {"text", "work", "position"});
    }
    void documentPositions() {
        QFETCH(QString, text);
        QFETCH(QString, work);
        QTEST(QString::number(locator::DocumentPosition(text, work.toInt())), "position");
    }

    void equationsAreCountedAsTheCompilerDoes_data() {
        guitest::RowsFrom("equation_spans.txt", {"text", "number", "equation"});
    }
    void equationsAreCountedAsTheCompilerDoes() {
        QFETCH(QString, text);
        QFETCH(QString, number);
        const auto span = locator::EquationSpan(text, number.toInt());
        QTEST(span ? text.mid(span->start, span->end - span->start) : QString(), "equation");
    }

    void outputLinesThatNameAPlace_data() {
        guitest::RowsFrom("output_references.txt", {"line", "kind", "number"});
    }
    void outputLinesThatNameAPlace() {
        QFETCH(QString, line);
        const auto ref = locator::ReferenceIn(line);
        const QStringList kinds{"character", "equation"};
        QTEST(ref ? kinds.value(int(ref->kind)) : QStringLiteral("none"), "kind");
        QTEST(QString::number(ref ? ref->number : 0), "number");
    }
};

QTEST_GUILESS_MAIN(tst_EquationLocator)
#include "tst_equationlocator.moc"
