#pragma once
#include <QLabel>

namespace quelora {

// A label that answers a click: released with the left button over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

} // namespace quelora
