#include "shell/pad_print.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// strftime over UTF-8 text: bytes outside its codes are copied as they are.
QString FormatTime(const QString& pattern, const QDateTime& time) {
    if (pattern.isEmpty()) return pattern;
    const QByteArray format = pattern.toUtf8();
    const std::time_t seconds = static_cast<std::time_t>(time.toSecsSinceEpoch());
    std::tm parts{};
    localtime_r(&seconds, &parts);
    // A code may expand to many characters; 0 from strftime means the buffer was too small.
    for (std::size_t size = 256; size <= std::size_t(64) * 1024; size *= 4) {
        std::vector<char> out(size);
        const std::size_t n = std::strftime(out.data(), out.size(), format.constData(), &parts);
        if (n > 0) return QString::fromUtf8(out.data(), qsizetype(n));
    }
    return QString();
}

// Carries the highlighter's colours and faces, kept beside the text's own formats, into the
// copy that is printed.
void CopyLayoutFormats(const QTextDocument& from, QTextDocument& to) {
    QTextBlock source = from.begin();
    QTextBlock target = to.begin();
    for (; source.isValid() && target.isValid(); source = source.next(), target = target.next()) {
        if (source.layout() == nullptr) continue;
        for (const QTextLayout::FormatRange& range : source.layout()->formats()) {
            QTextCursor c(&to);
            c.setPosition(target.position() + range.start);
            c.setPosition(target.position() + range.start + range.length, QTextCursor::KeepAnchor);
            c.mergeCharFormat(range.format);
        }
    }
}

}  // namespace

QString ExpandPageText(const QString& pattern, int page, const QString& fileName,
                       const QDateTime& time) {
    QString text = pattern;
    const qsizetype p = text.indexOf(QLatin1String("&p"));
    if (p >= 0) text.replace(p, 2, QString::number(page));
    const qsizetype f = text.indexOf(QLatin1String("&f"));
    if (f >= 0) text.replace(f, 2, QString(fileName).replace(u'%', QLatin1String("%%")));
    return FormatTime(text, time);
}

QDateTime PageTextTime(int choice, const QString& path) {
    if (choice == 0 && QFileInfo(path).fileName().contains(u'.')) {
        const QFileInfo info(path);
        if (info.exists()) return info.lastModified();
    }
    return QDateTime::currentDateTime();
}

int PrintEquationText(const QTextDocument& coloured, QPrinter& printer, const PrintJob& job) {
    std::unique_ptr<QTextDocument> text(coloured.clone());
    text->documentLayout()->setPaintDevice(&printer);
    text->setDefaultFont(job.font);
    {
        QTextCursor all(text.get());
        all.select(QTextCursor::Document);
        QTextCharFormat font;
        font.setFont(job.font, QTextCharFormat::FontPropertiesSpecifiedOnly);
        all.mergeCharFormat(font);
    }
    CopyLayoutFormats(coloured, *text);

    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal width = page.width();
    const qreal height = page.height();
    const qreal h = QFontMetricsF(job.font, &printer).height();
    const bool hasHeader = !job.setup.header.isEmpty();
    const bool hasFooter = !job.setup.footer.isEmpty();
    // The header line, a rule a quarter line below it, and the text a quarter line further.
    const qreal top = hasHeader ? h + h / 4 + h / 4 : 0;
    const qreal bottomReserve = hasFooter ? 2 * h / 4 + h : 0;
    const qreal body = std::max(h, height - top - bottomReserve);
    text->setPageSize(QSizeF(width, body));
    text->setDocumentMargin(0);
    const int pages = std::max(1, text->pageCount());

    painter.setFont(job.font);
    const QFontMetricsF metrics(job.font, &printer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0) printer.newPage();
        painter.setPen(Qt::black);
        if (hasHeader) {
            const QString header =
                ExpandPageText(job.setup.header, i + 1, job.fileName, job.headerTime);
            painter.drawText(QPointF(0, metrics.ascent()), header);
            painter.drawLine(QPointF(0, h + h / 4), QPointF(width, h + h / 4));
        }
        painter.save();
        painter.translate(0, top - i * body);
        text->drawContents(&painter, QRectF(0, i * body, width, body));
        painter.restore();
        if (hasFooter) {
            const QString footer =
                ExpandPageText(job.setup.footer, i + 1, job.fileName, job.footerTime);
            const qreal footerTop = height - h;
            painter.drawLine(QPointF(0, footerTop - h / 4), QPointF(width, footerTop - h / 4));
            painter.drawText(QPointF(0, footerTop + metrics.ascent()), footer);
        }
    }
    painter.end();
    return pages;
}
