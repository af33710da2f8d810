#pragma once

#include <QWidget>

namespace jx::gui {

// The wait window: small, borderless, centred, "Aguarde..." in bold. Callers make it once
// and reuse it; showing it switches to the hourglass, hiding it restores the cursor.
class TFrmAguarde : public QWidget {
    Q_OBJECT

public:
    explicit TFrmAguarde(QWidget* parent = nullptr);

    // Shows the window with the hourglass and paints it at once.
    void start();
    // Hides it and restores the normal cursor.
    void finish();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_cursorSet = false;
};

} // namespace jx::gui
