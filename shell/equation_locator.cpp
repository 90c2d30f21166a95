#include "shell/equation_locator.h"

#include <QRegularExpression>
#include <QStringList>
#include <vector>

#include "shell/charset.h"
#include "shell/core_bridge.h"

namespace locator {
namespace {

constexpr QChar kGuessChar = QChar(0x2248);  // byte 0xBB, the relation of an initial guess
const QLatin1StringView kOptionsPrefix{"{Options: "};

// One statement: where it starts (after the blanks and comments before it) and ends (after its
// ';'), and whether it is an initial guess.
struct Statement {
    TextSpan span;
    bool guess = false;
};

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The statements of the text as the compiler splits them: comments run from '{' to the next
// '}', and a ';' inside one ends nothing. Text after the last ';' that holds more than blanks
// and comments is a statement without its ';'.
std::vector<Statement> Statements(const QString& text) {
    std::vector<Statement> list;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        // Skip blanks and comments before the statement.
        while (i < n) {
            if (IsBlank(text[i]) || text[i] == u'}') {
                ++i;
            } else if (text[i] == u'{') {
                const qsizetype close = text.indexOf(u'}', i + 1);
                i = close < 0 ? n : int(close) + 1;
            } else {
                break;
            }
        }
        if (i >= n) break;
        Statement s;
        s.span.start = i;
        int depth = 0;
        while (i < n && text[i] != u';') {
            const QChar c = text[i];
            if (c == u'{') {
                const qsizetype close = text.indexOf(u'}', i + 1);
                i = close < 0 ? n : int(close) + 1;
                continue;
            }
            if (c == u'(') ++depth;
            if (c == u')' && depth > 0) --depth;
            if (c == kGuessChar && depth == 0) s.guess = true;
            ++i;
        }
        if (i < n) ++i;  // the ';'
        s.span.end = i;
        list.push_back(s);
    }
    return list;
}

}  // namespace

int DocumentPosition(const QString& text, int workPosition) {
    const int target = workPosition - 1;  // 0-based index in the work copy
    const QStringList lines = text.split(u'\n');
    int docOffset = 0;
    int workOffset = 0;
    for (int l = 0; l < lines.size(); ++l) {
        const QString& line = lines[l];
        const int lineStart = docOffset;
        docOffset += int(line.size()) + 1;
        // The options line never reaches the work copy.
        if (l == 0 && line.startsWith(kOptionsPrefix)) continue;
        // The pieces depend on the bytes the document is saved as (where its tokens end); a line
        // the character set cannot hold never reaches the compiler, so Latin-1 does for it.
        QByteArray bytes;
        if (!charset::FromUnicode(line, bytes)) bytes = line.toLatin1();
        int pieceStart = lineStart;
        for (const std::string& piece : corebridge::CutLine(bytes.toStdString())) {
            const int length = int(piece.size());
            if (target <= workOffset + length) {
                return std::min(pieceStart + (target - workOffset), int(text.size()));
            }
            workOffset += length + 1;  // the piece and its line end
            pieceStart += length;
        }
    }
    return std::max(0, std::min(target, int(text.size())));
}

std::optional<TextSpan> StatementAt(const QString& text, int position) {
    const std::vector<Statement> list = Statements(text);
    for (const Statement& s : list) {
        if (position < s.span.end) return s.span;
    }
    if (!list.empty()) return list.back().span;
    return std::nullopt;
}

std::optional<TextSpan> EquationSpan(const QString& text, int number) {
    if (number < 1) return std::nullopt;
    int count = 0;
    for (const Statement& s : Statements(text)) {
        if (s.guess) continue;
        if (++count == number) return s.span;
    }
    return std::nullopt;
}

std::optional<Reference> ReferenceIn(const QString& line) {
    struct Pattern {
        QRegularExpression expression;
        Reference::Kind kind;
    };
    static const Pattern kPatterns[] = {
        {QRegularExpression(QStringLiteral(R"( at character (\d+)\s*$)")),
         Reference::Kind::kCharacter},
        {QRegularExpression(QStringLiteral(R"(Error in Eqn\s+(\d+))")), Reference::Kind::kEquation},
        {QRegularExpression(QStringLiteral(R"(Equation\s+(\d+) is Singular or Inconsistent)")),
         Reference::Kind::kEquation},
        {QRegularExpression(QStringLiteral(R"(Equation\s+(\d+) Depends on Other Equations)")),
         Reference::Kind::kEquation},
        {QRegularExpression(QStringLiteral(R"(Eqn\s+(\d+) group failed)")),
         Reference::Kind::kEquation},
        {QRegularExpression(QStringLiteral(R"(Error Evaluating Jacobian for Equation\s+(\d+))")),
         Reference::Kind::kEquation},
        {QRegularExpression(QStringLiteral(R"( in Equation\s+(\d+)\s*$)")),
         Reference::Kind::kEquation},
    };
    for (const Pattern& p : kPatterns) {
        const QRegularExpressionMatch m = p.expression.match(line);
        if (!m.hasMatch()) continue;
        bool ok = false;
        const int number = m.captured(1).toInt(&ok);
        if (ok) return Reference{p.kind, number};
    }
    return std::nullopt;
}

}  // namespace locator
