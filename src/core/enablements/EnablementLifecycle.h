#pragma once

#include "requests/Addresses.h"

#include <QDate>
#include <QString>

#include <functional>

namespace jx {

class TdtmJX;
class UserPrompts;

// Creating, editing, saving, cancelling and deleting an accountant enablement: one edit is
// one database transaction, committed by the save and rolled back by the cancel.
class EnablementLifecycle {
public:
    EnablementLifecycle(TdtmJX& jx, UserPrompts& prompts);

    enum class Field { None, TipoIdentificacao, Identificacao, DataNascimento };

    // A new enablement with its empty contact and address rows, in editing, its transaction
    // open. False when it could not be made (the message shown, everything rolled back).
    bool beginNew();
    // The current enablement and its contact and address rows into editing.
    void beginEdit();

    struct SaveResult {
        bool saved = false;
        Field focus = Field::None;
    };
    // birthDate is the text of the birth-date edit. showPendings runs when the user asks to
    // see the pending items.
    SaveResult save(const QString& birthDate, const std::function<void()>& showPendings = {});
    // Asks; true when the user confirmed and everything was rolled back.
    bool cancel();
    // Ends the open edit without asking.
    void abandon();
    // Asks; true when the enablement and everything hanging from it are gone.
    bool deleteCurrent();

    Addresses& addresses() { return m_addresses; }
    void setToday(const QDate& today) { m_today = today; }

    static inline const QString kDuplicate = QStringLiteral("Contabilista já existente!");
    static inline const QString kInvalidDate = QStringLiteral("Data Inválida!");
    static inline const QString kAddressRequired = QStringLiteral("O campo Endereço deve ser preenchido!");
    static inline const QString kPendingQuestion = QStringLiteral(
        "Existem pendências para esta Habilitação de Contabilista/Empresa Contábil.\r\nDeseja vê-las?");
    static inline const QString kDeleteQuestion
        = QStringLiteral("Deseja realmente excluir esta Habilitação de Contabilista/Empresa Contábil?");
    static inline const QString kDeleteRefused
        = QStringLiteral("Há uma operação em andamento; conclua-a antes de excluir.");
    static QString requiredText(const QString& label);

private:
    bool identificationTaken(const QString& identification);

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    Addresses m_addresses;
    QDate m_today;
};

} // namespace jx
