#pragma once

#include <QString>

namespace jx {

class TdtmJX;
class UserPrompts;
class StateRegistrationCheck;

namespace data {
class RecordSet;
}

// The request's linked state registrations (incorporation, merger, total split) and linked
// CNPJs (single registration): the entry checks, and adding and deleting rows, each written
// at once. Both tables have no key: rows are found by all their columns.
class LinkedEstablishments {
public:
    LinkedEstablishments(TdtmJX& jx, UserPrompts& prompts);

    struct Result {
        QString message; // the check that failed
        bool clearEdit = false; // the duplicate checks empty the typed value
        bool refused = false; // the database refused the row (its message was shown)
        bool ok() const { return message.isEmpty() && !refused; }
    };

    // A pending row while the entry dialog is open.
    void beginAddIe();
    // The checks in order, then the row is stored and the list read again. A failure of the
    // state-registration library passes on as its own error.
    Result addIe(const QString& digits, const StateRegistrationCheck& check);
    void beginAddCnpj();
    Result addCnpj(const QString& digits);
    // The entry dialog closed without Salvar.
    void discardPending();

    // Asks, deletes the current row and confirms. False when the user said no or the row
    // was refused.
    bool removeIe();
    bool removeCnpj();

    // The request's answers that enable each list.
    bool ieListEnabled() const;
    bool cnpjListEnabled() const;

    data::RecordSet& registrations() const;
    data::RecordSet& cnpjs() const;

    static inline const QString kIeRequired = QStringLiteral("Informe a Inscrição Estadual!");
    static inline const QString kIeInvalid = QStringLiteral("Inscrição Estadual inválida!");
    static inline const QString kIeIsTheRequests
        = QStringLiteral("A Inscrição Estadual não pode ser igual à da Solicitação!");
    static inline const QString kIeRepeated = QStringLiteral("Inscrição Estadual já informada!");
    static inline const QString kCnpjRequired = QStringLiteral("Informe o CNPJ!");
    static inline const QString kCnpjInvalid = QStringLiteral("CNPJ inválido!!");
    static inline const QString kCnpjIsTheRequests = QStringLiteral("O CNPJ não pode ser o mesmo da Solicitação!");
    static inline const QString kCnpjOtherRoot
        = QStringLiteral("O CNPJ informado deve ter o mesmo núcleo do estabelecimento matriz/principal!");
    static inline const QString kCnpjRepeated = QStringLiteral("CNPJ já cadastrado!");
    static inline const QString kDeleteIeQuestion = QStringLiteral("Confirma a exclusão da Inscrição Estadual?");
    static inline const QString kDeleteCnpjQuestion = QStringLiteral("Confirma a exclusão do CNPJ?");
    static inline const QString kIeDeleted = QStringLiteral("Inscrição Estadual excluída com sucesso!");
    static inline const QString kCnpjDeleted = QStringLiteral("CNPJ excluído com sucesso!");

private:
    bool store(data::RecordSet& set);
    bool remove(data::RecordSet& set, const QString& question, const QString& done);

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
};

} // namespace jx
