// The accountant enablement: its lifecycle in one transaction and its verification rules.

#include "enablements/EnablementLifecycle.h"
#include "verification/Verification.h"

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using V = Verification;

namespace {

std::string joined(const QStringList& list)
{
    return list.join(QStringLiteral(" | ")).toStdString();
}

const QString kArea = QStringLiteral("Habilitação de Contabilista");

class Enablements : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        m_life = std::make_unique<EnablementLifecycle>(*m_jx, m_prompts);
        m_life->setToday(QDate(2026, 12, 9));
    }

    RecordSet& e() { return *m_jx->cdsSolicitacao_Contab; }

    // A new enablement that passes every rule: an accountant (CPF) of the home state.
    void typeComplete(const QString& cpf)
    {
        ASSERT_TRUE(m_life->beginNew());
        e().setValue("TIPO_IDENTIFICACAO", 4);
        e().setValue("IDENTIFICACAO", cpf);
        e().setValue("UF_CRC", "QZ");
        e().setValue("CRC", "123456");
        e().setValue("IDENTIFICADOR_CRC", "O");
        e().setValue("EMAIL_RESPONSAVEL", "contador@escritorio.com.br");
        e().setValue("DATANACRESP", QDate(1970, 2, 1));
        RecordSet& a = *m_jx->cdsSolicitacao_Contab_End;
        a.setValue("CEP", "70000123");
        a.setValue("LOCALIDADE", "CIDADE");
        a.setValue("BAIRRO", "CENTRO");
        a.setValue("LOGRADOURO", "DAS FLORES");
        a.setValue("NUMERO", "10");
        RecordSet& c = *m_jx->cdsSolicitacao_Contab_Com;
        c.setValue("TELEFONE", "6133334444");
        c.setValue("EMAIL", "escritorio@escritorio.com.br");
    }

    EnablementLifecycle::SaveResult save(const QString& birth = QStringLiteral("01/02/1970"))
    {
        return m_life->save(birth);
    }

    QStringList texts()
    {
        V verification(*m_jx);
        verification.setToday(QDate(2026, 12, 9));
        verification.ApurarPendencias(0);
        QStringList out;
        RecordSet& list = *m_jx->cdsPendecias;
        for (int v = 0; v < list.count(); ++v) {
            EXPECT_EQ(list.valueAt(v, list.fieldIndex("Tipo")).toString(), "E");
            EXPECT_EQ(list.valueAt(v, list.fieldIndex("Local")).toString(), kArea);
            out << list.valueAt(v, list.fieldIndex("Pendencia")).toString();
        }
        return out;
    }

    void expectPromptsMet()
    {
        EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString()
                                        << m_prompts.leftOver().join('\n').toStdString();
    }

    std::unique_ptr<EnablementLifecycle> m_life;
};

} // namespace

TEST_F(Enablements, SavedEnablementsGetTheirStatusAddressAndContact)
{
    typeComplete("52998224725");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(e().text("STATUS"), "C");
    EXPECT_EQ(m_prompts.standingAnswers(), 0); // nothing pending: no question

    // The second lacks its bairro: saved all the same, incomplete, the list offered.
    typeComplete("11144477735");
    m_jx->cdsSolicitacao_Contab_End->setValue("BAIRRO", QVariant());
    m_prompts.expectYesNo(EnablementLifecycle::kPendingQuestion, true);
    int shown = 0;
    ASSERT_TRUE(m_life->save("01/02/1970", [&] {
        ++shown;
        EXPECT_EQ(m_jx->cdsPendecias->count(), 1);
    }).saved);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(e().text("STATUS"), "I");

    // The third has no contact data: no empty contact row is stored for it.
    typeComplete("39053344705");
    m_jx->cdsSolicitacao_Contab_Com->setValue("TELEFONE", QVariant());
    m_jx->cdsSolicitacao_Contab_Com->setValue("EMAIL", QVariant());
    m_prompts.expectYesNo(EnablementLifecycle::kPendingQuestion, false);
    ASSERT_TRUE(save().saved);
    expectPromptsMet();

    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE STATUS = 'C'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE TIPO_SOLICITACAO_CONTAB = 1 AND DATACRIACAO IS "
                    "NOT NULL AND DATAHABILITACAOCONTABILISTA IS NOT NULL AND DATANACRESP = '1970-02-01'"),
        3);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO E JOIN SOLICITACAO_CONTAB S ON S.ID_ENDERECO = E.ID_ENDERECO"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO C JOIN SOLICITACAO_CONTAB S ON S.ID_COMUNICACAO = "
                    "C.ID_COMUNICACAO"),
        2);
    EXPECT_FALSE(m_db->inTransaction());

    // Changing the middle one without touching its identification saves it, no other.
    ASSERT_TRUE(e().locate("IDENTIFICACAO", "11144477735"));
    m_life->beginEdit();
    m_jx->cdsSolicitacao_Contab_End->setValue("BAIRRO", "SUL");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(e().text("IDENTIFICACAO"), "11144477735");
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE STATUS = 'C'"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO WHERE BAIRRO = 'SUL'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 3);
    expectPromptsMet();
}

