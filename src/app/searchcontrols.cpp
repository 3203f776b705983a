#include "app/searchcontrols.h"

#include "app/keys.h"

namespace quelora {
namespace {

// Escape and Return (or Enter): told to the window, which closes the search or shows a
// result. False for any other key.
template <typename Escape, typename Enter> bool told(const QKeyEvent& e, Escape escape, Enter enter) {
    switch (e.key()) {
    case Qt::Key_Escape:
        escape();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enter();
        return true;
    default:
        return false;
    }
}

} // namespace

void SearchField::keyPressEvent(QKeyEvent* e) {
    if (told(
            *e, [this] { Q_EMIT escaped(); }, [this] { Q_EMIT entered(); }))
        return;
    if (e->key() == Qt::Key_Down && results_ && results_->count() > 0) {
        // The row first: the focus then arrives on it, and a screen reader hears it once.
        results_->setCurrentRow(0);
        results_->setFocus(Qt::TabFocusReason);
        return;
    }
    QLineEdit::keyPressEvent(e);
    if (isPageKey(*e)) e->accept();
}

void ResultList::keyPressEvent(QKeyEvent* e) {
    if (told(
            *e, [this] { Q_EMIT escaped(); }, [this] { Q_EMIT entered(currentRow()); }))
        return;
    QListWidget::keyPressEvent(e);
    if (isPageKey(*e)) e->accept();
}

} // namespace quelora
