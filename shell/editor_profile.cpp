#include "shell/editor_settings.h"

#include <QSettings>
#include <algorithm>

#include "shell/settings_keys.h"

namespace {

// What stands in for the program's own faces when they are not installed: faces with the Greek
// letters and mathematical signs of the equation language.
const QLatin1StringView kFallbackFamilies[] = {QLatin1StringView("DejaVu Serif"),
                                               QLatin1StringView("DejaVu Sans")};
const QLatin1StringView kSymbolFace{"Valdrix Times"};

// A cell height holds the characters and their leading; characters take about four fifths.
constexpr int kCellToCharacterNumerator = 4;
constexpr int kCellToCharacterDenominator = 5;

void ReadFont(QSettings& profile, QLatin1StringView section, FontDescription& font) {
    profile.beginGroup(section);
    const int height = profile.value(keys::kFontHeight, 0).toInt();
    if (height != 0) {
        font.height = height;
        font.weight = profile.value(keys::kFontWeight, 0).toInt();
        font.italic = profile.value(keys::kFontItalic, 0).toInt();
        font.underline = profile.value(keys::kFontUnderline, 0).toInt();
        font.pitchAndFamily = profile.value(keys::kFontPitchAndFamily, 0).toInt();
        font.charSet = profile.value(keys::kFontCharSet, 1).toInt();
        font.faceName = profile.value(keys::kFontFaceName, QStringLiteral("System")).toString();
    }
    profile.endGroup();
}

void WriteFont(QSettings& profile, QLatin1StringView section, const FontDescription& font,
               const FontDescription& read) {
    profile.beginGroup(section);
    if (font.height != read.height) profile.setValue(keys::kFontHeight, font.height);
    if (font.height != 0) {
        const auto put = [&](QLatin1StringView key, auto now, auto before) {
            if (now != before) profile.setValue(key, now);
        };
        put(keys::kFontWeight, font.weight, read.weight);
        put(keys::kFontItalic, font.italic, read.italic);
        put(keys::kFontUnderline, font.underline, read.underline);
        put(keys::kFontPitchAndFamily, font.pitchAndFamily, read.pitchAndFamily);
        put(keys::kFontCharSet, font.charSet, read.charSet);
        put(keys::kFontFaceName, font.faceName, read.faceName);
    }
    profile.endGroup();
}

ColorRef ReadColour(QSettings& profile, QLatin1StringView key, ColorRef fallback) {
    bool ok = false;
    const qlonglong v = profile.value(key, qlonglong(fallback)).toLongLong(&ok);
    return ok && v >= 0 && v <= 0xFFFFFF ? static_cast<ColorRef>(v) : fallback;
}

}  // namespace

QColor ColorFromRef(ColorRef ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

ColorRef RefFromColor(const QColor& c) {
    return ColorRef(c.red()) | (ColorRef(c.green()) << 8) | (ColorRef(c.blue()) << 16);
}

QStringList SymbolFamilies() {
    QStringList families{kSymbolFace};
    for (QLatin1StringView f : kFallbackFamilies) families.append(f);
    return families;
}

int PixelSizeOf(int height) {
    if (height < 0) return -height;
    return height * kCellToCharacterNumerator / kCellToCharacterDenominator;
}

QFont FontFor(const FontDescription& d, int defaultPixelSize) {
    QFont font;
    QStringList families{d.faceName};
    for (const QString& f : SymbolFamilies()) {
        if (!families.contains(f)) families.append(f);
    }
    font.setFamilies(families);
    const int pixels = PixelSizeOf(d.height);
    font.setPixelSize(pixels > 0 ? pixels : defaultPixelSize);
    font.setWeight(d.weight > 0 ? QFont::Weight(std::clamp(d.weight, 100, 900)) : QFont::Normal);
    font.setItalic(d.italic != 0);
    font.setUnderline(d.underline != 0);
    return font;
}

FontDescription DescriptionOf(const QFont& font) {
    FontDescription d;
    const int pixels = font.pixelSize() > 0
                           ? font.pixelSize()
                           : qRound(font.pointSizeF() * 96.0 / 72.0);  // points at 96 dpi
    d.height = -pixels;
    d.weight = font.weight();
    d.italic = font.italic() ? 1 : 0;
    d.underline = font.underline() ? 1 : 0;
    d.pitchAndFamily = font.fixedPitch() ? 1 : 2;
    d.charSet = 1;
    d.faceName = font.family().left(31);
    return d;
}

FontDescription EditorSettings::DisplayFontDefault() {
    FontDescription d;
    d.faceName = kSymbolFace;
    return d;
}

EditorSettings EditorSettings::Read(QSettings& profile) {
    EditorSettings s;
    s.wordWrap = profile.value(keys::kWordWrap, s.wordWrap).toInt();
    const int tabs = profile.value(keys::kTabStops, s.tabStops).toInt();
    if (tabs >= kMinTabStops && tabs <= kMaxTabStops) s.tabStops = tabs;
    s.equationColor = ReadColour(profile, keys::kEquationColor, s.equationColor);
    s.commentsColor = ReadColour(profile, keys::kCommentsColor, s.commentsColor);
    s.backgroundColor = ReadColour(profile, keys::kBackGroundColor, s.backgroundColor);
    ReadFont(profile, keys::kFontSection, s.font);
    ReadFont(profile, keys::kPrintFontSection, s.printFont);
    PageSetup& p = s.pageSetup;
    p.header = profile.value(keys::kHeader, p.header).toString();
    p.footer = profile.value(keys::kFooter, p.footer).toString();
    p.headerTime = profile.value(keys::kHeaderTime, p.headerTime).toInt() != 0 ? 1 : 0;
    p.footerTime = profile.value(keys::kFooterTime, p.footerTime).toInt() != 0 ? 1 : 0;
    return s;
}

void EditorSettings::Write(QSettings& profile, const EditorSettings& read) const {
    const auto put = [&](QLatin1StringView key, auto now, auto before) {
        if (now != before) profile.setValue(key, now);
    };
    put(keys::kWordWrap, wordWrap, read.wordWrap);
    put(keys::kTabStops, tabStops, read.tabStops);
    put(keys::kEquationColor, qlonglong(equationColor), qlonglong(read.equationColor));
    put(keys::kCommentsColor, qlonglong(commentsColor), qlonglong(read.commentsColor));
    put(keys::kBackGroundColor, qlonglong(backgroundColor), qlonglong(read.backgroundColor));
    WriteFont(profile, keys::kFontSection, font, read.font);
    WriteFont(profile, keys::kPrintFontSection, printFont, read.printFont);
    put(keys::kHeader, pageSetup.header, read.pageSetup.header);
    put(keys::kFooter, pageSetup.footer, read.pageSetup.footer);
    put(keys::kHeaderTime, pageSetup.headerTime, read.pageSetup.headerTime);
    put(keys::kFooterTime, pageSetup.footerTime, read.pageSetup.footerTime);
}
