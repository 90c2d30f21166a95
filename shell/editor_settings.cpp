#include "shell/editor_settings.h"

#include <algorithm>

namespace {

// What stands in for the program's own faces when they are not installed: faces with the Greek
// letters and mathematical signs of the equation language.
const QLatin1StringView kFallbackFamilies[] = {QLatin1StringView("DejaVu Serif"),
                                               QLatin1StringView("DejaVu Sans")};
const QLatin1StringView kSymbolFace{"Valdrix Times"};

constexpr int kLightestWeight = QFont::Thin;
constexpr int kHeaviestWeight = QFont::Black;
constexpr qreal kPointsPerInch = 72.0;
constexpr qreal kScreenDpi = 96.0;

}  // namespace

QStringList SymbolFamilies() {
    QStringList families{kSymbolFace};
    for (QLatin1StringView f : kFallbackFamilies) families.append(f);
    return families;
}

QFont EditorFont(const QFont& chosen) {
    QFont font;
    QStringList families{chosen.family()};
    for (const QString& f : SymbolFamilies()) {
        if (!families.contains(f)) families.append(f);
    }
    font.setFamilies(families);
    const int pixels = chosen.pixelSize() > 0
                           ? chosen.pixelSize()
                           : qRound(chosen.pointSizeF() * kScreenDpi / kPointsPerInch);
    font.setPixelSize(pixels > 0 ? pixels : EditorSettings::kDefaultPixelSize);
    font.setWeight(
        QFont::Weight(std::clamp(int(chosen.weight()), kLightestWeight, kHeaviestWeight)));
    font.setItalic(chosen.italic());
    font.setUnderline(chosen.underline());
    return font;
}

QFont EditorSettings::displayFont() const {
    if (font) return *font;
    QFont own(kSymbolFace);
    own.setPixelSize(kDefaultPixelSize);
    return EditorFont(own);
}

QFont EditorSettings::printerFont() const {
    return printFont ? *printFont : displayFont();
}
