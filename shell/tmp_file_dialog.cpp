#include "shell/tmp_file_dialog.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/charset.h"
#include "shell/shell_messages.h"

namespace {
constexpr int kCharacterHeight = 14;
}

TmpFileDialog::TmpFileDialog(const QString& path, QWidget* parent)
    : QDialog(parent), symbolic_(QFileInfo(path).suffix() == QLatin1String("SJC")) {
    setWindowTitle(path);
    setObjectName(QStringLiteral("TmpFileDialog"));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font;
    font.setFamilies(
        symbolic_
            ? QStringList{QStringLiteral("Valdrix Times"), QStringLiteral("DejaVu Serif")}
            : QStringList{QStringLiteral("Valdrix Courier"), QStringLiteral("DejaVu Sans Mono")});
    font.setPixelSize(kCharacterHeight);
    font.setWeight(QFont::Normal);
    text_->setFont(font);

    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QString text;
        while (!file.atEnd()) {
            QByteArray line = file.readLine();
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            text += charset::ToUnicode(line) + u'\n';
        }
        text_->setPlainText(text);
    }

    convert_ = new QPushButton(QString::fromLatin1(msg::kConvertToMainFile), this);
    convert_->setVisible(symbolic_);
    connect(convert_, &QPushButton::clicked, this, &QDialog::accept);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(convert_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    resize(640, 480);
}
