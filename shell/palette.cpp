#include "shell/palette.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

#include "shell/charset.h"

namespace {

using K = PaletteInsert;

constexpr PaletteButton kFunctions[] = {
    {"Plus", K::kText, "+"},
    {"Minus", K::kText, "-"},
    {"Times", K::kSpecialChar, "*"},
    {"Div", K::kText, "/"},
    {"Power", K::kText, "^"},
    {"Square root", K::kFunction, "SQRT()"},
    {"Equal", K::kText, "="},
    {"Less than", K::kSpecialChar, "<"},
    {"Greater than", K::kSpecialChar, ">"},
    {"INV", K::kFunction, "INV()"},
    {"SQUARE", K::kFunction, "SQUARE()"},
    {"Logarithm", K::kFunction, "LN()"},
    {"EXP", K::kFunction, "EXP()"},
    {"IF THEN ELSE", K::kIfThenElse, "IF  THEN   ELSE"},
    {"Sinus", K::kFunction, "SIN()"},
    {"Cosinus", K::kFunction, "COS()"},
    {"Tangens", K::kFunction, "TAN()"},
    {"Arcus sinus", K::kFunction, "ARCSIN()"},
    {"Arcus cosinus", K::kFunction, "ARCCOS()"},
    {"Arcus tangens", K::kFunction, "ARCTAN()"},
    {"ATAN2", K::kFunction, "ATAN2()"},
    {"REAL", K::kFunction, "REAL()"},
    {"IMAG", K::kFunction, "IMAG()"},
    {"CONJG", K::kFunction, "CONJG()"},
    {"Differentiate", K::kFunction, "D()"},
    {"Comments", K::kFunction, "{}"},
    {"Brackets", K::kFunction, "()"},
    {"End equation", K::kText, ";"},
};

constexpr PaletteButton kNumbers[] = {
    {"1", K::kText, "1"}, {"2", K::kText, "2"},     {"3", K::kText, "3"}, {"4", K::kText, "4"},
    {"5", K::kText, "5"}, {"6", K::kText, "6"},     {"7", K::kText, "7"}, {"8", K::kText, "8"},
    {"9", K::kText, "9"}, {"Comma", K::kText, ","}, {"0", K::kText, "0"}, {"Point", K::kText, "."},
};

constexpr PaletteButton kAlphabet[] = {
    {"a", K::kText, "a"}, {"b", K::kText, "b"}, {"c", K::kText, "c"},   {"d", K::kText, "d"},
    {"e", K::kText, "e"}, {"f", K::kText, "f"}, {"g", K::kText, "g"},   {"h", K::kText, "h"},
    {"i", K::kText, "i"}, {"j", K::kText, "j"}, {"k", K::kText, "k"},   {"l", K::kText, "l"},
    {"m", K::kText, "m"}, {"n", K::kText, "n"}, {"o", K::kText, "o"},   {"p", K::kText, "p"},
    {"q", K::kText, "q"}, {"r", K::kText, "r"}, {"s", K::kText, "s"},   {"t", K::kText, "t"},
    {"u", K::kText, "u"}, {"v", K::kText, "v"}, {"w", K::kText, "w"},   {"x", K::kText, "x"},
    {"y", K::kText, "y"}, {"z", K::kText, "z"}, {"PI", K::kText, "PI"},
};

constexpr PaletteButton kSpecialFunctions[] = {
    {"MAG", K::kFunction, "MAG()"},       {"ANGLE", K::kFunction, "ANGLE()"},
    {"DELAY", K::kFunction, "DELAY()"},   {"LIM", K::kFunction, "LIM()"},
    {"INTEGRAL", K::kFunction, "INT()"},  {"ERF", K::kFunction, "ERF()"},
    {"BESSJ0", K::kFunction, "BESSJ0()"}, {"BESSJ1", K::kFunction, "BESSJ1()"},
    {"BESSY0", K::kFunction, "BESSY0()"}, {"BESSY1", K::kFunction, "BESSY1()"},
    {"GAMMLN", K::kFunction, "GAMMLN()"}, {"GAMMP", K::kFunction, "GAMMP()"},
};

constexpr PaletteButton kGreek[] = {
    {"Alpha", K::kSpecialChar, "\xE1"},     {"Betha", K::kSpecialChar, "\xE2"},
    {"Gamma", K::kSpecialChar, "\xE3"},     {"Deltha", K::kSpecialChar, "\xE4"},
    {"Etha", K::kSpecialChar, "\xE5"},      {"Psi", K::kSpecialChar, "\xE6"},
    {"Ni", K::kSpecialChar, "\xE7"},        {"Theta", K::kSpecialChar, "\xE8"},
    {"Lambda", K::kSpecialChar, "\xEB"},    {"Mi", K::kSpecialChar, "\xEC"},
    {"Ve", K::kSpecialChar, "\xED"},        {"Ksi", K::kSpecialChar, "\xEE"},
    {"Pi", K::kSpecialChar, "\xF0"},        {"Ro", K::kSpecialChar, "\xF1"},
    {"De", K::kSpecialChar, "\xF3"},        {"U", K::kSpecialChar, "\xF5"},
    {"Tau", K::kSpecialChar, "\xF4"},       {"Fi", K::kSpecialChar, "\xF6"},
    {"Fi", K::kSpecialChar, "\xF8"},        {"Ksi", K::kSpecialChar, "\xF7"},
    {"Omega", K::kSpecialChar, "\xF9"},     {"Ce", K::kSpecialChar, "\x8A"},
    {"Delta", K::kSpecialChar, "\xC4"},     {"Fi", K::kSpecialChar, "\xD6"},
    {"Gama", K::kSpecialChar, "\xC3"},      {"Lambda", K::kSpecialChar, "\xCB"},
    {"Pi", K::kSpecialChar, "\xD0"},        {"Teta", K::kSpecialChar, "\xC8"},
    {"Suma", K::kSpecialChar, "\xD3"},      {"Sigma", K::kSpecialChar, "\xCE"},
    {"Fi", K::kSpecialChar, "\xD8"},        {"Omega", K::kSpecialChar, "\xD9"},
    {"Eliminate", K::kSpecialChar, "\xA2"}, {"Complex j", K::kSpecialChar, "\xDF"},
    {"Approx", K::kSpecialChar, "\xBB"},    {"Reduce", K::kSpecialChar, "\x85"},
    {"at Angle", K::kSpecialChar, "@"},     {"Degree", K::kSpecialChar, "\xB0"},
    {"Polar", K::kSpecialChar, "\x9F"},
};

const PaletteBar kBars[] = {
    {"Numbers", "NumbersBar", "&Numbers", "Show or hide number bar", QSize(20, 20), kNumbers},
    {"Alphabet", "AlphabetBar", "&Alphabet", "Show or hide alphabet", QSize(20, 20), kAlphabet},
    {"Spec. Functions", "SpecialFunctionsBar", "Specia&l Functions",
     "Show or hide special functions", QSize(44, 20), kSpecialFunctions},
    {"Greek Alphabet", "GreekBar", "Gree&k alphabet", "Show or hide Greek alphabet", QSize(20, 20),
     kGreek},
    {"Operators and Functions", "FunctionsBar", "Fun&ctions", "Show or hide pallete bar",
     QSize(25, 18), kFunctions},
};

}  // namespace

