#include "verification/Verification.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "text/DocumentChecks.h"
#include "requests/Cnaef.h"
#include "text/TextUtils.h"
#include "verification/PendingTargets.h"

#include <cmath>


namespace jx {

using data::RecordSet;

namespace {

QString textOf(const RecordSet& set, const char* field)
{
    return set.isEmpty() ? QString() : set.value(QLatin1String(field)).toString();
}

// Empty: nothing but blanks.
bool empty(const RecordSet& set, const char* field)
{
    return textOf(set, field).trimmed().isEmpty();
}

// An empty numeric or identifier field counts as 0.
double number(const RecordSet& set, const char* field)
{
    if (set.isEmpty())
        return 0;
    const QVariant v = set.value(QLatin1String(field));
    // A stored number is read as it is; its text would give the same value back.
    if (data::isIntegral(v))
        return double(v.toLongLong());
    if (data::isFloating(v) && std::isfinite(v.toDouble()))
        return v.toDouble();
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? d : 0;
}

bool zero(const RecordSet& set, const char* field)
{
    return number(set, field) == 0;
}

// An empty date counts as the earliest possible date.
QDate dateOf(const RecordSet& set, const char* field)
{
    const QDate d = QDate::fromString(textOf(set, field).left(10), Qt::ISODate);
    return d.isValid() ? d : QDate(1, 1, 1);
}

// Not empty (blanks aside) and shorter than 8 characters as stored.
bool shorterThan8(const RecordSet& set, const char* field)
{
    const QString t = textOf(set, field);
    return !t.trimmed().isEmpty() && t.size() < 8;
}

} // namespace

Verification::Verification(TdtmJX& jx)
    : m_jx(jx)
{
}

QString Verification::F1(const QString& label)
{
    return QStringLiteral("O campo ") + label + QStringLiteral(" deve ser informado.");
}

QString Verification::F2(const QString& label)
{
    return QStringLiteral("O campo ") + label + QStringLiteral(" deve ser informada.");
}

QString Verification::F3(const QString& label)
{
    return QStringLiteral("O campo ") + label + QStringLiteral(" inválido.");
}

QString Verification::F4(const QString& first, const QString& second)
{
    return QStringLiteral("O campo ") + first + QStringLiteral(" deve ser menor ") + second + u'.';
}

QString Verification::F5(const QString& label)
{
    return QStringLiteral("O campo ") + label + QStringLiteral(" não pode ser maior que a Data Atual.");
}

void Verification::AdicionarPendencia(const QString& kind, const QString& area, const QString& text)
{
    RecordSet& list = *m_jx.cdsPendecias;
    list.append();
    list.setValue("Local", area);
    list.setValue("Pendencia", text);
    list.setValue("Tipo", kind);
    list.setValue("Controle", pending::controlFor(area, text, m_scope));
    list.setValue("Linha", m_personRow >= 0 ? QVariant(m_personRow) : QVariant());
    list.post();
    if (kind == QLatin1String("E"))
        ++m_errors;
}

bool Verification::ApurarPendencias(int kind)
{
    // One reading of the clock for the whole run: every rule compares with the same day.
    m_runDate = QDate::currentDate();
    struct EndOfRun {
        QDate& date;
        ~EndOfRun() { date = QDate(); }
    } endOfRun { m_runDate };
    m_jx.cdsPendecias->clearRows(); // the list shows the last run only
    m_errors = 0;
    m_scope.clear();
    m_personRow = -1;
    switch (kind) {
    case 1:
        if (m_jx.cdsSolicitacaoIE->isEmpty())
            throw Error(QStringLiteral("Não há Solicitação de Inscrição Estadual para verificar."));
        requestRules();
        break;
    case 0:
        if (m_jx.cdsSolicitacao_Contab->isEmpty())
            throw Error(QStringLiteral("Não há Habilitação de Contabilista para verificar."));
        enablementRules();
        break;
    default:
        throw Error(QStringLiteral("Tipo de documento desconhecido: %1.").arg(kind));
    }
    return m_errors == 0;
}

int Verification::dependentCount(RecordSet& list, const QString& param, const QVariant& entry)
{
    list.setParam(param, cnaef::listKey(entry));
    m_jx.openSet(list);
    return list.count();
}

void Verification::requestRules()
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    const int localizacao = int(number(r, "LOCALIZACAO"));
    const int categoria = int(number(r, "CATEGORIA"));
    const QString substituto = textOf(r, "SUBSTITUTO_TRIBUTARIO");

