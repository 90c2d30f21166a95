
#include "core/base/charset.h"
#include "gui_fixture.h"
#include "shell/charset.h"

using guitest::Row;

// The byte table of equation text: what the editor shows and what saving writes back.
class tst_Charset : public QObject {
    Q_OBJECT
   private slots:
    // Each byte shows as the table's character for it and is written back as itself. The
    // command line prints through the table's UTF-8 form: one table, so a document looks the
    // same in a terminal and in the window.
    void everyByteComesBackUnchanged() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
        const QString text = charset::ToUnicode(all);
        QCOMPARE(text.size(), 256);
        for (int b = 0; b < 256; ++b) {
            const QChar c = charset::CharForByte(static_cast<unsigned char>(b));
            QCOMPARE(text.at(b), c);
            QCOMPARE(charset::ByteForChar(c), b);
            QCOMPARE(QString::fromStdString(charset::ToUtf8(std::string(1, char(b)))), QString(c));
        }
        QByteArray back;
        QVERIFY(charset::FromUnicode(text, back));
        QCOMPARE(back, all);
    }

    void paletteGlyphs_data() {
        guitest::Columns<int, QString>("byte", "glyph");
        Row("Alpha", 0xE1, QStringLiteral("\u03B1"));
        Row("Pi", 0xF0, QStringLiteral("\u03C0"));
        Row("Approx", 0xBB, QStringLiteral("\u2248"));
        Row("Degree", 0xB0, QStringLiteral("\u00B0"));
        Row("Deltha (increment)", 0xE4, QStringLiteral("\u03B4"));
        Row("Delta capital", 0xC4, QStringLiteral("\u0394"));
        Row("Omega capital", 0xD9, QStringLiteral("\u03A9"));
        Row("Suma", 0xD3, QStringLiteral("\u2211"));
        Row("Sigma", 0xCE, QStringLiteral("\u03A3"));
        Row("Complex j", 0xDF, QStringLiteral("\u0237"));
        Row("Reduce", 0x85, QStringLiteral("\u2026"));
        Row("Polar", 0x9F, QStringLiteral("\u2220"));
        Row("Eliminate", 0xA2, QStringLiteral("\u21A6"));
        Row("Ce", 0x8A, QStringLiteral("\u03B6"));
    }
    void paletteGlyphs() {
        QFETCH(int, byte);
        QTEST(QString(charset::CharForByte(static_cast<unsigned char>(byte))), "glyph");
    }

    void characterWithoutByteIsRefusedWithItsPosition() {
        QByteArray out;
        qsizetype bad = -1;
        QVERIFY(!charset::FromUnicode(QStringLiteral("a = \u03BA;"), out, &bad));  // kappa
        QCOMPARE(bad, qsizetype(4));
        // The euro sign's byte shows as the euro, so U+0080 has no byte.
        QCOMPARE(charset::ByteForChar(QChar(0x0080)), -1);
    }
};

QTEST_GUILESS_MAIN(tst_Charset)
#include "tst_charset.moc"
