// Partners, responsible persons, linked establishments and the CNAE-F choice of a request,
// through the core only. Several rows each; the one acted on is neither first nor last.

#include "Error.h"
#include "requests/Cnaef.h"
#include "requests/LinkedEstablishments.h"
#include "requests/Persons.h"

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using Kind = Persons::Kind;
using Outcome = RequestLifecycle::Confirmation::Outcome;

namespace {

class Details : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        m_persons = std::make_unique<Persons>(*m_jx, m_prompts, m_life->addresses());
        m_linked = std::make_unique<LinkedEstablishments>(*m_jx, m_prompts);
        ASSERT_EQ(create("11222333000181").outcome, Outcome::Opened);
        typeAddress(*m_jx->cdsSolicIEEndEstab);
        ASSERT_TRUE(save().saved);
        m_life->beginEdit();
    }

    // A partner typed and stored through the same steps as the form.
    void addPartner(const QString& identification, int kind, const QString& master = "N", bool withAddress = true)
    {
        m_persons->beginAdd(Kind::Partner);
        RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
        p.setValue("TIPO_IDENTIFICACAO", kind);
        p.setValue("IDENTIFICACAO", identification);
        p.setValue("RESPONSAVEL_MASTER", master);
        m_jx->cdsIESocioCom->setValue("TELEFONE", "6133334444");
        if (withAddress)
            typeAddress(*m_jx->cdsIESocioEnd);
        ASSERT_TRUE(m_persons->checkPartner({}).ok()) << m_persons->checkPartner({}).message.toStdString();
        ASSERT_TRUE(m_persons->store(Kind::Partner));
    }

    void addResponsible(const QString& cpf)
    {
        m_persons->beginAdd(Kind::Responsible);
        m_jx->cdsSolicitacao_IE_Responsavel->setValue("IDENTIFICACAO", cpf);
        m_jx->cdsIERespCom->setValue("EMAIL", "a@b.com");
        typeAddress(*m_jx->cdsIERespEnd);
        ASSERT_TRUE(m_persons->checkResponsible({}).ok());
        ASSERT_TRUE(m_persons->store(Kind::Responsible));
    }

    void expectPromptsMet() { EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString(); }

    // Counted inside the request's open operation, where the details are written.
    qint64 count(const QString& sql)
    {
        db::Statement s = m_db->connection().prepare(sql);
        s.step();
        return s.int64(0);
    }

    std::unique_ptr<Persons> m_persons;
    std::unique_ptr<LinkedEstablishments> m_linked;
};

} // namespace

TEST_F(Details, PartnerChecksInOrderWithTheirFields)
{
    addPartner("52998224725", 4, "S");
    addPartner("11444777000161", 3);
    m_persons->beginAdd(Kind::Partner);
    RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
    auto check = [&](const Persons::PartnerDates& dates = {}) { return m_persons->checkPartner(dates); };
    EXPECT_EQ(check({ "31/02/2005", "" }).message, "Data Inválida!");
    EXPECT_EQ(check({ "31/02/2005", "" }).focusField, "PARTICIPACAO_DATA_INICIO");
    EXPECT_EQ(check({ "  /  /    ", "30/02/1970" }).focusField, "DATA_NASCIMENTO");
    EXPECT_EQ(check().message, "O campo Tipo de Identificação deve ser informado!");
    p.setValue("TIPO_IDENTIFICACAO", 4);
    EXPECT_EQ(check().message, "O campo CPF/CNPJ deve ser informado!");
    EXPECT_EQ(check().focusField, "IDENTIFICACAO");
    p.setValue("IDENTIFICACAO", "11444777000161"); // a CNPJ partner's digits, typed as a CPF partner
    p.setValue("RESPONSAVEL_MASTER", "S");
    EXPECT_EQ(check().message, Persons::kMasterExists);
    EXPECT_EQ(check().focusField, "RESPONSAVEL_MASTER");
    p.setValue("RESPONSAVEL_MASTER", "N");
    EXPECT_EQ(check().message, "Já existe um Sócio cadastrado com este CPF!");
    p.setValue("TIPO_IDENTIFICACAO", 3);
    EXPECT_EQ(check().message, "Já existe um Sócio cadastrado com este CNPJ!");
    p.setValue("IDENTIFICACAO", "12345678000195");
    EXPECT_TRUE(check().ok());
    ASSERT_TRUE(m_persons->store(Kind::Partner));

    // Changing the master partner itself and saving again is accepted.
    ASSERT_TRUE(p.locate("IDENTIFICACAO", "52998224725"));
    m_persons->beginChange(Kind::Partner);
    EXPECT_TRUE(check().ok());
    ASSERT_TRUE(m_persons->store(Kind::Partner));
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO WHERE RESPONSAVEL_MASTER = 'S'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO"), 3);
    expectPromptsMet();
}

