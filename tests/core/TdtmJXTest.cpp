#include "data/TdtmJX.h"
#include "data/RecordSetModel.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include "../support/TestDatabase.h"

using namespace jx;
using namespace jxtest;
using data::RecordSet;

namespace {

class DataModule : public ::testing::Test {
protected:
    void SetUp() override { seed(); }

    // Two requests, each with its own partners, addresses and contact rows.
    void seed()
    {
        db::Connection c;
        c.open(m_folder.databasePath(), db::kDatabaseKey);
        c.exec("INSERT INTO ENDERECO (ID_ENDERECO, LOGRADOURO, TIPO_LOGRADOURO, ID_UF, COD_TIPO_COMPLEMENTO1, "
               "COMPLEMENTO1, COD_TIPO_COMPLEMENTO2, COMPLEMENTO2) VALUES (1, 'DAS FLORES', 1, 10, NULL, NULL, NULL, "
               "NULL)");
        c.exec("INSERT INTO ENDERECO (ID_ENDERECO, LOGRADOURO) VALUES (2, 'SEGUNDA')");
        c.exec("INSERT INTO ENDERECO (ID_ENDERECO, LOGRADOURO) VALUES (3, 'DO SOCIO')");
        c.exec("INSERT INTO COMUNICACAO (ID_COMUNICACAO, TELEFONE) VALUES (1, '6133334444')");
        c.exec(
            "INSERT INTO SOLICITACAO_IE (ID_SOLICITACAO, CNPJ, NOME_EMPRESARIAL, CATEGORIA, VINCULO, INSCRICAO_UNICA, "
            "SUBSTITUTO_TRIBUTARIO, ID_ENDERECO_ESTABELECIMENTO, ID_COMUNICACAO_EMPRESA, ID_CNAEF_PRINCIPAL, "
            "ID_NATUREZA_JURIDICA, STATUS) VALUES (1, '11222333000181', 'PRIMEIRA', 1, 2, 'S', 'N', 1, 1, 1147, 2062, "
            "'C')");
        c.exec("INSERT INTO SOLICITACAO_IE (ID_SOLICITACAO, CNPJ, NOME_EMPRESARIAL, CATEGORIA, "
               "ID_ENDERECO_ESTABELECIMENTO, "
               "STATUS) VALUES (2, '12345678000195', 'SEGUNDA', 7, 2, 'I')");
        c.exec("INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, ID_SOCIO, ID_ENDERECO, IDENTIFICACAO, "
               "TIPO_IDENTIFICACAO, RESPONSAVEL_MASTER) VALUES (1, 1, 3, '52998224725', 4, 'S')");
        c.exec("INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, ID_SOCIO, IDENTIFICACAO, TIPO_IDENTIFICACAO) "
               "VALUES (1, 2, '11222333000181', 3)");
        c.exec("INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, ID_SOCIO, IDENTIFICACAO, TIPO_IDENTIFICACAO) "
               "VALUES (2, 3, '12345678909', 4)");
        c.exec("INSERT INTO SOLICITACAO_IE_VINCULADO VALUES (1, '1234567890107')");
        c.exec("INSERT INTO ENTREGAS (IDENTIFICADOR, NUMEROPROTOCOLO, SOLICITACAO_ID) VALUES (1, '2005000001', 1)");
    }

    TdtmJX& module()
    {
        if (!m_jx) {
            m_db = std::make_unique<TdtmDB>(m_folder.path(), m_prompts, [this] { ++m_ended; });
            m_jx = std::make_unique<TdtmJX>(
                *m_db, m_prompts, [this] { ++m_ended; }, m_folder.path());
        }
        return *m_jx;
    }

    TestProgramFolder m_folder;
    ScriptedPrompts m_prompts;
    int m_ended = 0;
    std::unique_ptr<TdtmDB> m_db;
    std::unique_ptr<TdtmJX> m_jx;
};

QStringList column(RecordSet& set, const QString& field)
{
    QStringList values;
    for (int i = 0; i < set.count(); ++i)
        values << set.valueAt(i, set.fieldIndex(field)).toString();
    return values;
}

} // namespace

