#include "graphs/view_zoom.h"

#include <cmath>

#include "graphs/plot_layout.h"

namespace graphs {

PixelSize PictureScreenSize(double pixelsPerMmX, double pixelsPerMmY) {
    // The frame is kept in 0.1 mm: 1200 by 700 units.
    return {static_cast<int>(geometry::kFrameWidth / 10.0 * pixelsPerMmX),
            static_cast<int>(geometry::kFrameHeight / 10.0 * pixelsPerMmY)};
}

PixelRect PictureRect(int index, int zoom, PixelSize picture) {
    return {0, index * zoom * picture.height, zoom * picture.width,
            (index + 1) * zoom * picture.height};
}

int ScrollAfterZoom(int scroll, int oldZoom, int newZoom, int anchor, int content, int window) {
    if (content <= window) return 0;
    const double r = static_cast<double>(newZoom) / oldZoom;
    return static_cast<int>(scroll * r + (r - 1.0) * anchor);
}

int ZoomedIn(int zoom) {
    return zoom + 1;
}

int ZoomedOut(int zoom) {
    return zoom >= 2 ? zoom - 1 : zoom;
}

}  // namespace graphs
