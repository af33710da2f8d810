#include "requests/RequestLifecycle.h"
#include "data/TdtmJX.h"
#include "requests/LinkedEstablishments.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "platform/StateRegistrationCheck.h"

#include <gtest/gtest.h>

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using data::RecordSet;
using Requests = RequestFixture;
using Answer = RequestLifecycle::ExistingAnswer;
using Outcome = RequestLifecycle::Confirmation::Outcome;


TEST_F(Requests, ConfirmationRefusesBadInputWithFocus)
{
    m_prompts.expectError("CNPJ deve ser preenchido!")
        .expectError("CNPJ Inválido!")
        .expectError("Inscrição Estadual da Matriz/Principal inválida!");
    EXPECT_EQ(create("").focus, RequestLifecycle::Field::Cnpj);
    EXPECT_EQ(create("11222333000182").focus, RequestLifecycle::Field::Cnpj);
    const auto bad = create("11222333000181", "1234567890108");
    EXPECT_EQ(bad.outcome, Outcome::Refused);
    EXPECT_EQ(bad.focus, RequestLifecycle::Field::MatrizIe);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE"), 0);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, NewRequestGetsItsDefaultsAndCategory)
{
    const auto single = create("11222333000181");
    ASSERT_EQ(single.outcome, Outcome::Opened);
    EXPECT_TRUE(single.created);
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    EXPECT_EQ(r.value("CATEGORIA").toInt(), 1);
    EXPECT_EQ(r.value("VINCULO").toInt(), 1);
    EXPECT_EQ(r.text("INSCRICAO_UNICA"), "N");
    EXPECT_EQ(r.text("IND_LIVROS_FISCAIS"), "N");
    EXPECT_EQ(r.value("LOCALIZACAO").toInt(), 1);
    EXPECT_FALSE(r.value("DATACRIACAO").isNull());
    EXPECT_EQ(m_jx->cdsSolicIEEndEstab->state(), RecordSet::State::Insert);
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->text("STATUS"), "I"); // half-filled: the rules find errors

    const auto branch = create("12345678000195", "1234567890107");
    ASSERT_EQ(branch.outcome, Outcome::Opened);
    EXPECT_EQ(r.value("CATEGORIA").toInt(), 3);
    EXPECT_EQ(r.text("MATRIZ_IE"), "1234567890107");
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, AlphanumericCnpjIsStoredAsTypedAndLinksItsBranches)
{
    // The masked edit turns typed letters upper case; lower case from anywhere else is refused.
    m_prompts.expectError(RequestLifecycle::kCnpjInvalid);
    EXPECT_EQ(create("12abc34501de35").focus, RequestLifecycle::Field::Cnpj);
    const auto opened = create("12ABC34501DE35");
    ASSERT_EQ(opened.outcome, Outcome::Opened);
    EXPECT_TRUE(opened.created);
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->text("DESC_CNPJ"), "12.ABC.345/01DE-35");
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE CNPJ = '12ABC34501DE35'"), 1);

    // The duplicate search finds it by its stored text.
    const auto again = create("12ABC34501DE35", "", Answer::Edit);
    ASSERT_EQ(again.outcome, Outcome::Opened);
    EXPECT_FALSE(again.created);

    // Branches share the first eight characters, letters included.
    LinkedEstablishments linked(*m_jx, m_prompts);
    linked.beginAddCnpj();
    EXPECT_EQ(linked.addCnpj("AB1CD2EF000170").message, LinkedEstablishments::kCnpjOtherRoot);
    EXPECT_EQ(linked.addCnpj("12ABC34501DE35").message, LinkedEstablishments::kCnpjIsTheRequests);
    EXPECT_TRUE(linked.addCnpj("12ABC345000269").ok());
    linked.beginAddCnpj();
    EXPECT_TRUE(linked.addCnpj("12ABC34501DF16").ok());
    ASSERT_TRUE(linked.cnpjs().locate("CNPJ_FILIAL", "01DF"));
    EXPECT_EQ(linked.cnpjs().text("DESC_CNPJ"), "12.ABC.345/01DF-16");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CNPJ_VINCULADO WHERE CNPJ_NUCLEO = '12ABC345' AND "
                    "CNPJ_FILIAL = '01DF' AND CNPJ_DV = '16'"),
        1);

    // Ordering by the CNPJ column, shown with its punctuation, is the order of the stored text.
    for (const char* cnpj : { "AB1CD2EF000170", "11222333000181" }) {
        ASSERT_EQ(create(QLatin1String(cnpj)).outcome, Outcome::Opened);
        typeAddress(*m_jx->cdsSolicIEEndEstab);
        ASSERT_TRUE(save().saved);
    }
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    m_jx->sortByColumn(r, "DESC_CNPJ");
    QStringList order;
    for (int i = 0; i < r.count(); ++i)
        order << r.valueAt(i, r.fieldIndex("CNPJ")).toString();
    EXPECT_EQ(order, QStringList({ "11222333000181", "12ABC34501DE35", "AB1CD2EF000170" }));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, ExistingCnpjEditsOrCancels)
{
    create("11222333000181");
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    ASSERT_TRUE(save().saved);
    const QVariant id = m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO");

    const auto cancelled = create("11222333000181", "", Answer::Cancel);
    EXPECT_EQ(cancelled.outcome, Outcome::Cancelled);
    EXPECT_FALSE(m_db->inTransaction());

    // The head-office registration is checked before the duplicate search.
    m_prompts.expectError(RequestLifecycle::kMatrizInvalid);
    EXPECT_EQ(create("11222333000181", "1234567890108", Answer::Edit).outcome, Outcome::Refused);
    const auto opened = create("11222333000181", "", Answer::Edit);
    EXPECT_EQ(opened.outcome, Outcome::Opened);
    EXPECT_FALSE(opened.created);
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO"), id);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE"), 1);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, CancellingANewRequestLeavesNoRow)
{
    create("11222333000181");
    m_prompts.expectYesNo(RequestLifecycle::kCancelQuestion, false)
        .expectYesNo(RequestLifecycle::kCancelQuestion, true);
    EXPECT_FALSE(m_life->cancel());
    EXPECT_TRUE(m_db->inTransaction());
    EXPECT_TRUE(m_life->cancel());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE"), 0);
    EXPECT_TRUE(m_jx->cdsSolicitacaoIE->isEmpty());
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, SaveStopsOnBadDateOrMissingAddress)
{
    create("11222333000181");
    m_prompts.expectError("Data Inválida!").expectError("Endereço do estabelecimento deve ser informado.");
    const auto badDate = m_life->save({ "01/01/2005", "31/02/2005", "" });
    EXPECT_FALSE(badDate.saved);
    EXPECT_EQ(badDate.focus, RequestLifecycle::Field::ProcessoDataInicio);
    EXPECT_FALSE(save().saved);
    EXPECT_TRUE(m_db->inTransaction());
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, SaveNormalisesTheDaeAndStoresAddressesAndContact)
{
    create("11222333000181");
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("NUMERO_DAE", "123");
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    m_jx->cdsSolicitacaoIEComun->setValue("FAX", "6133334444"); // a fax alone counts for the establishment
    ASSERT_TRUE(m_life->save({ "07/03/2005", "  /  /    ", "" }).saved);
    EXPECT_FALSE(m_db->inTransaction());
    EXPECT_EQ(r.text("NUMERO_DAE"), "000000000123");
    EXPECT_EQ(r.text("DATA_INICIO_ATIVIDADE"), "2005-03-07");
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 1); // blank correspondence CEP: nothing stored
    EXPECT_EQ(
        count("SELECT ID_ENDERECO_ESTABELECIMENTO FROM SOLICITACAO_IE"), count("SELECT ID_ENDERECO FROM ENDERECO"));
    EXPECT_TRUE(count("SELECT ID_ENDERECO_CORRESPONDECIA IS NULL FROM SOLICITACAO_IE"));
    // The correspondence block shows the establishment until the request is reloaded.
    EXPECT_EQ(m_jx->cdsSolicIEEndCorresp->text("LOGRADOURO"), "DAS FLORES");

    // Editing again does not store the displayed copy as a correspondence address.
    m_life->beginEdit();
    EXPECT_TRUE(m_jx->cdsSolicIEEndCorresp->text("CEP").isEmpty());
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 1);

    // Blanking every contact field removes the stored row and the link.
    m_life->beginEdit();
    m_jx->cdsSolicitacaoIEComun->setValue("FAX", QVariant());
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 0);
    EXPECT_TRUE(count("SELECT ID_COMUNICACAO_EMPRESA IS NULL FROM SOLICITACAO_IE"));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Requests, DeleteRemovesEveryDependentRow)
{
    create("11222333000181");
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", "6133334444");
    ASSERT_TRUE(save().saved);
    const qint64 id = m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO").toLongLong();
    {
        db::Connection c;
        c.open(m_folder.databasePath(), db::kDatabaseKey);
        for (int i = 0; i < 3; ++i) {
            c.exec("INSERT INTO ENDERECO (LOGRADOURO) VALUES ('X')");
            const qint64 address = c.lastInsertId();
            c.exec("INSERT INTO COMUNICACAO (TELEFONE) VALUES ('1')");
            const qint64 contact = c.lastInsertId();
            c.exec(QStringLiteral("INSERT INTO %1 (ID_SOLICITACAO, ID_ENDERECO, ID_COMUNICACAO) VALUES (%2, %3, %4)")
                       .arg(i < 2 ? "SOLICITACAO_IE_SOCIO" : "SOLICITACAO_IE_RESPONSAVEL")
                       .arg(id)
                       .arg(address)
                       .arg(contact));
        }
        c.exec(QStringLiteral("INSERT INTO ENTREGAS (SOLICITACAO_ID) VALUES (%1)").arg(id));
        c.exec(QStringLiteral("INSERT INTO SOLICITACAO_IE_VINCULADO VALUES (%1, '1234567890107')").arg(id));
    }
    m_jx->openSet(*m_jx->cdsSolicitacaoIE);
    m_prompts.expectYesNo(RequestLifecycle::kDeleteQuestion, false)
        .expectYesNo(RequestLifecycle::kDeleteQuestion, true);
    EXPECT_FALSE(m_life->deleteCurrent());
    EXPECT_TRUE(m_life->deleteCurrent());
    for (const char* table : { "SOLICITACAO_IE", "SOLICITACAO_IE_SOCIO", "SOLICITACAO_IE_RESPONSAVEL", "ENDERECO",
             "COMUNICACAO", "ENTREGAS", "SOLICITACAO_IE_VINCULADO" })
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM %1").arg(table)), 0) << table;
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST(AddressChecks, OrderAndTexts)
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    TdtmDB database(folder.path(), prompts, [] {});
    TdtmJX jx(
        database, prompts, [] {}, folder.path());
    RecordSet& a = *jx.cdsEnderco;
    a.append();
    auto message = [&] { return Addresses::check(a).message; };
    a.setValue("CEP", "700001");
    EXPECT_EQ(message(), QStringLiteral("CEP inválido!"));
    a.setValue("CEP", "7000012"); // seven characters pass
    EXPECT_EQ(message(), QStringLiteral("A UF deve ser informada!"));
    a.setValue("ID_UF", 10);
    EXPECT_EQ(message(), QStringLiteral("O Município deve ser informado!"));
    a.setValue("LOCALIDADE", "CIDADE");
    EXPECT_EQ(message(), QStringLiteral("O Tipo do Logradouro deve ser informado!"));
    a.setValue("TIPO_LOGRADOURO", 1);
    EXPECT_EQ(message(), QStringLiteral("O Logradouro deve ser informado!"));
    a.setValue("LOGRADOURO", "X");
    EXPECT_TRUE(Addresses::check(a).ok());

    a.setValue("COD_TIPO_COMPLEMENTO1", "AP");
    a.setValue("COMPLEMENTO1", "101");
    a.setValue("COD_TIPO_COMPLEMENTO3", "BL");
    EXPECT_EQ(message(), QStringLiteral("O Complemento 3 deve ser informado!"));
    a.setValue("COD_TIPO_COMPLEMENTO1", QVariant());
    EXPECT_EQ(message(), QStringLiteral("O Tipo de Complemento 1 deve ser informado!"));
    a.setValue("COD_TIPO_COMPLEMENTO1", "AP");
    a.setValue("COMPLEMENTO3", "A");
    a.setValue("COMPLEMENTO6", "Z");
    EXPECT_EQ(message(), QStringLiteral("O Tipo Complemento 6 deve ser informado!"));
    EXPECT_EQ(Addresses::check(a).focusField, QStringLiteral("COD_TIPO_COMPLEMENTO6"));
    EXPECT_EQ(Addresses::typedText("rua a&b <x>"), QStringLiteral("RUA AEB (X)"));
    EXPECT_EQ(Addresses::typedText("x&y@a.com", false), QStringLiteral("xey@a.com"));
}

