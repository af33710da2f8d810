#pragma once

#include "TFrmPadrao.h"

class QStatusBar;
class QToolButton;
class QVBoxLayout;

namespace jx::gui {

class Commands;

// A TFrmPadrao with key preview, centred, with a bottom bar holding Salvar and Cancelar
// (bound to the generic commands) and a one-part status bar. Detail-entry windows put their
// controls in contentLayout().
class TFrmCadastroPadrao : public TFrmPadrao {
    Q_OBJECT

public:
    TFrmCadastroPadrao(Commands& commands, QWidget* parent = nullptr);

    QVBoxLayout* contentLayout() const { return m_content; }
    QStatusBar* statusBar() const { return m_status; }
    QToolButton* saveButton() const { return m_save; }
    QToolButton* cancelButton() const { return m_cancel; }
    QToolButton* helpButton() const { return m_help; }

private:
    QVBoxLayout* m_content;
    QStatusBar* m_status;
    QToolButton* m_save;
    QToolButton* m_cancel;
    QToolButton* m_help;
};

} // namespace jx::gui
