#pragma once

#include "requests/Addresses.h"

#include <QString>
#include <QVariant>

namespace jx {

class TdtmJX;
class UserPrompts;

namespace data {
class RecordSet;
}

// The partners and responsible persons of the current request: adding, changing and
// deleting them with their address and contact rows, the checks their forms run on Salvar,
// and the presentation rules of the partner form. Every change is written at once, inside
// the request's open operation.
class Persons {
public:
    enum class Kind { Partner, Responsible };

    Persons(TdtmJX& jx, UserPrompts& prompts, Addresses& addresses);

    // The person's rows into insert (adding) or edit state; contact and address rows too (an
    // empty one becomes a new row).
    void beginAdd(Kind kind);
    void beginChange(Kind kind);
    bool adding(Kind kind) const;

    // The close checks of the form, in order; the message and the field whose control takes
    // the focus. Typed dates are checked as typed (an invalid one is never stored).
    struct Check {
        QString message;
        QString focusField;
        bool information = false; // shown as an information box rather than an error
        bool ok() const { return message.isEmpty(); }
    };
    struct PartnerDates {
        QString participacaoInicio;
        QString nascimento;
    };
    Check checkPartner(const PartnerDates& dates);
    Check checkResponsible(const QString& dataInicio, const QString& dataFim = {});

    // Contact, address, then the person; the list is read again. False when a row was
    // refused (its message shown): the form stays open and nothing else is written.
    bool store(Kind kind);
    // Drops the person's pending rows (Cancelar).
    void discard(Kind kind);
    // Asks; on Sim deletes the contact, the address and the person, each applied at once.
    // False when the user said no or a deletion was refused.
    bool remove(Kind kind);

    // "Participação" as typed: empty clears it, 0 to 100 is stored; anything else is refused
    // with the returned message and the value stays.
    QString setParticipation(const QString& typed);

    // Presentation rules of the partner form.
    struct PartnerPresentation {
        QString identificationMask; // system notation; empty keeps the mask as it is
        QString dateCaption; // empty keeps the caption
        bool representativeEnabled = false; // also its caption in bold
        bool contactBold = false; // "Telefone:" and "E-Mail:" while the partner is master
    };
    // Applies the legal-representative rule (clearing the representative CPF when it does
    // not apply) and returns how the form must look.
    PartnerPresentation partnerPresentation();

    data::RecordSet& people(Kind kind) const;
    data::RecordSet& contact(Kind kind) const;
    data::RecordSet& address(Kind kind) const;

    static QString missingField(const QString& label);
    static inline const QString kDeletePartner = QStringLiteral("Deseja realmente excluir este Sócio?");
    static inline const QString kDeleteResponsible = QStringLiteral("Deseja realmente excluir este Responsável?");
    static inline const QString kMasterExists = QStringLiteral("Já existe um Sócio Responsável Master!");
    static inline const QString kResponsibleExists
        = QStringLiteral("Já existe um Responsável cadastrado com este CPF!");
    static inline const QString kAddPartnerFailed = QStringLiteral("Erro ao tentar Adicionar um Sócio!");
    static inline const QString kAddResponsibleFailed = QStringLiteral("Erro ao tentar Adicionar um Responsável");
    static inline const QString kParticipationRange = QStringLiteral("Participação deve estar entre 0 e 100%");
    static inline const QString kBirthCaption = QStringLiteral("Data de Nascimento:");
    static inline const QString kActivityCaption = QStringLiteral("Data de Início de Atividade:");

private:
    static QString keyField(Kind kind);
    // The list read again, on the given person, with its contact and address.
    void reload(Kind kind, const QVariant& key);
    Addresses::Owner owner(Kind kind) const;

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    Addresses& m_addresses;
};

} // namespace jx
