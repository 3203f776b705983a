#include "app/flatbutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quelora {

FlatButton::FlatButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FlatButton::setBackColor(VbColor c) {
    if (c == back_) return;
    back_ = c;
    update();
}

void FlatButton::keyPressEvent(QKeyEvent* e) {
    // Return presses the focused button, as Space does.
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QPushButton::keyPressEvent(e);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, colorFromVb(back_));
    const bool down = isDown() || isChecked();
    // A raised edge: light on top and left, dark below and right; reversed when pressed.
    const QColor light = down ? QColor(64, 64, 64) : QColor(255, 255, 255);
    const QColor dark = down ? QColor(255, 255, 255) : QColor(64, 64, 64);
    const QColor mid = down ? QColor(255, 255, 255) : QColor(128, 128, 128);
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    p.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(mid);
    p.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() - QPoint(1, 1));
    p.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() - QPoint(1, 1));

    const QRect inner = r.adjusted(2, 2, -2, -2).translated(down ? 1 : 0, down ? 1 : 0);
    if (!icon().isNull()) {
        const QSize s = iconSize().boundedTo(inner.size());
        const QRect ir(
            QPoint(inner.center().x() - s.width() / 2 + 1, inner.center().y() - s.height() / 2 + 1), s);
        icon().paint(&p, ir, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(isEnabled() ? QColor(Qt::black) : QColor(128, 128, 128));
        p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (hasFocus()) {
        QPen pen(QColor(0, 0, 0));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

} // namespace quelora
