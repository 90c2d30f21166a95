#pragma once

#include <QColor>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours an equation document as the compiler reads it: a comment runs from "{" to the next
// "}" (or to the end of the text) and takes the comment colour, everything else the equation
// colour; comments do not nest, and a "}" outside a comment is equation text. The special
// characters of the equation language are shown in the symbol face. Because the colours follow
// from the text alone, they are right after every kind of edit: typing, deleting, pasting, undo.
class EquationHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
   public:
    explicit EquationHighlighter(QTextDocument* document);

    // Takes effect at once for the whole text.
    void SetFormats(const QColor& equation, const QColor& comment,
                    const QStringList& symbolFamilies);

    const QColor& equationColour() const { return equation_; }
    const QColor& commentColour() const { return comment_; }

    // The 41 characters shown in the symbol face, given as the bytes of the equation text.
    static bool IsSpecialByte(unsigned char byte);
    static bool IsSpecialChar(QChar c);

   protected:
    void highlightBlock(const QString& text) override;

   private:
    enum BlockState { kOutside = 0, kInsideComment = 1 };

    QColor equation_;
    QColor comment_;
    QStringList symbolFamilies_;
};
