#include "delivery/Receipts.h"

#include "data/RecordSet.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "delivery/DataLayouts.h"
#include "text/Masks.h"
#include "text/Money.h"
#include "text/TextUtils.h"

#include <cmath>
#include <utility>

namespace jx {

using data::RecordSet;

namespace {

const QString kCepMask = QStringLiteral("99999\\-999;0");
const QString kPhoneMask = QStringLiteral("\\(99\\)9999\\-9999;0");
const QString kNireMask = QStringLiteral("99\\.9\\.999\\.999\\.9\\-9;0");
const QString kTransmitterLabel = QStringLiteral("Versão do JX off-line Transmissor:");

// Windows-1252 from 0x80 to 0x9F; 0 where the code page leaves the byte undefined.
constexpr char16_t kHighHalf[32] = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161,
    0x203A, 0x0153, 0, 0x017E, 0x0178 };

QString pad(int n)
{
    return QString(qMax(n, 0), u' ');
}

// Padded to n; a longer value keeps its length and pushes the rest of the line right.
QString left(int n, const QString& value)
{
    return value.leftJustified(n, u' ', false);
}

QString label35(const QString& label)
{
    return text::padRight(label, u' ', 35);
}

QString centre(const QString& heading)
{
    const QString t = heading.trimmed();
    return pad(int((126 - t.size()) / 2)) + t;
}

// An empty set has no current row: its fields read as null.
QVariant valueOf(const RecordSet& set, const char* field)
{
    return set.isEmpty() ? QVariant() : set.value(QLatin1String(field));
}

QString textOf(const RecordSet& set, const char* field)
{
    return valueOf(set, field).toString();
}

bool blank(const QString& text)
{
    return text.trimmed().isEmpty();
}

bool isNumber(const QVariant& value, int number)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && d == number;
}

QString yesNo(const QVariant& flag)
{
    return flag.toString() == QLatin1String("S") ? QStringLiteral("Sim") : QStringLiteral("Não");
}

QString masked(const RecordSet& set, const char* field, const QString& mask)
{
    return masks::apply(textOf(set, field), mask);
}

// A date the layout has a column for: an absent one keeps the column blank.
QString date(const RecordSet& set, const char* field)
{
    const QString text = DataLayouts::dateText(valueOf(set, field));
    return text.isEmpty() ? pad(10) : text;
}

// "10000" is 1.00.00; a shorter value shows what its positions hold ("1" is "1..").
QString version(const QString& digits)
{
    return digits.mid(0, 1) + u'.' + digits.mid(1, 2) + u'.' + digits.mid(3, 2);
}

// "###,###,###,##0.00": the count of ten-thousandths with its thousands grouped.
QString revenue(const QVariant& value)
{
    bool ok = false;
    const qint64 count = value.toLongLong(&ok);
    return money::grouped(ok ? count : 0, 2);
}

// "##0.00" of a real, rounded as the amounts are (half away from zero on the decimal value).
QString percentage(const QVariant& value)
{
    bool ok = false;
    double d = value.toDouble(&ok);
    if (!ok)
        d = 0;
    if (!std::isfinite(d) || std::fabs(d) > 9.0e14)
        return QString::number(d, 'f', 2).replace(u'.', u',');
    return money::format(std::llround(d * double(money::kScale)), 2, true);
}

} // namespace

Receipts::Receipts(TdtmJX& jx)
    : m_jx(jx)
{
}

QString Receipts::describe(const char* table, const char* keyColumn, const QVariant& key, const char* column)
{
    if (key.isNull())
        return {};
    // The table rather than the loaded set: the set may hold only today's rows, or the
    // children of another activity, and a receipt must not lose a description to that.
    db::Statement s = m_jx.database().connection().prepare(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 = :KEY ORDER BY rowid LIMIT 1")
            .arg(QLatin1String(column), QLatin1String(table), QLatin1String(keyColumn)));
    s.bind(QStringLiteral(":KEY"), key);
    return s.step() ? s.text(0) : QString();
}

QString Receipts::cnaef(const QVariant& key)
{
    if (key.isNull())
        return {};
    db::Statement s = m_jx.database().connection().prepare(
        QStringLiteral("SELECT COD_FORMATADO, DESCRICAO FROM CNAEF WHERE ID_CNAEF = :KEY ORDER BY rowid LIMIT 1"));
    s.bind(QStringLiteral(":KEY"), key);
    return s.step() ? s.text(0).trimmed() + u' ' + s.text(1) : QString();
}