    if (localizacao == 0) {
        error(kDadosIniciais, F1(QStringLiteral("Localização")));
    } else {
        if (localizacao == 1 && zero(r, "RECEITA_BRUTA"))
            error(kDadosIniciais, F1(QStringLiteral("Limite Receita Bruta Anual Prevista")));
        if (localizacao == 99 && empty(r, "SUBSTITUTO_TRIBUTARIO"))
            error(kDadosIniciais, F1(QStringLiteral("Substituto Tributário")));
    }
    // The lists as the form refreshes them: an entry no longer valid has none, a single
    // entry is taken without asking.
    cnaef::Choice lists(m_jx);
    lists.RecarregarDesmembramentos();
    if (m_jx.cdsDesmembramento1->count() > 0 && zero(r, "ID_DESMEMBRAMENTO1"))
        error(kQualificacao, F1(QStringLiteral("Desmembramento da CNAE-F Principal")));
    if (m_jx.cdsDesmembramento2->count() > 0 && zero(r, "ID_DESMEMBRAMENTO2"))
        error(kQualificacao, F1(QStringLiteral("Desmembramento da CNAE-F Secundária")));
    if (dependentCount(*m_jx.cdsCAE, QStringLiteral("PAR"), r.value("ID_CNAEF_PRINCIPAL")) > 0 && zero(r, "ID_CAE"))
        error(kQualificacao, F1(QStringLiteral("CAE")));
    if (substituto == QLatin1String("S") && empty(r, "ID_CONVENIO_PROTOCOLO"))
        error(kQualificacao, F1(QStringLiteral("Convênio/Protocolo de Substituição Tributária")));
    if (categoria == 1 && empty(r, "NOME_EMPRESARIAL"))
        error(kIdentificacao, F1(QStringLiteral("Nome Empresarial")));
    if (substituto == QLatin1String("S") && empty(r, "IE_ESTADO_ORIGEM"))
        error(kDadosIniciais, F1(QStringLiteral("Inscrição Estadual do Estado de Origem")));

    const bool special = !empty(r, "ID_SITUACAO_ESPESCIAL") || !empty(r, "PROCESSO_NUMERO")
        || !empty(r, "PROCESSO_DATA_INICIO") || !empty(r, "PROCESSO_DATA_FIM");
    if (special) {
        if (empty(r, "ID_SITUACAO_ESPESCIAL"))
            error(kDadosIniciais, F1(QStringLiteral("Situação Especial")));
        if (empty(r, "PROCESSO_NUMERO"))
            error(kDadosIniciais, F1(QStringLiteral("Nº do Processo")));
        if (empty(r, "PROCESSO_DATA_FIM"))
            error(kDadosIniciais, F1(QStringLiteral("Data Fim do Processo")));
        if (dateOf(r, "PROCESSO_DATA_FIM") < dateOf(r, "PROCESSO_DATA_INICIO"))
            error(kDadosIniciais, F4(QStringLiteral("Data Início do Processo"), QStringLiteral("Data Fim do Processo")));
        if (empty(r, "PROCESSO_DATA_INICIO"))
            error(kDadosIniciais, F1(QStringLiteral("Data Início do Processo")));
    }
    if (categoria == 1 && zero(r, "ID_NATUREZA_JURIDICA"))
        error(kDadosIniciais, F2(QStringLiteral("Natureza Jurídica")));
    if (zero(r, "ID_CNAEF_PRINCIPAL"))
        error(kDadosIniciais, F2(QStringLiteral("CNAE-F Principal")));
    if (number(r, "ID_CNAEF_PRINCIPAL") == number(r, "ID_CNAEF_SECUNDARIO"))
        error(kDadosIniciais, QStringLiteral("O campos CNAE-F Principal e CNAE-F Secundária devem ser diferentes."));
    if (zero(r, "ID_REGIME_RECOLHIMENTO"))
        error(kDadosIniciais, F1(QStringLiteral("Regime de Recolhimento")));
    if (r.value("VINCULO").isNull())
        error(kDadosIniciais, F1(QStringLiteral("Vínculo")));
    if (empty(r, "INSCRICAO_UNICA"))
        error(kDadosIniciais, F1(QStringLiteral("Inscrição Estadual Única")));

