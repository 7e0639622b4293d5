// The pictures of the toolbar buttons. Every picture is drawn on a 16 x 16 grid with
// the same pen, paper and accent colours; pixel centres lie on half units so that
// 1-unit lines stay sharp at 16 and 32 pixels.
#include "frame/qt/ToolbarIcons.h"

#include "settings/Options.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace varlin {
namespace {

const QColor kInk(0x37, 0x47, 0x4F);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kBlue(0x1E, 0x6F, 0xD9);
const QColor kGreen(0x2E, 0x9D, 0x48);
const QColor kRed(0xD6, 0x3A, 0x32);
const QColor kFolder(0xF2, 0xB6, 0x3C);
const QColor kGrey(0x9A, 0xA5, 0xAB);

using Draw = std::function<void(QPainter&)>;

QPen InkPen(const QColor& c = kInk, qreal width = 1.0) {
    QPen pen(c, width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

// A sheet of paper with a folded corner, optionally with text lines.
void Page(QPainter& p, qreal x = 2.5, qreal y = 1.5, qreal w = 9, qreal h = 13, bool lines = true) {
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 3, y);
    path.lineTo(x + w, y + 3);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(x + w - 3, y), QPointF(x + w - 3, y + 3));
    p.drawLine(QPointF(x + w - 3, y + 3), QPointF(x + w, y + 3));
    if (!lines) return;
    p.setPen(InkPen(kGrey));
    for (qreal ly = y + 5; ly < y + h - 1; ly += 2) p.drawLine(QPointF(x + 2, ly), QPointF(x + w - 2, ly));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& c) {
    p.setPen(InkPen(c, 1.6));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF a = line;
    a.setLength(3.2);
    a.setAngle(line.angle() + 40);
    QLineF b = line;
    b.setLength(3.2);
    b.setAngle(line.angle() - 40);
    QPainterPath head;
    head.moveTo(a.p2());
    head.lineTo(to);
    head.lineTo(b.p2());
    p.setPen(InkPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(head);
}

void Magnifier(QPainter& p, QPointF centre, qreal r) {
    p.setPen(InkPen(kInk, 1.4));
    p.setBrush(QColor(0xDD, 0xEE, 0xFF));
    p.drawEllipse(centre, r, r);
    p.setPen(InkPen(kInk, 2.2));
    QPointF handle = centre + QPointF(r * 0.72, r * 0.72);
    p.drawLine(handle, handle + QPointF(3, 3));
}

void Folder(QPainter& p, bool open) {
    p.setPen(InkPen());
    p.setBrush(kFolder.darker(115));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolder);
    QPainterPath front;
    if (open) {
        front.moveTo(1.5, 13.5);
        front.lineTo(4, 7.5);
        front.lineTo(15.5, 7.5);
        front.lineTo(13.5, 13.5);
    } else {
        front.moveTo(1.5, 7);
        front.lineTo(13.5, 7);
        front.lineTo(13.5, 13.5);
        front.lineTo(1.5, 13.5);
    }
    front.closeSubpath();
    p.drawPath(front);
}

void Letters(QPainter& p, const QRectF& box, const QString& text, const QColor& c, qreal pixelSize,
             bool bold = true) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(pixelSize));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(font);
    p.setPen(c);
    p.drawText(box, Qt::AlignCenter, text);
}

// A thick horizontal bar: the start or end of something.
void Bar(QPainter& p, qreal y) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(2, y, 12, 2));
}

// Braces that stand for a routine.
void Braces(QPainter& p) {
    Letters(p, QRectF(0, 0, 9, 16), QStringLiteral("{}"), kInk, 9, false);
}

void DrawNew(QPainter& p) {
    Page(p, 2.5, 1.5, 9, 13, false);
    p.setPen(InkPen(kGreen, 2));
    p.drawLine(QPointF(12, 9), QPointF(12, 15));
    p.drawLine(QPointF(9, 12), QPointF(15, 12));
}

void DrawSave(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kBlue);
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(0xE8, 0xEC, 0xEF));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(9, 2.5, 1.5, 3));
}

