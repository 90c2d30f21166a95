#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

// Header and footer of printed pages. "&p" stands for the page number, "&f" for the file name;
// the time codes of strftime are filled in with the file's time (0) or the time of printing (1).
struct PageSetup {
    QString header = QStringLiteral("File: &f");
    QString footer = QStringLiteral("Page: &p");
    int headerTime = 0;
    int footerTime = 0;

    bool operator==(const PageSetup&) const = default;
};

// The editor's settings, one set for the program. The profile keeps them in forms of its own
// (editor_profile.h); here they are what the editor and the printer take.
struct EditorSettings {
    static constexpr int kMinTabStops = 1;
    static constexpr int kMaxTabStops = 16;
    // The editor's character size while no display font has been chosen.
    static constexpr int kDefaultPixelSize = 16;

    bool wordWrap = false;
    int tabStops = 16;  // tab width in quarters of the average character width
    QColor equationColor{255, 0, 0};
    QColor commentsColor{128, 128, 128};
    QColor backgroundColor{255, 255, 255};
    std::optional<QFont> font;       // none: the program's own face at the default size
    std::optional<QFont> printFont;  // none: pages print in the display font
    PageSetup pageSetup;

    QFont displayFont() const;
    // The font of printed pages, sized for the screen.
    QFont printerFont() const;
};

// The font the editor makes of a chosen one: its face first, then the faces that have the
// equation language's symbols for a machine that lacks it; sized in pixels (a size in points
// counts at 96 dots per inch).
QFont EditorFont(const QFont& chosen);

// The faces tried, in order, for the editor's own face and for the symbols.
QStringList SymbolFamilies();
