#include "resources/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPolygonF>

namespace prvc03 {

namespace {

// Every glyph is drawn on a 16 x 16 grid and scaled to the size asked for.
constexpr qreal kGrid = 16.0;

const QColor kNavy(0x1F, 0x3A, 0x7A);
const QColor kRed(0xD0, 0x1C, 0x1C);
const QColor kGreen(0x1E, 0x9A, 0x2E);
const QColor kBlue(0x2F, 0x6F, 0xD0);
const QColor kGold(0xE0, 0xA8, 0x18);
const QColor kGrey(0x70, 0x70, 0x70);

QPen Stroke(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Triangle(QPainter& p, bool pointsLeft, qreal tipX, const QColor& colour) {
    const qreal base = pointsLeft ? tipX + 5.5 : tipX - 5.5;
    p.setPen(Stroke(colour.darker(130), 0.8));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(tipX, 8), QPointF(base, 2.5), QPointF(base, 13.5)}));
}

// A block arrow along one axis; `up` and `left` choose the direction.
QPolygonF VerticalArrow(bool up) {
    QPolygonF shape({QPointF(8, 1.5), QPointF(14, 8), QPointF(10.2, 8), QPointF(10.2, 14.5),
                     QPointF(5.8, 14.5), QPointF(5.8, 8), QPointF(2, 8)});
    if (!up) {
        for (QPointF& point : shape) {
            point.setY(kGrid - point.y());
        }
    }
    return shape;
}

QPolygonF HorizontalArrow(bool left) {
    QPolygonF shape({QPointF(14.5, 8), QPointF(8.5, 2), QPointF(8.5, 5.5), QPointF(1.5, 5.5),
                     QPointF(1.5, 10.5), QPointF(8.5, 10.5), QPointF(8.5, 14)});
    if (left) {
        for (QPointF& point : shape) {
            point.setX(kGrid - point.x());
        }
    }
    return shape;
}

void FilledShape(QPainter& p, const QPolygonF& shape, const QColor& fill, const QColor& outline,
                 qreal width = 1.0) {
    p.setPen(Stroke(outline, width));
    p.setBrush(fill);
    p.drawPolygon(shape);
}

// A magnifier whose lens is centred at (cx, cy).
void Magnifier(QPainter& p, qreal cx, qreal cy, qreal radius) {
    p.setPen(Stroke(QColor(0x50, 0x38, 0x20), 2.6));
    const qreal reach = radius * 0.7;
    p.drawLine(QPointF(cx + reach, cy + reach), QPointF(cx + reach + 4.5, cy + reach + 4.5));
    p.setPen(Stroke(kNavy, 1.4));
    p.setBrush(QColor(0xCF, 0xE6, 0xFF));
    p.drawEllipse(QPointF(cx, cy), radius, radius);
    p.setPen(Stroke(Qt::white, 1.0));
    p.drawArc(QRectF(cx - radius + 1.5, cy - radius + 1.5, radius, radius), 90 * 16, 90 * 16);
}

// A sheet of records: `lines` ruled lines from `firstLineY` down.
void RecordSheet(QPainter& p, int lines, qreal firstLineY) {
    p.setPen(Stroke(kGrey, 0.9));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 10, 12.5));
    p.setPen(Stroke(kGrey.lighter(130), 1.0));
    for (int i = 0; i < lines; ++i) {
        p.drawLine(QPointF(3.5, firstLineY + i * 2.5), QPointF(9.5, firstLineY + i * 2.5));
    }
}

