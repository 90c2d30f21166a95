#include "graphs/graph_export.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "graphs/emf_writer.h"
#include "graphs/qt_canvas.h"
#include "graphs/svg_writer.h"

namespace graphs {

namespace {

constexpr int kPdfDpi = 1200;

void Play(const Picture& picture, QPainter& painter, const QRectF& target) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QPainterCanvas canvas(painter, target);
    picture.Play(canvas);
}

bool WritePng(const Picture& picture, QSaveFile& file, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        Play(picture, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return image.save(&file, "PNG");
}

bool WritePdf(const Picture& picture, QSaveFile& file) {
    QPdfWriter pdf(&file);
    pdf.setResolution(kPdfDpi);
    pdf.setPageLayout(
        QPageLayout(QPageSize(QSizeF(geometry::kFrameWidth / 10.0, geometry::kFrameHeight / 10.0),
                              QPageSize::Millimeter),
                    QPageLayout::Portrait, QMarginsF()));
    pdf.setCreator(QStringLiteral("Valdrix"));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    Play(picture, painter, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())));
    return painter.end();
}

}  // namespace

std::optional<ExportFormat> FormatFromExtension(const QString& extension) {
    const QString e = extension.toLower();
    if (e == QLatin1String("emf")) return ExportFormat::Emf;
    if (e == QLatin1String("svg")) return ExportFormat::Svg;
    if (e == QLatin1String("png")) return ExportFormat::Png;
    if (e == QLatin1String("pdf")) return ExportFormat::Pdf;
    return std::nullopt;
}

ExportName SplitExportName(const QString& chosen, const QString& fallbackExtension) {
    const QString suffix = QFileInfo(chosen).suffix();  // after the last '.' of the file name
    if (!suffix.isEmpty() && FormatFromExtension(suffix)) {
        return {chosen.left(chosen.size() - suffix.size() - 1), suffix};
    }
    return {chosen, fallbackExtension};
}

QStringList ExportFileNames(const ExportName& name, int pictures) {
    QStringList names;
    if (pictures == 1) {
        names << name.base + QLatin1Char('.') + name.extension;
        return names;
    }
    for (int i = 1; i <= pictures; ++i) {
        names << QStringLiteral("%1_%2.%3")
                     .arg(name.base)
                     .arg(i, 2, 10, QLatin1Char('0'))
                     .arg(name.extension);
    }
    return names;
}

bool WritePicture(const Picture& picture, const QString& path, ExportFormat format,
                  QSize pixelSize) {
    if (format == ExportFormat::Emf) return WriteEmf(picture, path.toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    bool ok = false;
    switch (format) {
        case ExportFormat::Png:
            ok = WritePng(picture, file, pixelSize.isValid() ? pixelSize : kDefaultPixelSize);
            break;
        case ExportFormat::Svg:
            ok = WriteSvg(picture, file,
                          pixelSize.isValid()
                              ? pixelSize
                              : QSize(geometry::kFrameWidth, geometry::kFrameHeight));
            break;
        case ExportFormat::Pdf: ok = WritePdf(picture, file); break;
        case ExportFormat::Emf: break;
    }
    if (!ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

SaveOutcome SavePictures(const std::vector<const Picture*>& pictures, const ExportName& name,
                         QSize pixelSize) {
    SaveOutcome outcome;
    const std::optional<ExportFormat> format = FormatFromExtension(name.extension);
    const QStringList files = ExportFileNames(name, static_cast<int>(pictures.size()));
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i] == nullptr) continue;
        const QString& file = files[static_cast<int>(i)];
        if (!format || !WritePicture(*pictures[i], file, *format, pixelSize)) {
            outcome.ok = false;
            outcome.failed = file;
            return outcome;
        }
        outcome.written << file;
    }
    return outcome;
}

}  // namespace graphs
