#include <QSet>
#include <QtTest>

#include "core/base/charset.h"
#include "shell/charset.h"

// The byte table of equation text: what the editor shows and what saving writes back.
class tst_Charset : public QObject {
    Q_OBJECT
   private slots:
    void everyByteComesBackUnchanged();
    void everyByteHasItsOwnCharacter();
    void terminalAndWindowShowEveryByteAlike();
    void paletteGlyphs_data();
    void paletteGlyphs();
    void asciiIsUnchanged();
    void characterWithoutByteIsRefusedWithItsPosition();
};

void tst_Charset::everyByteComesBackUnchanged() {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    const QString text = charset::ToUnicode(all);
    QCOMPARE(text.size(), 256);
    QByteArray back;
    QVERIFY(charset::FromUnicode(text, back));
    QCOMPARE(back, all);
}

void tst_Charset::everyByteHasItsOwnCharacter() {
    QSet<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const QChar c = charset::CharForByte(static_cast<unsigned char>(b));
        QVERIFY2(!seen.contains(c.unicode()), qPrintable(QString::number(b, 16)));
        seen.insert(c.unicode());
        QCOMPARE(charset::ByteForChar(c), b);
    }
}

// The command line prints through the table's UTF-8 form, the desktop through its Qt form: one
// table, so a document looks the same in both.
void tst_Charset::terminalAndWindowShowEveryByteAlike() {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        QCOMPARE(QString::fromStdString(charset::ToUtf8(byte)),
                 QString(charset::CharForByte(static_cast<unsigned char>(b))));
    }
}

void tst_Charset::paletteGlyphs_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("glyph");
    QTest::newRow("Alpha") << 0xE1 << QStringLiteral("\u03B1");
    QTest::newRow("Pi") << 0xF0 << QStringLiteral("\u03C0");
    QTest::newRow("Approx") << 0xBB << QStringLiteral("\u2248");
    QTest::newRow("Degree") << 0xB0 << QStringLiteral("\u00B0");
    QTest::newRow("Deltha (increment)") << 0xE4 << QStringLiteral("\u03B4");
    QTest::newRow("Delta capital") << 0xC4 << QStringLiteral("\u0394");
    QTest::newRow("Omega capital") << 0xD9 << QStringLiteral("\u03A9");
    QTest::newRow("Suma") << 0xD3 << QStringLiteral("\u2211");
    QTest::newRow("Sigma") << 0xCE << QStringLiteral("\u03A3");
    QTest::newRow("Complex j") << 0xDF << QStringLiteral("\u0237");
    QTest::newRow("Reduce") << 0x85 << QStringLiteral("\u2026");
    QTest::newRow("Polar") << 0x9F << QStringLiteral("\u2220");
    QTest::newRow("Eliminate") << 0xA2 << QStringLiteral("\u21A6");
    QTest::newRow("Ce") << 0x8A << QStringLiteral("\u03B6");
}

void tst_Charset::paletteGlyphs() {
    QFETCH(int, byte);
    QFETCH(QString, glyph);
    QCOMPARE(QString(charset::CharForByte(static_cast<unsigned char>(byte))), glyph);
}

void tst_Charset::asciiIsUnchanged() {
    const QByteArray text = "x^2 + y^2 = 25; {comment}\n";
    QCOMPARE(charset::ToUnicode(text), QString::fromLatin1(text));
}

void tst_Charset::characterWithoutByteIsRefusedWithItsPosition() {
    QByteArray out;
    qsizetype bad = -1;
    QVERIFY(!charset::FromUnicode(QStringLiteral("a = \u03BA;"), out, &bad));  // kappa
    QCOMPARE(bad, qsizetype(4));
    QCOMPARE(charset::ByteForChar(QChar(0x0080)), -1);  // the euro sign's byte shows as the euro
}

QTEST_GUILESS_MAIN(tst_Charset)
#include "tst_charset.moc"
