#include "gui_fixture.h"
#include "shell/equation_locator.h"

using guitest::Row;

// Where the solver's messages point in the text the editor shows: character positions of the
// compiler's work copy, equations as the compiled model numbers them, and the Output lines that
// name either.
class tst_EquationLocator : public QObject {
    Q_OBJECT
   private slots:
    // work: the position as the compiler counts, from 1.
    void documentPositions_data() {
        guitest::Columns<QString, int, int>("text", "work", "position");
        Row("first character", "x = 1;", 1, 0);
        Row("second line", "x = 1;\ny = 2 +* x;", 15, 14);
        Row("the options line is not read", "{Options: 0 0}\nx = 1 +* 2;", 8, 22);
        Row("beyond the end is the end", "x;", 40, 2);
        // The long line reaches the compiler as two pieces, each with a line end of its own.
        Row("on a cut line", guitest::LongSum(QStringLiteral("y = "), QStringLiteral(" + #;")), 156,
            154);
        Row("after a comment and a cut line",
            guitest::LongSum(QStringLiteral("{first} a = 1;\nb = "),
                             QStringLiteral(";\nc = 2 #;\n")),
            176, 174);
    }

    void documentPositions() {
        QFETCH(QString, text);
        QFETCH(int, work);
        QTEST(locator::DocumentPosition(text, work), "position");
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
        using K = locator::Reference::Kind;
        guitest::Columns<QString, int, int>("line", "kind", "number");  // kind -1: none
        Row("compiler", "Illegal Character #42 at character 15", int(K::kCharacter), 15);
        Row("error in equation", "Error in Eqn    3", int(K::kEquation), 3);
        Row("singular", "Equation    2 is Singular or Inconsistent", int(K::kEquation), 2);
        Row("dependent", "Equation    1 Depends on Other Equations", int(K::kEquation), 1);
        Row("group", "Eqn   12 group failed", int(K::kEquation), 12);
        Row("plain output", "Solution Found!", -1, 0);
        Row("a number alone", "   2 variables and    2 equations ", -1, 0);
    }

    void outputLinesThatNameAPlace() {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QFETCH(int, number);
        const auto ref = locator::ReferenceIn(line);
        QCOMPARE(ref ? int(ref->kind) : -1, kind);
        if (ref) QCOMPARE(ref->number, number);
    }
};

QTEST_GUILESS_MAIN(tst_EquationLocator)
#include "tst_equationlocator.moc"