    const QString nire = textOf(r, "NIRE");
    if (!nire.trimmed().isEmpty()) {
        if (!docs::nireIsValid(nire.trimmed()))
            error(kDadosIniciais, QStringLiteral("NIRE inválido."));
        const bool homePrefix = nire.left(2) == QLatin1String("31");
        if ((localizacao == 1 && !homePrefix) || (localizacao != 1 && homePrefix))
            error(kDadosIniciais, QStringLiteral("NIRE inválido com o campo localização."));
    } else {
        if (categoria == 1) {
            RecordSet& natures = *m_jx.cdsNatureza_Juridica;
            for (int v = 0; v < natures.count(); ++v) {
                if (natures.valueAt(v, natures.fieldIndex("ID_NATUREZAJUD")).toDouble() == number(r, "ID_NATUREZA_JURIDICA")
                    && natures.valueAt(v, natures.fieldIndex("INFORMA_NIRE")).toString() == QLatin1String("S")) {
                    error(kDadosIniciais, F1(QStringLiteral("NIRE")));
                    break;
                }
            }
        }
        if (categoria == 3)
            AdicionarPendencia(QStringLiteral("A"), kDadosIniciais, F1(QStringLiteral("NIRE")));
    }

    const QString docKind = textOf(r, "DOCUMENTO_CONTABILISTA_TIPO").trimmed();
    const QString docNumber = textOf(r, "DOCUMENTO_CONTABILISTA_NUMERO").trimmed();
    if (docKind.isEmpty() && !docNumber.isEmpty())
        error(kContabilistas, F1(QStringLiteral("Tipo do Doc. do Contabilista")));
    if (!docKind.isEmpty() || !docNumber.isEmpty()) {
        if (number(r, "DOCUMENTO_CONTABILISTA_TIPO") == 3 && !docs::cnpjIsValid(docNumber))
            error(kContabilistas, QStringLiteral("CNPJ do Contabilista Inválido."));
        if (number(r, "DOCUMENTO_CONTABILISTA_TIPO") == 4 && !docs::cpfIsValid(docNumber))
            error(kContabilistas, QStringLiteral("CPF do Contabilista Inválido."));
    }
    if (empty(r, "DATA_INICIO_ATIVIDADE"))
        error(kIdentificacao, F1(QStringLiteral("Data de Início da Atividade")));

    const RecordSet& estab = *m_jx.cdsSolicIEEndEstab;
    const QString orgao = textOf(r, "ORGAO_LICENCIADOR");
    if (!orgao.trimmed().isEmpty()) {
        const QString state = orgao.left(2).trimmed();
        bool known = false;
        const RecordSet& ufs = *m_jx.cdsUF;
        QString estabState;
        for (int v = 0; v < ufs.count(); ++v) {
            const QString sigla = ufs.valueAt(v, ufs.fieldIndex("SIGLA")).toString();
            known = known || sigla == state;
            if (!estab.isEmpty() && ufs.valueAt(v, ufs.fieldIndex("ID_UF")).toDouble() == number(estab, "ID_UF"))
                estabState = sigla;
        }
        if (orgao.size() < 3 || !known)
            error(kQualificacao, QStringLiteral("Nº de Registro do Órgão Licenciador inválido."));
        if (empty(estab, "CEP") || state != estabState)
            error(kDadosIniciais,
                QStringLiteral("Nº de Registro do Órgão Licenciador não confere com a UF do Estabelecimento."));
    }
    if (localizacao == 99 && number(r, "ID_CNAEF_PRINCIPAL") == 1147 && orgao.trimmed().isEmpty())
        error(kQualificacao, F1(QStringLiteral("Orgão Licenciador")));

    const QString dae = textOf(r, "NUMERO_DAE");
    if (!dae.isEmpty()) {
        QString checked = dae;
        if (r.state() == RecordSet::State::Edit || r.state() == RecordSet::State::Insert) {
            checked = text::zeroFilledDae(dae);
            if (checked != dae)
                r.setValue("NUMERO_DAE", checked);
        }
        if (!docs::daeIsValid(checked))
            error(kIdentificacao, F3(QStringLiteral("Nº do DAE")));
    }
    if (localizacao == 1 && zero(r, "ID_UNIDADE_AUXILIAR") && zero(r, "ID_FORMA_COMERCIALIZACAO"))
        error(kQualificacao, F1(QStringLiteral("Forma de Comercialização")));