void Receipts::complementLines(const RecordSet& a)
{
    for (int n = 1; n <= 6; ++n) {
        const QByteArray code = "COD_TIPO_COMPLEMENTO" + QByteArray::number(n);
        const QByteArray complement = "COMPLEMENTO" + QByteArray::number(n);
        const QVariant kind = valueOf(a, code.constData());
        if (blank(kind.toString()))
            continue;
        m_lines << (n == 1 ? QStringLiteral("    Complemento: ") : pad(17))
                + describe("COMPLEMENTO", "CODIGO", kind, "DESCRICAO").trimmed() + u' '
                + textOf(a, complement.constData());
    }
}

void Receipts::addressBlock(const RecordSet& a)
{
    m_lines << QStringLiteral("    CEP: ") + masked(a, "CEP", kCepMask) + pad(35) + QStringLiteral("UF: ")
            + textOf(a, "desc_sigla") + pad(5) + QStringLiteral(" Município: ") + textOf(a, "LOCALIDADE");
    m_lines << QStringLiteral("    Distrito/Povoado: ") + left(30, textOf(a, "DISTRITO")) + pad(10)
            + QStringLiteral("Bairro: ") + textOf(a, "BAIRRO");
    m_lines << QStringLiteral("    Logradouro: ") + left(60, textOf(a, "DESC_ENDERECO")) + QStringLiteral(" Número: ")
            + textOf(a, "NUMERO");
    complementLines(a);
}

void Receipts::contactBlock(const RecordSet& c)
{
    m_lines << QStringLiteral("    Telefone: ") + masked(c, "TELEFONE", kPhoneMask) + pad(26) + QStringLiteral("Fax: ")
            + masked(c, "FAX", kPhoneMask);
    m_lines << QStringLiteral("    E-Mail: ") + left(50, textOf(c, "EMAIL")) + pad(4)
            + QStringLiteral("CEP da Caixa Postal: ") + masked(c, "CAIXA_POSTAL_CEP", kCepMask) + pad(3)
            + QStringLiteral("Caixa Postal: ") + textOf(c, "CAIXA_POSTAL");
}

void Receipts::partnerBlock()
{
    const RecordSet& p = *m_jx.cdsSolicitacao_IE_Socio;
    const QString identification = isNumber(valueOf(p, "TIPO_IDENTIFICACAO"), 3)
        ? QStringLiteral("CNPJ ") + masked(p, "IDENTIFICACAO", masks::kCnpjDisplay)
        : QStringLiteral("CPF ") + masked(p, "IDENTIFICACAO", masks::kCpfDisplay);
    m_lines << QStringLiteral("Dados Cadastrais");
    m_lines << QStringLiteral("    Identificação: ") + left(22, identification) + pad(12)
            + QStringLiteral("Responsável Master: ") + yesNo(valueOf(p, "RESPONSAVEL_MASTER")) + pad(5)
            + QStringLiteral("CPF Procurador/Resp. Legal: ")
            + masked(p, "IDENT_PROCURADOR_RESPONSAVEL", masks::kCpfDisplay);
    m_lines << QStringLiteral("    Cargo: ")
            + left(50, describe("CARGO_SOCIO", "CODIGO", valueOf(p, "ID_CARGO"), "DESCRICAO")) + pad(5)
            + QStringLiteral("Data de Nasc./Início Atividade: ") + date(p, "DATA_NASCIMENTO");
    m_lines << QStringLiteral("    Percentual Participação: ") + percentage(valueOf(p, "PARTICIPACAO")) + pad(30)
            + QStringLiteral("Data Início Participação: ") + date(p, "PARTICIPACAO_DATA_INICIO");
    m_lines << QStringLiteral("Endereço");
    addressBlock(*m_jx.cdsIESocioEnd);
    m_lines << QStringLiteral("  Comunicação");
    contactBlock(*m_jx.cdsIESocioCom);
}

void Receipts::responsibleBlock()
{
    const RecordSet& r = *m_jx.cdsSolicitacao_IE_Responsavel;
    const QString function = describe("FUNCAO_RESPONSAVEL", "ID_FUNCAO", valueOf(r, "ID_FUNCAO"), "DESCRICAO");
    m_lines << QStringLiteral("Dados Cadastrais");
    m_lines << QStringLiteral("  CPF: ") + masked(r, "IDENTIFICACAO", masks::kCpfDisplay) + pad(4)
            + QStringLiteral("Função: ") + left(50, function) + pad(3) + QStringLiteral("Data Início: ")
            + date(r, "DATA_INICIO");
    m_lines << function;
    m_lines << QStringLiteral("Endereço");
    addressBlock(*m_jx.cdsIERespEnd);
    m_lines << QStringLiteral("  Comunicação");
    contactBlock(*m_jx.cdsIERespCom);
}

