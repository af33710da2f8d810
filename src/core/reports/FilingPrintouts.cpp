#include "reports/FilingPrintouts.h"

#include "data/RecordSet.h"
#include "data/TdtmJX.h"
#include "delivery/DataLayouts.h"
#include "delivery/Receipts.h"
#include "text/Masks.h"
#include "text/Money.h"

#include <cmath>

namespace jx::report {

using data::RecordSet;

namespace {

constexpr double kBandWidth = 190;

QVariant valueOf(const RecordSet& set, const char* field)
{
    return set.isEmpty() ? QVariant() : set.value(QLatin1String(field));
}

QString textOf(const RecordSet& set, const char* field)
{
    return valueOf(set, field).toString();
}

QString masked(const RecordSet& set, const char* field, const QString& mask)
{
    return masks::apply(textOf(set, field), mask);
}

// The short date, and the time only when the value carries one other than midnight.
QString dateOf(const RecordSet& set, const char* field)
{
    return DataLayouts::dateTimeText(valueOf(set, field));
}

QString yesNo(const RecordSet& set, const char* field)
{
    return textOf(set, field) == QLatin1String("S") ? QStringLiteral("Sim") : QStringLiteral("Não");
}

bool equals(const QVariant& value, int number)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && d == number;
}

// "#.00": no digit before the separator when the whole part is 0.
QString revenueOf(const RecordSet& set)
{
    const QVariant value = valueOf(set, "RECEITA_BRUTA");
    if (value.isNull())
        return {};
    return money::format(value.toLongLong(), 2, false);
}

// "0.00" of a real.
QString participationOf(const RecordSet& set)
{
    const QVariant value = valueOf(set, "PARTICIPACAO");
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (value.isNull() || !ok)
        return {};
    if (!std::isfinite(d) || std::fabs(d) > 9.0e14)
        return QString::number(d, 'f', 2).replace(u'.', u',');
    return money::format(std::llround(d * double(money::kScale)), 2, true);
}

// Each entry padded to 18 and followed by a blank, all in one text.
QString listOf(const RecordSet& list, const char* field)
{
    QString out;
    const int index = list.fieldIndex(QLatin1String(field));
    for (int row = 0; row < list.count(); ++row)
        out += list.valueAt(row, index).toString().leftJustified(18, u' ', false) + u' ';
    return out;
}

Band detailBand(double height)
{
    Band band;
    band.kind = Band::Kind::Detail;
    band.height = height;
    return band;
}

// The address block; the enablement page sets its labels at 1 mm and its first line apart.
void addressBlock(Band& band, double y, const RecordSet& a, bool enablement)
{
    const double l = enablement ? 1 : 2;
    if (enablement) {
        addLine(band, y,
            { { 1, QStringLiteral("CEP:"), 10, masked(a, "CEP", masks::kCep) },
                { 34, QStringLiteral("UF:"), 41, textOf(a, "desc_sigla") },
                { 70, QStringLiteral("Município:"), 87, textOf(a, "LOCALIDADE") } },
            kBandWidth);
    } else {
        addLine(band, y,
            { { 2, QStringLiteral("CEP:"), 12, masked(a, "CEP", masks::kCep) },
                { 40, QStringLiteral("UF:"), 47, textOf(a, "desc_sigla") },
                { 71, QStringLiteral("Município:"), 88, textOf(a, "LOCALIDADE") } },
            kBandWidth);
    }
    addLine(band, y + 5, { { l, QStringLiteral("Distrito/Povoado:"), 29, textOf(a, "DISTRITO") } }, kBandWidth);
    addLine(band, y + 10, { { l, QStringLiteral("Bairro:"), 13, textOf(a, "BAIRRO") } }, kBandWidth);
    addLine(band, y + 15,
        { { l, QStringLiteral("Logradouro:"), 22, textOf(a, "DESC_ENDERECO"), 9 },
            { 160, QStringLiteral("Número:"), 174, textOf(a, "NUMERO") } },
        kBandWidth);
    band.items.push_back(label(l, y + 20, QStringLiteral("Complemento:"), 25));
    band.items.push_back(wrapped(25, y + 20.6, enablement ? 164 : 162, textOf(a, "DESC_COMPLEMENTO"), sans(8), 27));
}

void contactBlock(Band& band, double y, const RecordSet& c)
{
    addLine(band, y,
        { { 2, QStringLiteral("Telefone:"), 17, masked(c, "TELEFONE", masks::kTelefoneComunicacao) },
            { 98, QStringLiteral("Fax:"), 106, masked(c, "FAX", masks::kTelefoneComunicacao) } },
        kBandWidth);
    addLine(band, y + 5, { { 2, QStringLiteral("E-mail:"), 14, textOf(c, "EMAIL") } }, kBandWidth);
    addLine(band, y + 9,
        { { 2, QStringLiteral("CEP da Caixa Postal:"), 37, masked(c, "CAIXA_POSTAL_CEP", masks::kCep) },
            { 98, QStringLiteral("Caixa Postal:"), 120, textOf(c, "CAIXA_POSTAL") } },
        kBandWidth);
}

// The lower part of a person's page: a rule and "Endereço" over the address block, a rule and
// "Comunicação" over the contact block.
void addressAndContact(Band& b, double addressRule, double addressY, double contactRule, double contactY,
    const RecordSet& address, const RecordSet& contact)
{
    b.items.push_back(rule(addressRule, kBandWidth));
    b.items.push_back(heading(addressRule + 2, QStringLiteral("Endereço"), kBandWidth));
    addressBlock(b, addressY, address, false);
    b.items.push_back(rule(contactRule, kBandWidth));
    b.items.push_back(heading(contactRule + 2, QStringLiteral("Comunicação"), kBandWidth));
    contactBlock(b, contactY, contact);
}

// Moves through a person set for the pages and puts its cursor back afterwards (which loads
// that person's address and contact data again).
class CursorKept {
public:
    explicit CursorKept(RecordSet& set)
        : m_set(set)
        , m_row(set.recNo())
    {
    }
    // Moving back reloads the person's address and contact; a failure of that must not end
    // the program while another one is being unwound.
    ~CursorKept()
    {
        try {
            if (m_row >= 0 && m_row < m_set.count() && m_set.recNo() != m_row)
                m_set.moveTo(m_row);
        } catch (...) {
        }
    }
    CursorKept(const CursorKept&) = delete;
    CursorKept& operator=(const CursorKept&) = delete;

private:
    RecordSet& m_set;
    int m_row;
};

Report requestReport(const char* name, double margin, const PrintContext& context)
{
    Report report;
    report.name = QLatin1String(name);
    report.top = margin;
    report.bottom = margin;
    Band header = authorityHeading(
        Band::Kind::PageHeader, 18, context, FilingPrintouts::kRequestTitle, kBandWidth, 10);
    header.items.push_back(rule(17, kBandWidth));
    report.bands.push_back(std::move(header));
    report.bands.push_back(pageFooter(context, FilingPrintouts::kFooterText, kBandWidth, true));
    return report;
}

Band firstPage(TdtmJX& jx)
{
    Receipts texts(jx);
    const RecordSet& r = *jx.cdsSolicitacaoIE;
    auto v = [&r](const char* field) { return valueOf(r, field); };
    auto t = [&r](const char* field) { return textOf(r, field); };
    const bool cpf = equals(v("DOCUMENTO_CONTABILISTA_TIPO"), 4);
    const QString accountant = cpf
        ? QStringLiteral("CPF ") + masked(r, "DOCUMENTO_CONTABILISTA_NUMERO", masks::kCpfDisplay)
        : QStringLiteral("CNPJ ") + masked(r, "DOCUMENTO_CONTABILISTA_NUMERO", masks::kCnpjDisplay);

    Band b = detailBand(266);
    const double w = kBandWidth;
    b.items.push_back(heading(1, QStringLiteral("Dados Cadastrais"), w));
    addLine(b, 6,
        { { 2, QStringLiteral("CNPJ:"), 13, t("DESC_CNPJ") },
            { 143, QStringLiteral("Localização:"), 164,
                equals(v("LOCALIZACAO"), 1) ? QStringLiteral("QZ") : QStringLiteral("Outra UF") } },
        w);
    addLine(b, 10,
        { { 2, QStringLiteral("Natureza Jurídica:"), 31,
              texts.describe("NATUREZA_JURIDICA", "ID_NATUREZAJUD", v("ID_NATUREZA_JURIDICA"), "DESCRICAO") },
            { 143, QStringLiteral("NIRE:"), 153, masked(r, "NIRE", masks::kNire) } },
        w);
    addLine(b, 15,
        { { 2, QStringLiteral("Unidade Auxiliar:"), 29,
            texts.describe("UNIDADE_AUXILIAR", "IDENTIFICADOR", v("ID_UNIDADE_AUXILIAR"), "DESCRICAO") } },
        w);
    addLine(b, 20, { { 2, QStringLiteral("CNAE-F Principal:"), 31, texts.cnaef(v("ID_CNAEF_PRINCIPAL")), 9 } }, w);
    addLine(b, 25, { { 16, QStringLiteral("CAE:"), 26, texts.describe("CAE", "ID_CAE", v("ID_CAE"), "DESCRICAO"), 9 } }, w);
    addLine(b, 29, { { 16, QStringLiteral("Desmembramento:"), 47, texts.cnaef(v("ID_DESMEMBRAMENTO1")), 9 } }, w);
    addLine(b, 34, { { 2, QStringLiteral("CNAE-F Secundária:"), 35, texts.cnaef(v("ID_CNAEF_SECUNDARIO")), 9 } }, w);
    addLine(b, 39, { { 16, QStringLiteral("Desmembramento:"), 47, texts.cnaef(v("ID_DESMEMBRAMENTO2")), 9 } }, w);
    addLine(b, 44,
        { { 2, QStringLiteral("Regime de Recolhimento:"), 43,
            texts.describe("REGIME_RECOLHIMENTO", "ID_REGIMEC", v("ID_REGIME_RECOLHIMENTO"), "DESCRICAO") } },
        w);
    addLine(b, 49,
        { { 2, QStringLiteral("Limite Receita Bruta Anual Prevista:"), 59, revenueOf(r) },
            { 93, QStringLiteral("Substituto Tributário:"), 126, yesNo(r, "SUBSTITUTO_TRIBUTARIO") },
            { 148, QStringLiteral("Insc. Estadual Única:"), 182, yesNo(r, "INSCRICAO_UNICA") } },
        w);
    addLine(b, 53,
        { { 2, QStringLiteral("Incorporação/Fusão/Cisão Total:"), 53,
              texts.describe("VINCULO", "ID_VINCULO", v("VINCULO"), "DESCRICAO") },
            { 93, QStringLiteral("Ident. Contabilista/Empresa Contábil:"), 151, accountant } },
        w);
    b.items.push_back(rule(59, w));

    b.items.push_back(heading(60, QStringLiteral("Identificação"), w));
    addLine(b, 65, { { 2, QStringLiteral("Nome Empresarial:"), 33, t("NOME_EMPRESARIAL"), 9 } }, w);
    addLine(b, 70, { { 2, QStringLiteral("Nome Fantasia:"), 28, t("NOME_FANTASIA"), 9 } }, w);
    addLine(b, 74,
        { { 2, QStringLiteral("Data de Início de Atividade:"), 45, dateOf(r, "DATA_INICIO_ATIVIDADE"), 9 },
            { 101, QStringLiteral("Insc. Estadual Estado Origem:"), 149, masked(r, "IE_ESTADO_ORIGEM", masks::kIe), 9 } },
        w);
    addLine(b, 79,
        { { 2, QStringLiteral("Situação Especial:"), 32,
            texts.describe("SITUACAO_ESPECIAL", "CODIGO", v("ID_SITUACAO_ESPESCIAL"), "DESCRICAO"), 9 } },
        w);
    addLine(b, 84,
        { { 16, QStringLiteral("Nº Processo:"), 38, t("PROCESSO_NUMERO"), 9 },
            { 97, QStringLiteral("Data Início:"), 115, dateOf(r, "PROCESSO_DATA_INICIO"), 9 },
            { 147, QStringLiteral("Data Fim:"), 163, dateOf(r, "PROCESSO_DATA_FIM"), 9 } },
        w);
    addLine(b, 89,
        { { 2, QStringLiteral("Nº DAE da Solicitação de Insc. Estadual:"), 67, masked(r, "NUMERO_DAE", masks::kDae), 9 } },
        w);
    b.items.push_back(label(2, 93, QStringLiteral("Incorporadas/Fundidas/Cindidas:"), 53));
    b.items.push_back(wrapped(53, 93.5, 135, listOf(*jx.cdsIE_Estab_Vinc, "IE"), sans(9), 12));
    b.items.push_back(label(2, 106, QStringLiteral("CNPJ Vinculados a IE Única:"), 48));
    b.items.push_back(wrapped(48, 106.5, 141, listOf(*jx.cdsCNPJ_Estab_Vinc, "DESC_CNPJ"), sans(9), 12));
    b.items.push_back(rule(119, w));

    b.items.push_back(heading(120, QStringLiteral("Qualificação"), w));
    addLine(b, 125,
        { { 2, QStringLiteral("Categoria:"), 19,
              equals(v("CATEGORIA"), 1) ? QStringLiteral("Estabelecimento Único") : QStringLiteral("Filial") },
            { 97, QStringLiteral("Insc. Estadual da Matriz/Principal:"), 151, masked(r, "MATRIZ_IE", masks::kIe) } },
        w);
    addLine(b, 130,
        { { 2, QStringLiteral("N° Reg. Órgão Licenciador:"), 45, t("ORGAO_LICENCIADOR") },
            { 128, QStringLiteral("Livros em Escrit. de Contabilidade:"), 182, yesNo(r, "IND_LIVROS_FISCAIS") } },
        w);
    addLine(b, 135,
        { { 2, QStringLiteral("Formas de Comercialização:"), 47,
            texts.describe("FORMA_COMERCIALIZACAO", "CODIGO", v("ID_FORMA_COMERCIALIZACAO"), "DESCRICAO") } },
        w);
    addLine(b, 139,
        { { 1, QStringLiteral("Convênio/Protocolo de Subs. Tributária:"), 62,
            texts.describe("CONVENIO_PROTOCOLO", "ID_CONVENIO_PROTOCOLO", v("ID_CONVENIO_PROTOCOLO"), "DESCRICAO") } },
        w);
    b.items.push_back(rule(144, w));

    b.items.push_back(heading(145, QStringLiteral("Endereço/Comunicação"), w));
    b.items.push_back(text(2, 147, QStringLiteral("Estabelecimento"), sans(10)));
    addressBlock(b, 152, *jx.cdsSolicIEEndEstab, false);
    b.items.push_back(text(2, 195, QStringLiteral("Correspondência"), sans(10)));
    addressBlock(b, 199, *jx.cdsSolicIEEndCorresp, false);
    b.items.push_back(text(2, 243, QStringLiteral("Comunicação"), sans(10)));
    contactBlock(b, 247, *jx.cdsSolicitacaoIEComun);
    return b;
}

Band partnerPage(TdtmJX& jx)
{
    Receipts texts(jx);
    const RecordSet& p = *jx.cdsSolicitacao_IE_Socio;
    Band b = detailBand(176);
    const double w = kBandWidth;
    b.items.push_back(heading(1, QStringLiteral("Sócio"), w));
    b.items.push_back(heading(6, QStringLiteral("Dados Cadastrais"), w));
    addLine(b, 11,
        { { 2, QStringLiteral("Identificação:"), 23, textOf(p, "desc_Identificacao") },
            { 70, QStringLiteral("Responsável Master:"), 103, textOf(p, "DESC_RESP_MASTER") },
            { 114, QStringLiteral("CPF Procurador/Resp. Legal:"), 160,
                masked(p, "IDENT_PROCURADOR_RESPONSAVEL", masks::kCpfDisplay) } },
        w);
    addLine(b, 16,
        { { 2, QStringLiteral("Cargo:"), 13,
            texts.describe("CARGO_SOCIO", "CODIGO", valueOf(p, "ID_CARGO"), "DESCRICAO"), 9 } },
        w);
    addLine(b, 21,
        { { 2, QStringLiteral("Data Nasc./Início Atividade:"), 45, dateOf(p, "DATA_NASCIMENTO") },
            { 69, QStringLiteral("Perc. Participação:"), 99, participationOf(p) },
            { 125, QStringLiteral("Data Início Participação:"), 164, dateOf(p, "PARTICIPACAO_DATA_INICIO") } },
        w);
    addressAndContact(b, 27, 35, 83, 92, *jx.cdsIESocioEnd, *jx.cdsIESocioCom);
    return b;
}

Band responsiblePage(TdtmJX& jx)
{
    Receipts texts(jx);
    const RecordSet& r = *jx.cdsSolicitacao_IE_Responsavel;
    Band b = detailBand(176);
    const double w = kBandWidth;
    b.items.push_back(heading(1, QStringLiteral("Responsável"), w));
    b.items.push_back(heading(7, QStringLiteral("Dados Cadastrais"), w));
    addLine(b, 13,
        { { 2, QStringLiteral("CPF:"), 11, masked(r, "IDENTIFICACAO", masks::kCpfDisplay) },
            { 146, QStringLiteral("Data Início:"), 164, dateOf(r, "DATA_INICIO") } },
        w);
    addLine(b, 18,
        { { 2, QStringLiteral("Função:"), 16,
            texts.describe("FUNCAO_RESPONSAVEL", "ID_FUNCAO", valueOf(r, "ID_FUNCAO"), "DESCRICAO"), 9 } },
        w);
    addressAndContact(b, 25, 33, 81, 88, *jx.cdsIERespEnd, *jx.cdsIERespCom);
    return b;
}

} // namespace