TEST_F(Details, ParticipationAndRepresentativeRules)
{
    addPartner("52998224725", 4);
    m_persons->beginAdd(Kind::Partner);
    RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 0.0);
    EXPECT_TRUE(m_persons->setParticipation("100").isEmpty());
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 100.0);
    EXPECT_EQ(m_persons->setParticipation("100,01"), "Participação deve estar entre 0 e 100%");
    EXPECT_EQ(m_persons->setParticipation("-1"), "Participação deve estar entre 0 e 100%");
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 100.0);
    EXPECT_EQ(m_persons->setParticipation("abc"), "Valor inválido para o campo \"Participação\": \"abc\".");
    EXPECT_TRUE(m_persons->setParticipation("12,5").isEmpty());
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 12.5);
    EXPECT_TRUE(m_persons->setParticipation("").isEmpty());
    EXPECT_TRUE(p.value("PARTICIPACAO").isNull());

    p.setValue("TIPO_IDENTIFICACAO", 3);
    p.setValue("RESPONSAVEL_MASTER", "S");
    auto look = m_persons->partnerPresentation();
    EXPECT_TRUE(look.representativeEnabled);
    EXPECT_TRUE(look.contactBold);
    EXPECT_EQ(look.dateCaption, Persons::kActivityCaption);
    p.setValue("IDENT_PROCURADOR_RESPONSAVEL", "52998224725");
    // A CNPJ master switched to "Não": the representative CPF goes.
    p.setValue("RESPONSAVEL_MASTER", "N");
    look = m_persons->partnerPresentation();
    EXPECT_FALSE(look.representativeEnabled);
    EXPECT_FALSE(look.contactBold);
    EXPECT_TRUE(p.value("IDENT_PROCURADOR_RESPONSAVEL").isNull());
    p.setValue("TIPO_IDENTIFICACAO", 4);
    EXPECT_EQ(m_persons->partnerPresentation().dateCaption, Persons::kBirthCaption);
    m_persons->discard(Kind::Partner);
    EXPECT_EQ(p.count(), 1);
    EXPECT_FALSE(p.hasPending());
}

TEST_F(Details, ResponsibleChecksAndDuplicatesPerRequest)
{
    addResponsible("52998224725");
    addResponsible("11144477735");
    addResponsible("98765432100");
    m_persons->beginAdd(Kind::Responsible);
    RecordSet& r = *m_jx->cdsSolicitacao_IE_Responsavel;
    EXPECT_EQ(m_persons->checkResponsible("31/02/2005").message, "Data Inválida!");
    EXPECT_EQ(m_persons->checkResponsible("").message, "O campo Identificação deve ser informado!");
    r.setValue("IDENTIFICACAO", "11144477735");
    const auto repeated = m_persons->checkResponsible("");
    EXPECT_EQ(repeated.message, Persons::kResponsibleExists);
    EXPECT_TRUE(repeated.information);
    m_persons->discard(Kind::Responsible);
    // Changing an existing one does not repeat the duplicate check.
    ASSERT_TRUE(r.locate("IDENTIFICACAO", "11144477735"));
    m_persons->beginChange(Kind::Responsible);
    EXPECT_TRUE(m_persons->checkResponsible("").ok());
    m_persons->discard(Kind::Responsible);
    // The same CPF as a partner is accepted here.
    addPartner("52998224725", 4);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_RESPONSAVEL"), 3);
    expectPromptsMet();
}

