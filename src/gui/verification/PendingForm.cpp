#include "PendingForm.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

namespace jx::gui {

bool focusControl(QWidget* form, const QString& name, int row)
{
    QWidget* control = form->findChild<QWidget*>(name);
    if (!control)
        return false;
    // Outer tabs first: an inner tab widget is only shown once its own page is.
    QList<QPair<QTabWidget*, QWidget*>> pages;
    for (QWidget* w = control; w && w != form; w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            pages.prepend({ tabs, w });
    }
    for (const auto& [tabs, page] : pages)
        tabs->setCurrentWidget(page);
    if (auto* view = qobject_cast<QAbstractItemView*>(control); view && row >= 0 && view->model()
        && row < view->model()->rowCount()) {
        view->selectionModel()->setCurrentIndex(
            view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QWidget* target = control;
    if (target->focusPolicy() == Qt::NoFocus || !target->isEnabled()) {
        target = nullptr;
        for (QWidget* part : control->findChildren<QWidget*>()) {
            if (part->focusPolicy() != Qt::NoFocus && part->isEnabled()) {
                target = part;
                break;
            }
        }
    }
    // The list that was just closed held the keyboard; the form takes it back.
    form->activateWindow();
    if (target)
        target->setFocus(Qt::OtherFocusReason);
    return true;
}

} // namespace jx::gui
