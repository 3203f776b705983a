#include "app/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quelora {
namespace {

template <typename Draw> QIcon drawn(int size, Draw draw) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(size * scale, size * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
        p.end();
        pm.setDevicePixelRatio(scale);
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

QIcon doorPicture() {
    return drawn(28, [](QPainter& p) {
        // A door standing open on a dark doorway: the way out.
        p.setPen(QPen(QColor(70, 40, 15), 1.2));
        p.setBrush(QColor(25, 25, 35));
        p.drawRect(QRectF(8, 3, 13, 22)); // doorway
        p.setPen(QPen(QColor(70, 40, 15), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(7, 2.5), QPointF(22, 2.5)); // lintel
        p.setPen(QPen(QColor(90, 55, 20), 1));
        p.setBrush(QColor(185, 115, 50));
        QPainterPath leaf; // hinged on the left, swung towards the room
        leaf.moveTo(8, 3);
        leaf.lineTo(3, 5.5);
        leaf.lineTo(3, 27);
        leaf.lineTo(8, 25);
        leaf.closeSubpath();
        p.drawPath(leaf);
        p.setBrush(QColor(240, 200, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(4.6, 15.5), 1.0, 1.2);
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.drawLine(QPointF(2, 26.5), QPointF(25, 26.5)); // floor
    });
}

QIcon downArrowPicture() {
    return drawn(28, [](QPainter& p) {
        p.setPen(QPen(QColor(0, 100, 0), 1.2));
        p.setBrush(QColor(40, 180, 40));
        QPainterPath a;
        a.moveTo(10, 3);
        a.lineTo(18, 3);
        a.lineTo(18, 14);
        a.lineTo(24, 14);
        a.lineTo(14, 25);
        a.lineTo(4, 14);
        a.lineTo(10, 14);
        a.closeSubpath();
        p.drawPath(a);
    });
}

QIcon notepadPicture() {
    return drawn(28, [](QPainter& p) {
        p.setPen(QPen(QColor(0, 90, 0), 1));
        p.setBrush(QColor(120, 210, 120));
        p.drawRect(QRectF(5, 5, 18, 21));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 8, 12, 15));
        p.setPen(QPen(QColor(0, 110, 0), 0.8));
        for (int y = 11; y <= 20; y += 3)
            p.drawLine(QPointF(10, y), QPointF(18, y));
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.setBrush(Qt::NoBrush);
        for (int x = 8; x <= 20; x += 4)
            p.drawEllipse(QRectF(x - 1.5, 2.5, 3, 5));
    });
}

QIcon clipboardPicture() {
    return drawn(28, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1));
        p.setBrush(QColor(170, 120, 70));
        p.drawRoundedRect(QRectF(4, 4, 20, 23), 2, 2);
        p.setBrush(QColor(255, 240, 110));
        p.setPen(QPen(QColor(150, 130, 40), 0.8));
        p.drawRect(QRectF(7, 8, 14, 17));
        p.setPen(QPen(QColor(120, 120, 120), 0.8));
        for (int y = 12; y <= 22; y += 3)
            p.drawLine(QPointF(9, y), QPointF(19, y));
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.setBrush(QColor(200, 200, 200));
        p.drawRoundedRect(QRectF(10, 2, 8, 5), 1, 1);
    });
}

QIcon peoplePicture() {
    return drawn(28, [](QPainter& p) {
        const auto person = [&p](qreal x, qreal y, qreal s, QColor c) {
            p.setPen(QPen(c.darker(160), 0.8));
            p.setBrush(QColor(240, 200, 160));
            p.drawEllipse(QPointF(x, y), 3.2 * s, 3.2 * s);
            p.setBrush(c);
            QPainterPath body;
            body.moveTo(x - 5.5 * s, y + 12 * s);
            body.quadTo(x - 5.5 * s, y + 4 * s, x, y + 4 * s);
            body.quadTo(x + 5.5 * s, y + 4 * s, x + 5.5 * s, y + 12 * s);
            body.closeSubpath();
            p.drawPath(body);
        };
        person(8, 8, 0.9, QColor(60, 90, 200));
        person(20, 8, 0.9, QColor(200, 60, 60));
        person(14, 12, 1.0, QColor(40, 150, 60));
    });
}

QIcon trianglePicture(bool up) {
    return drawn(10, [up](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        QPolygonF t;
        if (up)
            t << QPointF(1, 8) << QPointF(9, 8) << QPointF(5, 2);
        else
            t << QPointF(1, 2) << QPointF(9, 2) << QPointF(5, 8);
        p.drawPolygon(t);
    });
}

QIcon programIcon() {
    // The same leaf as packaging/quelora.svg, drawn on its 64-unit grid.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        p.setPen(QPen(QColor(0x7a, 0, 0), 2));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 10, 52, 50), 5, 5);
        QPainterPath band;
        band.addRoundedRect(QRectF(6, 10, 52, 20), 5, 5);
        QPainterPath lower;
        lower.addRect(QRectF(6, 24, 52, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xc0, 0, 0));
        p.drawPath(band.subtracted(lower));
        p.setPen(QPen(QColor(0x8c, 0x8c, 0x96), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(18, 4, 6, 14), 3, 3);
        p.drawRoundedRect(QRectF(40, 4, 6, 14), 3, 3);
        const QColor grey(0xc8, 0xc8, 0xc8);
        const QColor cells[3][4] = {{grey, grey, grey, QColor(0, 255, 0)},
                                    {grey, QColor(255, 0, 0), grey, QColor(0, 255, 0)},
                                    {QColor(255, 255, 0), grey, grey, QColor(0, 255, 0)}};
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                p.fillRect(QRectF(13 + 10 * c, 29 + 10 * r, 8, 7), cells[r][c]);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void SpiralStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = width();
    // Paper edge with punched holes and a wire ring through each.
    p.fillRect(QRectF(w * 0.55, 0, w * 0.45, height()), QColor(255, 255, 255));
    for (int y = 8; y + 10 < height(); y += 16) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 70, 70));
        p.drawEllipse(QRectF(w * 0.62, y + 3, 6, 6));
        p.setPen(QPen(QColor(120, 120, 132), 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(w * 0.12, y, w * 0.62, 12), 30 * 16, 250 * 16);
        p.setPen(QPen(QColor(220, 220, 230), 1));
        p.drawArc(QRectF(w * 0.14, y + 1, w * 0.58, 10), 60 * 16, 150 * 16);
    }
}

} // namespace quelora
