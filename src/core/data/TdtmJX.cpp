#include "data/TdtmJX.h"

#include "Error.h"
#include "data/Lookup.h"
#include "data/RecordSetWriter.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "delivery/DeliveryCrypto.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QLocale>

namespace jx {

using data::Field;
using data::FieldType;
using data::RecordSet;

namespace {

QString addressQuery(const char* param)
{
    return QStringLiteral("SELECT * FROM ENDERECO WHERE ID_ENDERECO = :%1").arg(QLatin1String(param));
}

QString contactQuery(const char* param)
{
    return QStringLiteral("SELECT * FROM COMUNICACAO WHERE ID_COMUNICACAO = :%1").arg(QLatin1String(param));
}

QString subdivisionQuery(const char* param)
{
    return QStringLiteral("SELECT ID_CNAEF, CODIGO, DESCRICAO, COD_TIPO, DIGITO, COD_FORMATADO, COD_CNAEF_SUPERIOR, "
                          "DATA_INICIO, DATA_FIM FROM CNAEF WHERE COD_TIPO = 6 AND COD_CNAEF_SUPERIOR = :%1 AND %2 "
                          "ORDER BY DESCRICAO")
        .arg(QLatin1String(param), db::validityWindow());
}

} // namespace

QString TdtmJX::conflictText(const QString& setName)
{
    return QStringLiteral("Conflito de transação!\rAguardando confirmação para prosseguir a atualização da tabela ")
        + setName + QStringLiteral("...");
}

QString TdtmJX::updateProblemText(const QString& setName)
{
    return QStringLiteral("Problema na atualização da tabela: ") + setName
        + QStringLiteral("\rEsta operação não foi efetuada com sucesso!");
}

QString TdtmJX::finalProblemText(const QString& setName)
{
    return updateProblemText(setName) + QStringLiteral("\rContacte o suporte do JX!");
}

RecordSet* TdtmJX::makeSet(const QString& name, const QString& sql, const QString& table, const QString& key)
{
    auto* set = new RecordSet(name, this);
    set->setSource(sql, table, key);
    m_sets.push_back(set);
    return set;
}

TdtmJX::TdtmJX(TdtmDB& database, UserPrompts& prompts, TerminationHook terminate, const QString& programFolder)
    : m_db(database)
    , m_prompts(prompts)
    , m_terminate(std::move(terminate))
    , m_crypto(std::make_unique<DeliveryCrypto>(programFolder::binFolderOf(programFolder), prompts))
{
    cdsSolicitacaoIE = makeSet(
        "cdsSolicitacaoIE", "SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO", "SOLICITACAO_IE", "ID_SOLICITACAO");
    cdsSolicitacao_IE_Socio = makeSet("cdsSolicitacao_IE_Socio",
        "SELECT * FROM SOLICITACAO_IE_SOCIO WHERE ID_SOLICITACAO = :PAR", "SOLICITACAO_IE_SOCIO", "ID_SOCIO");
    cdsSolicitacao_IE_Responsavel = makeSet("cdsSolicitacao_IE_Responsavel",
        "SELECT * FROM SOLICITACAO_IE_RESPONSAVEL WHERE ID_SOLICITACAO = :ID", "SOLICITACAO_IE_RESPONSAVEL",
        "ID_RESPONSAVEL");
    cdsSolicIEEndEstab = makeSet("cdsSolicIEEndEstab", addressQuery("IDENDERECO"), "ENDERECO", "ID_ENDERECO");
    cdsSolicIEEndCorresp = makeSet("cdsSolicIEEndCorresp", addressQuery("IDENDERECO"), "ENDERECO", "ID_ENDERECO");
    cdsSolicitacaoIEComun
        = makeSet("cdsSolicitacaoIEComun", contactQuery("IDCOMUNICACAO"), "COMUNICACAO", "ID_COMUNICACAO");
    cdsIE_Estab_Vinc = makeSet("cdsIE_Estab_Vinc", "SELECT * FROM SOLICITACAO_IE_VINCULADO WHERE ID_SOLICITACAO = :PAR",
        "SOLICITACAO_IE_VINCULADO");
    cdsCNPJ_Estab_Vinc = makeSet("cdsCNPJ_Estab_Vinc",
        "SELECT * FROM SOLICITACAO_CNPJ_VINCULADO WHERE ID_SOLICITACAO = :PAR", "SOLICITACAO_CNPJ_VINCULADO");
    cdsIESocioEnd = makeSet("cdsIESocioEnd", addressQuery("IDENDERECO"), "ENDERECO", "ID_ENDERECO");
    cdsIESocioCom = makeSet("cdsIESocioCom", contactQuery("PAR"), "COMUNICACAO", "ID_COMUNICACAO");
    cdsIERespEnd = makeSet("cdsIERespEnd", addressQuery("IDENDERECO"), "ENDERECO", "ID_ENDERECO");
    cdsIERespCom = makeSet("cdsIERespCom", contactQuery("PAR"), "COMUNICACAO", "ID_COMUNICACAO");
    cdsSolicitacao_Contab
        = makeSet("cdsSolicitacao_Contab", "SELECT * FROM SOLICITACAO_CONTAB ORDER BY ID_SOLICITACAO_CONTABILISTA",
            "SOLICITACAO_CONTAB", "ID_SOLICITACAO_CONTABILISTA");
    cdsSolicitacao_Contab_End = makeSet("cdsSolicitacao_Contab_End", addressQuery("PAR"), "ENDERECO", "ID_ENDERECO");
    cdsSolicitacao_Contab_Com = makeSet(
        "cdsSolicitacao_Contab_Com", contactQuery("PAR") + " ORDER BY ID_COMUNICACAO", "COMUNICACAO", "ID_COMUNICACAO");
    cdsEntregas = makeSet("cdsEntregas", "SELECT * FROM ENTREGAS", "ENTREGAS", "IDENTIFICADOR");
    cdsEnderco = makeSet("cdsEnderco", "SELECT * FROM ENDERECO ORDER BY ID_ENDERECO", "ENDERECO", "ID_ENDERECO");
    cdsComunicacao = makeSet(
        "cdsComunicacao", "SELECT * FROM COMUNICACAO ORDER BY ID_COMUNICACAO", "COMUNICACAO", "ID_COMUNICACAO");
    cdsGeral = makeSet("cdsGeral", QString());

    auto reference = [this](const char* name, const char* table) {
        return makeSet(QLatin1String(name), db::referenceQuery(QLatin1String(table)), QLatin1String(table));
    };
    cdsCNAEF = reference("cdsCNAEF", "CNAEF");
    cdsCAE = makeSet("cdsCAE",
        QStringLiteral("SELECT CAE.* FROM CAE INNER JOIN CNAEF_CAE ON CAE.ID_CAE = CNAEF_CAE.ID_CAE "
                       "WHERE CNAEF_CAE.ID_CNAEF = :PAR AND %1 ORDER BY CAE.DESCRICAO")
            .arg(db::validityWindow()),
        "CAE");
    cdsDesmembramento1 = makeSet("cdsDesmembramento1", subdivisionQuery("PAR"), "CNAEF");
    cdsDesmembramento2 = makeSet("cdsDesmembramento2", subdivisionQuery("COD"), "CNAEF");
    cdsUF = reference("cdsUF", "UF");
    cdsLocalidade = reference("cdsLocalidade", "LOCALIDADE");
    cdsLogradouro = reference("cdsLogradouro", "LOGRADOURO");
    cdsComplemento = reference("cdsComplemento", "COMPLEMENTO");
    cdsViculo = reference("cdsViculo", "VINCULO");
    cdsNatureza_Juridica = reference("cdsNatureza_Juridica", "NATUREZA_JURIDICA");
    cdsUnidadeAuxiliar = reference("cdsUnidadeAuxiliar", "UNIDADE_AUXILIAR");
    cdsRegimeRecolhimento = reference("cdsRegimeRecolhimento", "REGIME_RECOLHIMENTO");
    cdsSituacao_Especial = reference("cdsSituacao_Especial", "SITUACAO_ESPECIAL");
    cdsForma_Comercializacao = reference("cdsForma_Comercializacao", "FORMA_COMERCIALIZACAO");
    cdsTipo_Identificacao = reference("cdsTipo_Identificacao", "TIPO_IDENTIFICACAO");
    cdsCargo_Socio = reference("cdsCargo_Socio", "CARGO_SOCIO");
    cdsFuncao_Responsavel = reference("cdsFuncao_Responsavel", "FUNCAO_RESPONSAVEL");
    cdsIdentificadorCRC = reference("cdsIdentificadorCRC", "IDENTIFICADOR_CRC");
    cdsConvenio_Protocolo = reference("cdsConvenio_Protocolo", "CONVENIO_PROTOCOLO");

    cdsPendecias = makeSet("cdsPendecias", QString());
    cdsRestauracaoAux = makeSet("cdsRestauracaoAux", QString());
    cdsProtocolosAux = makeSet("cdsProtocolosAux", QString());
    cdsAux = makeSet("cdsAux", QString());

    // The search mark of the browsers (1 a match, 2 the others), never stored.
    for (RecordSet* filings : { cdsSolicitacaoIE, cdsSolicitacao_Contab })
        filings->addMemoryField(QStringLiteral("ID"), FieldType::Integer, 0, QStringLiteral("ID"));
    addDerivedColumns();
    wireDetails();

    // The opening order of the installed program.
    for (RecordSet* set : { cdsLocalidade, cdsEnderco, cdsUF, cdsLogradouro, cdsComplemento, cdsComunicacao, cdsViculo,
             cdsSolicitacaoIE, cdsSolicitacaoIEComun, cdsSolicIEEndCorresp, cdsSolicIEEndEstab, cdsDesmembramento1,
             cdsDesmembramento2, cdsCAE, cdsSolicitacao_Contab, cdsTipo_Identificacao, cdsRegimeRecolhimento,
             cdsForma_Comercializacao, cdsSituacao_Especial, cdsUnidadeAuxiliar, cdsCNAEF, cdsNatureza_Juridica,
             cdsIdentificadorCRC, cdsConvenio_Protocolo })
        openSet(*set);

    cdsPendecias->openEmpty({ { "Local", FieldType::Text, 100, "Local" },
        { "Pendencia", FieldType::Text, 250, QStringLiteral("Pendência") }, { "Tipo", FieldType::Text, 1, "Tipo" },
        // Where the item takes the user: the control and, for a person, its row.
        { "Controle", FieldType::Text, 60, "Controle" }, { "Linha", FieldType::Integer, 0, "Linha" } });
    cdsPendecias->addComputedField("desc_Tipo", FieldType::Text, 15, "Tipo", [](const RecordSet& s, int raw) {
        return QVariant(s.rawValue(raw, "Tipo").toString() == QLatin1String("E") ? QStringLiteral("Erro")
                                                                                 : QStringLiteral("Advertência"));
    });
    cdsRestauracaoAux->openEmpty({ { "ID", FieldType::Integer, 0, "ID" },
        { "Identificador", FieldType::Text, 20, "Identificador" }, { "Arquivo", FieldType::Text, 200, "Arquivo" },
        { "Status", FieldType::Text, 15, "Status" }, { "Data", FieldType::Text, 10, "Data" },
        { "Hora", FieldType::Text, 5, "Hora" }, { "Tipo", FieldType::Text, 30, QStringLiteral("Tipo Solicitação") } });
    cdsProtocolosAux->openEmpty({ { "CONTA", FieldType::Integer, 0, QStringLiteral("Nº") },
        { "PROTOCOLO", FieldType::Text, 25, "Protocolo" }, { "DATA", FieldType::Date, 0, "Data" },
        { "HORA", FieldType::Text, 8, "Hora" }, { "IDENTIFICADOR", FieldType::Text, 20, "Identificador" },
        { "NOMEARQUIVO", FieldType::Text, 70, "NOMEARQUIVO" }, { "FORMAENTREGA", FieldType::Text, 2, "FORMAENTREGA" },
        { "CAMINHOARQUIVO", FieldType::Text, 200, "CAMINHOARQUIVO" }, { "VERSAO", FieldType::Text, 7, "VERSAO" },
        { "HAS", FieldType::Text, 255, "HAS" }, { "TIPO", FieldType::Text, 60, "Tipo" },
        { "COD_TIPO", FieldType::Text, 1, "COD_TIPO" } });
    cdsAux->openEmpty({ { "IE", FieldType::Integer, 0, "IE" }, { "CNPJ", FieldType::Text, 1, "CNPJ" } });

    Config.openLog(programFolder, prompts);
}

TdtmJX::~TdtmJX()
{
    for (RecordSet* set : m_sets)
        set->blockSignals(true);
    for (RecordSet* set : m_sets)
        set->close();
    Config.closeLog();
}

RecordSet* TdtmJX::recordSet(const QString& name) const
{
    for (RecordSet* set : m_sets) {
        if (set->name() == name)
            return set;
    }
    return nullptr;
}

void TdtmJX::openSet(RecordSet& set)
{
    set.open(m_db.connection());
}

void TdtmJX::reopenAt(RecordSet& set, const QVariant& key)
{
    set.clearSort();
    set.close();
    openSet(set);
    if (!key.isNull())
        set.locate(set.keyField(), key);
}

void TdtmJX::wireDetails()
{
    connect(cdsSolicitacaoIE, &RecordSet::currentChanged, this, &TdtmJX::openRequestDetails);
    connect(cdsSolicitacao_IE_Socio, &RecordSet::currentChanged, this, &TdtmJX::openPartnerDetails);
    connect(cdsSolicitacao_IE_Responsavel, &RecordSet::currentChanged, this, &TdtmJX::openResponsibleDetails);
    connect(cdsSolicitacao_Contab, &RecordSet::currentChanged, this, &TdtmJX::openEnablementDetails);
}

TdtmJX::DetailReactionOff::DetailReactionOff(TdtmJX& jx, RecordSet& filings)
    : m_jx(jx)
    , m_filings(filings)
{
    ++m_jx.m_detailsOff;
}

void TdtmJX::DetailReactionOff::end()
{
    if (m_ended)
        return;
    m_ended = true;
    --m_jx.m_detailsOff;
    if (m_jx.m_detailsOff > 0 || !m_filings.isOpen() || m_filings.isEmpty())
        return;
    if (&m_filings == m_jx.cdsSolicitacaoIE)
        m_jx.openRequestDetails();
    else if (&m_filings == m_jx.cdsSolicitacao_Contab)
        m_jx.openEnablementDetails();
}

TdtmJX::DetailReactionOff::~DetailReactionOff()
{
    try {
        end();
    } catch (...) {
        // Already failing: the first failure is the one reported; the next cursor move
        // loads the details again.
    }
}

void TdtmJX::openRequestDetails()
{
    if (m_detailsOff > 0)
        return;
    // The details of one filing are read in one transaction: one lock and one look at the
    // file for all of them, and a consistent picture of the filing. Reads only: a write that a
    // reaction to these opens started would be undone with them if a later read failed.
    db::Transaction reads(m_db.connection());
    const RecordSet& r = *cdsSolicitacaoIE;
    cdsSolicitacao_IE_Socio->setParam("PAR", r.value("ID_SOLICITACAO"));
    cdsSolicitacao_IE_Responsavel->setParam("ID", r.value("ID_SOLICITACAO"));
    cdsSolicIEEndEstab->setParam("IDENDERECO", r.value("ID_ENDERECO_ESTABELECIMENTO"));
    cdsSolicIEEndCorresp->setParam("IDENDERECO", r.value("ID_ENDERECO_CORRESPONDECIA"));
    cdsSolicitacaoIEComun->setParam("IDCOMUNICACAO", r.value("ID_COMUNICACAO_EMPRESA"));
    cdsIE_Estab_Vinc->setParam("PAR", r.value("ID_SOLICITACAO"));
    cdsCNPJ_Estab_Vinc->setParam("PAR", r.value("ID_SOLICITACAO"));
    for (RecordSet* detail : { cdsSolicitacao_IE_Socio, cdsSolicitacao_IE_Responsavel, cdsSolicIEEndEstab,
             cdsSolicIEEndCorresp, cdsSolicitacaoIEComun, cdsIE_Estab_Vinc, cdsCNPJ_Estab_Vinc }) {
        detail->close();
        openSet(*detail);
    }
    selectDeliveriesOfRequest(r.value("ID_SOLICITACAO").toLongLong());
    reads.commit();
}

void TdtmJX::openPartnerDetails()
{
    db::Transaction reads(m_db.connection());
    cdsIESocioEnd->setParam("IDENDERECO", cdsSolicitacao_IE_Socio->value("ID_ENDERECO"));
    cdsIESocioCom->setParam("PAR", cdsSolicitacao_IE_Socio->value("ID_COMUNICACAO"));
    openSet(*cdsIESocioEnd);
    openSet(*cdsIESocioCom);
    reads.commit();
}

void TdtmJX::openResponsibleDetails()
{
    db::Transaction reads(m_db.connection());
    cdsIERespEnd->setParam("IDENDERECO", cdsSolicitacao_IE_Responsavel->value("ID_ENDERECO"));
    cdsIERespCom->setParam("PAR", cdsSolicitacao_IE_Responsavel->value("ID_COMUNICACAO"));
    openSet(*cdsIERespEnd);
    openSet(*cdsIERespCom);
    reads.commit();
}

void TdtmJX::openEnablementDetails()
{
    if (m_detailsOff > 0)
        return;
    db::Transaction reads(m_db.connection());
    cdsSolicitacao_Contab_End->setParam("PAR", cdsSolicitacao_Contab->value("ID_ENDERECO"));
    cdsSolicitacao_Contab_Com->setParam("PAR", cdsSolicitacao_Contab->value("ID_COMUNICACAO"));
    openSet(*cdsSolicitacao_Contab_End);
    openSet(*cdsSolicitacao_Contab_Com);
    selectDeliveriesOfEnablement(cdsSolicitacao_Contab->value("ID_SOLICITACAO_CONTABILISTA").toLongLong());
    reads.commit();
}

void TdtmJX::selectDeliveriesOfRequest(qint64 requestId)
{
    cdsEntregas->setSql(QStringLiteral("SELECT * FROM ENTREGAS WHERE SOLICITACAO_ID = :ID"));
    cdsEntregas->setParam("ID", requestId);
    openSet(*cdsEntregas);
}

void TdtmJX::selectDeliveriesOfEnablement(qint64 enablementId)
{
    cdsEntregas->setSql(QStringLiteral("SELECT * FROM ENTREGAS WHERE HABILITACAO_ID = :ID"));
    cdsEntregas->setParam("ID", enablementId);
    openSet(*cdsEntregas);
}

void TdtmJX::selectIntoGeral(const QString& sql, const QVariantMap& params)
{
    cdsGeral->setSql(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        cdsGeral->setParam(it.key(), it.value());
    openSet(*cdsGeral);
}

bool TdtmJX::apply(RecordSet& set, int maxErrors, bool stopOnFailure)
{
    const bool named = &set == cdsSolicitacao_IE_Socio || &set == cdsSolicitacao_IE_Responsavel;
    // Shown only after the send is over: no prompt waits while a savepoint is open.
    auto show = [&](const data::SendResult& result) {
        for (const QString& message : result.messages)
            m_prompts.message(named ? set.name() + u' ' + message : message);
    };
    auto send = [&](int errors) {
        data::SendResult result;
        try {
            result = data::sendChanges(set, m_db.connection(), errors);
        } catch (const std::exception& e) {
            if (stopOnFailure) {
                m_prompts.error(updateProblemText(set.name()));
                endProgram(m_terminate);
            }
            result.refused = set.pendingCount();
            result.messages << QString::fromLocal8Bit(e.what());
        }
        return result;
    };
    data::SendResult result = send(maxErrors);
    show(result);
    if (maxErrors != 0)
        return !set.hasPending();
    // Only a database held by someone else is worth waiting for; a refused value stays
    // pending for the user to correct, it is no conflict.
    int retries = 0;
    while (result.refused > 0 && result.conflicts > 0) {
        if (retries == 3) {
            m_prompts.error(finalProblemText(set.name()));
            endProgram(m_terminate);
        }
        m_prompts.error(conflictText(set.name()));
        ++retries;
        result = send(-1);
        show(result);
    }
    return !set.hasPending();
}

qint64 TdtmJX::maxKey(const QString& keyField, const QString& table)
{
    const db::TableDef* def = db::table(table);
    if (!def || !db::column(*def, keyField))
        throw Error(QStringLiteral("Tabela ou coluna desconhecida: %1.%2").arg(table, keyField));
    // Identifiers come from the schema, never from the user; the result column keeps the
    // name the installed program reads.
    selectIntoGeral(QStringLiteral("SELECT MAX(%1) AS Expr1000 FROM %2")
                        .arg(QLatin1String(db::column(*def, keyField)->name), QLatin1String(def->name)));
    return cdsGeral->value("Expr1000").toLongLong();
}

void TdtmJX::sortByColumn(RecordSet& set, const QString& field)
{
    set.sortBy(field);
}

bool TdtmJX::locateByTypedValue(RecordSet& set, const QString& valueText, const QString& fieldName)
{
    const int index = set.fieldIndex(fieldName);
    if (index < 0)
        return false;
    QVariant value;
    bool ok = true;
    switch (set.field(index).type) {
    case FieldType::Text:
    case FieldType::Blob:
        value = valueText;
        break;
    case FieldType::Date: {
        // Typed as the user reads dates, held as the table keeps them.
        const QDate date = QDate::fromString(valueText.trimmed(), QStringLiteral("dd/MM/yyyy"));
        ok = date.isValid();
        value = date.toString(Qt::ISODate);
        break;
    }
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt:
        value = valueText.trimmed().toLongLong(&ok);
        break;
    case FieldType::Real:
    case FieldType::Decimal: {
        const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
        double number = brazil.toDouble(valueText.trimmed(), &ok);
        if (!ok)
            number = valueText.trimmed().toDouble(&ok);
        value = set.field(index).type == FieldType::Decimal ? QVariant(qint64(std::llround(number * 10000)))
                                                            : QVariant(number);
        break;
    }
    }
    if (!ok) {
        m_prompts.error(kTypeMismatchText);
        return false;
    }
    return set.locate(fieldName, value);
}

} // namespace jx