TEST_F(Requests, AddressFormScratchRowNeverReachesTheDatabase)
{
    create("11222333000181");
    Addresses& addresses = m_life->addresses();
    RecordSet& estab = *m_jx->cdsSolicIEEndEstab;
    addresses.CarregarEndereco(m_jx->cdsSolicitacaoIE->value("ID_ENDERECO_ESTABELECIMENTO"), estab);
    typeAddress(*m_jx->cdsEnderco);
    addresses.DevolverEndereco(estab);
    EXPECT_EQ(estab.text("LOGRADOURO"), "DAS FLORES");
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 0);
    // Cancelled form: nothing copied.
    addresses.CarregarEndereco(QVariant(), estab);
    m_jx->cdsEnderco->setValue("LOGRADOURO", "OUTRA");
    addresses.discardScratch();
    EXPECT_EQ(estab.text("LOGRADOURO"), "DAS FLORES");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 1);
}

TEST_F(Requests, ClearingTheCorrespondenceAddress)
{
    create("11222333000181");
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    typeAddress(*m_jx->cdsSolicIEEndCorresp);
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 2);
    Addresses& addresses = m_life->addresses();
    EXPECT_TRUE(addresses.canClearCorrespondence());
    m_life->beginEdit();
    addresses.LimparEndCorrespondencia();
    // Deleted at once inside the open operation, before any save.
    db::Statement inside = m_db->connection().prepare("SELECT count(*) FROM ENDERECO");
    inside.step();
    EXPECT_EQ(inside.int64(0), 1);
    EXPECT_FALSE(addresses.canClearCorrespondence());
}
