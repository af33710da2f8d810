#pragma once

#include "config/ConfigApp.h"
#include "data/RecordSet.h"
#include "db/TdtmDB.h"

#include <QObject>

#include <memory>
#include <vector>

namespace jx {

class UserPrompts;
class DeliveryCrypto;

namespace data {
class Lookup;
}

// The application data module: every record set of the program, their master/detail
// wiring and derived columns, the apply routine with its conflict handling, key read-back,
// the current filing kind and the configuration component.
class TdtmJX : public QObject {
    Q_OBJECT

public:
    TdtmJX(TdtmDB& database, UserPrompts& prompts, TerminationHook terminate, const QString& programFolder);
    ~TdtmJX() override;

    using RecordSet = data::RecordSet;

    // Filings and their details
    RecordSet* cdsSolicitacaoIE;
    RecordSet* cdsSolicitacao_IE_Socio;
    RecordSet* cdsSolicitacao_IE_Responsavel;
    RecordSet* cdsSolicIEEndEstab;
    RecordSet* cdsSolicIEEndCorresp;
    RecordSet* cdsSolicitacaoIEComun;
    RecordSet* cdsIE_Estab_Vinc;
    RecordSet* cdsCNPJ_Estab_Vinc;
    RecordSet* cdsIESocioEnd;
    RecordSet* cdsIESocioCom;
    RecordSet* cdsIERespEnd;
    RecordSet* cdsIERespCom;
    RecordSet* cdsSolicitacao_Contab;
    RecordSet* cdsSolicitacao_Contab_End;
    RecordSet* cdsSolicitacao_Contab_Com;
    RecordSet* cdsEntregas;
    RecordSet* cdsEnderco;
    RecordSet* cdsComunicacao;
    RecordSet* cdsGeral;
    // Reference look-ups
    RecordSet* cdsCNAEF;
    RecordSet* cdsCAE;
    RecordSet* cdsDesmembramento1;
    RecordSet* cdsDesmembramento2;
    RecordSet* cdsUF;
    RecordSet* cdsLocalidade;
    RecordSet* cdsLogradouro;
    RecordSet* cdsComplemento;
    RecordSet* cdsViculo;
    RecordSet* cdsNatureza_Juridica;
    RecordSet* cdsUnidadeAuxiliar;
    RecordSet* cdsRegimeRecolhimento;
    RecordSet* cdsSituacao_Especial;
    RecordSet* cdsForma_Comercializacao;
    RecordSet* cdsTipo_Identificacao;
    RecordSet* cdsCargo_Socio;
    RecordSet* cdsFuncao_Responsavel;
    RecordSet* cdsIdentificadorCRC;
    RecordSet* cdsConvenio_Protocolo;
    // In memory only
    RecordSet* cdsPendecias;
    RecordSet* cdsRestauracaoAux;
    RecordSet* cdsProtocolosAux;
    RecordSet* cdsAux;

    TConfigApp Config;
    // 1 = registration request, 0 = accountant enablement.
    int TipoAtual = 1;

    TdtmDB& database() { return m_db; }
    UserPrompts& prompts() { return m_prompts; }
    DeliveryCrypto& crypto() { return *m_crypto; }
    RecordSet* recordSet(const QString& name) const;
    const std::vector<RecordSet*>& recordSets() const { return m_sets; }

    // Opens a closed record set on the connection (reopening it when open).
    void openSet(RecordSet& set);
    // Reads a filing set again from the table, unsorted, back on the row with this key when
    // it is still there (the table may have lost it to a rollback).
    void reopenAt(RecordSet& set, const QVariant& key);
    // Reopens the detail sets of the current request (its key may have been assigned since
    // the row became current), of the current partner and of the current responsible person.
    void openRequestDetails();
    void openPartnerDetails();
    void openResponsibleDetails();

    // Sends the pending changes: (0, false) apply with conflict retry; (0, true) for the
    // delivery records; (-1, true) apply or stop. Each refused row's message is shown once
    // the send is over; only refusals because the database was held elsewhere are retried.
    // True when nothing is left pending: a caller whose next step depends on these rows
    // must stop on false. The key of an inserted row is written into the row by the send.
    bool apply(RecordSet& set, int maxErrors, bool stopOnFailure);
    // The restore's way: "SELECT MAX(…) FROM …" through cdsGeral, read from "Expr1000".
    qint64 maxKey(const QString& keyField, const QString& table);

    // While one lives, moving a filing's cursor does not reload its details; when it goes, the
    // details of the current filing are loaded again (whatever happened meanwhile).
    class DetailReactionOff {
    public:
        DetailReactionOff(TdtmJX& jx, RecordSet& filings);
        // Switches the reaction back on and loads the details; a failure is thrown.
        void end();
        // Without end() (a failure on the way): back on, loading as best it can.
        ~DetailReactionOff();
        DetailReactionOff(const DetailReactionOff&) = delete;
        DetailReactionOff& operator=(const DetailReactionOff&) = delete;

    private:
        TdtmJX& m_jx;
        RecordSet& m_filings;
        bool m_ended = false;
    };

    // Orders by the column, reusing the ordering after the first use.
    void sortByColumn(RecordSet& set, const QString& field);
    // Converts the typed text to the field's type and moves to the first equal row.
    bool locateByTypedValue(RecordSet& set, const QString& valueText, const QString& field);

    // The delivery records of a request or an enablement into cdsEntregas.
    void selectDeliveriesOfRequest(qint64 requestId);
    void selectDeliveriesOfEnablement(qint64 enablementId);
    // Runs a query with bound parameters into cdsGeral.
    void selectIntoGeral(const QString& sql, const QVariantMap& params = {});

    static inline const QString kTypeMismatchText
        = QStringLiteral("O valor informado não corresponde ao tipo do campo!");
    static QString conflictText(const QString& setName);
    static QString updateProblemText(const QString& setName);
    static QString finalProblemText(const QString& setName);

private:
    RecordSet* makeSet(const QString& name, const QString& sql, const QString& table = {}, const QString& key = {});
    void wireDetails();
    void addDerivedColumns();
    void addAddressColumns(RecordSet& address);
    void openEnablementDetails();
    int m_detailsOff = 0; // guards alive

    TdtmDB& m_db;
    UserPrompts& m_prompts;
    TerminationHook m_terminate;
    std::unique_ptr<DeliveryCrypto> m_crypto;
    std::vector<RecordSet*> m_sets;
    data::Lookup* m_viculo = nullptr;
    data::Lookup* m_cnaef = nullptr;
    data::Lookup* m_natureza = nullptr;
    data::Lookup* m_regime = nullptr;
    data::Lookup* m_unidade = nullptr;
    data::Lookup* m_cargo = nullptr;
    data::Lookup* m_funcao = nullptr;
    data::Lookup* m_logradouro = nullptr;
    data::Lookup* m_complemento = nullptr;
    data::Lookup* m_uf = nullptr;
};

} // namespace jx