TEST_F(DataModule, OpensOnTheFirstRequestWithItsDetails)
{
    TdtmJX& jx = module();
    EXPECT_EQ(jx.cdsSolicitacaoIE->count(), 2);
    EXPECT_EQ(jx.cdsSolicitacaoIE->value("ID_SOLICITACAO").toInt(), 1);
    EXPECT_EQ(column(*jx.cdsSolicitacao_IE_Socio, "ID_SOCIO"), (QStringList { "1", "2" }));
    EXPECT_EQ(jx.cdsSolicIEEndEstab->value("LOGRADOURO").toString(), QStringLiteral("DAS FLORES"));
    EXPECT_TRUE(jx.cdsSolicIEEndCorresp->isEmpty()); // no correspondence address: no row, no error
    EXPECT_EQ(jx.cdsSolicitacaoIEComun->value("TELEFONE").toString(), QStringLiteral("6133334444"));
    EXPECT_EQ(jx.cdsIE_Estab_Vinc->count(), 1);
    EXPECT_EQ(jx.cdsIESocioEnd->value("LOGRADOURO").toString(), QStringLiteral("DO SOCIO"));
    EXPECT_TRUE(jx.cdsCAE->isEmpty()); // no principal activity chosen yet
    EXPECT_EQ(jx.TipoAtual, 1);
    EXPECT_TRUE(m_prompts.allMet());
}

TEST_F(DataModule, MovingTheRequestCursorReplacesEveryDetailSet)
{
    TdtmJX& jx = module();
    ASSERT_TRUE(jx.cdsSolicitacaoIE->next());
    EXPECT_EQ(column(*jx.cdsSolicitacao_IE_Socio, "ID_SOCIO"), QStringList { "3" });
    EXPECT_EQ(jx.cdsSolicIEEndEstab->value("LOGRADOURO").toString(), QStringLiteral("SEGUNDA"));
    EXPECT_TRUE(jx.cdsSolicitacaoIEComun->isEmpty());
    EXPECT_TRUE(jx.cdsIE_Estab_Vinc->isEmpty());
    EXPECT_TRUE(jx.cdsEntregas->isEmpty());
    EXPECT_TRUE(jx.cdsIESocioEnd->isEmpty());
    jx.cdsSolicitacaoIE->first();
    EXPECT_EQ(jx.cdsSolicitacao_IE_Socio->count(), 2);
    // The enablement set opens after the requests at start-up and so holds the delivery
    // set then; moving to a request selects that request's deliveries.
    EXPECT_EQ(column(*jx.cdsEntregas, "NUMEROPROTOCOLO"), QStringList { "2005000001" });
}

