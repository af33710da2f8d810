#include "delivery/DataLayouts.h"

#include "Error.h"
#include "data/TdtmJX.h"
#include "text/Money.h"
#include "text/TextUtils.h"
#include "data/RecordSet.h"
#include "delivery/Receipts.h"

#include <QDateTime>

#include <cmath>

namespace jx {

using data::RecordSet;

namespace {

// A stored date or date-time as its date and its time of day, never through the local
// clock: on a day whose midnight the clock skips, midnight must stay midnight.
struct Moment {
    QDate date;
    QTime time;
    bool isValid() const { return date.isValid(); }
};

Moment moment(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return { value.toDateTime().date(), value.toDateTime().time() };
    if (value.typeId() == QMetaType::QDate)
        return { value.toDate(), QTime(0, 0) };
    const QString t = value.toString().trimmed();
    const QDate date = QDate::fromString(t.left(10), Qt::ISODate);
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    if (t.size() > 10) {
        time = QTime::fromString(t.mid(11, 8), QStringLiteral("HH:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(t.mid(11, 5), QStringLiteral("HH:mm"));
        if (!time.isValid())
            return {};
    }
    return { date, time };
}

bool zeroOrMissing(const QVariant& value)
{
    return value.isNull() || value.toString().trimmed().isEmpty() || value.toDouble() == 0;
}

} // namespace

DataLayouts::DataLayouts(TdtmJX& jx)
    : m_jx(jx)
{
}

QString DataLayouts::wholeText(const QVariant& value)
{
    if (value.isNull() || value.toString().trimmed().isEmpty())
        return {};
    if (data::isIntegral(value))
        return QString::number(value.toLongLong());
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (ok && std::isfinite(d) && std::fabs(d) < 9.0e15 && d == std::trunc(d))
        return QString::number(qint64(d));
    return escaped(value.toString()); // text where a number belongs (another program's file)
}

QString DataLayouts::realText(const QVariant& value)
{
    if (value.isNull() || value.toString().trimmed().isEmpty())
        return {};
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return escaped(value.toString());
    return QString::number(d, 'g', 15).replace(u'.', u',');
}

QString DataLayouts::moneyText(const QVariant& value)
{
    if (value.isNull() || value.toString().trimmed().isEmpty())
        return {};
    return money::general(value.toLongLong());
}

QString DataLayouts::dateText(const QVariant& value)
{
    const Moment m = moment(value);
    return m.isValid() ? m.date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString DataLayouts::dateTimeText(const QVariant& value)
{
    const Moment m = moment(value);
    if (!m.isValid())
        return {};
    if (m.time == QTime(0, 0))
        return m.date.toString(QStringLiteral("dd/MM/yyyy"));
    return m.date.toString(QStringLiteral("dd/MM/yyyy")) + u' ' + m.time.toString(QStringLiteral("HH:mm:ss"));
}

QString DataLayouts::momentDigits(const QVariant& value)
{
    const Moment m = moment(value);
    return m.isValid() ? m.date.toString(QStringLiteral("yyyyMMdd")) + m.time.toString(QStringLiteral("HHmmss"))
                       : QString();
}

QString DataLayouts::escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            out += QLatin1String("&amp;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else if (c == u'>')
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

QString DataLayouts::normalised(const QString& text)
{
    return text::xmlSafe(text, false);
}

QString DataLayouts::receiptText(const QString& text)
{
    return text::xmlSafe(text, true).replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
}

void DataLayouts::refuseControls(const char* name, const QString& value)
{
    // XML cannot carry these at all, not even as references: the filing gets no file rather
    // than a file no reader accepts.
    for (const QChar c : value) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            throw Error(QStringLiteral("O campo %1 contém um caractere de controle que não pode ir para o arquivo.")
                            .arg(QLatin1String(name)));
    }
}

QString DataLayouts::attributeValue(const char* name, const QString& value)
{
    refuseControls(name, value);
    return escaped(value).replace(u'"', QLatin1String("&quot;"));
}

void DataLayouts::leaf(const char* name, const QString& value)
{
    refuseControls(name, value);
    m_lines << u'<' + QLatin1String(name) + u'>' + value + QStringLiteral("</") + QLatin1String(name) + u'>';
}

QString DataLayouts::text(const RecordSet& set, const char* field) const
{
    return set.isEmpty() ? QString() : set.value(QLatin1String(field)).toString();
}

QString DataLayouts::lookup(RecordSet& reference, const char* keyField, const QVariant& key, const char* textField)
{
    if (!reference.isOpen())
        m_jx.openSet(reference);
    if (key.isNull())
        return {};
    const int k = reference.fieldIndex(QLatin1String(keyField));
    const int t = reference.fieldIndex(QLatin1String(textField));
    for (int v = 0; v < reference.count(); ++v) {
        const QVariant candidate = reference.valueAt(v, k);
        bool a = false;
        bool b = false;
        const double x = candidate.toDouble(&a);
        const double y = key.toDouble(&b);
        if ((a && b) ? x == y : candidate.toString() == key.toString())
            return reference.valueAt(v, t).toString();
    }
    return {};
}

void DataLayouts::addressGroup(const RecordSet& a)
{
    auto v = [&a](const char* field) { return a.isEmpty() ? QVariant() : a.value(QLatin1String(field)); };
    leaf("cep", escaped(text(a, "CEP")));
    leaf("uf", escaped(lookup(*m_jx.cdsUF, "ID_UF", v("ID_UF"), "SIGLA")));
    leaf("municipio", m_backup ? escaped(text(a, "LOCALIDADE")) : normalised(text(a, "LOCALIDADE")).trimmed());
    leaf("distrito_povoado", freeText(text(a, "DISTRITO")));
    leaf("bairro", freeText(text(a, "BAIRRO")));
    leaf("tipo_logradouro", wholeText(v("TIPO_LOGRADOURO")));
    leaf("nome_tipo_logradouro", escaped(lookup(*m_jx.cdsLogradouro, "IDENTIFICADOR", v("TIPO_LOGRADOURO"), "NOME")));
    leaf("logradouro", freeText(text(a, "LOGRADOURO")));
    leaf("numero", escaped(text(a, "NUMERO")));
    for (int i = 1; i <= 6; ++i) {
        const QByteArray code = "cod_complemento" + QByteArray::number(i);
        const QByteArray description = "des_complemento" + QByteArray::number(i);
        leaf(code.constData(), escaped(text(a, ("COD_TIPO_COMPLEMENTO" + QByteArray::number(i)).constData())));
        leaf(description.constData(), freeText(text(a, ("COMPLEMENTO" + QByteArray::number(i)).constData())));
    }
}

void DataLayouts::contactGroup(const RecordSet& c)
{
    leaf("telefone", escaped(text(c, "TELEFONE")));
    leaf("fax", escaped(text(c, "FAX")));
    leaf("e_mail", freeText(text(c, "EMAIL")));
    leaf("cep_caixa_postal", escaped(text(c, "CAIXA_POSTAL_CEP")));
    leaf("caixa_postal", escaped(text(c, "CAIXA_POSTAL")));
}

void DataLayouts::AbrirEntregas(int kind, qint64 id)
{
    if (kind == 1)
        m_jx.selectDeliveriesOfRequest(id);
    else
        m_jx.selectDeliveriesOfEnablement(id);
}

void DataLayouts::deliveries(int kind, qint64 id)
{
    AbrirEntregas(kind, id);
    RecordSet& d = *m_jx.cdsEntregas;
    for (int v = 0; v < d.count(); ++v) {
        d.moveTo(v);
        open("entrega");
        leaf("num_protocolo", escaped(text(d, "NUMEROPROTOCOLO")));
        leaf("data_hora_protocolo", dateTimeText(d.value("DATAHORAPROTOCOLO")));
        leaf("versao_jx_transmitida", escaped(text(d, "VERSAOJXTRANSMISSAO")));
        leaf("forma_entrega", escaped(text(d, "FORMAENTREGA")));
        leaf("nome_arquivo", escaped(text(d, "NOMEARQUIVO")));
        leaf("verificador_integridade", escaped(text(d, "VERIFICADORINTEGRIDADE")));
        leaf("identificador_disquete", escaped(text(d, "IDENTIFICADORDISQUETE")));
        const QVariant receipt = d.value("RECIBO");
        // The receipt is stored as Windows-1252 bytes.
        const QString receiptString = receipt.typeId() == QMetaType::QByteArray
            ? Receipts::fromWindows1252(receipt.toByteArray())
            : receipt.toString();
        const QString value = receiptText(receiptString);
        refuseControls("recibo", value);
        m_lines << QStringLiteral("<recibo>") + value + QStringLiteral("</recibo>");
        close("entrega");
    }
}

QStringList DataLayouts::MontarDadosSolicitacao()
{
    m_lines.clear();
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    if (r.isEmpty())
        throw Error(QStringLiteral("Não há Solicitação de Inscrição Estadual para gerar."));
    auto v = [&r](const char* field) { return r.value(QLatin1String(field)); };
    auto raw = [this, &r](const char* field) { return escaped(text(r, field)); };

    m_lines << QStringLiteral("<solicitacao data=\"%1\" status=\"%2\" datacriacao=\"%3\">")
                   .arg(dayText(v("DATASOLICITACAOIE")), attributeValue("status", text(r, "STATUS")),
                       dateTimeText(v("DATACRIACAO")));

    open("dados_iniciais");
    leaf("cnpj", raw("CNPJ"));
    leaf("localizacao", wholeText(v("LOCALIZACAO")) == QLatin1String("1") ? QStringLiteral("QZ") : QStringLiteral("Outra UF"));
    if (!text(r, "ID_NATUREZA_JURIDICA").trimmed().isEmpty())
        leaf("natureza_juridica", wholeText(v("ID_NATUREZA_JURIDICA")));
    leaf("nire", raw("NIRE"));
    leaf("unidade_auxiliar", wholeText(v("ID_UNIDADE_AUXILIAR")));
    leaf("cnaef_principal", realText(v("ID_CNAEF_PRINCIPAL")));
    leaf("cae", wholeText(v("ID_CAE")));
    leaf("desmembramento_cnaef_principal",
        zeroOrMissing(v("ID_DESMEMBRAMENTO1")) ? QString() : wholeText(v("ID_DESMEMBRAMENTO1")));
    leaf("cnaef_secundaria", realText(v("ID_CNAEF_SECUNDARIO")));
    leaf("desmembramento_cnaef_secundaria",
        zeroOrMissing(v("ID_DESMEMBRAMENTO2")) ? QString() : wholeText(v("ID_DESMEMBRAMENTO2")));
    leaf("regime_recolhimento", wholeText(v("ID_REGIME_RECOLHIMENTO")));
    leaf("limite_receita_bruta_anual_prevista", moneyText(v("RECEITA_BRUTA")));
    leaf("substituto_tributario", raw("SUBSTITUTO_TRIBUTARIO"));
    leaf("incorporacao_fusao_cisao_total", escaped(lookup(*m_jx.cdsViculo, "ID_VINCULO", v("VINCULO"), "DESCRICAO")));
    leaf("ie_unificada", raw("INSCRICAO_UNICA"));
    if (!zeroOrMissing(v("DOCUMENTO_CONTABILISTA_TIPO"))) {
        open("ident_contabilista_empresa_contabil");
        leaf("tipo", wholeText(v("DOCUMENTO_CONTABILISTA_TIPO")));
        leaf("numero", raw("DOCUMENTO_CONTABILISTA_NUMERO"));
        close("ident_contabilista_empresa_contabil");
    }
    close("dados_iniciais");

    open("identificacao");
    if (!text(r, "NOME_EMPRESARIAL").trimmed().isEmpty())
        leaf("nome_empresarial", freeText(text(r, "NOME_EMPRESARIAL")));
    leaf("nome_fantasia", freeText(text(r, "NOME_FANTASIA")));
    leaf("data_inicio_atividade", dateTimeText(v("DATA_INICIO_ATIVIDADE")));
    if (!text(r, "IE_ESTADO_ORIGEM").trimmed().isEmpty())
        leaf("ie_estado_origem", raw("IE_ESTADO_ORIGEM"));
    if (!zeroOrMissing(v("ID_SITUACAO_ESPESCIAL"))) {
        m_lines << QStringLiteral("<situacao_especial situacao=\"%1\">")
                       .arg(attributeValue("situacao", wholeText(v("ID_SITUACAO_ESPESCIAL"))));
        leaf("numero_processo", raw("PROCESSO_NUMERO"));
        leaf("data_inicio", dateTimeText(v("PROCESSO_DATA_INICIO")));
        leaf("data_fim", dateTimeText(v("PROCESSO_DATA_FIM")));
        close("situacao_especial");
    }
    leaf("numero_dae_solicitacao_ie", raw("NUMERO_DAE"));
    RecordSet& linkedIe = *m_jx.cdsIE_Estab_Vinc;
    if (!linkedIe.isEmpty()) {
        open("ie_incorporadas_fundidas_cindidas");
        for (int i = 0; i < linkedIe.count(); ++i) {
            linkedIe.moveTo(i);
            leaf("ie", escaped(text(linkedIe, "IE")));
        }
        close("ie_incorporadas_fundidas_cindidas");
    }
    RecordSet& linkedCnpj = *m_jx.cdsCNPJ_Estab_Vinc;
    if (!linkedCnpj.isEmpty()) {
        open("cnpj_vinculado_ie_unificada");
        for (int i = 0; i < linkedCnpj.count(); ++i) {
            linkedCnpj.moveTo(i);
            leaf("cnpj",
                escaped(text(linkedCnpj, "CNPJ_NUCLEO") + text(linkedCnpj, "CNPJ_FILIAL") + text(linkedCnpj, "CNPJ_DV")));
        }
        close("cnpj_vinculado_ie_unificada");
    }
    close("identificacao");

    open("qualificacao");
    leaf("categoria", wholeText(v("CATEGORIA")));
    if (!text(r, "MATRIZ_IE").trimmed().isEmpty())
        leaf("ie_matriz_principal", raw("MATRIZ_IE"));
    leaf("numero_registro_orgao_licenciador", raw("ORGAO_LICENCIADOR"));
    leaf("formas_comercializacao", wholeText(v("ID_FORMA_COMERCIALIZACAO")));
    leaf("permanencia_livros_escritorio_contabilidade", raw("IND_LIVROS_FISCAIS"));
    leaf("convenio_protocolo_substituicao_tributaria", wholeText(v("ID_CONVENIO_PROTOCOLO")));
    close("qualificacao");

    open("endereco_comunicacao");
    open("estabelecimento");
    addressGroup(*m_jx.cdsSolicIEEndEstab);
    close("estabelecimento");
    if (!text(*m_jx.cdsSolicIEEndCorresp, "CEP").trimmed().isEmpty()) {
        open("correspondencia");
        addressGroup(*m_jx.cdsSolicIEEndCorresp);
        close("correspondencia");
    }
    open("comunicacao");
    contactGroup(*m_jx.cdsSolicitacaoIEComun);
    close("comunicacao");
    close("endereco_comunicacao");

    RecordSet& partners = *m_jx.cdsSolicitacao_IE_Socio;
    for (int i = 0; i < partners.count(); ++i) {
        partners.moveTo(i); // its address and contact follow
        open("socio");
        open("dados_cadastrais");
        open("identificacao");
        leaf("tipo", wholeText(partners.value("TIPO_IDENTIFICACAO")));
        leaf("numero", escaped(text(partners, "IDENTIFICACAO")));
        close("identificacao");
        leaf("responsavel_master", escaped(text(partners, "RESPONSAVEL_MASTER")));
        leaf("cpf_procurador_responsavel_legal", escaped(text(partners, "IDENT_PROCURADOR_RESPONSAVEL")));
        leaf("cargo", normalised(wholeText(partners.value("ID_CARGO"))));
        open("participacao");
        leaf("percentual", realText(partners.value("PARTICIPACAO")));
        leaf("data_inicio", dateTimeText(partners.value("PARTICIPACAO_DATA_INICIO")));
        close("participacao");
        leaf("data_nascimento_inicio", dateTimeText(partners.value("DATA_NASCIMENTO")));
        close("dados_cadastrais");
        open("endereco");
        addressGroup(*m_jx.cdsIESocioEnd);
        close("endereco");
        if (!m_jx.cdsIESocioCom->isEmpty()) {
            open("comunicacao");
            contactGroup(*m_jx.cdsIESocioCom);
            close("comunicacao");
        }
        close("socio");
    }
    RecordSet& responsibles = *m_jx.cdsSolicitacao_IE_Responsavel;
    for (int i = 0; i < responsibles.count(); ++i) {
        responsibles.moveTo(i);
        open("responsavel");
        leaf("cpf", escaped(text(responsibles, "IDENTIFICACAO")));
        open("dados_funcionais");
        leaf("funcao", normalised(wholeText(responsibles.value("ID_FUNCAO"))));
        leaf("data_inicio", dateTimeText(responsibles.value("DATA_INICIO")));
        close("dados_funcionais");
        open("endereco");
        addressGroup(*m_jx.cdsIERespEnd);
        close("endereco");
        if (!m_jx.cdsIERespCom->isEmpty()) {
            open("comunicacao");
            contactGroup(*m_jx.cdsIERespCom);
            close("comunicacao");
        }
        close("responsavel");
    }
    close("solicitacao");
    deliveries(1, v("ID_SOLICITACAO").toLongLong());
    return std::exchange(m_lines, {});
}

QStringList DataLayouts::MontarDadosHabilitacao()
{
    m_lines.clear();
    RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    if (e.isEmpty())
        throw Error(QStringLiteral("Não há Habilitação de Contabilista para gerar."));
    auto v = [&e](const char* field) { return e.value(QLatin1String(field)); };
    auto raw = [this, &e](const char* field) { return escaped(text(e, field)); };
    m_lines << QStringLiteral("<habilitacao data=\"%1\" status=\"%2\" datacriacao=\"%3\">")
                   .arg(dayText(v("DATAHABILITACAOCONTABILISTA")), attributeValue("status", text(e, "STATUS")),
                       dateTimeText(v("DATACRIACAO")));
    open("identificacao");
    leaf("tipo", wholeText(v("TIPO_IDENTIFICACAO")));
    leaf("numero", raw("IDENTIFICACAO"));
    close("identificacao");
    open("crc");
    leaf("uf", raw("UF_CRC"));
    leaf("numero", raw("CRC"));
    leaf("identificador", raw("IDENTIFICADOR_CRC"));
    close("crc");
    open("responsavel");
    leaf("cpf", raw("CPF_RESPONSAVEL"));
    leaf("e_mail", freeText(text(e, "EMAIL_RESPONSAVEL")));
    leaf("data_nascimento", dateTimeText(v("DATANACRESP")));
    close("responsavel");
    if (!m_jx.cdsSolicitacao_Contab_End->isEmpty()) {
        open("endereco");
        addressGroup(*m_jx.cdsSolicitacao_Contab_End);
        close("endereco");
    }
    if (!m_jx.cdsSolicitacao_Contab_Com->isEmpty()) {
        open("comunicacao");
        contactGroup(*m_jx.cdsSolicitacao_Contab_Com);
        close("comunicacao");
    }
    close("habilitacao");
    deliveries(0, v("ID_SOLICITACAO_CONTABILISTA").toLongLong());
    return std::exchange(m_lines, {});
}

} // namespace jx
