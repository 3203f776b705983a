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
        p.setPen(QPen(QColor(60, 40, 20), 1.2));
        p.setBrush(QColor(120, 120, 120));
        p.drawRect(QRectF(6, 3, 16, 23)); // frame
        p.setBrush(QColor(170, 105, 45));
        QPainterPath leaf;
        leaf.moveTo(8, 4);
        leaf.lineTo(17, 7);
        leaf.lineTo(17, 27);
        leaf.lineTo(8, 25);
        leaf.closeSubpath();
        p.drawPath(leaf); // door ajar
        p.setBrush(QColor(240, 200, 60));
        p.drawEllipse(QPointF(15, 16), 1.2, 1.2);
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
        for (int y = 11; y <= 20; y += 3) p.drawLine(QPointF(10, y), QPointF(18, y));
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.setBrush(Qt::NoBrush);
        for (int x = 8; x <= 20; x += 4) p.drawEllipse(QRectF(x - 1.5, 2.5, 3, 5));
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
        for (int y = 12; y <= 22; y += 3) p.drawLine(QPointF(9, y), QPointF(19, y));
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
    return drawn(32, [](QPainter& p) {
        p.setPen(QPen(QColor(120, 0, 0), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(3, 5, 26, 24), 3, 3);
        p.setBrush(QColor(200, 30, 30));
        p.drawRect(QRectF(3, 5, 26, 7));
        p.setPen(QColor(60, 60, 60));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) p.fillRect(QRectF(6 + c * 6, 15 + r * 4.5, 3.5, 3), QColor(80, 80, 80));
        p.fillRect(QRectF(6 + 2 * 6, 15 + 4.5, 3.5, 3), QColor(230, 0, 0));
    });
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
        p.setPen(QPen(QColor(150, 150, 160), 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(w * 0.12, y, w * 0.62, 12), 30 * 16, 250 * 16);
        p.setPen(QPen(QColor(220, 220, 230), 1));
        p.drawArc(QRectF(w * 0.14, y + 1, w * 0.58, 10), 60 * 16, 150 * 16);
    }
}

} // namespace quelora
