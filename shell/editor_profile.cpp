#include "shell/editor_profile.h"

#include <QSettings>
#include <algorithm>
#include <cstdint>

#include "shell/settings_keys.h"

namespace {

// A colour as the profile stores it: red in the low byte, then green, then blue.
using ColorRef = std::uint32_t;
constexpr ColorRef kLargestColour = 0xFFFFFF;
constexpr int kDefaultCharSet = 1;

// A font as the profile stores it, one section per font.
struct FontRecord {
    int height = 0;  // 0: not chosen
    int weight = 0;  // 100..900, 0 for the normal weight
    int italic = 0;
    int underline = 0;
    int pitchAndFamily = 0;
    int charSet = kDefaultCharSet;
    QString faceName = QStringLiteral("System");

    bool operator==(const FontRecord&) const = default;
};

constexpr int kFixedPitch = 1;
constexpr int kVariablePitch = 2;
constexpr int kFaceNameLength = 31;
// A cell height holds the characters and their leading; characters take about four fifths.
constexpr int kCellToCharacterNumerator = 4;
constexpr int kCellToCharacterDenominator = 5;

QColor ColourOf(ColorRef ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

ColorRef RefOf(const QColor& c) {
    return ColorRef(c.red()) | (ColorRef(c.green()) << 8) | (ColorRef(c.blue()) << 16);
}

int PixelSizeOf(int height) {
    if (height < 0) return -height;
    return height * kCellToCharacterNumerator / kCellToCharacterDenominator;
}

std::optional<QFont> FontOf(const FontRecord& r) {
    if (r.height == 0) return std::nullopt;
    QFont font(r.faceName);
    const int pixels = PixelSizeOf(r.height);
    font.setPixelSize(pixels > 0 ? pixels : EditorSettings::kDefaultPixelSize);
    font.setWeight(r.weight > 0
                       ? QFont::Weight(std::clamp(r.weight, int(QFont::Thin), int(QFont::Black)))
                       : QFont::Normal);
    font.setItalic(r.italic != 0);
    font.setUnderline(r.underline != 0);
    return EditorFont(font);
}

FontRecord RecordOf(const QFont& font) {
    FontRecord r;
    r.height = -font.pixelSize();
    r.weight = font.weight();
    r.italic = font.italic() ? 1 : 0;
    r.underline = font.underline() ? 1 : 0;
    r.pitchAndFamily = font.fixedPitch() ? kFixedPitch : kVariablePitch;
    r.faceName = font.family().left(kFaceNameLength);
    return r;
}

void ReadFont(QSettings& profile, QLatin1StringView section, FontRecord& font) {
    profile.beginGroup(section);
    const int height = profile.value(keys::kFontHeight, 0).toInt();
    if (height != 0) {
        const FontRecord defaults;
        font.height = height;
        font.weight = profile.value(keys::kFontWeight, defaults.weight).toInt();
        font.italic = profile.value(keys::kFontItalic, defaults.italic).toInt();
        font.underline = profile.value(keys::kFontUnderline, defaults.underline).toInt();
        font.pitchAndFamily =
            profile.value(keys::kFontPitchAndFamily, defaults.pitchAndFamily).toInt();
        font.charSet = profile.value(keys::kFontCharSet, defaults.charSet).toInt();
        font.faceName = profile.value(keys::kFontFaceName, defaults.faceName).toString();
    }
    profile.endGroup();
}

void WriteFont(QSettings& profile, QLatin1StringView section, const FontRecord& font,
               const FontRecord& read) {
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
    return ok && v >= 0 && v <= kLargestColour ? static_cast<ColorRef>(v) : fallback;
}

}  // namespace

struct EditorProfile::Stored {
    int wordWrap = 0;
    int tabStops = 0;
    ColorRef equationColor = 0;
    ColorRef commentsColor = 0;
    ColorRef backgroundColor = 0;
    FontRecord font;
    FontRecord printFont;
    PageSetup pageSetup;
};

// The profile's values as read, and the same values as the editor took them.
struct EditorProfile::AsRead {
    Stored stored;
    EditorSettings settings;

