#pragma once

#include <QLatin1StringView>

// Sections and keys of the application profile, in one place.
namespace keys {

inline constexpr QLatin1StringView kOrganisation{"Valdrix"};
inline constexpr QLatin1StringView kApplication{"Valdrix"};

// Section "Settings": window placement, child-frame state, editor settings.
inline constexpr QLatin1StringView kWindowPos{"Settings/WindowPos"};
inline constexpr QLatin1StringView kShowCmd{"Settings/ShowCmd"};
inline constexpr QLatin1StringView kWordWrap{"Settings/WordWrap"};
inline constexpr QLatin1StringView kTabStops{"Settings/TabStops"};
inline constexpr QLatin1StringView kEquationColor{"Settings/EquationColor"};
inline constexpr QLatin1StringView kCommentsColor{"Settings/CommentsColor"};
inline constexpr QLatin1StringView kBackGroundColor{"Settings/BackGroundColor"};
// The capacity of every run: the largest number of equations and variables.
inline constexpr QLatin1StringView kCapacity{"Settings/Capacity"};
// How every run minimizes (O, K, ALR): 0 direct methods, 1 Newton on the rewritten equations.
inline constexpr QLatin1StringView kOptimizationRoute{"Settings/OptimizationRoute"};

// Section "General": the layout of the bars and docking windows.
inline constexpr QLatin1StringView kBarState{"General/BarState"};

// Sections of the display and printer fonts; each holds the same values.
inline constexpr QLatin1StringView kFontSection{"Font"};
inline constexpr QLatin1StringView kPrintFontSection{"PrintFont"};
inline constexpr QLatin1StringView kFontHeight{"Height"};
inline constexpr QLatin1StringView kFontWeight{"Weight"};
inline constexpr QLatin1StringView kFontItalic{"Italic"};
inline constexpr QLatin1StringView kFontUnderline{"Underline"};
inline constexpr QLatin1StringView kFontPitchAndFamily{"PitchAndFamily"};
inline constexpr QLatin1StringView kFontCharSet{"CharSet"};
inline constexpr QLatin1StringView kFontFaceName{"FaceName"};

// Section "PageSetup": header and footer of printed pages.
inline constexpr QLatin1StringView kHeader{"PageSetup/Header"};
inline constexpr QLatin1StringView kFooter{"PageSetup/Footer"};
inline constexpr QLatin1StringView kHeaderTime{"PageSetup/HeaderTime"};
inline constexpr QLatin1StringView kFooterTime{"PageSetup/FooterTime"};

// The recent-file list: "File1" to "File4".
inline constexpr QLatin1StringView kRecentFileSection{"Recent File List"};
inline constexpr QLatin1StringView kRecentFilePrefix{"File"};
inline constexpr int kRecentFileCount = 4;

}  // namespace keys
