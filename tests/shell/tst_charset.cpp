#include "core/base/charset.h"
#include "gui_fixture.h"
#include "shell/charset.h"

// The byte table of equation text: what the editor shows and what saving writes back.
class tst_Charset : public QObject {
    Q_OBJECT
   private slots:
    // Each byte shows as the table's character for it and is written back as itself; a character
    // without a byte is refused with its position. The command line prints through the table's
    // UTF-8 form: one table, so a document looks the same in a terminal and in the window.
    void everyByteComesBackUnchanged() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
        const QString text = charset::ToUnicode(all);
        QCOMPARE(text, QString::fromStdString(charset::ToUtf8(all.toStdString())));
        QByteArray back;
        QVERIFY(charset::FromUnicode(text, back));
        QCOMPARE(back, all);
        qsizetype bad = -1;
        QVERIFY(!charset::FromUnicode(QStringLiteral("a = \u03BA;"), back, &bad));  // kappa
        QCOMPARE(bad, qsizetype(4));

        // The palette's glyphs: Alpha, Pi, Approx, Degree, Deltha (increment), Delta capital,
        // Omega capital, Suma, Sigma, Complex j, Reduce, Polar, Eliminate, Ce.
        QCOMPARE(charset::ToUnicode("\xE1\xF0\xBB\xB0\xE4\xC4\xD9\xD3\xCE\xDF\x85\x9F\xA2\x8A"),
                 QStringLiteral("\u03B1\u03C0\u2248\u00B0\u03B4\u0394\u03A9\u2211\u03A3\u0237"
                                "\u2026\u2220\u21A6\u03B6"));
    }
};

QTEST_GUILESS_MAIN(tst_Charset)
#include "tst_charset.moc"
