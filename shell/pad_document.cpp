#include "shell/pad_document.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include "shell/charset.h"
#include "shell/safe_save.h"
#include "shell/shell_messages.h"

namespace {

constexpr const char* kStaleExtensions[] = {".SJC", ".TMP", ".KTK", ".JAC"};

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

PadDocument::PadDocument(QObject* parent) : QObject(parent), text_(new QTextDocument(this)) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
}

PadDocument::~PadDocument() {
    DeleteStaleFiles();
}

QString PadDocument::title() const {
    return path_.isEmpty() ? untitledName_ : QFileInfo(path_).fileName();
}

bool PadDocument::isModified() const {
    return text_->isModified();
}

void PadDocument::setModified(bool modified) {
    text_->setModified(modified);
}

QString PadDocument::attachmentPath() const {
    return QFile::decodeName(QByteArray::fromStdString(settings.attachmentPath));
}

void PadDocument::setAttachmentPath(const QString& path) {
    settings.attachmentPath = Native(path);
}

void PadDocument::SetPath(const QString& path) {
    path_ = path;
    baseName_ = QFile::decodeName(QByteArray::fromStdString(corebridge::BaseName(Native(path))));
}

void PadDocument::AppendFileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    QTextCursor cursor(text_);
    cursor.movePosition(QTextCursor::End);
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        cursor.insertText(charset::ToUnicode(line) + u'\n');
    }
}

void PadDocument::DeleteStaleFiles() const {
    // A base of two characters or fewer is no document's own name: leave such files alone.
    if (baseName_.size() <= 2) return;
    for (const char* ext : kStaleExtensions) QFile::remove(baseName_ + QLatin1String(ext));
}

QString PadDocument::WorkFileNameError(const QString& path) {
    const std::string native = Native(path);
    if (!corebridge::IsWorkFileName(native)) return {};
    const QString base = QFile::decodeName(QByteArray::fromStdString(corebridge::BaseName(native)));
    return QString::fromLatin1(msg::kWorkFileName).arg(path, path.mid(base.size()));
}

bool PadDocument::RefuseWorkFileName(const QString& path, QString* error) {
    const QString refusal = WorkFileNameError(path);
    if (refusal.isEmpty()) return false;
    if (error != nullptr) *error = refusal;
    return true;
}

bool PadDocument::Open(const QString& path, QString* error, QStringList* messages) {
    if (RefuseWorkFileName(path, error)) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    QByteArray bytes = file.readAll();
    file.close();
    crlf_ = bytes.contains("\r\n");
    if (crlf_) bytes.replace("\r\n", "\n");
    text_->setPlainText(charset::ToUnicode(bytes));
    text_->setModified(false);
    text_->clearUndoRedoStacks();

    SetPath(path);
    if (baseName_.isEmpty()) return true;
    DeleteStaleFiles();
    const auto status = corebridge::ReadSettings(Native(baseName_ + ".VDP"), settings);
    const QString message = QString::fromLatin1(corebridge::SettingsReadMessage(status));
    if (!message.isEmpty() && messages != nullptr) messages->append(message);
    return true;
}

bool PadDocument::Save(const QString& path, QString* error, QStringList* messages) {
    if (RefuseWorkFileName(path, error)) return false;
    QByteArray bytes;
    qsizetype bad = 0;
    // The plain-text form turns non-breaking spaces into blanks; byte 0xA0 must come back as
    // itself, so the raw text is taken and only its block breaks become line feeds.
    QString plain = text_->toRawText();
    plain.replace(QChar::ParagraphSeparator, u'\n');
    plain.replace(QChar::LineSeparator, u'\n');
    if (!charset::FromUnicode(plain, bytes, &bad)) {
        if (error != nullptr) {
            *error = QString::fromLatin1(msg::kUnstorableCharacter).arg(plain[bad]).arg(bad);
        }
        return false;
    }
    if (crlf_) bytes.replace("\n", "\r\n");
    QString why;
    if (!SaveFileSafely(path, bytes, &why)) {
        if (error != nullptr) *error = QString::fromLatin1(msg::kSaveFailed).arg(path, why);
        return false;
    }
    text_->setModified(false);
    SetPath(path);
    if (baseName_.isEmpty()) return true;

    const QString sideFile = baseName_ + ".VDP";
    switch (corebridge::WriteSettings(Native(sideFile), settings)) {
        case SettingsWriteStatus::kOk: break;
        case SettingsWriteStatus::kCannotCreate:
            if (messages != nullptr) messages->append(QString::fromLatin1(msg::kVdpCannotCreate));
            break;
        case SettingsWriteStatus::kWriteFailed:
            if (messages != nullptr) messages->append(QString::fromLatin1(msg::kVdpWriteFailed));
            break;
    }
    return true;
}