TEST_F(Details, APartnersFaxAloneIsNoContactAndBlankingDeletesIt)
{
    addPartner("52998224725", 4);
    addPartner("11444777000161", 3);
    addPartner("12345678000195", 3);
    RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_TRUE(p.locate("IDENTIFICACAO", "11444777000161"));
    m_persons->beginChange(Kind::Partner);
    m_jx->cdsIESocioCom->setValue("TELEFONE", QVariant());
    m_jx->cdsIESocioCom->setValue("FAX", "6133335555");
    ASSERT_TRUE(m_persons->store(Kind::Partner));
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 2); // the other two partners' rows
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO WHERE IDENTIFICACAO = '11444777000161' AND "
                    "ID_COMUNICACAO IS NULL"),
        1);
    // Cancelling after typing an address discards it.
    m_persons->beginChange(Kind::Partner);
    m_jx->cdsIESocioEnd->setValue("LOGRADOURO", "OUTRA");
    m_persons->discard(Kind::Partner);
    EXPECT_EQ(m_jx->cdsIESocioEnd->text("LOGRADOURO"), "DAS FLORES");
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO WHERE LOGRADOURO = 'OUTRA'"), 0);
}

TEST_F(Details, DeletingAPersonOrTheRequestTakesAddressesAndContacts)
{
    addPartner("52998224725", 4);
    addPartner("11444777000161", 3);
    addPartner("12345678000195", 3);
    addResponsible("52998224725");
    addResponsible("11144477735");
    const qint64 addresses = count("SELECT count(*) FROM ENDERECO");
    RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_TRUE(p.locate("IDENTIFICACAO", "11444777000161"));
    m_prompts.expectYesNo(Persons::kDeletePartner, false).expectYesNo(Persons::kDeletePartner, true);
    EXPECT_FALSE(m_persons->remove(Kind::Partner));
    EXPECT_TRUE(m_persons->remove(Kind::Partner));
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), addresses - 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO WHERE IDENTIFICACAO = '11444777000161'"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO"), 2);
    ASSERT_TRUE(save().saved);

    m_prompts.expectYesNo(RequestLifecycle::kDeleteQuestion, true);
    ASSERT_TRUE(m_life->deleteCurrent());
    for (const char* table : { "SOLICITACAO_IE_SOCIO", "SOLICITACAO_IE_RESPONSAVEL", "ENDERECO", "COMUNICACAO" })
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM %1").arg(table)), 0) << table;
    expectPromptsMet();
}

TEST_F(Details, CancellingTheRequestRollsBackItsPersons)
{
    addPartner("52998224725", 4);
    addResponsible("11144477735");
    m_prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    ASSERT_TRUE(m_life->cancel());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_RESPONSAVEL"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 1); // the request's own, saved before
}

