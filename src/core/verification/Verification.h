#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <functional>

namespace jx {

class TdtmJX;

namespace data {
class RecordSet;
}

// ApurarPendencias: the rules a filing must pass before it may be delivered. Every failed
// rule adds one pending item (error "E" or warning "A") to cdsPendecias, in rule order; the
// rules read the current rows of the record sets and never stop at the first failure.
class Verification {
public:
    explicit Verification(TdtmJX& jx);

    // "Today" of the date rules; the current date unless fixed (tests, jxctl --hoje).
    void setToday(const QDate& today) { m_today = today; }
    QDate today() const
    {
        return m_today.isValid() ? m_today : m_runDate.isValid() ? m_runDate : QDate::currentDate();
    }

    // kind 1: the current request; kind 0: the current enablement. True when no error was
    // added (warnings do not count).
    bool ApurarPendencias(int kind);
    void AdicionarPendencia(const QString& kind, const QString& area, const QString& text);
    int errorCount() const { return m_errors; }

    // The message forms.
    static QString F1(const QString& label);
    static QString F2(const QString& label);
    static QString F3(const QString& label);
    static QString F4(const QString& first, const QString& second);
    static QString F5(const QString& label);

    static inline const QString kDadosIniciais = QStringLiteral("Dados Iniciais");
    static inline const QString kQualificacao = QStringLiteral("Qualificação");
    static inline const QString kIdentificacao = QStringLiteral("Identificação");
    static inline const QString kContabilistas = QStringLiteral("Contabilistas");
    static inline const QString kEndereco = QStringLiteral("Endereço/Comunicação");
    static inline const QString kSocios = QStringLiteral("Sócios");
    static inline const QString kResponsaveis = QStringLiteral("Responsáveis");
    static inline const QString kHabilitacao = QStringLiteral("Habilitação de Contabilista");

private:
    void requestRules();
    // The address checks (CEP, UF, street type, street, município) and the contact checks
    // (telephone, fax and box CEP lengths, e-mail; the partner's e-mail comes first).
    void addressRules(const data::RecordSet& address, const std::function<void(const QString&)>& add);
    void contactRules(
        const data::RecordSet& contact, const std::function<void(const QString&)>& add, bool emailFirst);
    void partnerRules();
    void responsibleRules();
    void enablementRules();
    void error(const QString& area, const QString& text) { AdicionarPendencia(QStringLiteral("E"), area, text); }
    // Entries of a dependent CNAE-F list (desmembramentos or CAE) for an entry; 0 for none.
    int dependentCount(data::RecordSet& list, const QString& param, const QVariant& cnaef);

    TdtmJX& m_jx;
    QDate m_today;
    QDate m_runDate; // while ApurarPendencias runs
    int m_errors = 0;
    // What the items being added are about, for their place on the form.
    QString m_scope;
    int m_personRow = -1;
};

} // namespace jx
