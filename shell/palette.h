#pragma once

#include <QIcon>
#include <QSize>
#include <QString>
#include <span>

// What a palette button puts at the caret.
enum class PaletteInsert {
    kText,         // the text itself
    kFunction,     // the text, caret one character back (between the brackets)
    kSpecialChar,  // one character of the equation language, given as its byte
    kIfThenElse,   // "IF  THEN   ELSE", caret between the blanks after IF
};

struct PaletteButton {
    const char* name;  // the button's tool tip and prompt
    PaletteInsert kind;
    const char* text;  // for kSpecialChar: one byte
};

struct PaletteBar {
    const char* caption;
    const char* objectName;
    const char* toggleText;    // the View menu's item
    const char* togglePrompt;  // its prompt
    QSize iconSize;
    std::span<const PaletteButton> buttons;
};

// The five palettes, in the order they are created: Numbers, Alphabet, special functions, Greek
// Alphabet, Operators and Functions.
std::span<const PaletteBar> PaletteBars();

// The glyph or word a button inserts, as its picture.
QString IconText(const PaletteButton& button);
QIcon DrawGlyphIcon(const QString& text, QSize size);

// Small pictures of the standard toolbar's commands that have no glyph of their own.
enum class Pictogram { kCopy, kPaste, kPrint, kResults, kGraph, kOptions };
QIcon DrawPictogram(Pictogram which);
