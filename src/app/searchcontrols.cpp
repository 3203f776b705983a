#include "app/searchcontrols.h"

#include "app/keys.h"

namespace quelora {

void SearchField::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        Q_EMIT escaped();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT entered();
        return;
    case Qt::Key_Down:
        if (!results_ || results_->count() == 0) break;
        // The row first: the focus then arrives on it, and a screen reader hears it once.
        results_->setCurrentRow(0);
        results_->setFocus(Qt::TabFocusReason);
        return;
    default:
        break;
    }
    QLineEdit::keyPressEvent(e);
    if (isPageKey(*e)) e->accept();
}

void ResultList::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        Q_EMIT escaped();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT entered(currentRow());
        return;
    default:
        break;
    }
    QListWidget::keyPressEvent(e);
    if (isPageKey(*e)) e->accept();
}

} // namespace quelora
