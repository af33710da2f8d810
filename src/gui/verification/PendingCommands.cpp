#include "PendingCommands.h"

#include "Commands.h"
#include "PendingForm.h"
#include "TFrmVerificarPendencias.h"
#include "platform/UserPrompts.h"
#include "verification/Verification.h"

#include <QAction>
#include <QWidget>

namespace jx::gui {

PendingCommands::PendingCommands(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
{
    auto activeForm = [] { return dynamic_cast<PendingForm*>(Commands::activeWindow()); };
    connect(commands.action(QStringLiteral("actPendencia_VerificaPendencia")), &QAction::triggered, this,
        [this, activeForm] {
            if (PendingForm* form = activeForm())
                verify(*form);
        });
    commands.setUpdateRule(
        QStringLiteral("actPendencia_VerificaPendencia"), [activeForm] { return activeForm() != nullptr; });
}

void PendingCommands::verify(PendingForm& form)
{
    form.takeTyping();
    if (!form.datesValid())
        return;
    const int kind = form.filingKind();
    Verification verification(m_jx);
    if (verification.ApurarPendencias(kind)) {
        m_prompts.information(kind == 1 ? kNoPendingRequest : kNoPendingEnablement);
        return;
    }
    showList(kind, dynamic_cast<QWidget*>(&form), &form);
}

void PendingCommands::showList(int kind, QWidget* parent, PendingForm* jump)
{
    TFrmVerificarPendencias list(m_commands, m_jx, kind == 1, parent);
    list.setJumpEnabled(jump != nullptr);
    if (list.exec() == QDialog::Accepted && jump && !list.chosenControl().isEmpty()) {
        // The form's commands (its address links among them) are enabled again first.
        m_commands.runUpdateRules();
        jump->focusPending(list.chosenControl(), list.chosenRow());
    }
}

} // namespace jx::gui