    auto onAddresses = [this](const QString& text) { error(kEndereco, text); };
    if (empty(estab, "CEP"))
        error(kEndereco, QStringLiteral("Endereço do Estabelecimento deve ser informado."));
    else
        addressRules(estab, onAddresses);
    const RecordSet& corresp = *m_jx.cdsSolicIEEndCorresp;
    if (!empty(corresp, "CEP")) {
        m_scope = pending::kCorrespondenceScope;
        addressRules(corresp, onAddresses);
        m_scope.clear();
    }
    contactRules(*m_jx.cdsSolicitacaoIEComun, onAddresses, false);

    const bool unica = textOf(r, "INSCRICAO_UNICA") == QLatin1String("S");
    const bool noLinkedCnpj = m_jx.cdsCNPJ_Estab_Vinc->isEmpty();
    if (categoria == 1 && unica && noLinkedCnpj) {
        // The principal activity decides whether linked CNPJs are required.
        const RecordSet& cnaef = *m_jx.cdsCNAEF;
        for (int v = 0; v < cnaef.count(); ++v) {
            if (cnaef.valueAt(v, cnaef.fieldIndex("ID_CNAEF")).toDouble() == number(r, "ID_CNAEF_PRINCIPAL")
                && cnaef.valueAt(v, cnaef.fieldIndex("INFORMA_CNPJ_VINC")).toString() == QLatin1String("S")) {
                error(kIdentificacao, QStringLiteral("A Solicitação deve ter pelo menos um CNPJ Vinculado."));
                break;
            }
        }
    }
    if (categoria == 3 && unica && noLinkedCnpj)
        error(kIdentificacao, QStringLiteral("A Solicitação deve ter pelo menos um CNPJ Vinculado."));
    if ((r.value("VINCULO").isNull() || number(r, "VINCULO") != 1) && m_jx.cdsIE_Estab_Vinc->isEmpty())
        error(kIdentificacao, QStringLiteral("A Solicitação deve ter pelo menos uma Inscrição Estadual Vinculada."));

    if (categoria == 1)
        partnerRules();
    responsibleRules();
}

void Verification::addressRules(const RecordSet& a, const std::function<void(const QString&)>& add)
{
    if (empty(a, "CEP"))
        add(F1(QStringLiteral("CEP")));
    if (zero(a, "ID_UF"))
        add(F1(QStringLiteral("UF")));
    if (zero(a, "TIPO_LOGRADOURO"))
        add(F1(QStringLiteral("Tipo do Logradouro")));
    if (empty(a, "LOGRADOURO"))
        add(F1(QStringLiteral("Logradouro")));
    if (empty(a, "LOCALIDADE"))
        add(F1(QStringLiteral("Localidade")));
}

void Verification::contactRules(
    const RecordSet& contact, const std::function<void(const QString&)>& add, bool emailFirst)
{
    const bool badEmail = !empty(contact, "EMAIL") && !docs::emailLooksValid(textOf(contact, "EMAIL").trimmed());
    if (emailFirst && badEmail)
        add(F3(QStringLiteral("E-Mail")));
    if (shorterThan8(contact, "TELEFONE"))
        add(F3(QStringLiteral("Telefone")));
    if (shorterThan8(contact, "FAX"))
        add(F3(QStringLiteral("Fax")));
    if (shorterThan8(contact, "CAIXA_POSTAL_CEP"))
        add(F3(QStringLiteral("Cep da Caixa Postal")));
    if (!emailFirst && badEmail)
        add(F3(QStringLiteral("E-Mail")));
}