    AsRead() {
        const EditorSettings defaults;
        stored.wordWrap = defaults.wordWrap ? 1 : 0;
        stored.tabStops = defaults.tabStops;
        stored.equationColor = RefOf(defaults.equationColor);
        stored.commentsColor = RefOf(defaults.commentsColor);
        stored.backgroundColor = RefOf(defaults.backgroundColor);
        stored.pageSetup = defaults.pageSetup;
        settings = SettingsOf(stored);
    }

    static EditorSettings SettingsOf(const Stored& s) {
        EditorSettings e;
        e.wordWrap = s.wordWrap != 0;
        e.tabStops = s.tabStops;
        e.equationColor = ColourOf(s.equationColor);
        e.commentsColor = ColourOf(s.commentsColor);
        e.backgroundColor = ColourOf(s.backgroundColor);
        e.font = FontOf(s.font);
        e.printFont = FontOf(s.printFont);
        e.pageSetup = s.pageSetup;
        return e;
    }

    // A font the profile gave keeps the record it came from; mirroring the display font into
    // the printer font copies the record as it is.
    FontRecord RecordFor(const std::optional<QFont>& font) const {
        if (!font) return FontRecord{};
        if (font == settings.font) return stored.font;
        if (font == settings.printFont) return stored.printFont;
        return RecordOf(*font);
    }
};

EditorProfile::EditorProfile() : read_(std::make_unique<AsRead>()) {}

EditorProfile::~EditorProfile() = default;

EditorSettings EditorProfile::Read(QSettings& profile) {
    auto read = std::make_unique<AsRead>();
    Stored& s = read->stored;
    s.wordWrap = profile.value(keys::kWordWrap, s.wordWrap).toInt();
    const int tabs = profile.value(keys::kTabStops, s.tabStops).toInt();
    if (tabs >= EditorSettings::kMinTabStops && tabs <= EditorSettings::kMaxTabStops)
        s.tabStops = tabs;
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
    read->settings = AsRead::SettingsOf(s);
    read_ = std::move(read);
    return read_->settings;
}

void EditorProfile::Write(QSettings& profile, const EditorSettings& settings) const {
    const Stored& read = read_->stored;
    Stored now = read;
    if (settings.wordWrap != read_->settings.wordWrap) now.wordWrap = settings.wordWrap ? 1 : 0;
    now.tabStops = settings.tabStops;
    now.equationColor = RefOf(settings.equationColor);
    now.commentsColor = RefOf(settings.commentsColor);
    now.backgroundColor = RefOf(settings.backgroundColor);
    now.font = read_->RecordFor(settings.font);
    now.printFont = read_->RecordFor(settings.printFont);
    now.pageSetup = settings.pageSetup;

    const auto put = [&](QLatin1StringView key, auto value, auto before) {
        if (value != before) profile.setValue(key, value);
    };
    put(keys::kWordWrap, now.wordWrap, read.wordWrap);
    put(keys::kTabStops, now.tabStops, read.tabStops);
    put(keys::kEquationColor, qlonglong(now.equationColor), qlonglong(read.equationColor));
    put(keys::kCommentsColor, qlonglong(now.commentsColor), qlonglong(read.commentsColor));
    put(keys::kBackGroundColor, qlonglong(now.backgroundColor), qlonglong(read.backgroundColor));
    WriteFont(profile, keys::kFontSection, now.font, read.font);
    WriteFont(profile, keys::kPrintFontSection, now.printFont, read.printFont);
    put(keys::kHeader, now.pageSetup.header, read.pageSetup.header);
    put(keys::kFooter, now.pageSetup.footer, read.pageSetup.footer);
    put(keys::kHeaderTime, now.pageSetup.headerTime, read.pageSetup.headerTime);
    put(keys::kFooterTime, now.pageSetup.footerTime, read.pageSetup.footerTime);
}
