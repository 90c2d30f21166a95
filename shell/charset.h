#pragma once

#include <QByteArray>
#include <QString>

// The program's one byte table (core/base/charset.h) for Qt strings. Equation documents,
// attachments and the core's output are single-byte text; the editor shows them as Unicode, and
// every one of the 256 byte values has its own character, so text read and saved again keeps its
// bytes.
namespace charset {

QChar CharForByte(unsigned char byte);

QString ToUnicode(const QByteArray& bytes);

// Converts text back to bytes. Returns false when a character has no byte of its own; *bad then
// holds its position and out is left unspecified.
bool FromUnicode(const QString& text, QByteArray& out, qsizetype* bad = nullptr);

// One character as its byte, or -1 when it has none.
int ByteForChar(QChar c);

}  // namespace charset