void Verification::partnerRules()
{
    RecordSet& partners = *m_jx.cdsSolicitacao_IE_Socio;
    if (partners.isEmpty()) {
        error(kSocios, QStringLiteral("Solicitação deve possuir pelo menos um Sócio."));
        return;
    }
    const int master = partners.fieldIndex("RESPONSAVEL_MASTER");
    const int ident = partners.fieldIndex("IDENTIFICACAO");
    bool anyMaster = false;
    for (int v = 0; v < partners.count(); ++v)
        anyMaster = anyMaster || partners.valueAt(v, master).toString() == QLatin1String("S");
    if (!anyMaster)
        error(kSocios, QStringLiteral("Sócio:Deve existir pelo menos um Sócio Responsável Master."));
    const RecordSet& responsibles = *m_jx.cdsSolicitacao_IE_Responsavel;
    const int responsibleIdent = responsibles.fieldIndex("IDENTIFICACAO");
    bool shared = false;
    for (int v = 0; v < partners.count() && !shared; ++v) {
        const QString id = partners.valueAt(v, ident).toString();
        for (int w = 0; w < responsibles.count() && !shared; ++w) {
            if (responsibles.valueAt(w, responsibleIdent).toString() == id) {
                m_personRow = v;
                error(kSocios, QStringLiteral("Sócio / Responsável: ") + id
                        + QStringLiteral(" Existe um Sócio e um Responsável cadastrado com este CPF."));
                shared = true;
                m_personRow = -1;
            }
        }
    }

    const QDate today = this->today();
    for (int v = 0; v < partners.count(); ++v) {
        partners.moveTo(v); // its address and contact follow
        m_personRow = v;
        const RecordSet& p = partners;
        const RecordSet& address = *m_jx.cdsIESocioEnd;
        const RecordSet& contact = *m_jx.cdsIESocioCom;
        const QString id = textOf(p, "IDENTIFICACAO");
        const QString prefix = QStringLiteral("Sócio: ") + id + u' ';
        auto add = [&](const QString& text) { error(kSocios, prefix + text); };
        const int kind = int(number(p, "TIPO_IDENTIFICACAO"));
        const bool isMaster = textOf(p, "RESPONSAVEL_MASTER") == QLatin1String("S");
        if (kind == 3 && isMaster && empty(p, "IDENT_PROCURADOR_RESPONSAVEL"))
            add(F1(QStringLiteral("CPF do Procurador/Responsável Legal")));
        if (empty(p, "PARTICIPACAO_DATA_INICIO"))
            add(F1(QStringLiteral("Data Início da Participação")));
        if (empty(p, "DATA_NASCIMENTO")) {
            add(kind == 4 ? QStringLiteral("O campo Data de Nascimento deve ser informado.")
                          : QStringLiteral("O campo Data de Início da Atividade  deve ser informado ou está inválido."));
        }
        if (dateOf(p, "PARTICIPACAO_DATA_INICIO") > today)
            add(F5(QStringLiteral("Data Início da Participação")));
        if (dateOf(p, "DATA_NASCIMENTO") > today) {
            add(kind == 4 ? QStringLiteral("O campo Data de Nascimento não pode ser maior que a Data Atual.")
                          : QStringLiteral("O campo Data de Início de Atividade não pode ser maior que a Data Atual."));
        }
        if (kind == 3 && !docs::cnpjIsValid(id))
            add(QStringLiteral("CNPJ Inválido."));
        if (kind == 4 && !docs::cpfIsValid(id))
            add(QStringLiteral("CPF Inválido."));
        if (!empty(p, "IDENT_PROCURADOR_RESPONSAVEL") && !docs::cpfIsValid(textOf(p, "IDENT_PROCURADOR_RESPONSAVEL").trimmed()))
            add(F3(QStringLiteral("CPF do Procurador/Responsável Legal")));
        if (p.value("PARTICIPACAO").isNull())
            add(QStringLiteral("O campo Participação deve estar entre 0 e 100%."));
        if (dateOf(p, "PARTICIPACAO_DATA_INICIO") < dateOf(p, "DATA_NASCIMENTO")) {
            add(kind == 4 ? QStringLiteral("Data de Nascimento não pode ser maior que a Data Início de Participação.")
                          : QStringLiteral("Data de Início de Atividade não pode ser maior que a Data Início de "
                                           "Participação."));
        }
        if (address.isEmpty()) {
            error(kSocios, QStringLiteral("Sócio:") + id + QStringLiteral(" Dados do Endereço do Sócio deve ser informado."));
        } else {
            addressRules(address, add);
        }
        if (isMaster) {
            if (empty(contact, "TELEFONE"))
                add(F1(QStringLiteral("Telefone")));
            if (empty(contact, "EMAIL"))
                add(F1(QStringLiteral("E-Mail")));
        }
        contactRules(contact, add, true);
    }
    m_personRow = -1;
}