TEST_F(Details, LinkedRegistrationChecks)
{
    const StateRegistrationCheck& check = m_check;
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("MATRIZ_IE", "1234567890107");
    const QString ieA = "3322565140600";
    const QString ieB = "5203139720167";
    ASSERT_TRUE(check.isValid(ieA, "QZ") && check.isValid(ieB, "QZ")) << "test data";
    m_linked->beginAddIe();
    EXPECT_EQ(m_linked->addIe("  ", check).message, LinkedEstablishments::kIeRequired);
    EXPECT_EQ(m_linked->addIe("1234567890108", check).message, LinkedEstablishments::kIeInvalid);
    EXPECT_EQ(m_linked->addIe("1234567890107", check).message, LinkedEstablishments::kIeIsTheRequests);
    EXPECT_TRUE(m_linked->addIe(ieA, check).ok());
    m_linked->beginAddIe();
    EXPECT_TRUE(m_linked->addIe(ieB, check).ok());
    m_linked->beginAddIe();
    const auto again = m_linked->addIe(ieA, check);
    EXPECT_EQ(again.message, LinkedEstablishments::kIeRepeated);
    EXPECT_TRUE(again.clearEdit);
    m_linked->discardPending();
    EXPECT_EQ(m_linked->registrations().count(), 2);

    // Deleting the selected one (no key: by all columns).
    ASSERT_TRUE(m_linked->registrations().locate("IE", ieA));
    m_prompts.expectYesNo(LinkedEstablishments::kDeleteIeQuestion, true);
    m_prompts.expectInformation(LinkedEstablishments::kIeDeleted);
    EXPECT_TRUE(m_linked->removeIe());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_VINCULADO"), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_IE_VINCULADO WHERE IE = '%1'").arg(ieB)), 1);
}

TEST_F(Details, LinkedCnpjChecks)
{
    // The request is 11.222.333/0001-81: the same root with another branch.
    const QString branch2 = "11222333000262";
    const QString branch3 = "11222333000343";
    m_linked->beginAddCnpj();
    EXPECT_EQ(m_linked->addCnpj("").message, LinkedEstablishments::kCnpjRequired);
    EXPECT_EQ(m_linked->addCnpj("11222333000182").message, LinkedEstablishments::kCnpjInvalid);
    EXPECT_EQ(m_linked->addCnpj("11222333000181").message, LinkedEstablishments::kCnpjIsTheRequests);
    EXPECT_EQ(m_linked->addCnpj("12345678000195").message, LinkedEstablishments::kCnpjOtherRoot);
    EXPECT_TRUE(m_linked->addCnpj(branch2).ok());
    m_linked->beginAddCnpj();
    EXPECT_TRUE(m_linked->addCnpj(branch3).ok());
    m_linked->beginAddCnpj();
    EXPECT_EQ(m_linked->addCnpj(branch2).message, LinkedEstablishments::kCnpjRepeated);
    m_linked->discardPending();
    RecordSet& cnpjs = m_linked->cnpjs();
    ASSERT_EQ(cnpjs.count(), 2);
    EXPECT_EQ(cnpjs.text("DESC_CNPJ"), "11.222.333/0002-62");
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CNPJ_VINCULADO WHERE CNPJ_NUCLEO = '11222333' AND "
                    "CNPJ_FILIAL = '0003' AND CNPJ_DV = '43'"),
        1);
    ASSERT_TRUE(cnpjs.locate("CNPJ_FILIAL", "0003"));
    m_prompts.expectYesNo(LinkedEstablishments::kDeleteCnpjQuestion, true);
    m_prompts.expectInformation(LinkedEstablishments::kCnpjDeleted);
    EXPECT_TRUE(m_linked->removeCnpj());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CNPJ_VINCULADO"), 1);
}

