#pragma once

#include <QByteArray>
#include <QString>

// Equation documents, attachments and the core's output are single-byte text: bytes above 127
// are the Greek letters and signs of the equation language. The editor shows them as Unicode
// through one fixed table, and every one of the 256 byte values has its own character, so text
// read and saved again keeps its bytes.
namespace charset {

QChar CharForByte(unsigned char byte);

QString ToUnicode(const QByteArray& bytes);

// Converts text back to bytes. Returns false when a character has no byte of its own; *bad then
// holds its position and out is left unspecified.
bool FromUnicode(const QString& text, QByteArray& out, qsizetype* bad = nullptr);

// One character as its byte, or -1 when it has none.
int ByteForChar(QChar c);

}  // namespace charset
