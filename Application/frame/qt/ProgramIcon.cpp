// The icon of Application/resources/icons/varlin.svg on its 128-unit grid, scaled to
// each size.
#include "frame/qt/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace varlin {

void PaintProgramIcon(QPainter& p, int size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    p.setPen(Qt::NoPen);
    const QColor slate(0x1d, 0x35, 0x50), paper(0xfb, 0xfa, 0xf6);
    QLinearGradient tile(0, 4, 0, 124);
    tile.setColorAt(0, QColor(0x35, 0x59, 0x7f));
    tile.setColorAt(1, slate);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 20, 20);
    // The page with its corner folded.
    QPainterPath page;
    page.moveTo(24, 16);
    page.lineTo(88, 16);
    page.lineTo(104, 32);
    page.lineTo(104, 112);
    page.lineTo(24, 112);
    page.closeSubpath();
    p.setBrush(paper);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(88, 16);
    corner.lineTo(88, 32);
    corner.lineTo(104, 32);
    corner.closeSubpath();
    p.setBrush(QColor(0xc9, 0xd3, 0xdc));
    p.drawPath(corner);
    struct Bar { QRectF box; QColor colour; };
    const Bar bars[] = {
        {{32, 32, 48, 8}, QColor(0xc8, 0x31, 0x2b)},  // a routine line
        {{40, 44, 16, 8}, QColor(0x2c, 0x8a, 0x3c)},  // a keyword and the rest of the line
        {{60, 44, 28, 8}, QColor(0x5a, 0x64, 0x70)},
        {{28, 56, 72, 32}, slate},                     // two lines of a marked range, inverted
        {{40, 62, 36, 8}, paper},
        {{48, 76, 40, 8}, paper},
        {{40, 98, 52, 8}, QColor(0x2f, 0x6f, 0xc4)},  // a comment
        {{32, 94, 4, 16}, QColor(0xf0, 0xa0, 0x20)},  // the caret
    };
    for (const Bar& b : bars) {
        p.setBrush(b.colour);
        p.drawRect(b.box);
    }
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
