// Drawing a picture into a rectangle in one of three ways: at the corner, stretched over
// it, or centred in it (the frame's background picture). The rectangle always bounds
// what is drawn; the raster operation is a QPainter composition mode.
#pragma once

#include <QPainter>
#include <QRect>

class QImage;
class QPaintDevice;
class QPixmap;

namespace varlin {

enum class BitmapMode : int {
    Copy = 0,     // at the rectangle's top-left corner, cut to the rectangle
    Stretch = 1,  // scaled to fill the rectangle
    Centre = 2,   // centred; along a side where it is larger it starts at the corner and is cut
};

// Which part of a picture of the given size lands where. Both rectangles are empty when
// nothing is drawn (an empty picture or rectangle, or a mode outside the three).
struct BitmapPlacement {
    QRect source;
    QRect target;
};
BitmapPlacement PlaceBitmap(QSize bitmap, const QRect& rect, BitmapMode mode);

// Draws the picture; false when nothing was drawn. A painter's own state (composition
// mode, smoothing) is as it was afterwards. A stretched picture is not smoothed, so
// that its pixels stay whole as in a plain raster copy.
bool DrawBitmap(const QImage& bitmap, QPainter& painter, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop = QPainter::CompositionMode_Source);
bool DrawBitmap(const QPixmap& bitmap, QPainter& painter, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop = QPainter::CompositionMode_Source);
// The same on a device, through a painter of its own.
bool DrawBitmap(const QImage& bitmap, QPaintDevice& device, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop = QPainter::CompositionMode_Source);
bool DrawBitmap(const QPixmap& bitmap, QPaintDevice& device, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop = QPainter::CompositionMode_Source);

}  // namespace varlin