TEST_F(Enablements, TheSaveRefusesInItsOrderAndStoresNothing)
{
    typeComplete("52998224725");
    ASSERT_TRUE(save().saved);

    typeComplete("52998224725");
    m_prompts.expectError(EnablementLifecycle::kDuplicate);
    EXPECT_FALSE(save().saved);
    e().setValue("IDENTIFICACAO", "11144477735");
    m_prompts.expectError(EnablementLifecycle::kInvalidDate);
    EXPECT_EQ(save("31/02/2005").focus, EnablementLifecycle::Field::DataNascimento);
    e().setValue("TIPO_IDENTIFICACAO", QVariant());
    m_prompts.expectError("O campo Tipo de Identificação deve ser preenchido!");
    EXPECT_EQ(save().focus, EnablementLifecycle::Field::TipoIdentificacao);
    e().setValue("TIPO_IDENTIFICACAO", 4);
    e().setValue("IDENTIFICACAO", "  ");
    m_prompts.expectError("O campo Identificação deve ser preenchido!");
    EXPECT_EQ(save().focus, EnablementLifecycle::Field::Identificacao);
    e().setValue("IDENTIFICACAO", "11144477735");
    m_jx->cdsSolicitacao_Contab_End->setValue("CEP", QVariant());
    m_prompts.expectError(EnablementLifecycle::kAddressRequired);
    EXPECT_FALSE(save().saved);
    expectPromptsMet();
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 1);

    // The refused edit is still open; cancelling it leaves the table as it was.
    m_prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    EXPECT_TRUE(m_life->cancel());
    EXPECT_FALSE(m_db->inTransaction());
    EXPECT_EQ(e().count(), 1);
    expectPromptsMet();
}

TEST_F(Enablements, CancelUndoesEverythingTheEditWrote)
{
    typeComplete("52998224725");
    ASSERT_TRUE(save().saved);
    typeComplete("11144477735");
    // An address typed through the address window, then the whole edit cancelled.
    Addresses& addresses = m_life->addresses();
    addresses.CarregarEndereco(QVariant(), *m_jx->cdsSolicitacao_Contab_End);
    m_jx->cdsEnderco->setValue("BAIRRO", "OUTRO");
    addresses.DevolverEndereco(*m_jx->cdsSolicitacao_Contab_End);
    m_prompts.expectYesNo(RequestLifecycle::kCancelQuestion, false);
    EXPECT_FALSE(m_life->cancel()); // Não: the form stays open
    m_prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    EXPECT_TRUE(m_life->cancel());
    expectPromptsMet();
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO WHERE BAIRRO = 'OUTRO'"), 0);
    EXPECT_EQ(e().count(), 1);
    EXPECT_FALSE(m_db->inTransaction());
}

TEST_F(Enablements, DeletingTheMiddleOneTakesItsAddressContactAndDeliveries)
{
    for (const char* cpf : { "52998224725", "11144477735", "39053344705" }) {
        typeComplete(cpf);
        ASSERT_TRUE(save().saved);
    }
    ASSERT_TRUE(e().locate("IDENTIFICACAO", "11144477735"));
    const qint64 middle = e().value("ID_SOLICITACAO_CONTABILISTA").toLongLong();
    {
        db::Connection c;
        c.open(m_folder.databasePath(), db::kDatabaseKey);
        for (qint64 owner : { middle, middle, middle - 1 })
            c.exec(QStringLiteral("INSERT INTO ENTREGAS (HABILITACAO_ID, NOMEARQUIVO) VALUES (%1, 'H.xml')").arg(owner));
    }
    m_prompts.expectYesNo(EnablementLifecycle::kDeleteQuestion, false);
    EXPECT_FALSE(m_life->deleteCurrent());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 3);
    m_prompts.expectYesNo(EnablementLifecycle::kDeleteQuestion, true);
    EXPECT_TRUE(m_life->deleteCurrent());
    expectPromptsMet();
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE ID_SOLICITACAO_CONTABILISTA = %1")
                        .arg(middle)),
        0);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO E JOIN SOLICITACAO_CONTAB S ON S.ID_ENDERECO = E.ID_ENDERECO"), 2);
    EXPECT_EQ(e().count(), 2);
}

