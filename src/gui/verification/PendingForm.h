#pragma once

#include <QString>

class QWidget;

namespace jx::gui {

// A filing form that "Verificar Pendências" runs on: its kind, its typed-date checks, and
// where a pending item takes the user.
class PendingForm {
public:
    virtual ~PendingForm() = default;
    // Moves the focus on, so that a value being typed reaches its field.
    virtual void takeTyping() = 0;
    // 1 for a request, 0 for an enablement.
    virtual int filingKind() const = 0;
    // The dates typed in the form; the first invalid one says so and takes the focus.
    virtual bool datesValid() = 0;
    // Shows the tab holding the control named and gives it the focus; on a grid, row is
    // the person's row (-1 for none).
    virtual void focusPending(const QString& control, int row) = 0;
};

// The generic part of focusPending: every tab holding the control made current, the row
// selected, the focus on the control (or on its first focusable part). False when the form
// has no such control.
bool focusControl(QWidget* form, const QString& control, int row);

} // namespace jx::gui
