#pragma once

#include <string>

#include "graphs/picture.h"

namespace graphs {

// Writes `picture` as an enhanced metafile: low-metric mapping (0.1 mm, y up), frame from
// (-W, -H) to (W + 2M, H) hundredths of a millimetre, described as "Moj EMF". Records reach
// the file as the picture plays, so memory does not grow with the picture. The file is
// written beside `path` first and renamed into place; false when that fails or when the
// metafile would pass the 4 GiB its header can count.
bool WriteEmf(const Picture& picture, const std::string& path);

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string Utf16FromUtf8(const std::string& text);

}  // namespace graphs
