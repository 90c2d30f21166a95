#include "shell/charset.h"

#include "core/base/charset.h"

namespace charset {

QChar CharForByte(unsigned char byte) {
    return QChar(static_cast<char16_t>(CodePointOf(byte)));
}

QString ToUnicode(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out[i] = CharForByte(static_cast<unsigned char>(bytes[i]));
    }
    return text;
}

int ByteForChar(QChar c) {
    return ByteOf(c.unicode());
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
