#pragma once

#include <QObject>

#include <memory>

#include "requests/Persons.h"

namespace jx {
class TdtmJX;
class RequestLifecycle;
class LinkedEstablishments;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;
class PendingCommands;
}

namespace jx::data {
class RecordSet;
}

namespace jx::gui {

// Runs the request commands: the browser, the new-request dialog, the request form, the
// address form and deletion. Windows are made when a command opens them and destroyed when
// they close.
class RequestWindows : public QObject {
    Q_OBJECT

public:
    RequestWindows(
        Commands& commands, TdtmJX& jx, UserPrompts& prompts, PendingCommands& pending, QObject* parent = nullptr);
    ~RequestWindows() override;

    RequestLifecycle& lifecycle() { return *m_lifecycle; }
    Persons& persons() { return *m_persons; }
    LinkedEstablishments& linked() { return *m_linked; }

    void openBrowser();
    void newRequest();
    void editRequest();
    void deleteRequest();
    void editAddress(bool establishment);
    // Partners and responsible persons: add, change, delete, their address.
    void addPerson(Persons::Kind kind);
    void changePerson(Persons::Kind kind);
    void deletePerson(Persons::Kind kind);
    void editPersonAddress(Persons::Kind kind);
    // Linked registrations (ie) and CNPJs: the list, a new row, deleting the selected one.
    void openLinkedList(bool ie);
    void addLinked(bool ie);
    void deleteLinked(bool ie);
    // The CNAE-F tree for the principal or the secondary activity.
    void chooseCnaef(bool principal);
    // "Verificar Pendências" on the request form: the dates, the rules, the list or the word
    // that there is none.
    void verifyRequest();

private:
    void openPersonForm(Persons::Kind kind);
    void runAddressForm(const QVariant& link, data::RecordSet& target);
    void openForm();

    Commands& m_commands;
    PendingCommands& m_pending;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    std::unique_ptr<RequestLifecycle> m_lifecycle;
    std::unique_ptr<Persons> m_persons;
    std::unique_ptr<LinkedEstablishments> m_linked;
    bool m_browserOpen = false;
};

} // namespace jx::gui