void Verification::responsibleRules()
{
    RecordSet& responsibles = *m_jx.cdsSolicitacao_IE_Responsavel;
    const QDate today = this->today();
    for (int v = 0; v < responsibles.count(); ++v) {
        responsibles.moveTo(v); // its contact follows
        m_personRow = v;
        const RecordSet& r = responsibles;
        const RecordSet& contact = *m_jx.cdsIERespCom;
        const QString stored = textOf(r, "IDENTIFICACAO");
        const QString id = stored.trimmed();
        const QString prefix = QStringLiteral("Responsável: ") + stored + u' ';
        auto add = [&](const QString& text) { error(kResponsaveis, prefix + text); };
        if (!id.isEmpty() && !docs::cpfIsValid(id))
            add(F3(QStringLiteral("Identificação")));
        if (id.isEmpty())
            add(F1(QStringLiteral("Identificação")));
        if (zero(r, "ID_FUNCAO"))
            add(F1(QStringLiteral("Função")));
        if (empty(r, "DATA_INICIO"))
            add(F1(QStringLiteral("Data Início")));
        if (dateOf(r, "DATA_INICIO") > today)
            add(F5(QStringLiteral("Data Início")));
        contactRules(contact, add, false);
    }
    m_personRow = -1;
}

} // namespace jx

namespace jx {

void Verification::enablementRules()
{
    const RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    const RecordSet& address = *m_jx.cdsSolicitacao_Contab_End;
    const RecordSet& contact = *m_jx.cdsSolicitacao_Contab_Com;
    auto add = [this](const QString& text) { error(kHabilitacao, text); };

    const int kind = int(number(e, "TIPO_IDENTIFICACAO"));
    if (kind == 0)
        add(F1(QStringLiteral("Tipo de Identificação")));
    if (kind == 3 && empty(e, "CPF_RESPONSAVEL"))
        add(F1(QStringLiteral("CPF do Responsável")));
    const QString identification = textOf(e, "IDENTIFICACAO").trimmed();
    if (kind == 3 && !docs::cnpjIsValid(identification))
        add(QStringLiteral("CNPJ inválido."));
    if (kind == 4 && !docs::cpfIsValid(identification))
        add(QStringLiteral("CPF inválido."));
    if (!empty(e, "CPF_RESPONSAVEL") && !docs::cpfIsValid(textOf(e, "CPF_RESPONSAVEL").trimmed()))
        add(QStringLiteral("CPF do Responsável inválido."));
    if (empty(e, "UF_CRC"))
        add(F1(QStringLiteral("UF CRC")));
    if (empty(e, "CRC"))
        add(F1(QStringLiteral("CRC")));
    if (empty(e, "IDENTIFICADOR_CRC"))
        add(F1(QStringLiteral("Identificador CRC")));
    if (empty(e, "EMAIL_RESPONSAVEL"))
        add(F1(QStringLiteral("E-Mail do Responsável")));
    if (!docs::emailLooksValid(textOf(e, "EMAIL_RESPONSAVEL").trimmed()))
        add(F3(QStringLiteral("E-Mail do Responsável")));
    if (empty(e, "DATANACRESP"))
        add(F1(QStringLiteral("Data de Nascimento do Responsável")));
    else if (dateOf(e, "DATANACRESP") > today())
        add(QStringLiteral("O campo Data de Nascimento do Responsável não deve ser maior que a data atual."));

    if (empty(address, "CEP")) {
        add(QStringLiteral("Endereço deve ser informado."));
    } else {
        if (empty(address, "LOCALIDADE"))
            add(F1(QStringLiteral("Localidade")));
        if (empty(address, "BAIRRO"))
            add(F1(QStringLiteral("Bairro")));
        if (empty(address, "LOGRADOURO"))
            add(F1(QStringLiteral("Logradouro")));
        if (empty(address, "NUMERO"))
            add(F1(QStringLiteral("Número")));
    }

    if (empty(contact, "TELEFONE"))
        add(F1(QStringLiteral("Telefone")));
    if (shorterThan8(contact, "TELEFONE"))
        add(F3(QStringLiteral("Telefone")));
    if (shorterThan8(contact, "CAIXA_POSTAL_CEP"))
        add(F3(QStringLiteral("Cep da Caixa Postal")));
    if (shorterThan8(contact, "FAX"))
        add(F3(QStringLiteral("Fax")));
    if (empty(contact, "EMAIL"))
        add(F1(QStringLiteral("E-Mail")));
    else if (!docs::emailLooksValid(textOf(contact, "EMAIL").trimmed()))
        add(F3(QStringLiteral("E-Mail")));
}

} // namespace jx