TEST_F(Enablements, ARefusedDeleteLeavesEverything)
{
    for (const char* cpf : { "52998224725", "11144477735", "39053344705" }) {
        typeComplete(cpf);
        ASSERT_TRUE(save().saved);
    }
    ASSERT_TRUE(e().locate("IDENTIFICACAO", "11144477735"));
    // A database that refuses writes: the first apply is refused and reported, nothing goes.
    m_db->connection().exec("PRAGMA query_only = 1");
    m_prompts.expectYesNo(EnablementLifecycle::kDeleteQuestion, true);
    EXPECT_FALSE(m_life->deleteCurrent());
    m_db->connection().exec("PRAGMA query_only = 0");
    EXPECT_FALSE(m_prompts.failures().isEmpty()); // the refusal was shown
    EXPECT_EQ(m_ended, 0);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 3);
    EXPECT_EQ(e().count(), 3);
    EXPECT_EQ(e().text("IDENTIFICACAO"), "11144477735");
    EXPECT_FALSE(m_db->inTransaction());
}

TEST_F(Enablements, IdentificationAndResponsibleRules)
{
    typeComplete("52998224725");
    EXPECT_EQ(joined(texts()), joined(QStringList()));
    e().setValue("TIPO_IDENTIFICACAO", QVariant());
    EXPECT_EQ(joined(texts()), joined(QStringList { V::F1("Tipo de Identificação") }));
    // A firm: its CNPJ checked, its responsible's CPF required.
    e().setValue("TIPO_IDENTIFICACAO", 3);
    EXPECT_EQ(joined(texts()), joined(QStringList({ V::F1("CPF do Responsável"), "CNPJ inválido." })));
    e().setValue("IDENTIFICACAO", "11222333000181");
    e().setValue("CPF_RESPONSAVEL", "52998224726");
    EXPECT_EQ(joined(texts()), joined(QStringList { "CPF do Responsável inválido." }));
    e().setValue("CPF_RESPONSAVEL", "52998224725");
    EXPECT_EQ(joined(texts()), joined(QStringList()));
    e().setValue("IDENTIFICACAO", "12ABC34501DE35"); // the alphanumeric form
    EXPECT_EQ(joined(texts()), joined(QStringList()));
    e().setValue("IDENTIFICACAO", "12ABC34501DE53");
    EXPECT_EQ(joined(texts()), joined(QStringList { "CNPJ inválido." }));
    e().setValue("IDENTIFICACAO", "11222333000181");
    // An accountant without a responsible's CPF passes H2; a wrong CPF fails H4.
    e().setValue("TIPO_IDENTIFICACAO", 4);
    e().setValue("CPF_RESPONSAVEL", QVariant());
    EXPECT_EQ(joined(texts()), joined(QStringList { "CPF inválido." }));
    e().setValue("IDENTIFICACAO", " 52998224725 ");
    EXPECT_EQ(joined(texts()), joined(QStringList()));
}

TEST_F(Enablements, CrcEmailAndBirthDateRules)
{
    typeComplete("52998224725");
    for (const char* field : { "UF_CRC", "CRC", "IDENTIFICADOR_CRC" })
        e().setValue(field, " ");
    e().setValue("EMAIL_RESPONSAVEL", QVariant());
    EXPECT_EQ(joined(texts()),
        joined(QStringList({ V::F1("UF CRC"), V::F1("CRC"), V::F1("Identificador CRC"), V::F1("E-Mail do Responsável"),
            V::F3("E-Mail do Responsável") })));
    e().setValue("DATANACRESP", QVariant());
    EXPECT_EQ(joined(texts().mid(5)), joined(QStringList { V::F1("Data de Nascimento do Responsável") }));
    m_life->abandon();
    typeComplete("11144477735");
    e().setValue("EMAIL_RESPONSAVEL", "contador.escritorio");
    e().setValue("DATANACRESP", QDate(2026, 12, 9)); // today passes
    EXPECT_EQ(joined(texts()), joined(QStringList { V::F3("E-Mail do Responsável") }));
    e().setValue("EMAIL_RESPONSAVEL", "a@b.c");
    e().setValue("DATANACRESP", QDate(2026, 12, 10));
    EXPECT_EQ(joined(texts()),
        joined(QStringList { "O campo Data de Nascimento do Responsável não deve ser maior que a data atual." }));
    e().setValue("DATANACRESP", QDate(2026, 12, 8));
    EXPECT_EQ(joined(texts()), joined(QStringList()));
}

