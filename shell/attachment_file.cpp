#include "shell/attachment_file.h"

#include "shell/charset.h"

namespace {

bool IsSeparator(QChar c) {
    return c == u' ' || c == u'\t' || c == u';';
}

QStringList Tokens(const QString& line) {
    QStringList tokens;
    QString current;
    for (QChar c : line) {
        if (IsSeparator(c)) {
            if (!current.isEmpty()) tokens.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) tokens.append(current);
    return tokens;
}

QString LineOf(const QStringList& cells) {
    QString line;
    for (const QString& cell : cells) line += cell + u' ';
    return line.trimmed();
}

bool Storable(const QString& cell) {
    for (QChar c : cell) {
        if (IsSeparator(c) || charset::ByteForChar(c) < 0) return false;
    }
    return true;
}

// Reports the first cell that would not come back in its own column: one that holds a
// separator or a character without a byte, or an empty one with a filled one after it.
bool LineShifts(const QStringList& cells, int* column) {
    int firstEmpty = -1;
    for (int c = 0; c < cells.size(); ++c) {
        if (!Storable(cells[c])) {
            *column = c;
            return true;
        }
        if (cells[c].isEmpty()) {
            if (firstEmpty < 0) firstEmpty = c;
        } else if (firstEmpty >= 0) {
            *column = firstEmpty;
            return true;
        }
    }
    return false;
}

}  // namespace

QChar ApproxMark() {
    return charset::CharForByte(0xBB);
}

AttachmentTable ReadAttachment(const QByteArray& bytes) {
    AttachmentTable table;
    const QString text = charset::ToUnicode(bytes);
    const QStringList lines = text.split(u'\n');
    bool header = true;
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        const QStringList tokens = Tokens(line);
        if (tokens.isEmpty()) break;
        if (header)
            table.names = tokens;
        else
            table.rows.append(tokens);
        header = false;
    }
    return table;
}

QByteArray WriteAttachment(const AttachmentTable& table, int* rowsWritten) {
    QString text;
    const QString head = LineOf(table.names);
    if (!head.isEmpty()) text += head + u'\n';
    int written = 0;
    for (const QStringList& row : table.rows) {
        const QString line = LineOf(row);
        if (line.isEmpty()) continue;
        text += line + u'\n';
        ++written;
    }
    if (rowsWritten != nullptr) *rowsWritten = written;
    // Callers check the table with FindUnstorableCell first; a character without a byte that
    // slips through is written as '?' rather than dropping the line.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (charset::ByteForChar(text[i]) < 0) text[i] = u'?';
    }
    QByteArray bytes;
    charset::FromUnicode(text, bytes);
    return bytes;
}

bool FindUnstorableCell(const AttachmentTable& table, int* row, int* column) {
    if (LineShifts(table.names, column)) {
        *row = -1;
        return true;
    }
    for (int r = 0; r < table.rows.size(); ++r) {
        if (LineShifts(table.rows[r], column)) {
            *row = r;
            return true;
        }
    }
    return false;
}
