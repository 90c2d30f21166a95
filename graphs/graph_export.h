#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "graphs/picture.h"

namespace graphs {

enum class ExportFormat { Emf, Svg, Png, Pdf };

// The format an extension names (any case); nullopt for others.
std::optional<ExportFormat> FormatFromExtension(const QString& extension);

// Where Save Graph writes: the base name and the extension, joined by ".".
struct ExportName {
    QString base;
    QString extension;
};

// Splits a chosen file name. An extension of a format the graphs write (emf, svg, png, pdf in
// any case) is cut off the name, so it is not written twice; any other name is kept whole as
// the base and gets `fallbackExtension`.
ExportName SplitExportName(const QString& chosen,
                           const QString& fallbackExtension = QStringLiteral("EMF"));

// The files Save Graph writes for `pictures` slots: base.ext for one, base_01.ext, base_02.ext
// ... (numbered by slot) for several.
QStringList ExportFileNames(const ExportName& name, int pictures);

// Pixel size of PNG files when none is asked for: 8 pixels to the millimetre.
inline constexpr QSize kDefaultPixelSize{960, 560};
// Most pixels a side of a PNG or SVG asked for: over 2,000 to the inch of the 120 mm picture.
// A PNG of this size takes 400 MB while it is drawn; one of twice the size took 1.6 GB.
inline constexpr int kMaxPixelsPerSide = 10000;

// Writes one picture. PNG and SVG take `pixelSize` (default kDefaultPixelSize for PNG, one
// pixel per 0.1 mm for SVG); PDF and EMF keep the picture's 120 mm by 70 mm. The file is
// replaced only once it is complete.
bool WritePicture(const Picture& picture, const QString& path, ExportFormat format,
                  QSize pixelSize = QSize());

struct SaveOutcome {
    bool ok = true;
    QStringList written;
    QString failed;  // the first file that could not be written
};

// Writes every picture (null slots are skipped) in the format of `name`'s extension.
SaveOutcome SavePictures(const std::vector<const Picture*>& pictures, const ExportName& name,
                         QSize pixelSize = QSize());

}  // namespace graphs
