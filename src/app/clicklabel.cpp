#include "app/clicklabel.h"

#include <QMouseEvent>

namespace quelora {

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(e);
    e->accept();
    Q_EMIT clicked();
}

} // namespace quelora
