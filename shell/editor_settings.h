#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <cstdint>

class QSettings;

// A colour as the profile stores it: red in the low byte, then green, then blue.
using ColorRef = std::uint32_t;
QColor ColorFromRef(ColorRef ref);
ColorRef RefFromColor(const QColor& colour);

// A font as the profile keeps it, one section per font. A height of 0 means "not chosen": the
// editor then uses its default size. A negative height is the characters' height in pixels, a
// positive one the height of the whole character cell (as the platform's font dialogs gave it).
struct FontDescription {
    int height = 0;
    int weight = 0;  // 100..900, 0 for the normal weight
    int italic = 0;
    int underline = 0;
    int pitchAndFamily = 0;
    int charSet = 1;
    QString faceName = QStringLiteral("System");

    bool operator==(const FontDescription&) const = default;
};

// The font a description stands for. The equation language's symbols come from faces that have
// them, so the families listed after the face stand in for a face this machine lacks.
QFont FontFor(const FontDescription& description, int defaultPixelSize);
FontDescription DescriptionOf(const QFont& font);
// The pixel size of a description's height (0 when unset).
int PixelSizeOf(int height);

// Header and footer of printed pages. "&p" stands for the page number, "&f" for the file name;
// the time codes of strftime are filled in with the file's time (0) or the time of printing (1).
struct PageSetup {
    QString header = QStringLiteral("File: &f");
    QString footer = QStringLiteral("Page: &p");
    int headerTime = 0;
    int footerTime = 0;

    bool operator==(const PageSetup&) const = default;
};

// The editor's settings, one set for the program: read at start-up, written at exit where they
// differ from what was read.
struct EditorSettings {
    static constexpr int kMinTabStops = 1;
    static constexpr int kMaxTabStops = 16;

    int wordWrap = 0;
    int tabStops = 16;                    // tab width in quarters of the average character width
    ColorRef equationColor = 255;         // red
    ColorRef commentsColor = 8421504;     // grey
    ColorRef backgroundColor = 16777215;  // white
    FontDescription font = DisplayFontDefault();
    FontDescription printFont;
    PageSetup pageSetup;

    static FontDescription DisplayFontDefault();
    static EditorSettings Read(QSettings& profile);
    // Writes what differs from `read`, the settings as they were read at start-up.
    void Write(QSettings& profile, const EditorSettings& read) const;
};

// The faces tried, in order, for the editor's own face and for the symbols.
QStringList SymbolFamilies();
