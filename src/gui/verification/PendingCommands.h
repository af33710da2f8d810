#pragma once

#include <QObject>
#include <QString>

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;
class PendingForm;

// "Verificar Pendências" on whichever filing form is active, and the pending-item list
// opened by it or by a save.
class PendingCommands : public QObject {
    Q_OBJECT

public:
    PendingCommands(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QObject* parent = nullptr);

    // The dates, the rules, then the list or the word that there is none. An item chosen in
    // the list takes the user to its control on the form.
    void verify(PendingForm& form);
    // The list of the last run, over parent. With jump, choosing an item closes the list and
    // puts the form's focus on the item's control.
    void showList(int kind, QWidget* parent, PendingForm* jump = nullptr);

    static inline const QString kNoPendingRequest
        = QStringLiteral("Não existe pendência para esta Solicitação de Inscrição Estadual!");
    static inline const QString kNoPendingEnablement
        = QStringLiteral("Não existe pendência para esta Habilitação de Contabilista!");

private:
    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
};

} // namespace jx::gui