std::vector<Report> FilingPrintouts::request(TdtmJX& jx, const PrintContext& context)
{
    std::vector<Report> reports;
    Report first = requestReport("qrSolicitacao", 2, context);
    first.bands.push_back(firstPage(jx));
    reports.push_back(std::move(first));

    for (auto [set, name, page] : { std::tuple { jx.cdsSolicitacao_IE_Socio, "qrSocio", &partnerPage },
             std::tuple { jx.cdsSolicitacao_IE_Responsavel, "qrResponsavel", &responsiblePage } }) {
        RecordSet& people = *set;
        if (people.isEmpty())
            continue;
        Report report = requestReport(name, 10, context);
        CursorKept kept(people);
        for (int row = 0; row < people.count(); ++row) {
            people.moveTo(row); // the person's address and contact data follow
            report.bands.push_back(page(jx));
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

Report FilingPrintouts::enablement(TdtmJX& jx, const PrintContext& context)
{
    const RecordSet& e = *jx.cdsSolicitacao_Contab;
    const RecordSet& c = *jx.cdsSolicitacao_Contab_Com;
    Report report;
    report.name = QStringLiteral("qrpHabilitacao");
    const double w = kBandWidth;
    Band title = authorityHeading(Band::Kind::Title, 18, context, kEnablementTitle, w, 10);
    title.items.push_back(rule(17, w));
    report.bands.push_back(std::move(title));

    Band b = detailBand(137);
    b.items.push_back(heading(2, QStringLiteral("Dados Cadastrais"), w));
    addLine(b, 10, { { 1, QStringLiteral("Identificação:"), 22, textOf(e, "IDENTIFICACAO") } }, w);
    addLine(b, 15, { { 1, QStringLiteral("CRC:"), 10, textOf(e, "DESC_CRC") } }, w);
    addLine(b, 20, { { 1, QStringLiteral("CPF do Responsável:"), 35, masked(e, "CPF_RESPONSAVEL", masks::kCpfDisplay) } }, w);
    addLine(b, 24, { { 1, QStringLiteral("E-mail do Responsável:"), 38, textOf(e, "EMAIL_RESPONSAVEL") } }, w);
    addLine(b, 30, { { 1, QStringLiteral("Data de Nascimento do Responsável:"), 59, dateOf(e, "DATANACRESP") } }, w);
    b.items.push_back(rule(38, w));
    b.items.push_back(heading(41, QStringLiteral("Endereço"), w));
    addressBlock(b, 56, *jx.cdsSolicitacao_Contab_End, true);
    b.items.push_back(rule(108, w));
    b.items.push_back(heading(110, QStringLiteral("Dados de Comunicação"), w));
    addLine(b, 119,
        { { 1, QStringLiteral("Telefone:"), 16, masked(c, "TELEFONE", masks::kTelefoneComunicacao) },
            { 98, QStringLiteral("Fax:"), 106, masked(c, "FAX", masks::kTelefoneComunicacao) } },
        w);
    addLine(b, 125, { { 1, QStringLiteral("E-mail:"), 13, textOf(c, "EMAIL") } }, w);
    addLine(b, 130,
        { { 1, QStringLiteral("Caixa Postal:"), 22, textOf(c, "CAIXA_POSTAL") },
            { 97, QStringLiteral("CEP da Caixa Postal:"), 132, masked(c, "CAIXA_POSTAL_CEP", masks::kCep) } },
        w);
    report.bands.push_back(std::move(b));
    report.bands.push_back(pageFooter(context, kFooterText, w, true));
    return report;
}

} // namespace jx::report