TEST(CnaefTree, LevelsPlacementAndCodes)
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    TdtmDB database(folder.path(), prompts, [] {});
    TdtmJX jx(database, prompts, [] {}, folder.path());
    const std::vector<cnaef::Node> tree = cnaef::buildTree(*jx.cdsCNAEF);
    int roots = 0;
    int leaves = 0;
    int lastLevel = 0;
    for (const cnaef::Node& n : tree) {
        roots += n.parent < 0 ? 1 : 0;
        leaves += n.children.empty() ? 1 : 0;
        lastLevel += n.level == 5 ? 1 : 0;
        if (n.parent >= 0) {
            EXPECT_EQ(tree[size_t(n.parent)].level, n.level - 1) << n.text.toStdString();
        }
        EXPECT_NE(n.code, "0");
    }
    db::Statement shown = database.connection().prepare(
        QStringLiteral("SELECT count(*) FROM CNAEF WHERE length(trim(COD_FORMATADO)) IN (1, 2, 3, 6, 9) AND "
                       "trim(COD_FORMATADO) <> '0' AND %1")
            .arg(db::validityWindow()));
    shown.step();
    EXPECT_EQ(qint64(tree.size()), shown.int64(0)); // every entry but "0" and the desmembramentos
    EXPECT_EQ(tree.size(), 2397u);
    EXPECT_EQ(roots, 21);
    EXPECT_GT(lastLevel, 1000);
    EXPECT_GE(leaves, lastLevel);
    // 4731-8/00 under its class 47.31-8 (level 4), under 47.3, 47 and G.
    const auto leaf = std::find_if(tree.begin(), tree.end(), [](const cnaef::Node& n) { return n.code == "4731-8/00"; });
    ASSERT_NE(leaf, tree.end());
    EXPECT_EQ(leaf->level, 5);
    const cnaef::Node& cls = tree[size_t(leaf->parent)];
    EXPECT_EQ(cls.level, 4);
    EXPECT_EQ(cls.code, "4731-8");
    EXPECT_EQ(tree[size_t(cls.parent)].code, "473");
    EXPECT_EQ(tree[size_t(tree[size_t(cls.parent)].parent)].code, "47");

    EXPECT_EQ(cnaef::extractCode("4731-8/00 - COMÉRCIO"), "4731-8/00");
    EXPECT_EQ(cnaef::extractCode("47.31-8x - COMÉRCIO"), "4731-8");
    EXPECT_TRUE(cnaef::isChoosable("4731-8/00"));
    EXPECT_FALSE(cnaef::isChoosable("4731-8"));
    EXPECT_FALSE(cnaef::isChoosable(cnaef::extractCode("")));
    EXPECT_EQ(cnaef::levelOf("ABCD"), 0);
}

TEST_F(Details, ChoosingACnaefFillsItsFieldsAndDependentLists)
{
    cnaef::Choice choice(*m_jx);
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    // Find entries with several, one and no desmembramentos, and with one CAE.
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    auto codeWith = [&](const QString& having) {
        db::Statement s = c.prepare(QStringLiteral("SELECT TRIM(P.COD_FORMATADO) FROM CNAEF P WHERE length(TRIM("
                                                   "P.COD_FORMATADO)) = 9 AND (SELECT count(*) FROM CNAEF D WHERE "
                                                   "D.COD_TIPO = 6 AND D.COD_CNAEF_SUPERIOR = P.ID_CNAEF) %1 LIMIT 1")
                                        .arg(having));
        return s.step() ? s.text(0) : QString();
    };
    const QString several = codeWith(">= 2");
    const QString single = codeWith("= 1");
    const QString none = codeWith("= 0");
    ASSERT_FALSE(several.isEmpty());
    ASSERT_FALSE(none.isEmpty());

    choice.choose(true, several);
    EXPECT_EQ(r.text("NUMCNAEF_P"), several);
    EXPECT_FALSE(r.text("DESCCNAEF_P").isEmpty());
    EXPECT_EQ(r.text("DESC_CNAEFCOD"), several);
    EXPECT_TRUE(choice.desmembramento(true).listVisible);
    EXPECT_TRUE(choice.desmembramento(true).listEnabled);
    EXPECT_GE(m_jx->cdsDesmembramento1->count(), 2);
    if (!single.isEmpty()) {
        choice.choose(false, single);
        EXPECT_FALSE(choice.desmembramento(false).listVisible);
        EXPECT_TRUE(choice.desmembramento(false).textVisible);
        EXPECT_EQ(r.value("ID_DESMEMBRAMENTO2"), m_jx->cdsDesmembramento2->value("ID_CNAEF"));
    }
    choice.choose(true, none);
    EXPECT_TRUE(choice.desmembramento(true).listVisible);
    EXPECT_FALSE(choice.desmembramento(true).listEnabled);
    EXPECT_FALSE(choice.desmembramento(true).textVisible);
    // The CAE list follows the principal: one CAE is stored, none clears it.
    if (m_jx->cdsCAE->count() == 0) {
        EXPECT_TRUE(r.value("ID_CAE").isNull());
        EXPECT_FALSE(choice.cae().listEnabled);
    }
    ASSERT_TRUE(save().saved);
    // The scratch fields never reach the table; the choice does.
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE ID_CNAEF_PRINCIPAL IS NOT NULL"), 1);
}

