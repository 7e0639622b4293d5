// Drawing a picture into a rectangle: the pixels each mode puts where, what stays
// untouched outside the rectangle, the raster operation, and the painter left as it was.
#include "textutil/qt/DrawBitmap.h"

#include <QImage>
#include <QPixmap>
#include <QTest>

using namespace varlin;

namespace {

constexpr QRgb kBackground = 0xFFFFFFFF;

// A picture whose every pixel tells where it came from.
QRgb SourcePixel(int x, int y) { return qRgb(10 * x + 1, 10 * y + 1, 100); }
QImage Picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, SourcePixel(x, y));
    return image;
}

QImage Canvas() {
    QImage canvas(12, 10, QImage::Format_RGB32);
    canvas.fill(kBackground);
    return canvas;
}

// Every canvas pixel: the source pixel `expected` names, or the background where it
// gives no source (x < 0).
template <typename Expected>
void CheckCanvas(const QImage& canvas, Expected expected) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QPoint from = expected(x, y);
            const QRgb want = from.x() < 0 ? kBackground : SourcePixel(from.x(), from.y());
            if (canvas.pixel(x, y) != want)
                QFAIL(qPrintable(QString("pixel %1,%2 is %3, not %4")
                                     .arg(x).arg(y).arg(canvas.pixel(x, y), 0, 16).arg(want, 0, 16)));
        }
    }
}

// The source pixel at (x, y) when a picture of the given size is placed unscaled at
// `at` and cut to `rect`; (-1, -1) elsewhere.
QPoint Unscaled(int x, int y, QPoint at, QSize size, const QRect& rect) {
    const QPoint from(x - at.x(), y - at.y());
    if (!rect.contains(x, y) || from.x() < 0 || from.y() < 0 || from.x() >= size.width() ||
        from.y() >= size.height())
        return {-1, -1};
    return from;
}

}  // namespace

class DrawBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void unscaledModesPlaceAndCut_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("copy, cut at the right") << 0 << QSize(4, 2) << QRect(2, 3, 3, 6) << QPoint(2, 3);
        QTest::newRow("copy, cut below") << 0 << QSize(4, 5) << QRect(1, 1, 8, 2) << QPoint(1, 1);
        QTest::newRow("centre, smaller") << 2 << QSize(4, 2) << QRect(0, 0, 10, 8) << QPoint(3, 3);
        QTest::newRow("centre, odd room rounds down") << 2 << QSize(4, 2) << QRect(1, 1, 7, 5) << QPoint(2, 2);
        QTest::newRow("centre, wider than the room") << 2 << QSize(5, 2) << QRect(1, 1, 3, 6) << QPoint(1, 3);
        QTest::newRow("centre, taller than the room") << 2 << QSize(2, 9) << QRect(2, 2, 8, 4) << QPoint(5, 2);
    }
    void unscaledModesPlaceAndCut() {
        QFETCH(int, mode);
        QFETCH(QSize, size);
        QFETCH(QRect, rect);
        QFETCH(QPoint, at);
        QImage canvas = Canvas();
        QVERIFY(DrawBitmap(Picture(size.width(), size.height()), canvas, rect, BitmapMode(mode)));
        CheckCanvas(canvas, [&](int x, int y) { return Unscaled(x, y, at, size, rect); });
    }

    void stretchFillsTheRectangle() {
        // 2 x 2 pixels over 4 x 6: each becomes a whole block of 2 x 3, unsmoothed.
        QImage canvas = Canvas();
        const QRect rect(1, 2, 4, 6);
        QPainter painter(&canvas);
        QVERIFY(DrawBitmap(Picture(2, 2), painter, rect, BitmapMode::Stretch));
        painter.end();
        CheckCanvas(canvas, [&](int x, int y) {
            return rect.contains(x, y) ? QPoint((x - 1) / 2, (y - 2) / 3) : QPoint(-1, -1);
        });
    }

    void pixmapsDrawLikeImages() {
        QPixmap pixmap(12, 10);
        pixmap.fill(Qt::white);
        const QRect rect(2, 3, 3, 6);
        QVERIFY(DrawBitmap(QPixmap::fromImage(Picture(4, 2)), pixmap, rect, BitmapMode::Copy));
        const QImage canvas = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        CheckCanvas(canvas, [&](int x, int y) { return Unscaled(x, y, rect.topLeft(), QSize(4, 2), rect); });
    }

    void nothingToDrawLeavesTheCanvas_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("mode");
        QTest::newRow("empty picture") << QSize(0, 0) << QRect(0, 0, 5, 5) << 0;
        QTest::newRow("empty rectangle") << QSize(2, 2) << QRect(3, 3, 0, 4) << 1;
        QTest::newRow("unknown mode") << QSize(2, 2) << QRect(0, 0, 5, 5) << 3;
    }
    void nothingToDrawLeavesTheCanvas() {
        QFETCH(QSize, size);
        QFETCH(QRect, rect);
        QFETCH(int, mode);
        QImage canvas = Canvas();
        QVERIFY(!DrawBitmap(size.isEmpty() ? QImage() : Picture(size.width(), size.height()), canvas, rect,
                            BitmapMode(mode)));
        CheckCanvas(canvas, [](int, int) { return QPoint(-1, -1); });
    }

    void ropIsACompositionModeAndThePainterIsRestored() {
        QImage canvas(4, 4, QImage::Format_RGB32);
        canvas.fill(qRgb(0x0F, 0xF0, 0x33));
        QImage picture(2, 2, QImage::Format_RGB32);
        picture.fill(qRgb(0xFF, 0xFF, 0x00));
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        QVERIFY(DrawBitmap(picture, painter, QRect(0, 0, 4, 4), BitmapMode::Copy,
                           QPainter::RasterOp_SourceXorDestination));
        QCOMPARE(painter.compositionMode(), QPainter::CompositionMode_Multiply);
        painter.end();
        QCOMPARE(canvas.pixel(1, 1) & 0xFFFFFF, QRgb(0xF00F33));
        QCOMPARE(canvas.pixel(2, 2) & 0xFFFFFF, QRgb(0x0FF033));

        // The plain copy replaces the pixels, transparency included, without blending.
        QImage target(2, 2, QImage::Format_ARGB32);
        target.fill(qRgba(0, 0, 255, 255));
        QImage half(2, 2, QImage::Format_ARGB32);
        half.fill(qRgba(255, 0, 0, 128));
        QVERIFY(DrawBitmap(half, target, QRect(0, 0, 2, 2), BitmapMode::Copy));
        QCOMPARE(qAlpha(target.pixel(0, 0)), 128);
    }
};

QTEST_MAIN(DrawBitmapTest)
#include "draw_bitmap.moc"
