// The receipt text frozen into a delivery: both layouts byte for byte against files written
// by hand, their edge cases, and the code page the text is stored in.

#include "delivery/Receipts.h"

#include "../support/StoredFilings.h"
#include "../support/TestFiles.h"

#include <QRegularExpression>

using namespace jx;
using namespace jxtest;

namespace {

const QString kVerifier = QStringLiteral("A94A8FE5CCB19BA61C4C0873D391E987982FBBD3");

QString dataFile(const char* name)
{
    return QStringLiteral(JX_RECEIPTS_DATA "/") + QLatin1String(name);
}

// The first line where the two differ, so that a failure says where.
std::string firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (qsizetype i = 0; i < qMax(a.size(), e.size()); ++i) {
        const QByteArray x = a.value(i);
        const QByteArray y = e.value(i);
        if (x != y)
            return "line " + std::to_string(i + 1) + "\n  actual:   [" + Receipts::fromWindows1252(x).toStdString()
                + "]\n  expected: [" + Receipts::fromWindows1252(y).toStdString() + "]";
    }
    return "same lines";
}

class ReceiptsTest : public StoredFilings {
protected:
    // What the protocol capture has just filled in the delivery, left in edit state.
    void protocolRecorded(
        const QString& protocol, const QVariant& verifier, const QVariant& version, const QVariant& file)
    {
        RecordSet& d = *m_jx->cdsEntregas;
        ASSERT_TRUE(d.locate("NUMEROPROTOCOLO", protocol));
        d.edit();
        d.setValue("VERIFICADORINTEGRIDADE", verifier);
        d.setValue("VERSAOJXTRANSMISSAO", version);
        d.setValue("NOMEARQUIVO", file);
        d.setValue("DATAHORAPROTOCOLO", QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    }

    QByteArray storedReceipt(const QString& protocol)
    {
        jx::db::Statement s
            = m_db->connection().prepare(QStringLiteral("SELECT RECIBO FROM ENTREGAS WHERE NUMEROPROTOCOLO = ?"));
        s.bind(1, protocol);
        return s.step() ? s.blob(0) : QByteArray("<ausente>");
    }

    QStringList requestLines() { return Receipts(*m_jx).requestLines(); }
};

} // namespace

