// Drawing a picture into a rectangle: the placement is worked out first, so that the
// drawing itself is one call for images and pixmaps alike.
#include "textutil/qt/DrawBitmap.h"

#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <type_traits>

namespace varlin {
namespace {

// Where a picture of length `picture` starts along one side of length `room` from `start`.
int CentredStart(int start, int room, int picture) {
    return picture > room ? start : start + (room - picture) / 2;
}

template <typename Picture>
bool DrawPicture(const Picture& bitmap, QPainter& painter, const QRect& rect, BitmapMode mode,
                 QPainter::CompositionMode rop) {
    if (!painter.isActive()) return false;
    const BitmapPlacement place = PlaceBitmap(bitmap.size(), rect, mode);
    if (place.target.isEmpty()) return false;
    painter.save();
    painter.setCompositionMode(rop);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if constexpr (std::is_same_v<Picture, QImage>) painter.drawImage(place.target, bitmap, place.source);
    else painter.drawPixmap(place.target, bitmap, place.source);
    painter.restore();
    return true;
}

template <typename Picture>
bool DrawOnDevice(const Picture& bitmap, QPaintDevice& device, const QRect& rect, BitmapMode mode,
                  QPainter::CompositionMode rop) {
    QPainter painter(&device);
    return DrawPicture(bitmap, painter, rect, mode, rop);
}

}  // namespace

BitmapPlacement PlaceBitmap(QSize bitmap, const QRect& rect, BitmapMode mode) {
    if (bitmap.isEmpty() || rect.isEmpty()) return {};
    const QSize cut(std::min(bitmap.width(), rect.width()), std::min(bitmap.height(), rect.height()));
    switch (mode) {
    case BitmapMode::Copy:
        return {QRect(QPoint(0, 0), cut), QRect(rect.topLeft(), cut)};
    case BitmapMode::Stretch:
        return {QRect(QPoint(0, 0), bitmap), rect};
    case BitmapMode::Centre: {
        const QPoint at(CentredStart(rect.left(), rect.width(), bitmap.width()),
                        CentredStart(rect.top(), rect.height(), bitmap.height()));
        return {QRect(QPoint(0, 0), cut), QRect(at, cut)};
    }
    }
    return {};
}

bool DrawBitmap(const QImage& bitmap, QPainter& painter, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop) {
    return DrawPicture(bitmap, painter, rect, mode, rop);
}

bool DrawBitmap(const QPixmap& bitmap, QPainter& painter, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop) {
    return DrawPicture(bitmap, painter, rect, mode, rop);
}

bool DrawBitmap(const QImage& bitmap, QPaintDevice& device, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop) {
    return DrawOnDevice(bitmap, device, rect, mode, rop);
}

bool DrawBitmap(const QPixmap& bitmap, QPaintDevice& device, const QRect& rect, BitmapMode mode,
                QPainter::CompositionMode rop) {
    return DrawOnDevice(bitmap, device, rect, mode, rop);
}

}  // namespace varlin
