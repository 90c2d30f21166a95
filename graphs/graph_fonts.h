#pragma once

#include "graphs/canvas.h"

namespace graphs {

// The three fonts of a picture. The program's own faces are not installed on Linux. The
// Liberation faces have the widths of Times New Roman and Arial, so labels take the room the
// layout was made for: they draw here, and EMF files name the faces they stand in for, which
// readers resolve everywhere (fontconfig maps them to Liberation on Linux).
struct FontSpec {
    const char* face;      // the face the program asks for
    const char* drawFace;  // what draws it on Linux
    const char* emfFace;   // what EMF files name
    const char* fallback;  // when the Liberation faces are missing
    int height;            // cell height (ascent plus descent), 0.1 mm
    bool bold;
    bool serif;
};

inline constexpr FontSpec kGeneralFont{
    "Valdrix Times", "Liberation Serif", "Times New Roman", "DejaVu Serif", 30, false, true};
inline constexpr FontSpec kTitleFont{
    "Valdrix Times", "Liberation Serif", "Times New Roman", "DejaVu Serif", 40, true, true};
inline constexpr FontSpec kExponentFont{
    "MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans", 15, false, false};

constexpr const FontSpec& FontFor(FontRole role) {
    switch (role) {
        case FontRole::General: return kGeneralFont;
        case FontRole::Title: return kTitleFont;
        case FontRole::Exponent: return kExponentFont;
    }
    return kGeneralFont;
}

}  // namespace graphs
