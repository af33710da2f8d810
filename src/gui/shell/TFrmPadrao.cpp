#include "TFrmPadrao.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabBar>

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

namespace {

bool isEnter(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// Push and tool buttons are pressed by Enter; radio buttons and check boxes are fields.
QAbstractButton* pressableButton(QWidget* widget)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    return button && !qobject_cast<QRadioButton*>(button) && !qobject_cast<QCheckBox*>(button) ? button : nullptr;
}

} // namespace

bool TFrmPadrao::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget != this && widget->window() == this && isEnter(key)) {
            if (QAbstractButton* button = pressableButton(widget)) {
                button->click();
                return true;
            }
            moveFocus(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void centreOnMainWindow(QWidget* window)
{
    QWidget* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible() && w != window)
            main = w;
    }
    QRect place = window->frameGeometry();
    if (main)
        place.moveCenter(main->frameGeometry().center());
    else if (QScreen* screen = window->screen())
        place.moveCenter(screen->availableGeometry().center());
    else
        return;
    window->move(place.topLeft());
}

void TFrmPadrao::showEvent(QShowEvent* event)
{
    // A window that chose its own place keeps it.
    const bool placed = testAttribute(Qt::WA_Moved);
    QDialog::showEvent(event);
    if (!event->spontaneous() && !placed) {
        centreOnMainWindow(this);
        setAttribute(Qt::WA_Moved, false); // placed by the program, not by the window
    }
    // Every window opens on its first field, never on a button.
    QWidget* focused = focusWidget();
    if (focused && !pressableButton(focused))
        return;
    QWidget* candidate = this;
    for (int guard = 0; guard < 1000; ++guard) {
        candidate = candidate->nextInFocusChain();
        if (!candidate || candidate == this)
            break;
        auto* display = qobject_cast<QLineEdit*>(candidate);
        if (candidate->window() == this && candidate->isVisibleTo(this) && candidate->isEnabled()
            && (candidate->focusPolicy() & Qt::TabFocus) && !pressableButton(candidate)
            && !qobject_cast<QTabBar*>(candidate) && !(display && display->isReadOnly())) {
            candidate->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TFrmPadrao::keyPressEvent(QKeyEvent* event)
{
    if (isEnter(event)) {
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
