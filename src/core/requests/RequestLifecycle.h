#pragma once

#include "requests/Addresses.h"

#include <QDate>
#include <QString>

#include <functional>

namespace jx {

class TdtmJX;
class UserPrompts;
class StateRegistrationCheck;

// Creating, editing, saving, cancelling and deleting a registration request: each user
// operation is one database transaction.
class RequestLifecycle {
public:
    RequestLifecycle(TdtmJX& jx, UserPrompts& prompts);

    enum class Field { None, Cnpj, MatrizIe, DataInicioAtividade, ProcessoDataInicio, ProcessoDataFim };
    // The answer of the "CNPJ já existente" question.
    enum class ExistingAnswer { Cancel, Edit };

    struct Confirmation {
        enum class Outcome { Refused, Cancelled, Opened } outcome = Outcome::Refused;
        Field focus = Field::None;
        bool created = false;
    };
    // The new-request dialog's confirmation with the typed digits. On Opened the request is
    // current and in editing, its transaction open; the caller shows the request form.
    Confirmation confirmNewRequest(const QString& cnpj, const QString& matrizIe,
        const std::function<ExistingAnswer()>& askExisting, const StateRegistrationCheck& registrationCheck);

    // Opens the current request for editing (transaction begun; missing address or contact
    // rows become new rows).
    void beginEdit();

    struct DateTexts {
        QString dataInicioAtividade;
        QString processoDataInicio;
        QString processoDataFim;
    };
    struct SaveResult {
        bool saved = false;
        Field focus = Field::None;
    };
    // Steps of the save. showPendings runs when the user asks to see the pending items.
    SaveResult save(const DateTexts& dates, const std::function<void()>& showPendings = {});
    // Asks; true when the user confirmed and everything was rolled back.
    bool cancel();
    // Asks; false when the user said no. Throws jx::Error "Erro ao tentar Excluir".
    bool deleteCurrent();
    // Ends the open operation without asking (the form could not be shown): everything is
    // rolled back and the requests are read again.
    void abandon();

    Addresses& addresses() { return m_addresses; }

    static inline const QString kCnpjRequired = QStringLiteral("CNPJ deve ser preenchido!");
    static inline const QString kCnpjInvalid = QStringLiteral("CNPJ Inválido!");
    static inline const QString kMatrizInvalid = QStringLiteral("Inscrição Estadual da Matriz/Principal inválida!");
    static inline const QString kInvalidDate = QStringLiteral("Data Inválida!");
    static inline const QString kAddressRequired = QStringLiteral("Endereço do estabelecimento deve ser informado.");
    static inline const QString kPendingQuestion
        = QStringLiteral("Existem pendências para esta Solicitação de Inscrição Estadual.\r\nDeseja vê-las?");
    static inline const QString kCancelQuestion = QStringLiteral(
        "Ao cancelar ou fechar a tela todas as informações que ainda não foram salvas serão perdidas!\rDeseja "
        "continuar?");
    static inline const QString kDeleteQuestion
        = QStringLiteral("Deseja realmente excluir esta Solicitação de Inscrição Estadual?");
    static inline const QString kDeleteFailed = QStringLiteral("Erro ao tentar Excluir");

    // "Today" of the save's verification; the current date unless fixed (tests).
    void setToday(const QDate& today) { m_today = today; }

private:
    void editOrAppend(data::RecordSet& set);
    // The company contact and both addresses into editing, unsaved rows dropped.
    void editDetails();

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    Addresses m_addresses;
    QDate m_today;
};

} // namespace jx
