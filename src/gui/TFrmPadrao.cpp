#include "TFrmPadrao.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

namespace jx::gui {

TFrmPadrao::TFrmPadrao(QWidget* parent, bool keyPreview)
    : QDialog(parent)
    , m_keyPreview(keyPreview)
{
    setModal(true);
    if (m_keyPreview)
        qApp->installEventFilter(this);
}

TFrmPadrao::~TFrmPadrao()
{
    if (m_keyPreview)
        qApp->removeEventFilter(this);
}

bool TFrmPadrao::moveFocus(bool backwards)
{
    // The tab chain of a window wraps from its last control to its first.
    return focusNextPrevChild(!backwards);
}

bool TFrmPadrao::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget != this && widget->window() == this
            && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            moveFocus(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmPadrao::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        moveFocus(event->modifiers() & Qt::ShiftModifier);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        // Esc belongs to the window's own commands (Cancelar, Fechar), not to QDialog.
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmPadrao::commitTyping()
{
    if (m_committing)
        return;
    m_committing = true;
    if (QWidget* focused = focusWidget())
        focused->clearFocus(); // editors write their value when they lose the focus
    m_committing = false;
}

void TFrmPadrao::done(int result)
{
    commitTyping();
    QDialog::done(result);
}

void TFrmPadrao::closeEvent(QCloseEvent* event)
{
    commitTyping();
    QDialog::closeEvent(event);
}

} // namespace jx::gui