TEST_F(Enablements, AddressAndContactRules)
{
    typeComplete("52998224725");
    e().setValue("DATANACRESP", QDate(1970, 2, 1));
    RecordSet& a = *m_jx->cdsSolicitacao_Contab_End;
    RecordSet& c = *m_jx->cdsSolicitacao_Contab_Com;
    a.setValue("BAIRRO", QVariant());
    a.setValue("NUMERO", "  ");
    EXPECT_EQ(joined(texts()), joined(QStringList({ V::F1("Bairro"), V::F1("Número") })));
    a.setValue("CEP", QVariant());
    EXPECT_EQ(joined(texts()), joined(QStringList { "Endereço deve ser informado." })); // none of the address's own rules
    a.setValue("CEP", "70000123");
    a.setValue("BAIRRO", "B");
    a.setValue("NUMERO", "1");
    a.setValue("LOCALIDADE", QVariant());
    a.setValue("LOGRADOURO", QVariant());
    EXPECT_EQ(joined(texts()), joined(QStringList({ V::F1("Localidade"), V::F1("Logradouro") })));
    a.setValue("LOCALIDADE", "C");
    a.setValue("LOGRADOURO", "L");

    c.setValue("TELEFONE", "1234567"); // seven: too short
    c.setValue("FAX", "1234567");
    c.setValue("CAIXA_POSTAL_CEP", "1234567");
    c.setValue("EMAIL", "sem-arroba.com");
    EXPECT_EQ(joined(texts()), joined(QStringList({ V::F3("Telefone"), V::F3("Cep da Caixa Postal"), V::F3("Fax"), V::F3("E-Mail") })));
    c.setValue("TELEFONE", "12345678"); // eight pass
    c.setValue("FAX", "12345678");
    c.setValue("CAIXA_POSTAL_CEP", "12345678");
    c.setValue("EMAIL", QVariant());
    EXPECT_EQ(joined(texts()), joined(QStringList { V::F1("E-Mail") }));
    c.setValue("TELEFONE", " ");
    c.setValue("EMAIL", "a@b.c");
    EXPECT_EQ(joined(texts()), joined(QStringList { V::F1("Telefone") })); // empty: H19 only
}

TEST_F(Enablements, AnEmptyOrGarbledEnablementVerifiesWithoutFailing)
{
    ASSERT_TRUE(m_life->beginNew());
    EXPECT_EQ(joined(texts()),
        joined(QStringList({ V::F1("Tipo de Identificação"), V::F1("UF CRC"), V::F1("CRC"), V::F1("Identificador CRC"),
            V::F1("E-Mail do Responsável"), V::F3("E-Mail do Responsável"), V::F1("Data de Nascimento do Responsável"),
            "Endereço deve ser informado.", V::F1("Telefone"), V::F1("E-Mail") })));
    e().setValue("TIPO_IDENTIFICACAO", 3);
    e().setValue("IDENTIFICACAO", "ABC");
    e().setValue("CPF_RESPONSAVEL", "12");
    const QStringList t = texts();
    EXPECT_TRUE(t.contains("CNPJ inválido."));
    EXPECT_TRUE(t.contains("CPF do Responsável inválido."));
    // Every item knows its control on the form.
    RecordSet& list = *m_jx->cdsPendecias;
    for (int v = 0; v < list.count(); ++v)
        EXPECT_FALSE(list.valueAt(v, list.fieldIndex("Controle")).toString().isEmpty()) << v;
    m_life->abandon();
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 0);
}

TEST_F(Enablements, ARefusedSaveKeepsTheBlankContactRowForTheTyping)
{
    typeComplete("52998224725");
    RecordSet& c = *m_jx->cdsSolicitacao_Contab_Com;
    c.setValue("TELEFONE", QVariant());
    c.setValue("EMAIL", QVariant());
    m_db->connection().exec("PRAGMA query_only = ON");
    m_prompts.expectYesNo(EnablementLifecycle::kPendingQuestion, false);
    EXPECT_FALSE(save().saved);
    m_db->connection().exec("PRAGMA query_only = OFF");
    ASSERT_EQ(c.count(), 1); // the dropped blank row is back
    c.setValue("TELEFONE", "6133334444");
    c.setValue("EMAIL", "e@f.com");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO WHERE TELEFONE = '6133334444'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE ID_COMUNICACAO IS NOT NULL AND STATUS = 'C'"), 1);
}
