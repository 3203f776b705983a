#include "app/flatbutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

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

void FlatButton::setVersionMark(bool marked) {
    if (marked == versionMark_) return;
    versionMark_ = marked;
    update();
}

void FlatButton::setPending(bool pending) {
    if (pending == pending_) return;
    if (!pending_) description_ = accessibleDescription();
    pending_ = pending;
    setAccessibleDescription(pending ? QStringLiteral("Hay texto sin guardar. ") + description_
                                     : description_);
    update();
}

bool FlatButton::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) Q_EMIT toolTipWanted();
    return QPushButton::event(e);
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
    // Checked (the panel button of the panel on show) is for screen readers only: the
    // button looks as designed, raised until it is pressed.
    const bool down = isDown();
    // The classic raised (or, pressed, sunken) edge around a flat face of the button's
    // own colour, which no widget style may change.
    const QBrush face(colorFromVb(back_));
    qDrawWinButton(&p, rect(), palette(), down, &face);

    const QRect inner = rect().adjusted(2, 2, -2, -2).translated(down ? 1 : 0, down ? 1 : 0);
    if (!icon().isNull()) {
        const QSize s = iconSize().boundedTo(inner.size());
        const QRect ir(
            QPoint(inner.center().x() - s.width() / 2 + 1, inner.center().y() - s.height() / 2 + 1), s);
        icon().paint(&p, ir, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    const QColor pendingRed(192, 0, 0);
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(!isEnabled() ? QColor(128, 128, 128) : pending_ ? pendingRed : QColor(Qt::black));
        p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (pending_ && isEnabled()) {
        const int n = std::max(5, std::min(width(), height()) / 3);
        const QPoint corner = inner.topRight();
        const QPoint triangle[3] = {corner, corner - QPoint(n, 0), corner + QPoint(0, n)};
        p.setPen(Qt::NoPen);
        p.setBrush(pendingRed);
        p.drawPolygon(triangle, 3);
    }
    if (versionMark_) {
        const int n = std::max(6, std::min(width(), height()) / 3);
        const QPoint corner = inner.bottomLeft();
        const QPoint triangle[3] = {corner, corner + QPoint(n, 0), corner - QPoint(0, n)};
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        p.drawPolygon(triangle, 3);
    }
    if (hasFocus()) {
        // A black frame lined with white inside the edge: seen on every face colour, the
        // red of the selected day and the dark blue of a reminder included, whatever the style.
        const auto frame = [&p](const QRect& r, int thick, const QColor& c) {
            p.fillRect(QRect(r.left(), r.top(), r.width(), thick), c);
            p.fillRect(QRect(r.left(), r.bottom() - thick + 1, r.width(), thick), c);
            p.fillRect(QRect(r.left(), r.top(), thick, r.height()), c);
            p.fillRect(QRect(r.right() - thick + 1, r.top(), thick, r.height()), c);
        };
        const QRect outer = rect().adjusted(2, 2, -2, -2);
        frame(outer, 2, Qt::black);
        frame(outer.adjusted(2, 2, -2, -2), 1, Qt::white);
    }
}

} // namespace quelora
