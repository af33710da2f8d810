// The derived (display) columns of the filing record sets: worked out when read, never
// stored.

#include "data/Lookup.h"
#include "data/TdtmJX.h"
#include "text/Masks.h"

namespace jx {

using data::FieldType;
using data::Lookup;
using data::RecordSet;

namespace {

// "Sim" for "S", "Não" for anything else (the partner's master mark).
QVariant yesNo(const QVariant& flag)
{
    return flag.toString() == QLatin1String("S") ? QStringLiteral("Sim") : QStringLiteral("Não");
}

// "Sim", "Não", or nothing when the flag is neither "S" nor "N".
QVariant strictYesNo(const QVariant& flag)
{
    const QString f = flag.toString();
    return f == QLatin1String("S") ? QStringLiteral("Sim") : f == QLatin1String("N") ? QStringLiteral("Não") : QString();
}

QString maskedIdentification(const QVariant& kind, const QVariant& number)
{
    return masks::apply(number.toString(), kind.toInt() == 4 ? masks::kCpfDisplay : masks::kCnpjDisplay);
}

} // namespace

void TdtmJX::addAddressColumns(RecordSet& address)
{
    address.addComputedField("DESC_ENDERECO", FieldType::Text, 255, "DESC_ENDERECO", [this](const RecordSet& s, int r) {
        const QString type = m_logradouro->text(s.rawValue(r, "TIPO_LOGRADOURO"), "NOME");
        if (type.isEmpty())
            return QVariant(QString());
        return QVariant(type + u' ' + s.rawValue(r, "LOGRADOURO").toString());
    });
    address.addComputedField(
        "DESC_COMPLEMENTO", FieldType::Text, 500, "DESC_COMPLEMENTO", [this](const RecordSet& s, int r) {
            QString text;
            for (int i = 1; i <= 6; ++i) {
                const QVariant code = s.rawValue(r, QStringLiteral("COD_TIPO_COMPLEMENTO%1").arg(i));
                const QVariant kind = m_complemento->find(code, "DESCRICAO");
                if (kind.isNull())
                    continue;
                text += u' ' + kind.toString() + u' ' + s.rawValue(r, QStringLiteral("COMPLEMENTO%1").arg(i)).toString()
                    + u';';
            }
            text.chop(1);
            return QVariant(text.trimmed());
        });
    address.addComputedField("desc_sigla", FieldType::Text, 2, "desc_sigla",
        [this](const RecordSet& s, int r) { return QVariant(m_uf->text(s.rawValue(r, "ID_UF"), "SIGLA")); });
}

void TdtmJX::addDerivedColumns()
{
    m_viculo = new Lookup(*cdsViculo, "ID_VINCULO");
    m_cnaef = new Lookup(*cdsCNAEF, "ID_CNAEF");
    m_natureza = new Lookup(*cdsNatureza_Juridica, "ID_NATUREZAJUD");
    m_regime = new Lookup(*cdsRegimeRecolhimento, "ID_REGIMEC");
    m_unidade = new Lookup(*cdsUnidadeAuxiliar, "IDENTIFICADOR");
    m_cargo = new Lookup(*cdsCargo_Socio, "CODIGO");
    m_funcao = new Lookup(*cdsFuncao_Responsavel, "ID_FUNCAO");
    m_logradouro = new Lookup(*cdsLogradouro, "IDENTIFICADOR");
    m_complemento = new Lookup(*cdsComplemento, "CODIGO");
    m_uf = new Lookup(*cdsUF, "ID_UF");

    // Linked registrations and CNPJs
    cdsIE_Estab_Vinc->addComputedField("DESC_IE", FieldType::Text, 16, "Inscrição Estadual",
        [](const RecordSet& s, int row) {
            return QVariant(masks::apply(s.rawValue(row, "IE").toString(), QStringLiteral("999999999\\.99\\-99;0")));
        });
    cdsCNPJ_Estab_Vinc->addComputedField("DESC_CNPJ", FieldType::Text, 18, "CNPJ dos Estabelecimentos Vinculados",
        [](const RecordSet& s, int row) {
            const QString cnpj = s.rawValue(row, "CNPJ_NUCLEO").toString() + s.rawValue(row, "CNPJ_FILIAL").toString()
                + s.rawValue(row, "CNPJ_DV").toString();
            return QVariant(masks::apply(cnpj, masks::kCnpjDisplay));
        });

    // Requests
    RecordSet& r = *cdsSolicitacaoIE;
    // What the CNAE-F dialog chose, kept with the row while the form is open.
    r.addMemoryField("NUMCNAEF_P", FieldType::Text, 20, "NUMCNAEF_P");
    r.addMemoryField("DESCCNAEF_P", FieldType::Text, 255, "DESCCNAEF_P");
    r.addMemoryField("NUMCNAEF_S", FieldType::Text, 20, "NUMCNAEF_S");
    r.addMemoryField("DESCCNAEF_S", FieldType::Text, 255, "DESCCNAEF_S");
    r.addComputedField("DESC_CNPJ", FieldType::Text, 18, "CNPJ", [](const RecordSet& s, int row) {
        return QVariant(masks::apply(s.rawValue(row, "CNPJ").toString(), masks::kCnpjDisplay));
    });
    r.addComputedField("DESC_VINCULO", FieldType::Text, 50, QStringLiteral("Vínculo"),
        [this](const RecordSet& s, int row) { return m_viculo->find(s.rawValue(row, "VINCULO"), "DESCRICAO"); });
    r.addComputedField("DESC_IEUNICA", FieldType::Text, 3, QStringLiteral("Inscrição Estadual Única"),
        [](const RecordSet& s, int row) { return strictYesNo(s.rawValue(row, "INSCRICAO_UNICA")); });
    r.addComputedField("DESC_SUBTRIBUTARIO", FieldType::Text, 3, QStringLiteral("Substituto Tributário"),
        [](const RecordSet& s, int row) { return strictYesNo(s.rawValue(row, "SUBSTITUTO_TRIBUTARIO")); });
    r.addComputedField("DESC_CATEGORIA", FieldType::Text, 30, "Categoria", [](const RecordSet& s, int row) {
        const QVariant c = s.rawValue(row, "CATEGORIA");
        if (!c.isNull() && c.toInt() == 1)
            return QVariant(QStringLiteral("Estabelecimento Único"));
        if (!c.isNull() && c.toInt() == 3)
            return QVariant(QStringLiteral("Filial"));
        return QVariant(QStringLiteral("<<erro>>"));
    });
    const struct {
        const char* name;
        const char* source;
        const char* result;
    } cnaef[] = { { "DESC_CNAEF", "ID_CNAEF_PRINCIPAL", "DESCRICAO" },
        { "DESC_CNAEFCOD", "ID_CNAEF_PRINCIPAL", "COD_FORMATADO" },
        { "DESC_CNAEFS", "ID_CNAEF_SECUNDARIO", "DESCRICAO" },
        { "DESC_CNAEFCODS", "ID_CNAEF_SECUNDARIO", "COD_FORMATADO" } };
    for (const auto& c : cnaef) {
        const QString source = QLatin1String(c.source);
        const QString result = QLatin1String(c.result);
        r.addComputedField(QLatin1String(c.name), FieldType::Text, 255, QLatin1String(c.name),
            [this, source, result](
                const RecordSet& s, int row) { return m_cnaef->find(s.rawValue(row, source), result); });
    }
    r.addComputedField("DESC_NATUREZAJURIDICA", FieldType::Text, 255, QStringLiteral("Natureza Jurídica"),
        [this](const RecordSet& s, int row) {
            return m_natureza->find(s.rawValue(row, "ID_NATUREZA_JURIDICA"), "DESCRICAO");
        });
    r.addComputedField(
        "DESC_REGIMERECOLHIMENTO", FieldType::Text, 255, "Regime de Recolhimento", [this](const RecordSet& s, int row) {
            return m_regime->find(s.rawValue(row, "ID_REGIME_RECOLHIMENTO"), "DESCRICAO");
        });
    r.addComputedField(
        "DESC_UNIDADEAUXILIAR", FieldType::Text, 255, "Unidade Auxiliar", [this](const RecordSet& s, int row) {
            return m_unidade->find(s.rawValue(row, "ID_UNIDADE_AUXILIAR"), "DESCRICAO");
        });

    // Partners. The position list is opened when first needed.
    RecordSet& p = *cdsSolicitacao_IE_Socio;
    auto cargo = [this](const RecordSet& s, int row) {
        if (!cdsCargo_Socio->isOpen())
            openSet(*cdsCargo_Socio);
        return m_cargo->find(s.rawValue(row, "ID_CARGO"), "DESCRICAO");
    };
    p.addComputedField("DESC_CARGO", FieldType::Text, 255, "Cargo", cargo);
    p.addComputedField("desc_cargo_ordena", FieldType::Text, 200, "Cargo/Sócio",
        [cargo](const RecordSet& s, int row) { return QVariant(cargo(s, row).toString().left(200)); });
    p.addComputedField("DESC_RESP_MASTER", FieldType::Text, 3, QStringLiteral("Responsável Master"),
        [](const RecordSet& s, int row) { return yesNo(s.rawValue(row, "RESPONSAVEL_MASTER")); });
    p.addComputedField("identMask", FieldType::Text, 18, "CPF/CNPJ", [](const RecordSet& s, int row) {
        return QVariant(maskedIdentification(s.rawValue(row, "TIPO_IDENTIFICACAO"), s.rawValue(row, "IDENTIFICACAO")));
    });
    p.addComputedField(
        "desc_Identificacao", FieldType::Text, 25, QStringLiteral("Identificação"), [](const RecordSet& s, int row) {
            const QVariant kind = s.rawValue(row, "TIPO_IDENTIFICACAO");
            return QVariant((kind.toInt() == 4 ? QStringLiteral("CPF ") : QStringLiteral("CNPJ "))
                + maskedIdentification(kind, s.rawValue(row, "IDENTIFICACAO")));
        });

    // Responsible persons
    RecordSet& rp = *cdsSolicitacao_IE_Responsavel;
    auto funcao = [this](const RecordSet& s, int row) {
        if (!cdsFuncao_Responsavel->isOpen())
            openSet(*cdsFuncao_Responsavel);
        return m_funcao->find(s.rawValue(row, "ID_FUNCAO"), "DESCRICAO");
    };
    rp.addComputedField("DESC_FUNCAO", FieldType::Text, 50, QStringLiteral("Função"), funcao);
    rp.addComputedField("desc_funcao_ordena", FieldType::Text, 200, QStringLiteral("Função/Responsável"),
        [funcao](const RecordSet& s, int row) { return QVariant(funcao(s, row).toString().left(200)); });

    // Addresses
    for (RecordSet* address :
        { cdsSolicIEEndEstab, cdsSolicIEEndCorresp, cdsIESocioEnd, cdsIERespEnd, cdsSolicitacao_Contab_End })
        addAddressColumns(*address);

    // Enablements
    RecordSet& e = *cdsSolicitacao_Contab;
    e.addComputedField("DESC_CRC", FieldType::Text, 20, "CRC", [](const RecordSet& s, int row) {
        return QVariant(s.rawValue(row, "UF_CRC").toString() + u'/' + s.rawValue(row, "CRC").toString() + u'-'
            + s.rawValue(row, "IDENTIFICADOR_CRC").toString());
    });
    e.addComputedField(
        "DESC_IDENTIFICACAO", FieldType::Text, 18, QStringLiteral("Identificação"), [](const RecordSet& s, int row) {
            return QVariant(
                maskedIdentification(s.rawValue(row, "TIPO_IDENTIFICACAO"), s.rawValue(row, "IDENTIFICACAO")));
        });
}

} // namespace jx
