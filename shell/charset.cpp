#include "shell/charset.h"

#include <array>

namespace charset {
namespace {

struct Symbol {
    unsigned char byte;
    char16_t code;
};

// The letters and signs of the equation language, named after the palette buttons that insert
// them; the structural marks get signs that say what they do (0xDF imaginary unit, 0x85
// retired equation, 0x9F polar form, 0xA2 designated variable).
constexpr Symbol kSymbols[] = {
    {0x85, u'\u2026'}, {0x8A, u'\u03B6'}, {0x9F, u'\u2220'}, {0xA2, u'\u21A6'}, {0xB0, u'\u00B0'},
    {0xBB, u'\u2248'}, {0xC3, u'\u0393'}, {0xC4, u'\u0394'}, {0xC8, u'\u0398'}, {0xCB, u'\u039B'},
    {0xCE, u'\u03A3'}, {0xD0, u'\u03A0'}, {0xD3, u'\u2211'}, {0xD6, u'\u03A6'}, {0xD8, u'\u03A8'},
    {0xD9, u'\u03A9'}, {0xDF, u'\u0237'}, {0xE1, u'\u03B1'}, {0xE2, u'\u03B2'}, {0xE3, u'\u03B3'},
    {0xE4, u'\u03B4'}, {0xE5, u'\u03B7'}, {0xE6, u'\u03C8'}, {0xE7, u'\u03BD'}, {0xE8, u'\u03B8'},
    {0xEB, u'\u03BB'}, {0xEC, u'\u03BC'}, {0xED, u'\u03B5'}, {0xEE, u'\u03BE'}, {0xF0, u'\u03C0'},
    {0xF1, u'\u03C1'}, {0xF2, u'\u2265'}, {0xF3, u'\u03C3'}, {0xF4, u'\u03C4'}, {0xF5, u'\u03C5'},
    {0xF6, u'\u03C6'}, {0xF7, u'\u03C7'}, {0xF8, u'\u03D5'}, {0xF9, u'\u03C9'},
};

// Bytes 0x80..0x9F that are no symbol show as the Western code page does; its five unassigned
// positions keep their control code points, which no other byte uses.
constexpr char16_t kHighControls[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

constexpr std::array<char16_t, 256> BuildTable() {
    std::array<char16_t, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = static_cast<char16_t>(i);
    for (int i = 0; i < 32; ++i) table[0x80 + i] = kHighControls[i];
    for (const Symbol& s : kSymbols) table[s.byte] = s.code;
    return table;
}

constexpr std::array<char16_t, 256> kTable = BuildTable();

}  // namespace

QChar CharForByte(unsigned char byte) {
    return QChar(kTable[byte]);
}

QString ToUnicode(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out[i] = QChar(kTable[static_cast<unsigned char>(bytes[i])]);
    }
    return text;
}

int ByteForChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return u;
    for (int b = 0x80; b < 256; ++b) {
        if (kTable[b] == u) return b;
    }
    return -1;
}

bool FromUnicode(const QString& text, QByteArray& out, qsizetype* bad) {
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = ByteForChar(text[i]);
        if (b < 0) {
            if (bad != nullptr) *bad = i;
            return false;
        }
        out[i] = static_cast<char>(b);
    }
    return true;
}

}  // namespace charset
