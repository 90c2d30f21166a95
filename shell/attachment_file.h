#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The attachment (.LST) table: a header line of column names, then one line of values per row.
struct AttachmentTable {
    QStringList names;
    QList<QStringList> rows;
};

// Tokens are separated by runs of blanks, tabs and ';'; reading stops at the first line without
// tokens or at the end.
AttachmentTable ReadAttachment(const QByteArray& bytes);

// Every cell followed by one blank, each line trimmed, lines without text left out, the header
// first; each line ends with a line feed. *rowsWritten counts the value lines written.
QByteArray WriteAttachment(const AttachmentTable& table, int* rowsWritten = nullptr);

// A cell that would not read back as written, in its own column: one holding a separator or a
// character without a byte, or an empty one before a filled one in the same line. Returns false
// when every cell is safe; otherwise *row is -1 for the header or the 0-based value row, *column
// the 0-based column.
bool FindUnstorableCell(const AttachmentTable& table, int* row, int* column);

// The Approx mark that may end a column name.
QChar ApproxMark();
