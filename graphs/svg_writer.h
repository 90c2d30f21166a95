#pragma once

#include <QSize>

class QIODevice;

namespace graphs {

class Picture;

// Writes `picture` as an SVG document whose user units are `pixelSize` pixels of 0.1 mm each
// (1200 by 700 is the picture's 120 mm by 70 mm). Elements reach `device` while the picture
// plays, a buffer of fixed size at a time, so a picture of millions of lines takes no more
// memory to write than a small one. A run of lines each starting where the last one ended
// becomes one polyline. False when the device refuses a write.
bool WriteSvg(const Picture& picture, QIODevice& device, QSize pixelSize);

}  // namespace graphs
