#include "shell/equation_highlighter.h"

#include <algorithm>
#include <array>

#include "shell/charset.h"

namespace {

constexpr unsigned char kSpecialBytes[] = {
    0x2A, 0x3C, 0x3E, 0x40, 0x85, 0x8A, 0x9F, 0xB0, 0xBB, 0xC3, 0xC4, 0xC8, 0xCB, 0xCE,
    0xD0, 0xD3, 0xD6, 0xD8, 0xD9, 0xDF, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8,
    0xEB, 0xEC, 0xED, 0xEE, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9,
};
static_assert(std::size(kSpecialBytes) == 41);

constexpr std::array<bool, 256> BuildSpecial() {
    std::array<bool, 256> special{};
    for (unsigned char b : kSpecialBytes) special[b] = true;
    return special;
}

constexpr std::array<bool, 256> kSpecial = BuildSpecial();

}  // namespace

EquationHighlighter::EquationHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document), equation_(Qt::red), comment_(Qt::gray) {}

bool EquationHighlighter::IsSpecialByte(unsigned char byte) {
    return kSpecial[byte];
}

bool EquationHighlighter::IsSpecialChar(QChar c) {
    const int byte = charset::ByteForChar(c);
    return byte >= 0 && kSpecial[byte];
}

void EquationHighlighter::SetFormats(const QColor& equation, const QColor& comment,
                                     const QStringList& symbolFamilies) {
    equation_ = equation;
    comment_ = comment;
    symbolFamilies_ = symbolFamilies;
    rehighlight();
}

void EquationHighlighter::highlightBlock(const QString& text) {
    QTextCharFormat equation;
    equation.setForeground(equation_);
    QTextCharFormat comment;
    comment.setForeground(comment_);
    const qsizetype n = text.size();
    bool inside = previousBlockState() == kInsideComment;
    qsizetype start = 0;
    // Spans alternate between equation text and comments; a comment includes both its braces.
    while (start < n) {
        qsizetype end;
        if (inside) {
            const qsizetype close = text.indexOf(u'}', start);
            end = close < 0 ? n : close + 1;
            setFormat(int(start), int(end - start), comment);
            if (close >= 0) inside = false;
        } else {
            const qsizetype open = text.indexOf(u'{', start);
            end = open < 0 ? n : open;
            setFormat(int(start), int(end - start), equation);
            if (open >= 0) inside = true;
        }
        start = end;
    }
    if (!symbolFamilies_.isEmpty()) {
        for (qsizetype i = 0; i < n; ++i) {
            if (!IsSpecialChar(text[i])) continue;
            QTextCharFormat f = format(int(i));
            f.setFontFamilies(symbolFamilies_);
            setFormat(int(i), 1, f);
        }
    }
    setCurrentBlockState(inside ? kInsideComment : kOutside);
}