TEST(ReceiptEncoding, Windows1252BothWays)
{
    const QString text = QStringLiteral("Ação € “aspas” – fim ÿ");
    const QByteArray bytes = Receipts::windows1252(text);
    EXPECT_EQ(bytes,
        QByteArray("A\xE7\xE3o \x80 \x93"
                   "aspas\x94 \x96 fim \xFF"));
    EXPECT_EQ(Receipts::fromWindows1252(bytes), text);
    // Outside the code page: one "?" a character, a character beyond the 16-bit plane too.
    EXPECT_EQ(Receipts::windows1252(QStringLiteral("a\u6F22b\U0001F600c\u0080d")), QByteArray("a?b?c?d"));
    // Every byte reads as something and is written back as itself, the undefined ones too.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(Receipts::windows1252(Receipts::fromWindows1252(all)), all);
    EXPECT_EQ(Receipts::fromWindows1252(QByteArray("\x81\x8D\x8F\x90\x9D")),
        QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
}

TEST_F(ReceiptsTest, AFullRequestIsTheHandWrittenFile)
{
    const qint64 id = storeRequests();
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    ASSERT_EQ(r.value("ID_SOLICITACAO").toLongLong(), id);
    ASSERT_EQ(m_jx->cdsSolicitacao_IE_Socio->count(), 3);
    m_jx->cdsSolicitacao_IE_Socio->moveTo(1); // the walk starts from the first whatever the cursor
    protocolRecorded("P-NEW", kVerifier, "10001", "JXSCNPJ1122233300018120261209102030.xml");

    Receipts(*m_jx).GerarReciboSolicitacao();

    RecordSet& d = *m_jx->cdsEntregas;
    const QByteArray expected = contentOf(dataFile("request.txt"));
    const QByteArray receipt = d.value("RECIBO").toByteArray();
    EXPECT_EQ(receipt, expected) << firstDifference(receipt, expected);
    EXPECT_EQ(d.state(), RecordSet::State::Edit);
    EXPECT_EQ(d.text("NUMEROPROTOCOLO"), "P-NEW");
    // The lists are left at their ends, the request where it was.
    EXPECT_EQ(r.value("ID_SOLICITACAO").toLongLong(), id);
    EXPECT_EQ(m_jx->cdsSolicitacao_IE_Socio->recNo(), 2);
    EXPECT_EQ(m_jx->cdsIESocioCom->text("TELEFONE"), "6130001111");
    EXPECT_EQ(m_jx->cdsSolicitacao_IE_Responsavel->recNo(), 1);
    EXPECT_EQ(m_jx->cdsIE_Estab_Vinc->recNo(), 4);

    // Posted and applied by the caller, the bytes reach the table unchanged, and only this delivery's.
    d.post();
    ASSERT_TRUE(m_jx->apply(d, 0, true));
    EXPECT_EQ(storedReceipt("P-NEW"), expected);
    EXPECT_EQ(storedReceipt("P-OLD"), QByteArray());
}

TEST_F(ReceiptsTest, AFullEnablementIsTheHandWrittenFile)
{
    const qint64 id = storeEnablements();
    ASSERT_EQ(m_jx->cdsSolicitacao_Contab->value("ID_SOLICITACAO_CONTABILISTA").toLongLong(), id);
    protocolRecorded("H-1", kVerifier, "10000", "JXHCNPJ1122233300018120261209102030.xml");

    Receipts(*m_jx).GerarReciboHabilitacao();

    RecordSet& d = *m_jx->cdsEntregas;
    const QByteArray expected = contentOf(dataFile("enablement.txt"));
    const QByteArray receipt = d.value("RECIBO").toByteArray();
    EXPECT_EQ(receipt, expected) << firstDifference(receipt, expected);
    EXPECT_EQ(d.state(), RecordSet::State::Edit);
    d.post();
    ASSERT_TRUE(m_jx->apply(d, 0, true));
    EXPECT_EQ(storedReceipt("H-1"), expected);
}

TEST_F(ReceiptsTest, RequestHeaderWithoutVerifierOrFileAndAShortVersion)
{
    storeRequests();
    protocolRecorded("P-NEW", QStringLiteral("   "), "1", QVariant());
    const QStringList lines = requestLines();
    EXPECT_EQ(lines[0], QString(82, u' ') + QStringLiteral("Versão do JX off-line Transmissor: 1.."));
    EXPECT_EQ(lines[1], QString(82, u' ') + QStringLiteral("Data da solicitação: 09/12/2026"));
    m_jx->cdsEntregas->setValue("VERSAOJXTRANSMISSAO", QVariant());
    EXPECT_TRUE(requestLines()[0].endsWith(QStringLiteral("Transmissor: ..")));
}

TEST_F(ReceiptsTest, LongValuesPushTheLineInsteadOfBeingCut)
{
    storeRequests();
    protocolRecorded("P-NEW", kVerifier, "10000", "X");
    const QString name = QStringLiteral("COMÉRCIO DE CARNES E DERIVADOS DO QUIZAPÁ S.A");
    ASSERT_EQ(name.size(), 45);
    m_jx->cdsSolicitacaoIE->setValue("NOME_EMPRESARIAL", name);
    m_jx->cdsSolicitacaoIE->setValue("DATA_INICIO_ATIVIDADE", QVariant());
    const QStringList lines = requestLines();
    // 45 characters where 40 are laid out: the date label starts 5 places further right.
    EXPECT_EQ(lines[17],
        QStringLiteral("  Nome Empresarial: ") + name + QString(4, u' ')
            + QStringLiteral("Data de Início de Atividade: ") + QString(10, u' '));
    EXPECT_EQ(lines[17].indexOf(QStringLiteral("Data de")), 20 + 40 + 4 + 5);
}

TEST_F(ReceiptsTest, LinkedRegistrationsFourToALine)
{
    const qint64 id = storeRequests();
    auto linked = [this](int count) {
        m_db->connection().exec("DELETE FROM SOLICITACAO_IE_VINCULADO");
        for (int n = 1; n <= count; ++n)
            insert("SOLICITACAO_IE_VINCULADO",
                { { "ID_SOLICITACAO", m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO") },
                    { "IE", QStringLiteral("98765432100%1").arg(n, 2, 10, QChar(u'0')) } });
        m_jx->openRequestDetails();
        EXPECT_EQ(m_jx->cdsIE_Estab_Vinc->count(), count);
        const QStringList lines = requestLines();
        const qsizetype first = lines.indexOf(QRegularExpression("  IE Incorporadas.*"));
        const qsizetype next = lines.indexOf(QRegularExpression("  CNPJ Vinculados.*"));
        return first < 0 ? QString() : lines.mid(first, next - first).join(u'|');
    };
    auto items = [](int from, int to) {
        QString text;
        for (int n = from; n <= to; ++n)
            text += QStringLiteral("987654321.00-%1").arg(n, 2, 10, QChar(u'0')) + QString(4, u' ');
        return text;
    };
    const QString label = QStringLiteral("  IE Incorporadas/Fundidas/Cindidas: ");
    EXPECT_EQ(linked(4), label + items(1, 4) + u'|' + QString(37, u' '));
    EXPECT_EQ(linked(9),
        label + items(1, 4) + u'|' + QString(37, u' ') + items(5, 8) + u'|' + QString(37, u' ') + items(9, 9));
    EXPECT_EQ(linked(1), label + items(1, 1));
    EXPECT_EQ(linked(0), QString());
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO").toLongLong(), id);
}

TEST_F(ReceiptsTest, LinkedCnpjsContinueAfter34Blanks)
{
    storeRequests();
    const QVariant id = m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO");
    for (const char* branch : { "0004", "0005", "0006" })
        insert("SOLICITACAO_CNPJ_VINCULADO",
            { { "ID_SOLICITACAO", id }, { "CNPJ_NUCLEO", "11222333" }, { "CNPJ_FILIAL", branch },
                { "CNPJ_DV", "00" } });
    m_jx->openRequestDetails();
    protocolRecorded("P-NEW", kVerifier, "10000", "X");
    const QStringList lines = requestLines();
    const qsizetype at = lines.indexOf(QRegularExpression("  CNPJ Vinculados.*"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at],
        QStringLiteral("  CNPJ Vinculados a IE Única: 11.222.333/0002-62 11.222.333/0003-43 11.222.333/0004-00 "
                       "11.222.333/0005-00 "));
    EXPECT_EQ(lines[at + 1], QString(34, u' ') + QStringLiteral("11.222.333/0006-00 "));
    EXPECT_EQ(lines[at + 2], QString());
}

TEST_F(ReceiptsTest, DescriptionsComeFromTheWholeTableAndAMissingOneIsEmpty)
{
    storeRequests();
    protocolRecorded("P-NEW", kVerifier, "10000", "X");
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    // The loaded sets hold only today's rows, and the CAE of another activity: the receipt
    // reads the table.
    EXPECT_FALSE(m_jx->cdsCNAEF->locate("ID_CNAEF", 1133.0));
    EXPECT_FALSE(m_jx->cdsNatureza_Juridica->locate("ID_NATUREZAJUD", 2305));
    QStringList lines = requestLines();
    EXPECT_EQ(lines[10], QStringLiteral("  CNAE-F Secundária: 4713-0/01 LOJAS DE DEPARTAMENTOS OU MAGAZINES"));
    r.setValue("ID_CNAEF_SECUNDARIO", 999999.0);
    r.setValue("ID_CAE", 999);
    r.setValue("VINCULO", QVariant());
    r.setValue("LOCALIZACAO", 2);
    r.setValue("CATEGORIA", 1);
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", 3);
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "12ABC34501DE35");
    r.setValue("IND_LIVROS_FISCAIS", "s");
    lines = requestLines();
    EXPECT_EQ(lines[4],
        QStringLiteral("  CNPJ: 11.222.333/0001-81") + QString(50, u' ') + QStringLiteral("Localização:Outra UF"));
    EXPECT_EQ(lines[8], QStringLiteral("         CAE: "));
    EXPECT_EQ(lines[10], QStringLiteral("  CNAE-F Secundária: "));
    EXPECT_EQ(lines[14], QStringLiteral("  Incorporação/Fusão/Cisão Total: ") + QString(29, u' '));
    EXPECT_TRUE(lines.contains(QStringLiteral("  Categoria: Estabelecimento Único") + QString(25, u' ')
        + QStringLiteral("Insc. Estadual da Matriz/Principal: 1234567890107")));
    EXPECT_EQ(lines[lines.size() - 2],
        QStringLiteral("Identificação Contabilista/Empresa Contábil: CNPJ 12.ABC.345/01DE-35"));
    EXPECT_EQ(lines.last(), QStringLiteral("Pemanência de Livros Fiscais em Escritório de Contabilidade: Não"));
}

TEST_F(ReceiptsTest, AmountsInTheirPictures)
{
    storeRequests();
    protocolRecorded("P-NEW", kVerifier, "10000", "X");
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    const QString tail = QStringLiteral("    Substituto Tributário: Sim      Insc. Estadual Única: Não");
    const QString head = QStringLiteral("  Limite Receita Bruta Anual Prevista: ");
    for (const auto& [typed, shown] : { std::pair { "0,5", "0,50" }, std::pair { "999,995", "1.000,00" },
             std::pair { "123456789012,3456", "123.456.789.012,35" }, std::pair { "100", "100,00" } }) {
        r.setValue("RECEITA_BRUTA", QString::fromLatin1(typed));
        EXPECT_EQ(requestLines()[13], head + QLatin1String(shown) + tail) << typed;
    }
    r.setValue("RECEITA_BRUTA", QVariant());
    EXPECT_EQ(requestLines()[13], head + QStringLiteral("0,00") + tail);
}

TEST_F(ReceiptsTest, AnEnablementWithoutVerifierFileResponsibleOrBirthDate)
{
    storeEnablements();
    protocolRecorded("H-1", QVariant(), "1", QStringLiteral("  "));
    RecordSet& e = *m_jx->cdsSolicitacao_Contab;
    e.setValue("CPF_RESPONSAVEL", QStringLiteral("   "));
    e.setValue("DATANACRESP", QVariant());
    e.setValue("TIPO_IDENTIFICACAO", 4);
    e.setValue("IDENTIFICACAO", "87748248800");
    e.setValue("DATAHABILITACAOCONTABILISTA", "2026-12-09");
    m_jx->cdsSolicitacao_Contab_End->setValue("CEP", QVariant());
    const QStringList lines = Receipts(*m_jx).enablementLines();
    ASSERT_GE(lines.size(), 12);
    EXPECT_EQ(lines.mid(0, 3).join(u'|'),
        QStringLiteral("|Versão do JX off-line Transmissor: 1..|Data da habilitação:") + QString(15, u' ')
            + QStringLiteral("09/12/2026"));
    EXPECT_EQ(lines[6], QString(55, u' ') + QStringLiteral("Dados Cadastrais"));
    EXPECT_EQ(lines[7], QStringLiteral("Tipo de identificação: CPF"));
    EXPECT_EQ(lines[8], QStringLiteral("Identificação: 877.482.488-00"));
    EXPECT_EQ(lines[11], QStringLiteral("    CPF: "));
    EXPECT_EQ(lines[13], QStringLiteral("    Data de Nascimento: "));
    EXPECT_EQ(lines[16], QString(59, u' ') + QStringLiteral("Endereço"));
    EXPECT_EQ(lines[17], QStringLiteral("CEP:      -   "));
    EXPECT_EQ(lines[lines.size() - 6], QString(53, u' ') + QStringLiteral("Dados de Comunicação"));
}