void CheckMark(QPainter& p, const QColor& colour, qreal width) {
    p.setPen(Stroke(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
}

void Cross(QPainter& p, const QColor& colour, qreal width, const QRectF& box) {
    p.setPen(Stroke(colour, width));
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
}

void CheckBox(QPainter& p, const QRectF& box, bool checked) {
    p.setPen(Stroke(kGrey, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(box);
    if (checked) {
        p.setPen(Stroke(kGreen, 1.6));
        const qreal x = box.left(), y = box.top(), w = box.width(), h = box.height();
        p.drawPolyline(
            QPolygonF({QPointF(x + w * 0.2, y + h * 0.5), QPointF(x + w * 0.45, y + h * 0.78),
                       QPointF(x + w * 0.85, y + h * 0.2)}));
    }
}

void Person(QPainter& p, qreal cx, qreal top, const QColor& colour) {
    p.setPen(Stroke(colour.darker(140), 0.8));
    p.setBrush(colour);
    p.drawEllipse(QPointF(cx, top + 2.4), 2.3, 2.3);
    QPainterPath body;
    body.moveTo(cx - 4, top + 10);
    body.cubicTo(cx - 4, top + 5, cx + 4, top + 5, cx + 4, top + 10);
    body.closeSubpath();
    p.drawPath(body);
}

void ListLines(QPainter& p, int count) {
    p.setPen(Stroke(kGrey, 1.4));
    for (int i = 0; i < count; ++i) {
        const qreal y = 3.5 + i * 4.0;
        p.drawLine(QPointF(2, y), QPointF(12, y));
    }
}

void Paint(QPainter& p, Glyph glyph) {
    switch (glyph) {
        case Glyph::WindowIcon: {
            // Two users and a key: permissions passed between users.
            Person(p, 5, 1.5, QColor(0x3C, 0x7F, 0xE0));
            Person(p, 10.5, 3, QColor(0x2E, 0xA8, 0x4A));
            p.setPen(Stroke(kGold.darker(150), 0.9));
            p.setBrush(kGold);
            p.drawEllipse(QPointF(4.2, 12.3), 2.6, 2.6);
            p.drawRect(QRectF(6.5, 11.5, 8, 1.8));
            p.drawRect(QRectF(11.5, 13.0, 1.4, 2.2));
            p.drawRect(QRectF(13.4, 13.0, 1.2, 1.6));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(4.2, 12.3), 0.9, 0.9);
            break;
        }
        case Glyph::Ok:
            CheckMark(p, kGreen, 2.6);
            break;
        case Glyph::Cancel:
            Cross(p, kRed, 2.6, QRectF(3.5, 3.5, 9, 9));
            break;
        case Glyph::NavFirst:
            Triangle(p, true, 2, kNavy);
            Triangle(p, true, 8, kNavy);
            break;
        case Glyph::NavPrior:
            Triangle(p, true, 5, kNavy);
            break;
        case Glyph::NavNext:
            Triangle(p, false, 11, kNavy);
            break;
        case Glyph::NavLast:
            Triangle(p, false, 8, kNavy);
            Triangle(p, false, 14, kNavy);
            break;
        case Glyph::ModeResearch: {
            // A magnifier with a circular arrow: search again.
            Magnifier(p, 6.5, 6.5, 4.2);
            p.setPen(Stroke(kGreen, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(8.5, 8.5, 6.5, 6.5), 30 * 16, 270 * 16);
            p.setBrush(kGreen);
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({QPointF(15.6, 9.2), QPointF(13.0, 8.4), QPointF(15.2, 11.6)}));
            break;
        }
        case Glyph::ModeFuzzy: {
            // A magnifier over a wavy line: approximate match.
            Magnifier(p, 6.5, 6.5, 4.2);
            p.setPen(Stroke(kRed, 1.2));
            p.setBrush(Qt::NoBrush);
            QPainterPath wave;
            wave.moveTo(3.8, 6.8);
            wave.cubicTo(5.0, 4.8, 6.2, 8.8, 7.4, 6.8);
            wave.cubicTo(8.0, 5.8, 8.8, 6.2, 9.2, 6.8);
            p.drawPath(wave);
            break;
        }
        case Glyph::ModePinyin: {
            // A magnifier over a letter with a tone mark: search by reading.
            Magnifier(p, 6.5, 6.5, 4.2);
            p.setPen(Stroke(kRed, 1.1));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(4.6, 5.6, 3.2, 3.0));
            p.drawLine(QPointF(7.8, 5.6), QPointF(7.8, 8.8));
            p.drawLine(QPointF(4.4, 3.9), QPointF(8.2, 3.9));
            break;
        }
        case Glyph::ModeAdvanced: {
            // A funnel: a search narrowed by conditions.
            FilledShape(p,
                        QPolygonF({QPointF(1.5, 2), QPointF(14.5, 2), QPointF(9.5, 8),
                                   QPointF(9.5, 14), QPointF(6.5, 12), QPointF(6.5, 8)}),
                        QColor(0xF2, 0xC6, 0x3A), QColor(0x8A, 0x62, 0x10));
            break;
        }
        case Glyph::OrderAscending:
            FilledShape(p, VerticalArrow(true), kRed, kRed.darker(140), 0.8);
            break;
        case Glyph::OrderDescending:
            FilledShape(p, VerticalArrow(false), Qt::black, Qt::black, 0.8);
            break;
        case Glyph::TitleDown:
            FilledShape(p, VerticalArrow(false), kRed, Qt::black, 1.2);
            break;
        case Glyph::TitleUp:
            FilledShape(p, VerticalArrow(true), kRed, Qt::black, 1.2);
            break;
        case Glyph::MoveRight:
            FilledShape(p, HorizontalArrow(false), kBlue, kNavy, 1.0);
            break;
        case Glyph::MoveLeft:
            FilledShape(p, HorizontalArrow(true), kBlue, kNavy, 1.0);
            break;
        case Glyph::Lookup:
            Magnifier(p, 6.5, 6.5, 4.5);
            break;
        case Glyph::DeleteLine: {
            // One highlighted list line crossed out.
            ListLines(p, 1);
            p.setPen(Stroke(kNavy, 0.8));
            p.setBrush(QColor(0xBF, 0xD7, 0xF5));
            p.drawRect(QRectF(1.5, 6, 13, 4));
            p.setPen(Stroke(kGrey, 1.4));
            p.drawLine(QPointF(2, 13.5), QPointF(9, 13.5));
            Cross(p, kRed, 2.0, QRectF(10, 9.5, 4.5, 4.5));
            break;
        }
        case Glyph::ClearList:
            // Every list line, crossed out at once.
            ListLines(p, 4);
            Cross(p, kRed, 2.2, QRectF(7.5, 7.5, 7, 7));
            break;
        case Glyph::SelectAll:
            CheckBox(p, QRectF(1.5, 1.5, 8, 8), true);
            CheckBox(p, QRectF(6.5, 6.5, 8, 8), true);
            break;
        case Glyph::SelectNone:
            CheckBox(p, QRectF(1.5, 1.5, 8, 8), false);
            CheckBox(p, QRectF(6.5, 6.5, 8, 8), false);
            break;
        case Glyph::Sort: {
            // Bars of rising length beside a downward arrow.
            p.setPen(Qt::NoPen);
            p.setBrush(kNavy);
            for (int i = 0; i < 4; ++i) {
                p.drawRect(QRectF(1.5, 2.5 + i * 3.2, 2.0 + i * 1.8, 2.0));
            }
            p.setBrush(kRed);
            p.drawPolygon(QPolygonF({QPointF(10.8, 1.5), QPointF(13.2, 1.5), QPointF(13.2, 10),
                                     QPointF(15.5, 10), QPointF(12, 14.8), QPointF(8.5, 10),
                                     QPointF(10.8, 10)}));
            break;
        }
        case Glyph::Query: {
            // A sheet of records under a magnifier.
            RecordSheet(p, 4, 4.5);
            Magnifier(p, 10, 9.5, 3.2);
            break;
        }
        case Glyph::FindComputer: {
            // A monitor with a small magnifier: looking for a computer.
            p.setPen(Stroke(QColor(0x40, 0x40, 0x40), 0.9));
            p.setBrush(QColor(0xD8, 0xD8, 0xD0));
            p.drawRect(QRectF(1, 1.5, 11, 8.5));
            p.setBrush(QColor(0x1C, 0x5C, 0xA8));
            p.drawRect(QRectF(2.5, 3, 8, 5.5));
            p.setBrush(QColor(0xD8, 0xD8, 0xD0));
            p.drawRect(QRectF(4.5, 10, 4, 1.5));
            p.drawRect(QRectF(2, 11.5, 9, 2));
            Magnifier(p, 11.5, 10.5, 2.6);
            break;
        }
        case Glyph::Preview: {
            // A sheet of records with an eye over it: look before writing.
            RecordSheet(p, 3, 4.0);
            QPainterPath eye;
            eye.moveTo(4.0, 11.5);
            eye.quadTo(9.75, 5.5, 15.5, 11.5);
            eye.quadTo(9.75, 17.5, 4.0, 11.5);
            p.setPen(Stroke(kNavy, 1.1));
            p.setBrush(QColor(0xEE, 0xF4, 0xFF));
            p.drawPath(eye);
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(9.75, 11.5), 2.3, 2.3);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(9.75, 11.5), 1.0, 1.0);
            break;
        }
    }
}

}  // namespace

QPixmap GlyphPixmap(Glyph glyph, int size) {
    if (size <= 0) {
        return QPixmap();
    }
    const QString key = QStringLiteral("prvc03-glyph-%1-%2").arg(static_cast<int>(glyph)).arg(size);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    pixmap = QPixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / kGrid, size / kGrid);
        Paint(painter, glyph);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon GlyphIcon(Glyph glyph, int size) {
    return QIcon(GlyphPixmap(glyph, size));
}

}  // namespace prvc03
