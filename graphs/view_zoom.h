#pragma once

namespace graphs {

// On-screen size of one picture at zoom 1, in pixels: the 120 mm by 70 mm frame at the
// screen's pixels per millimetre, truncated.
struct PixelSize {
    int width = 0;
    int height = 0;
};
PixelSize PictureScreenSize(double pixelsPerMmX, double pixelsPerMmY);

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// Picture i (from 0) at zoom z: the pictures stand one under the other.
PixelRect PictureRect(int index, int zoom, PixelSize picture);

// The scroll position after a zoom from oldZoom to newZoom that keeps the window point
// `anchor` (the click when zooming in, the window's centre when zooming out) over the same
// spot of the picture. `content` and `window` are the new scrollable and visible extents: a
// picture that fits needs no scrolling.
int ScrollAfterZoom(int scroll, int oldZoom, int newZoom, int anchor, int content, int window);

// Zoom in steps by one; zoom out stops at 1.
int ZoomedIn(int zoom);
int ZoomedOut(int zoom);

}  // namespace graphs