TEST_F(Details, ARefusedStepLeavesThePersonWhole)
{
    addPartner("52998224725", 4);
    addPartner("11444777000161", 3);
    addPartner("12345678000195", 3);
    RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_TRUE(p.locate("IDENTIFICACAO", "11444777000161"));
    const qint64 contacts = count("SELECT count(*) FROM COMUNICACAO");
    // The contact is blanked (its row would be deleted) and the address refused by the table.
    m_persons->beginChange(Kind::Partner);
    m_jx->cdsIESocioCom->setValue("TELEFONE", QVariant());
    m_jx->cdsIESocioEnd->setValue("LOGRADOURO", QString(31, u'X'));
    m_prompts.expectMessage("Valor recusado: LOGRADOURO com mais de 30 caracteres");
    EXPECT_FALSE(m_persons->store(Kind::Partner));
    expectPromptsMet();
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), contacts); // the deletion went back too
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO S WHERE S.ID_COMUNICACAO IS NOT NULL AND NOT EXISTS "
                    "(SELECT 1 FROM COMUNICACAO C WHERE C.ID_COMUNICACAO = S.ID_COMUNICACAO)"),
        0);
    // What was typed is still there, on the same partner, to correct or to cancel.
    EXPECT_EQ(p.text("IDENTIFICACAO"), "11444777000161");
    EXPECT_EQ(m_jx->cdsIESocioEnd->text("LOGRADOURO"), QString(31, u'X'));
    EXPECT_TRUE(m_jx->cdsIESocioCom->value("TELEFONE").isNull());
    m_jx->cdsIESocioEnd->setValue("LOGRADOURO", "CORRIGIDA");
    ASSERT_TRUE(m_persons->store(Kind::Partner));
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), contacts - 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO WHERE LOGRADOURO = 'CORRIGIDA'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO WHERE IDENTIFICACAO = '11444777000161' AND "
                    "ID_COMUNICACAO IS NULL"),
        1);
}

TEST_F(Details, RefusedDeletionsAndInsertsAreNotLeftPending)
{
    addPartner("52998224725", 4);
    addPartner("11444777000161", 3);
    addPartner("12345678000195", 3);
    RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_TRUE(p.locate("IDENTIFICACAO", "11444777000161"));
    m_db->connection().exec("PRAGMA query_only = ON");
    m_prompts.expectYesNo(Persons::kDeletePartner, true);
    m_prompts.expectMessage("O banco de dados não aceita gravação (somente leitura).");
    EXPECT_FALSE(m_persons->remove(Kind::Partner));
    // A linked CNPJ refused once, then saved once.
    m_linked->beginAddCnpj();
    m_prompts.expectMessage("O banco de dados não aceita gravação (somente leitura).");
    EXPECT_TRUE(m_linked->addCnpj("11222333000262").refused);
    m_db->connection().exec("PRAGMA query_only = OFF");
    expectPromptsMet();
    EXPECT_EQ(p.count(), 3);
    EXPECT_FALSE(p.hasPending());
    EXPECT_EQ(p.text("IDENTIFICACAO"), "11444777000161");
    EXPECT_FALSE(m_jx->cdsIESocioEnd->isEmpty()); // its address is back on screen
    addPartner("98765432100", 4); // a later store sends nothing owed by the refusal
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE_SOCIO"), 4);
    EXPECT_TRUE(m_linked->addCnpj("11222333000262").ok());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CNPJ_VINCULADO"), 1);
}