TEST_F(DataModule, DerivedColumns)
{
    TdtmJX& jx = module();
    RecordSet& r = *jx.cdsSolicitacaoIE;
    EXPECT_EQ(r.text("DESC_CNPJ"), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(r.text("DESC_VINCULO"), QStringLiteral("INCORPORAÇÃO"));
    EXPECT_EQ(r.text("DESC_IEUNICA"), QStringLiteral("Sim"));
    EXPECT_EQ(r.text("DESC_SUBTRIBUTARIO"), QStringLiteral("Não"));
    EXPECT_EQ(r.text("DESC_CATEGORIA"), QStringLiteral("Estabelecimento Único"));
    EXPECT_EQ(r.text("DESC_CNAEFCOD"), QStringLiteral("4731-8/00"));
    EXPECT_FALSE(r.text("DESC_CNAEF").isEmpty());
    EXPECT_FALSE(r.text("DESC_NATUREZAJURIDICA").isEmpty());
    r.next();
    EXPECT_EQ(r.text("DESC_CATEGORIA"), QStringLiteral("<<erro>>"));
    EXPECT_EQ(r.text("DESC_VINCULO"), QString());
    r.first();

    RecordSet& p = *jx.cdsSolicitacao_IE_Socio;
    EXPECT_EQ(p.text("identMask"), QStringLiteral("529.982.247-25"));
    EXPECT_EQ(p.text("desc_Identificacao"), QStringLiteral("CPF 529.982.247-25"));
    EXPECT_EQ(p.text("DESC_RESP_MASTER"), QStringLiteral("Sim"));
    p.next();
    EXPECT_EQ(p.text("desc_Identificacao"), QStringLiteral("CNPJ 11.222.333/0001-81"));
    EXPECT_EQ(p.text("DESC_RESP_MASTER"), QStringLiteral("Não"));
}

TEST_F(DataModule, AddressTexts)
{
    TdtmJX& jx = module();
    RecordSet& a = *jx.cdsSolicIEEndEstab;
    const QString street = a.text("DESC_ENDERECO");
    EXPECT_TRUE(street.endsWith(QStringLiteral(" DAS FLORES"))) << street.toStdString();
    EXPECT_EQ(a.text("desc_sigla"), QStringLiteral("QZ"));
    EXPECT_EQ(a.text("DESC_COMPLEMENTO"), QString());
    jx.cdsComplemento->first();
    const QString first = jx.cdsComplemento->text("CODIGO");
    const QString firstName = jx.cdsComplemento->text("DESCRICAO");
    jx.cdsComplemento->next();
    const QString second = jx.cdsComplemento->text("CODIGO");
    const QString secondName = jx.cdsComplemento->text("DESCRICAO");
    a.setValue("COD_TIPO_COMPLEMENTO1", first);
    a.setValue("COMPLEMENTO1", "101");
    a.setValue("COD_TIPO_COMPLEMENTO3", "ZZ"); // unknown: skipped
    a.setValue("COMPLEMENTO3", "X");
    a.setValue("COD_TIPO_COMPLEMENTO4", second);
    a.setValue("COMPLEMENTO4", "A");
    EXPECT_EQ(a.text("DESC_COMPLEMENTO"), firstName + " 101; " + secondName + " A");
    a.setValue("TIPO_LOGRADOURO", 999999);
    EXPECT_EQ(a.text("DESC_ENDERECO"), QString());
}

TEST_F(DataModule, TwoInsertsInARowEachGetTheirOwnKey)
{
    TdtmJX& jx = module();
    RecordSet& address = *jx.cdsSolicIEEndCorresp;
    qint64 keys[2];
    for (qint64& key : keys) {
        address.append();
        address.setValue("LOGRADOURO", "NOVA");
        address.post();
        EXPECT_TRUE(jx.apply(address, 0, false));
        EXPECT_FALSE(address.hasPending());
        key = address.value("ID_ENDERECO").toLongLong(); // written into the row by the send
    }
    EXPECT_EQ(keys[0], 4);
    EXPECT_EQ(keys[1], 5);
    EXPECT_EQ(jx.maxKey("ID_ENDERECO", "ENDERECO"), 5);
    EXPECT_EQ(jx.cdsGeral->field(0).name, QStringLiteral("Expr1000"));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(DataModule, UpdatesAndDeletesGoByKeyOrByAllValues)
{
    TdtmJX& jx = module();
    jx.cdsSolicitacaoIE->setValue("NOME_EMPRESARIAL", "NOVO NOME");
    jx.cdsSolicitacaoIE->post();
    jx.apply(*jx.cdsSolicitacaoIE, 0, false);
    jx.cdsIE_Estab_Vinc->remove();
    jx.apply(*jx.cdsIE_Estab_Vinc, 0, false);
    jx.cdsSolicitacao_IE_Socio->last();
    jx.cdsSolicitacao_IE_Socio->remove();
    jx.apply(*jx.cdsSolicitacao_IE_Socio, 0, false);

    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    db::Statement s = c.prepare(
        "SELECT (SELECT NOME_EMPRESARIAL FROM SOLICITACAO_IE WHERE ID_SOLICITACAO = 1), (SELECT count(*) FROM "
        "SOLICITACAO_IE_VINCULADO), (SELECT count(*) FROM SOLICITACAO_IE_SOCIO), (SELECT NOME_EMPRESARIAL FROM "
        "SOLICITACAO_IE WHERE ID_SOLICITACAO = 2)");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.text(0), QStringLiteral("NOVO NOME"));
    EXPECT_EQ(s.int64(1), 0);
    EXPECT_EQ(s.int64(2), 2);
    EXPECT_EQ(s.text(3), QStringLiteral("SEGUNDA"));
    EXPECT_TRUE(m_prompts.allMet());
}

TEST_F(DataModule, OverLongTextIsARefusedRowThatStaysPending)
{
    TdtmJX& jx = module();
    RecordSet& partners = *jx.cdsSolicitacao_IE_Socio;
    partners.setValue("IDENTIFICACAO", QString(15, '1'));
    partners.post();
    m_prompts.expectMessage("cdsSolicitacao_IE_Socio Valor recusado: IDENTIFICACAO com mais de 14 caracteres");
    jx.apply(partners, -1, false);
    EXPECT_TRUE(partners.hasPending());
    EXPECT_EQ(partners.text("IDENTIFICACAO"), QString(15, '1'));
    EXPECT_EQ(m_ended, 0);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(DataModule, LockedTableRetriesThreeTimesThenEndsTheProgram)
{
    TdtmJX& jx = module();
    db::Connection other;
    other.open(m_folder.databasePath(), db::kDatabaseKey);
    other.exec("BEGIN IMMEDIATE");
    other.exec("UPDATE COMUNICACAO SET FAX = '1' WHERE ID_COMUNICACAO = 1");

    RecordSet& contact = *jx.cdsSolicitacaoIEComun;
    contact.setValue("EMAIL", "a@b.com");
    contact.post();
    const QString conflict = TdtmJX::conflictText("cdsSolicitacaoIEComun");
    EXPECT_EQ(conflict,
        QStringLiteral("Conflito de transação!\rAguardando confirmação para prosseguir a atualização "
                       "da tabela cdsSolicitacaoIEComun..."));
    m_prompts.expectMessage("O banco de dados está bloqueado por outro processo.").expectError(conflict);
    m_prompts.expectMessage("O banco de dados está bloqueado por outro processo.").expectError(conflict);
    m_prompts.expectMessage("O banco de dados está bloqueado por outro processo.").expectError(conflict);
    m_prompts.expectMessage("O banco de dados está bloqueado por outro processo.")
        .expectError(QStringLiteral("Problema na atualização da tabela: cdsSolicitacaoIEComun\rEsta operação não foi "
                                    "efetuada com sucesso!\rContacte o suporte do JX!"));
    EXPECT_THROW(jx.apply(contact, 0, false), ProgramEnd);
    EXPECT_EQ(m_ended, 1);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
    EXPECT_TRUE(contact.hasPending());
}

TEST_F(DataModule, ConflictThatClearsIsSentOnRetry)
{
    auto other = std::make_shared<db::Connection>();
    other->open(m_folder.databasePath(), db::kDatabaseKey);
    other->exec("BEGIN IMMEDIATE");

    // The other writer finishes while the user reads the first conflict message.
    struct ReleasingPrompts : ScriptedPrompts {
        std::shared_ptr<db::Connection> other;
        void error(const QString& text) override
        {
            ScriptedPrompts::error(text);
            other->rollback();
        }
    } prompts;
    prompts.other = other;
    prompts.expectMessage("O banco de dados está bloqueado por outro processo.").expectError(TdtmJX::conflictText("cdsSolicitacaoIEComun"));
    TdtmDB database(m_folder.path(), prompts, [this] { ++m_ended; });
    TdtmJX jx2(
        database, prompts, [this] { ++m_ended; }, m_folder.path());
    jx2.cdsSolicitacaoIEComun->setValue("EMAIL", "a@b.com");
    jx2.cdsSolicitacaoIEComun->post();
    jx2.apply(*jx2.cdsSolicitacaoIEComun, 0, false);
    EXPECT_FALSE(jx2.cdsSolicitacaoIEComun->hasPending());
    EXPECT_EQ(m_ended, 0);
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
}

TEST_F(DataModule, SortAndLocate)
{
    TdtmJX& jx = module();
    RecordSet& r = *jx.cdsSolicitacaoIE;
    jx.sortByColumn(r, "NOME_EMPRESARIAL");
    EXPECT_EQ(column(r, "NOME_EMPRESARIAL"), (QStringList { "PRIMEIRA", "SEGUNDA" }));
    jx.sortByColumn(r, "STATUS");
    EXPECT_EQ(column(r, "STATUS"), (QStringList { "C", "I" }));
    jx.sortByColumn(r, "DESC_CATEGORIA"); // a derived column sorts too
    EXPECT_EQ(column(r, "DESC_CATEGORIA").first(), QStringLiteral("<<erro>>"));

    EXPECT_TRUE(jx.locateByTypedValue(r, "2", "ID_SOLICITACAO"));
    EXPECT_EQ(r.text("NOME_EMPRESARIAL"), QStringLiteral("SEGUNDA"));
    EXPECT_TRUE(jx.locateByTypedValue(r, "11222333000181", "CNPJ"));
    EXPECT_EQ(r.value("ID_SOLICITACAO").toInt(), 1);
    EXPECT_FALSE(jx.locateByTypedValue(r, "99", "ID_SOLICITACAO"));
    EXPECT_EQ(r.value("ID_SOLICITACAO").toInt(), 1);

    m_prompts.expectError(QStringLiteral("O valor informado não corresponde ao tipo do campo!"));
    EXPECT_FALSE(jx.locateByTypedValue(r, "12a", "ID_SOLICITACAO"));
    EXPECT_EQ(r.value("ID_SOLICITACAO").toInt(), 1);
    EXPECT_TRUE(m_prompts.allMet());

    // Reopening drops the chosen order.
    jx.openSet(r);
    EXPECT_EQ(r.sortField(), QString());
}

TEST_F(DataModule, InMemorySetsAndGridModel)
{
    TdtmJX& jx = module();
    RecordSet& p = *jx.cdsPendecias;
    p.append();
    p.setValue("Local", "Dados Iniciais");
    p.setValue("Pendencia", "Nome Empresarial não informado");
    p.setValue("Tipo", "E");
    p.post();
    p.append();
    p.setValue("Tipo", "A");
    p.post();
    EXPECT_EQ(column(p, "desc_Tipo"), (QStringList { "Erro", "Advertência" }));

    data::RecordSetModel model(*jx.cdsSolicitacaoIE);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    model.setColumns({ { "DESC_CNPJ", "" }, { "NOME_EMPRESARIAL", "" }, { "STATUS", "" } });
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("CNPJ"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nome Empresarial"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("11.222.333/0001-81"));
    jx.cdsSolicitacaoIE->setValue("NOME_EMPRESARIAL", "OUTRO");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("OUTRO"));
    jx.cdsSolicitacaoIE->cancel();
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("PRIMEIRA"));
}
