#include "TInplaceEdit.h"

#include "TMyCustomGrid.h"

#include <QKeyEvent>

TInplaceEdit::TInplaceEdit(TMyCustomGrid *grid) : QLineEdit(grid->viewport())
{
    setFrame(false);
    hide();
}

bool TInplaceEdit::event(QEvent *event)
{
    // Tab belongs to the grid's navigation, not to the focus chain.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            emit GridKey(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        emit GridKey(event);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
