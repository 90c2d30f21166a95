#include "gui_fixture.h"
#include "shell/equation_locator.h"

using guitest::Row;

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
        guitest::Columns<QString, int, QString>("text", "number", "equation");  // "": none
        const QString text = QString::fromUtf8(
            "{header; with a semicolon}\n"
            "x \u2248 1;\n"  // an initial guess is no equation
            "a = 1; {note}\n"
            "b = IF(x \u2248 1) THEN 2 ELSE 3;\n"  // a relation inside parentheses is
            "  c = a + b");
        Row("comments and guesses are skipped", text, 1, "a = 1;");
        Row("a relation inside parentheses is no guess", text, 2,
            QString::fromUtf8("b = IF(x \u2248 1) THEN 2 ELSE 3;"));
        Row("the last statement may lack its ';'", text, 3, "c = a + b");
        Row("beyond the last", text, 4, "");
        Row("zero", text, 0, "");
    }

    void equationsAreCountedAsTheCompilerDoes() {
        QFETCH(QString, text);
        QFETCH(int, number);
        const auto span = locator::EquationSpan(text, number);
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
