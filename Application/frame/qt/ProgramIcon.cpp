// The icon on a 256-unit grid, scaled to each size; the small sizes keep the page and
// the three coloured lines, which stay legible down to 16 pixels.
#include "frame/qt/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace varlin {

void PaintProgramIcon(QPainter& p, int size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    p.setPen(Qt::NoPen);
    QLinearGradient tile(0, 8, 0, 248);
    tile.setColorAt(0, QColor(0x2d, 0x7f, 0xb8));
    tile.setColorAt(1, QColor(0x17, 0x4a, 0x73));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    QPainterPath page;
    page.moveTo(56, 36);
    page.lineTo(168, 36);
    page.lineTo(204, 72);
    page.lineTo(204, 220);
    page.lineTo(56, 220);
    page.closeSubpath();
    p.setBrush(QColor(0xfb, 0xfb, 0xf7));
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(168, 36);
    corner.lineTo(168, 72);
    corner.lineTo(204, 72);
    corner.closeSubpath();
    p.setBrush(QColor(0xc9, 0xd6, 0xe0));
    p.drawPath(corner);
    struct Line { QRectF box; QColor colour; };
    const Line lines[] = {
        {{76, 92, 72, 14}, QColor(0xc0, 0x39, 0x2b)},   // a routine line, red
        {{92, 122, 88, 14}, QColor(0x2e, 0x8b, 0x3a)},  // keywords, green
        {{92, 152, 56, 14}, QColor(0x2a, 0x5d, 0xb0)},  // a comment, blue
        {{76, 182, 40, 14}, QColor(0x8a, 0x8f, 0x96)},
    };
    for (const Line& l : lines) {
        p.setBrush(l.colour);
        p.drawRoundedRect(l.box, 4, 4);
    }
    p.setBrush(QColor(0x1b, 0x1b, 0x1b));
    p.drawRect(QRectF(124, 176, 12, 26));  // the caret
    p.restore();
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        PaintProgramIcon(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace varlin