void DrawClose(QPainter& p) {
    Page(p);
    p.setPen(InkPen(kRed, 2));
    p.drawLine(QPointF(9, 9), QPointF(14, 14));
    p.drawLine(QPointF(14, 9), QPointF(9, 14));
}

void DrawPrint(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(0xCF, 0xD8, 0xDC));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(InkPen(kGrey));
    p.drawLine(QPointF(6, 12.5), QPointF(10, 12.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(12, 8, 1.5, 1.5));
}

void DrawBrowse(QPainter& p) {
    Folder(p, false);
    Magnifier(p, QPointF(9.5, 8.5), 3);
}

void DrawExit(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(QColor(0xB0, 0x86, 0x5A));
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(7, 8, 1.5, 1.5));
    Arrow(p, QPointF(8, 8), QPointF(15, 8), kRed);
}

void DrawUndo(QPainter& p) {
    QPainterPath curve;
    curve.moveTo(4, 6);
    curve.cubicTo(9, 6, 14, 6, 13.5, 10.5);
    curve.cubicTo(13, 14, 9, 14, 7, 14);
    p.setPen(InkPen(kBlue, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    Arrow(p, QPointF(6, 6), QPointF(2, 6), kBlue);
}

// Undo's arrow, mirrored: forward again.
void DrawRedo(QPainter& p) {
    p.translate(16, 0);
    p.scale(-1, 1);
    DrawUndo(p);
}

void DrawCut(QPainter& p) {
    p.setPen(InkPen(kInk, 1.4));
    p.drawLine(QPointF(4, 1.5), QPointF(10, 10.5));
    p.drawLine(QPointF(12, 1.5), QPointF(6, 10.5));
    p.setBrush(kPaper);
    p.setPen(InkPen(kRed, 1.6));
    p.drawEllipse(QPointF(4.5, 12.5), 2.3, 2.3);
    p.drawEllipse(QPointF(11.5, 12.5), 2.3, 2.3);
}

void DrawCopy(QPainter& p) {
    Page(p, 1.5, 1.5, 8, 10, false);
    Page(p, 6.5, 4.5, 8, 10, true);
}

void DrawPaste(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(QColor(0xB0, 0x86, 0x5A));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(kGrey);
    p.drawRect(QRectF(4.5, 1.5, 4, 2));
    Page(p, 7.5, 6.5, 7, 8, true);
}

void DrawInsertFromFile(QPainter& p) {
    Page(p, 5.5, 1.5, 9, 13, true);
    Arrow(p, QPointF(0.5, 8), QPointF(8, 8), kGreen);
}

void DrawCopyToFile(QPainter& p) {
    Page(p, 1.5, 1.5, 9, 13, true);
    Arrow(p, QPointF(7, 8), QPointF(15, 8), kBlue);
}

void DrawTruncate(QPainter& p) {
    Page(p, 2.5, 1.5, 11, 13, true);
    p.setPen(InkPen(kRed, 1.2));
    QPen dashed = InkPen(kRed, 1.2);
    dashed.setDashPattern({1.5, 1.5});
    p.setPen(dashed);
    p.drawLine(QPointF(0.5, 9.5), QPointF(15.5, 9.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(QRectF(3, 10, 10.5, 4.5));
}

void DrawGoto(QPainter& p) {
    Page(p, 5.5, 1.5, 9, 13, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x82));
    p.drawRect(QRectF(6.5, 7.5, 7.5, 2));
    Arrow(p, QPointF(0.5, 8.5), QPointF(5, 8.5), kRed);
}

void DrawFind(QPainter& p) { Magnifier(p, QPointF(6.5, 6.5), 4.5); }

void DrawFindNext(QPainter& p) {
    Magnifier(p, QPointF(5.5, 5.5), 3.8);
    Arrow(p, QPointF(9, 13.5), QPointF(15, 13.5), kBlue);
}

void DrawReplace(QPainter& p) {
    Letters(p, QRectF(0, 0, 8, 9), QStringLiteral("A"), kInk, 9);
    Letters(p, QRectF(8, 7, 8, 9), QStringLiteral("B"), kBlue, 9);
    QPainterPath curve;
    curve.moveTo(3, 10.5);
    curve.quadTo(3, 14, 7, 14);
    p.setPen(InkPen(kRed, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    Arrow(p, QPointF(10, 3), QPointF(14, 3), kRed);
}

void DrawCodeTable(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 2.5, 15, 11));
    Letters(p, QRectF(0.5, 2.5, 15, 11), QString::fromUtf8("\xC3\xA4\xC3\x84"), kBlue, 9);
}

void DrawStartOfFile(QPainter& p) {
    Bar(p, 1);
    Arrow(p, QPointF(8, 15), QPointF(8, 5), kBlue);
}

void DrawEndOfFile(QPainter& p) {
    Bar(p, 13);
    Arrow(p, QPointF(8, 1), QPointF(8, 11), kBlue);
}

void DrawPreviousRoutine(QPainter& p) {
    Braces(p);
    Arrow(p, QPointF(12, 15), QPointF(12, 2), kGreen);
}

void DrawNextRoutine(QPainter& p) {
    Braces(p);
    Arrow(p, QPointF(12, 1), QPointF(12, 14), kGreen);
}

void DrawViewToggle(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 2.5, 15, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(4, 8), 1.3, 1.3);
    Arrow(p, QPointF(7, 8), QPointF(13.5, 8), kBlue);
}

void DrawMacro(QPainter& p) {
    Page(p, 1.5, 1.5, 10, 13, true);
    p.setPen(InkPen(kInk, 1));
    p.setBrush(kGreen);
    QPainterPath play;
    play.moveTo(8.5, 7.5);
    play.lineTo(15.5, 11.5);
    play.lineTo(8.5, 15.5);
    play.closeSubpath();
    p.drawPath(play);
}

const std::map<int, Draw>& Pictures() {
    static const std::map<int, Draw> pictures = {
        {11, DrawNew},          {12, [](QPainter& p) { Folder(p, true); }},
        {13, DrawSave},         {15, DrawClose},
        {16, DrawPrint},        {18, DrawBrowse},
        {19, DrawExit},         {31, DrawUndo},
        {33, DrawCut},          {34, DrawCopy},
        {35, DrawPaste},        {36, DrawInsertFromFile},
        {37, DrawCopyToFile},   {38, DrawTruncate},
        {39, DrawGoto},         {40, DrawFind},
        {41, DrawFindNext},     {42, DrawReplace},
        {81, DrawCodeTable},    {212, DrawStartOfFile},
        {213, DrawEndOfFile},   {216, DrawPreviousRoutine},
        {217, DrawNextRoutine}, {401, DrawViewToggle}, {402, DrawRedo},
    };
    return pictures;
}

QIcon IconFrom(const Draw& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// The desktop's names (freedesktop icon naming) of the commands that have one. A command
// whose meaning no standard name says keeps its drawn picture, so that the bar does not
// show two buttons alike (find and find next, say).
const std::map<int, const char*>& ThemeNames() {
    static const std::map<int, const char*> names = {
        {11, "document-new"},  {12, "document-open"},     {13, "document-save"},
        {15, "window-close"},  {16, "document-print"},    {19, "application-exit"},
        {31, "edit-undo"},     {402, "edit-redo"},        {33, "edit-cut"},
        {34, "edit-copy"},     {35, "edit-paste"},        {39, "go-jump"},
        {40, "edit-find"},     {42, "edit-find-replace"}, {212, "go-top"},
        {213, "go-bottom"},
    };
    return names;
}

QIcon DrawnIcon(int commandId) {
    auto it = Pictures().find(commandId);
    return it == Pictures().end() ? QIcon() : IconFrom(it->second);
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
    if (CurrentOptions().ThemeIcons != 0) {
        auto it = ThemeNames().find(commandId);
        const QString name = it == ThemeNames().end() ? QString() : QString::fromLatin1(it->second);
        if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    }
    return DrawnIcon(commandId);
}

QIcon MacroButtonIcon() { return IconFrom(DrawMacro); }

bool PaintToolbarIcon(QPainter& painter, int commandId, int size) {
    auto it = Pictures().find(commandId);
    if (it == Pictures().end()) return false;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    it->second(painter);
    painter.restore();
    return true;
}

}  // namespace varlin
