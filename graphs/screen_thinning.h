#pragma once

#include <memory>
#include <utility>

#include "graphs/picture.h"

namespace graphs {

// Where picture coordinates land on a raster device: the frame's top-left corner at
// (left, top) device pixels, `scale` pixels per 0.1 mm, y pointing down.
struct PixelGrid {
    double scale = 1.0;
    double left = 0.0;
    double top = 0.0;

    int Column(int x) const;  // the pixel column a picture x falls in
    // The pixel corner nearest to a picture point, where the screen stamps a circle's centre.
    std::pair<int, int> Nearest(Point p) const;
    // Whether every picture point falls in the same pixel of both grids, up to a shift by
    // whole pixels (scrolling), so that both thin a picture alike.
    bool ThinsLike(const PixelGrid& other) const;
};

/* A copy of `picture` for a screen of pixels, with what a pixel cannot show left out. A
   curve of a million rows is a million lines, but the window has a few hundred pixel columns;
   drawing every line would take seconds at every repaint.

   - Joined lines: of the consecutive vertices that fall in one pixel column, only the first,
     the lowest, the highest and the last are kept, in the order they came. The lines between
     them cover the same rows of that column as all of the column's lines did, and the lines
     from one column to the next are the original ones, so the curve joins as before.
   - Separate vertical lines at the same x (the stems of a line graph) whose spans overlap or
     touch become one line over their joint span.
   - Circles of one pen whose centres are nearest the same pixel corner are drawn once; the
     screen stamps circles there. The circles of a
     run of lines and circles of one pen follow its lines, so points do not cut the curve into
     single lines; one colour drawn over itself looks the same in either order.
   - Filled rectangles with no width or no height and no outline draw nothing, and are left out.

   Everything else is kept in order. The result differs from the full drawing only along the
   pen's edges at column borders; exports and printing play the full picture. */
Picture ThinForScreen(const Picture& picture, const PixelGrid& grid);

// A window's thinned copy of one picture, made again only when the picture or its pixel grid
// changes: repainting, scrolling and resizing the window reuse it; zooming does not.
class ScreenCopy {
   public:
    const Picture& For(const std::shared_ptr<const Picture>& picture, const PixelGrid& grid);

   private:
    std::shared_ptr<const Picture> source_;
    PixelGrid grid_;
    Picture thinned_;
};

}  // namespace graphs