std::span<const PaletteBar> PaletteBars() {
    return kBars;
}

QString IconText(const PaletteButton& b) {
    switch (b.kind) {
        case PaletteInsert::kSpecialChar:
            return QString(charset::CharForByte(static_cast<unsigned char>(b.text[0])));
        case PaletteInsert::kIfThenElse: return QStringLiteral("IF");
        case PaletteInsert::kFunction: {
            QString word = QString::fromLatin1(b.text);
            if (word.size() > 2 && word.endsWith(QLatin1String("()"))) word.chop(2);
            return word;
        }
        case PaletteInsert::kText: return QString::fromLatin1(b.text);
    }
    return QString();
}

QIcon DrawGlyphIcon(const QString& text, QSize size) {
    const qreal ratio = 2.0;  // sharp on high-density screens, scaled down elsewhere
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size.height() - 4);
    font.setBold(text.size() == 1);
    // Shrink a long word until it fits the button.
    while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > size.width() - 2) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    p.setFont(font);
    p.setPen(QColor(20, 20, 120));
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QIcon DrawPictogram(Pictogram which) {
    const qreal ratio = 2.0;
    QPixmap pixmap(QSize(16, 16) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 20, 120), 1.2));
    p.setBrush(Qt::white);
    switch (which) {
        case Pictogram::kCopy:
            p.drawRect(QRectF(1.5, 1.5, 8, 10));
            p.drawRect(QRectF(6.5, 4.5, 8, 10));
            break;
        case Pictogram::kPaste:
            p.setBrush(QColor(205, 170, 110));
            p.drawRect(QRectF(2.5, 2.5, 11, 12));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5.5, 1.5, 5, 3));
            p.drawRect(QRectF(6.5, 6.5, 6, 7));
            break;
        case Pictogram::kPrint:
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(190, 190, 190));
            p.drawRect(QRectF(1.5, 6.5, 13, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            break;
        case Pictogram::kResults:
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            for (qreal y : {6.5, 9.5}) p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
            p.drawLine(QPointF(5.5, 2.5), QPointF(5.5, 13.5));
            break;
        case Pictogram::kGraph:
            p.drawLine(QPointF(2, 1.5), QPointF(2, 14));
            p.drawLine(QPointF(2, 14), QPointF(15, 14));
            p.setPen(QPen(QColor(200, 0, 0), 1.5));
            p.drawPolyline(
                QPolygonF({QPointF(3, 12), QPointF(7, 6), QPointF(10, 9), QPointF(14, 3)}));
            break;
        case Pictogram::kOptions:
            p.setBrush(QColor(190, 190, 190));
            p.drawEllipse(QPointF(8, 8), 6, 6);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
            break;
    }
    return QIcon(pixmap);
}