void Receipts::listOfFour(RecordSet& list, const char* itemField, const QString& label, int indent)
{
    if (list.isEmpty())
        return;
    QString line = label;
    for (int v = 0; v < list.count(); ++v) {
        list.moveTo(v);
        line += left(18, textOf(list, itemField)) + u' ';
        if ((v + 1) % 4 == 0) {
            m_lines << line;
            line = pad(indent);
        }
    }
    m_lines << line;
}

QStringList Receipts::requestLines()
{
    m_lines.clear();
    const RecordSet& r = *m_jx.cdsSolicitacaoIE;
    const RecordSet& delivery = *m_jx.cdsEntregas;
    auto v = [&r](const char* field) { return valueOf(r, field); };
    auto t = [&r](const char* field) { return textOf(r, field); };

    const QString verifier = textOf(delivery, "VERIFICADORINTEGRIDADE");
    const QString transmitter = kTransmitterLabel + u' ' + version(textOf(delivery, "VERSAOJXTRANSMISSAO"));
    m_lines << (blank(verifier)
            ? pad(82) + transmitter
            : QStringLiteral("Verificador de integridade: ") + left(40, verifier) + pad(14) + transmitter);
    const QString requested = QStringLiteral("Data da solicitação: ") + date(r, "DATASOLICITACAOIE");
    const QString file = textOf(delivery, "NOMEARQUIVO");
    m_lines << (blank(file) ? pad(82) + requested
                            : QStringLiteral("Nome do arquivo: ") + left(50, file) + pad(15) + requested);
    m_lines << QString();

    m_lines << QStringLiteral("D a d o s   C a d a s t r a i s");
    m_lines << QStringLiteral("  CNPJ: ") + t("DESC_CNPJ") + pad(50) + QStringLiteral("Localização:")
            + (isNumber(v("LOCALIZACAO"), 1) ? QStringLiteral("QZ") : QStringLiteral("Outra UF"));
    m_lines << QStringLiteral("  Natureza Jurídica: ")
            + left(60, describe("NATUREZA_JURIDICA", "ID_NATUREZAJUD", v("ID_NATUREZA_JURIDICA"), "DESCRICAO")) + pad(8)
            + QStringLiteral("NIRE: ") + masks::apply(t("NIRE"), kNireMask);
    m_lines << QStringLiteral("  Unidade Auxiliar: ")
            + describe("UNIDADE_AUXILIAR", "IDENTIFICADOR", v("ID_UNIDADE_AUXILIAR"), "DESCRICAO");
    m_lines << QStringLiteral("  CNAE-F Principal: ") + cnaef(v("ID_CNAEF_PRINCIPAL"));
    m_lines << QStringLiteral("         CAE: ") + describe("CAE", "ID_CAE", v("ID_CAE"), "DESCRICAO");
    m_lines << QStringLiteral("         Desmembramento: ")
            + describe("CNAEF", "ID_CNAEF", v("ID_DESMEMBRAMENTO1"), "DESCRICAO");
    m_lines << QStringLiteral("  CNAE-F Secundária: ") + cnaef(v("ID_CNAEF_SECUNDARIO"));
    m_lines << QStringLiteral("         Desmembramento: ")
            + describe("CNAEF", "ID_CNAEF", v("ID_DESMEMBRAMENTO2"), "DESCRICAO");
    m_lines << QStringLiteral("  Regime de Recolhimento: ")
            + describe("REGIME_RECOLHIMENTO", "ID_REGIMEC", v("ID_REGIME_RECOLHIMENTO"), "DESCRICAO");
    m_lines << QStringLiteral("  Limite Receita Bruta Anual Prevista: ") + revenue(v("RECEITA_BRUTA"))
            + QStringLiteral("    Substituto Tributário: ") + yesNo(v("SUBSTITUTO_TRIBUTARIO"))
            + QStringLiteral("      Insc. Estadual Única: ") + yesNo(v("INSCRICAO_UNICA"));
    m_lines << QStringLiteral("  Incorporação/Fusão/Cisão Total: ")
            + left(12, describe("VINCULO", "ID_VINCULO", v("VINCULO"), "DESCRICAO")) + pad(17);
    m_lines << QString();

    m_lines << QStringLiteral("I d e n t i f i c a ç ã o");
    m_lines << QStringLiteral("  Nome Empresarial: ") + left(40, t("NOME_EMPRESARIAL")) + pad(4)
            + QStringLiteral("Data de Início de Atividade: ") + date(r, "DATA_INICIO_ATIVIDADE");
    m_lines << QStringLiteral("  Nome Fantasia: ") + left(40, t("NOME_FANTASIA")) + pad(7)
            + QStringLiteral("Insc. Estadual Estado Origem: ") + t("IE_ESTADO_ORIGEM");
    m_lines << QStringLiteral("  Situação Especial: ")
            + describe("SITUACAO_ESPECIAL", "CODIGO", v("ID_SITUACAO_ESPESCIAL"), "DESCRICAO");
    m_lines << QStringLiteral("                     N° Processo: ") + left(30, t("PROCESSO_NUMERO")) + pad(5)
            + QStringLiteral("Data Início: ") + date(r, "PROCESSO_DATA_INICIO") + pad(5) + QStringLiteral("Data Fim: ")
            + date(r, "PROCESSO_DATA_FIM");
    m_lines << QStringLiteral("  N° DAE da Solicitação de Insc. Estadual: ") + t("NUMERO_DAE");
    listOfFour(*m_jx.cdsIE_Estab_Vinc, "DESC_IE", QStringLiteral("  IE Incorporadas/Fundidas/Cindidas: "), 37);
    listOfFour(*m_jx.cdsCNPJ_Estab_Vinc, "DESC_CNPJ", QStringLiteral("  CNPJ Vinculados a IE Única: "), 34);
    m_lines << QString();

    m_lines << QStringLiteral("Q u a l i f i c a ç ã o");
    m_lines << QStringLiteral("  Categoria: ")
            + left(21, isNumber(v("CATEGORIA"), 1) ? QStringLiteral("Estabelecimento Único") : QStringLiteral("Filial"))
            + pad(25) + QStringLiteral("Insc. Estadual da Matriz/Principal: ") + t("MATRIZ_IE");
    m_lines << QStringLiteral("  N° Reg. Órgão Licenciador: ") + left(30, t("ORGAO_LICENCIADOR")) + pad(2)
            + QStringLiteral("Formas de Comercialização: ")
            + describe("FORMA_COMERCIALIZACAO", "CODIGO", v("ID_FORMA_COMERCIALIZACAO"), "DESCRICAO");
    m_lines << QStringLiteral("  Convênio/Protocolo de Substituição Tributária: ")
            + describe("CONVENIO_PROTOCOLO", "ID_CONVENIO_PROTOCOLO", v("ID_CONVENIO_PROTOCOLO"), "DESCRICAO");

    m_lines << QStringLiteral("E n d e r e ç o / C o m u n i c a ç ã o");
    m_lines << QStringLiteral("  Estabelecimento");
    addressBlock(*m_jx.cdsSolicIEEndEstab);
    m_lines << QStringLiteral("  Correspondência");
    addressBlock(*m_jx.cdsSolicIEEndCorresp);
    m_lines << QStringLiteral("  Comunicação");
    contactBlock(*m_jx.cdsSolicitacaoIEComun);

    RecordSet& partners = *m_jx.cdsSolicitacao_IE_Socio;
    if (!partners.isEmpty()) {
        m_lines << QString() << QStringLiteral("S ó c i o s");
        for (int i = 0; i < partners.count(); ++i) {
            partners.moveTo(i); // its address and contact follow
            partnerBlock();
        }
    }
    RecordSet& responsibles = *m_jx.cdsSolicitacao_IE_Responsavel;
    if (!responsibles.isEmpty()) {
        m_lines << QString() << QStringLiteral("R e s p o n s á v e i s");
        for (int i = 0; i < responsibles.count(); ++i) {
            responsibles.moveTo(i);
            responsibleBlock();
        }
    }
    m_lines << QString();

    m_lines << QStringLiteral("C O N T A T A B I L I S T A S");
    m_lines << QStringLiteral("Identificação Contabilista/Empresa Contábil: ")
            + (isNumber(v("DOCUMENTO_CONTABILISTA_TIPO"), 3)
                    ? QStringLiteral("CNPJ ") + masked(r, "DOCUMENTO_CONTABILISTA_NUMERO", masks::kCnpjDisplay)
                    : QStringLiteral("CPF ") + masked(r, "DOCUMENTO_CONTABILISTA_NUMERO", masks::kCpfDisplay));
    m_lines << QStringLiteral("Pemanência de Livros Fiscais em Escritório de Contabilidade: ")
            + yesNo(v("IND_LIVROS_FISCAIS"));
    return std::exchange(m_lines, {});
}

