#pragma once

#include "PendingForm.h"
#include "TFrmPadrao.h"

#include <QHash>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace jx {
class TdtmJX;
class EnablementLifecycle;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// "Habilitação de Contabilista": the enablement's registration data, its address and its
// contact data; Salvar and Cancelar end the edit's transaction.
class TFrmHabContabilista : public TFrmPadrao, public PendingForm {
    Q_OBJECT

public:
    TFrmHabContabilista(Commands& commands, TdtmJX& jx, EnablementLifecycle& lifecycle, UserPrompts& prompts,
        QWidget* parent = nullptr);

    void done(int result) override;
    bool save();
    // The identification mask and the responsible-CPF caption for the kind chosen.
    void applyKind();

    QWidget* control(const QString& name) const { return m_controls.value(name); }
    QLabel* caption(const QString& name) const { return m_captions.value(name); }

    // Opens the pending-item list when the save's question is answered Sim.
    std::function<void()> showPendingList;

    int filingKind() const override { return 0; }
    void takeTyping() override { commitTyping(); }
    bool datesValid() override;
    void focusPending(const QString& control, int row) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* addCaption(const QString& text, const QString& name, bool bold);

    Commands& m_commands;
    TdtmJX& m_jx;
    EnablementLifecycle& m_lifecycle;
    UserPrompts& m_prompts;
    QHash<QString, QWidget*> m_controls;
    QHash<QString, QLabel*> m_captions;
    QLineEdit* m_identification = nullptr;
    QLineEdit* m_birthDate = nullptr;
};

} // namespace jx::gui