QStringList Receipts::enablementLines()
{
    m_lines.clear();
    const RecordSet& e = *m_jx.cdsSolicitacao_Contab;
    const RecordSet& a = *m_jx.cdsSolicitacao_Contab_End;
    const RecordSet& c = *m_jx.cdsSolicitacao_Contab_Com;
    const RecordSet& delivery = *m_jx.cdsEntregas;

    m_lines << QString();
    const QString verifier = textOf(delivery, "VERIFICADORINTEGRIDADE");
    if (!blank(verifier))
        m_lines << label35(QStringLiteral("Verificador de integridade:")) + verifier;
    m_lines << label35(kTransmitterLabel) + version(textOf(delivery, "VERSAOJXTRANSMISSAO"));
    const QString file = textOf(delivery, "NOMEARQUIVO");
    if (!blank(file))
        m_lines << label35(QStringLiteral("Nome do arquivo:")) + file;
    m_lines << label35(QStringLiteral("Data da habilitação:"))
            + DataLayouts::dateTimeText(valueOf(e, "DATAHABILITACAOCONTABILISTA"));
    m_lines << QString() << QString() << QString();

    m_lines << centre(QStringLiteral("Dados Cadastrais"));
    const bool person = isNumber(valueOf(e, "TIPO_IDENTIFICACAO"), 4);
    m_lines << (person ? QStringLiteral("Tipo de identificação: CPF") : QStringLiteral("Tipo de identificação: CNPJ"));
    m_lines << QStringLiteral("Identificação: ")
            + masked(e, "IDENTIFICACAO", person ? masks::kCpfDisplay : masks::kCnpjDisplay);
    m_lines << QStringLiteral("CRC: ") + textOf(e, "DESC_CRC");
    m_lines << QStringLiteral("Responsável");
    const QString responsible = textOf(e, "CPF_RESPONSAVEL");
    m_lines << QStringLiteral("    CPF: ")
            + (blank(responsible) ? QString() : masks::apply(responsible, masks::kCpfDisplay));
    m_lines << QStringLiteral("    E-Mail: ") + textOf(e, "EMAIL_RESPONSAVEL");
    m_lines << QStringLiteral("    Data de Nascimento: ") + DataLayouts::dateTimeText(valueOf(e, "DATANACRESP"));
    m_lines << QString() << QString();

    m_lines << centre(QStringLiteral("Endereço"));
    m_lines << QStringLiteral("CEP: ") + masked(a, "CEP", kCepMask);
    m_lines << QStringLiteral("UF: ") + textOf(a, "desc_sigla");
    m_lines << QStringLiteral("Distrito/Povoado: ") + textOf(a, "DISTRITO");
    m_lines << QStringLiteral("Município: ") + textOf(a, "LOCALIDADE");
    m_lines << QStringLiteral("Bairro: ") + textOf(a, "BAIRRO");
    m_lines << QStringLiteral("Logradouro: ") + textOf(a, "DESC_ENDERECO");
    m_lines << QStringLiteral("Número: ") + textOf(a, "NUMERO");
    complementLines(a);
    m_lines << QString() << QString();

    m_lines << centre(QStringLiteral("Dados de Comunicação"));
    m_lines << QStringLiteral("Telefone: ") + masked(c, "TELEFONE", kPhoneMask);
    m_lines << QStringLiteral("Fax: ") + masked(c, "FAX", kPhoneMask);
    m_lines << QStringLiteral("E-Mail: ") + textOf(c, "EMAIL");
    m_lines << QStringLiteral("CEP da Caixa Postal: ") + masked(c, "CAIXA_POSTAL_CEP", kCepMask);
    m_lines << QStringLiteral("Caixa Postal: ") + textOf(c, "CAIXA_POSTAL");
    return std::exchange(m_lines, {});
}

void Receipts::storeReceipt(const QStringList& lines)
{
    m_jx.cdsEntregas->setValue(QStringLiteral("RECIBO"), receiptBytes(lines));
}

void Receipts::GerarReciboSolicitacao()
{
    storeReceipt(requestLines());
}

void Receipts::GerarReciboHabilitacao()
{
    storeReceipt(enablementLines());
}

QByteArray Receipts::receiptBytes(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return windows1252(text);
}

QByteArray Receipts::windows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        int byte = -1;
        for (int k = 0; k < 32 && byte < 0; ++k) {
            if (kHighHalf[k] == c || (kHighHalf[k] == 0 && c == 0x80 + k))
                byte = 0x80 + k;
        }
        if (byte >= 0) {
            out += static_cast<char>(byte);
            continue;
        }
        out += '?';
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return out;
}

QString Receipts::fromWindows1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char16_t mapped = b >= 0x80 && b < 0xA0 ? kHighHalf[b - 0x80] : 0;
        // The five undefined bytes read as the control characters of the same value, as the
        // system's own conversion does, and are written back unchanged.
        out += QChar(mapped != 0 ? mapped : char16_t(b));
    }
    return out;
}

} // namespace jx
