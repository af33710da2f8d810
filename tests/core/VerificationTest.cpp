// The request rules of the pending-item verification, by family, with their boundaries.

#include "requests/Persons.h"
#include "text/DocumentChecks.h"
#include "verification/Verification.h"

#include <QRegularExpression>

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using Kind = Persons::Kind;
using V = Verification;

namespace {

class Rules : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        m_verify = std::make_unique<Verification>(*m_jx);
        m_verify->setToday(QDate(2026, 12, 9));
        m_persons = std::make_unique<Persons>(*m_jx, m_prompts, m_life->addresses());
    }

    // "Tipo|Local|Pendencia" of each item, in order.
    QStringList items()
    {
        m_verify->ApurarPendencias(1);
        QStringList out;
        RecordSet& list = *m_jx->cdsPendecias;
        for (int v = 0; v < list.count(); ++v) {
            out << list.valueAt(v, list.fieldIndex("Tipo")).toString() + u'|'
                    + list.valueAt(v, list.fieldIndex("Local")).toString() + u'|'
                    + list.valueAt(v, list.fieldIndex("Pendencia")).toString();
        }
        return out;
    }
    QStringList texts()
    {
        QStringList out;
        for (const QString& item : items())
            out << item.section(u'|', 2);
        return out;
    }

    // A request that passes every request-level rule (category 1, home state).
    void completeRequest()
    {
        ASSERT_EQ(create("11222333000181").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
        RecordSet& r = *m_jx->cdsSolicitacaoIE;
        typeActivityEssentials();
        r.setValue("NOME_EMPRESARIAL", "EMPRESA");
        r.setValue("ID_NATUREZA_JURIDICA", m_jx->cdsNatureza_Juridica->valueAt(0, m_jx->cdsNatureza_Juridica->fieldIndex("ID_NATUREZAJUD")));
        r.setValue("DATA_INICIO_ATIVIDADE", "01/02/2005");
        typeAddress(*m_jx->cdsSolicIEEndEstab);
        ASSERT_TRUE(m_life->save({ "01/02/2005", "", "" }).saved);
        m_life->beginEdit();
        addPartner("52998224725", 4, "S");
    }

    void addPartner(const QString& id, int kind, const QString& master = "N", bool address = true)
    {
        m_persons->beginAdd(Kind::Partner);
        RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
        p.setValue("TIPO_IDENTIFICACAO", kind);
        p.setValue("IDENTIFICACAO", id);
        p.setValue("RESPONSAVEL_MASTER", master);
        p.setValue("PARTICIPACAO_DATA_INICIO", "01/02/2005");
        p.setValue("DATA_NASCIMENTO", "01/02/1970");
        p.setValue("PARTICIPACAO", 50.0);
        m_jx->cdsIESocioCom->setValue("TELEFONE", "6133334444");
        m_jx->cdsIESocioCom->setValue("EMAIL", "a@b.com.br");
        if (address)
            typeAddress(*m_jx->cdsIESocioEnd);
        ASSERT_TRUE(m_persons->store(Kind::Partner));
    }

    void addResponsible(const QString& cpf)
    {
        m_persons->beginAdd(Kind::Responsible);
        RecordSet& r = *m_jx->cdsSolicitacao_IE_Responsavel;
        r.setValue("IDENTIFICACAO", cpf);
        r.setValue("ID_FUNCAO", m_jx->cdsFuncao_Responsavel->isOpen() ? 1 : 1);
        r.setValue("DATA_INICIO", "01/02/2005");
        ASSERT_TRUE(m_persons->store(Kind::Responsible));
    }

    std::unique_ptr<Verification> m_verify;
    std::unique_ptr<Persons> m_persons;
};

} // namespace

TEST_F(Rules, ANewRequestListsItsMissingFieldsInOrder)
{
    ASSERT_EQ(create("11222333000181").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    EXPECT_EQ(texts(),
        QStringList({ V::F1("Limite Receita Bruta Anual Prevista"), V::F1("Nome Empresarial"), V::F2("Natureza Jurídica"),
            V::F2("CNAE-F Principal"), "O campos CNAE-F Principal e CNAE-F Secundária devem ser diferentes.",
            V::F1("Regime de Recolhimento"), V::F1("Data de Início da Atividade"), V::F1("Forma de Comercialização"),
            "Endereço do Estabelecimento deve ser informado.", "Solicitação deve possuir pelo menos um Sócio." }));
    EXPECT_EQ(items().first(), "E|Dados Iniciais|O campo Limite Receita Bruta Anual Prevista deve ser informado.");
    EXPECT_EQ(m_verify->errorCount(), 10);
    EXPECT_FALSE(m_verify->ApurarPendencias(1));
    EXPECT_EQ(m_jx->cdsPendecias->count(), 10); // the last run only
    EXPECT_EQ(m_jx->cdsPendecias->text("desc_Tipo"), "Erro");
}

TEST_F(Rules, ACompleteRequestPassesAndEachFieldBreaksItsRule)
{
    completeRequest();
    EXPECT_EQ(texts(), QStringList());
    EXPECT_TRUE(m_verify->ApurarPendencias(1));
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    // Localisation family.
    r.setValue("LOCALIZACAO", 99);
    EXPECT_TRUE(texts().contains(V::F1("Substituto Tributário")) == r.value("SUBSTITUTO_TRIBUTARIO").isNull());
    const QVariant activity = r.value("ID_CNAEF_PRINCIPAL");
    r.setValue("ID_CNAEF_PRINCIPAL", 1147);
    EXPECT_TRUE(texts().contains(V::F1("Orgão Licenciador")));
    r.setValue("LOCALIZACAO", 1);
    QStringList t = texts();
    EXPECT_FALSE(t.contains(V::F1("Orgão Licenciador")));
    // 1147 has several desmembramentos, none chosen.
    EXPECT_TRUE(t.contains(V::F1("Desmembramento da CNAE-F Principal")));
    // An activity with a single desmembramento takes it: nothing is missing.
    db::Statement single = m_db->connection().prepare(
        "SELECT P.ID_CNAEF FROM CNAEF P WHERE length(trim(P.COD_FORMATADO)) = 9 AND (SELECT count(*) FROM CNAEF D "
        "WHERE D.COD_TIPO = 6 AND D.COD_CNAEF_SUPERIOR = CAST(P.ID_CNAEF AS INTEGER)) = 1 LIMIT 1");
    if (single.step()) {
        r.setValue("ID_CNAEF_PRINCIPAL", single.value(0));
        r.setValue("ID_DESMEMBRAMENTO1", QVariant());
        EXPECT_FALSE(texts().contains(V::F1("Desmembramento da CNAE-F Principal")));
        EXPECT_FALSE(r.value("ID_DESMEMBRAMENTO1").isNull());
        r.setValue("ID_DESMEMBRAMENTO1", QVariant());
        r.setValue("ID_CAE", QVariant());
    }
    r.setValue("ID_CNAEF_PRINCIPAL", activity);
    // NIRE family: prefix against localisation, check digit.
    r.setValue("NIRE", "12345678901");
    t = texts();
    EXPECT_TRUE(t.contains("NIRE inválido com o campo localização."));
    r.setValue("LOCALIZACAO", 99);
    r.setValue("NIRE", "31345678901");
    t = texts();
    EXPECT_TRUE(t.contains("NIRE inválido com o campo localização."));
    EXPECT_EQ(t.contains("NIRE inválido."), !docs::nireIsValid("31345678901"));
    r.setValue("LOCALIZACAO", 1);
    r.setValue("NIRE", QVariant());
    // Accountant's document.
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "11222333000182");
    EXPECT_EQ(texts(), QStringList({ V::F1("Tipo do Doc. do Contabilista") }));
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", 3);
    EXPECT_EQ(texts(), QStringList({ "CNPJ do Contabilista Inválido." }));
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", 4);
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "52998224724");
    EXPECT_EQ(texts(), QStringList({ "CPF do Contabilista Inválido." }));
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "52998224725");
    EXPECT_EQ(texts(), QStringList());
    // Licensing body against the states and the establishment's state.
    r.setValue("ORGAO_LICENCIADOR", "XX123");
    t = texts();
    EXPECT_TRUE(t.contains("Nº de Registro do Órgão Licenciador inválido."));
    EXPECT_TRUE(t.contains("Nº de Registro do Órgão Licenciador não confere com a UF do Estabelecimento."));
    r.setValue("ORGAO_LICENCIADOR", "QZ123");
    EXPECT_EQ(texts(), QStringList());
    // DAE: zero-filled while editing, then checked.
    r.setValue("NUMERO_DAE", "123");
    t = texts();
    EXPECT_EQ(r.text("NUMERO_DAE"), "000000000123");
    EXPECT_EQ(t.contains(V::F3("Nº do DAE")), !docs::daeIsValid("000000000123"));
}

TEST_F(Rules, SpecialSituationDatesAtTheBoundary)
{
    completeRequest();
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("PROCESSO_DATA_INICIO", "10/05/2005");
    // Only the start date: the number, the end date (missing and so "earlier") and the situation.
    EXPECT_EQ(texts(),
        QStringList({ V::F1("Situação Especial"), V::F1("Nº do Processo"), V::F1("Data Fim do Processo"),
            V::F4("Data Início do Processo", "Data Fim do Processo") }));
    r.setValue("ID_SITUACAO_ESPESCIAL", m_jx->cdsSituacao_Especial->valueAt(0, m_jx->cdsSituacao_Especial->fieldIndex("CODIGO")));
    r.setValue("PROCESSO_NUMERO", "P1");
    r.setValue("PROCESSO_DATA_FIM", "10/05/2005");
    EXPECT_EQ(texts(), QStringList());
    r.setValue("PROCESSO_DATA_FIM", "09/05/2005");
    EXPECT_EQ(texts(), QStringList({ V::F4("Data Início do Processo", "Data Fim do Processo") }));
}

TEST_F(Rules, PartnerChecksWithTheirPrefixesAndToday)
{
    completeRequest();
    addPartner("11444777000161", 3, "N", false);
    const QString p = "Sócio: 11444777000161 ";
    EXPECT_EQ(texts(), QStringList({ "Sócio:11444777000161 Dados do Endereço do Sócio deve ser informado." }));
    RecordSet& partners = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_TRUE(partners.locate("IDENTIFICACAO", "11444777000161"));
    m_persons->beginChange(Kind::Partner);
    partners.setValue("RESPONSAVEL_MASTER", "S");
    typeAddress(*m_jx->cdsIESocioEnd);
    ASSERT_TRUE(m_persons->store(Kind::Partner));
    // A CNPJ master without its representative.
    EXPECT_EQ(texts(), QStringList({ p + V::F1("CPF do Procurador/Responsável Legal") }));
    // Participation start: the day before today, today, the day after.
    ASSERT_TRUE(partners.locate("IDENTIFICACAO", "11444777000161"));
    m_persons->beginChange(Kind::Partner);
    partners.setValue("IDENT_PROCURADOR_RESPONSAVEL", "52998224725");
    for (const auto& [date, late] : { std::pair { "08/12/2026", false }, std::pair { "09/12/2026", false },
             std::pair { "10/12/2026", true } }) {
        partners.setValue("PARTICIPACAO_DATA_INICIO", QLatin1String(date));
        EXPECT_EQ(texts().contains(p + V::F5("Data Início da Participação")), late) << date;
    }
    partners.setValue("PARTICIPACAO_DATA_INICIO", "01/02/2005");
    partners.setValue("DATA_NASCIMENTO", QVariant());
    partners.setValue("PARTICIPACAO", QVariant());
    partners.setValue("IDENTIFICACAO", "11444777000162");
    EXPECT_EQ(texts(),
        QStringList({ p.left(p.size() - 15) + "11444777000162 O campo Data de Início da Atividade  deve ser informado ou está inválido.",
            "Sócio: 11444777000162 CNPJ Inválido.", "Sócio: 11444777000162 O campo Participação deve estar entre 0 e 100%." }));
    m_persons->discard(Kind::Partner);
}

TEST_F(Rules, AlphanumericCnpjsPassTheAccountantAndPartnerChecks)
{
    completeRequest();
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", 3);
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "AB1CD2EF000170");
    EXPECT_EQ(texts(), QStringList());
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "AB1CD2EF000171");
    EXPECT_EQ(texts(), QStringList({ "CNPJ do Contabilista Inválido." }));
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", QVariant());
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", QVariant());

    addPartner("12ABC34501DE35", 3);
    EXPECT_EQ(texts(), QStringList());
    RecordSet& partners = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_TRUE(partners.locate("IDENTIFICACAO", "12ABC34501DE35"));
    m_persons->beginChange(Kind::Partner);
    partners.setValue("IDENTIFICACAO", "12ABC34501DE53");
    EXPECT_EQ(texts(), QStringList({ "Sócio: 12ABC34501DE53 CNPJ Inválido." }));
    m_persons->discard(Kind::Partner);
}

TEST_F(Rules, SharedCpfAndResponsibleChecks)
{
    completeRequest();
    addPartner("11144477735", 4);
    addResponsible("98765432100");
    addResponsible("11144477735");
    addResponsible("52998224725");
    QStringList t = texts();
    EXPECT_EQ(t.filter("Sócio / Responsável:").size(), 1);
    EXPECT_EQ(t.filter("Sócio / Responsável:").first(),
        "Sócio / Responsável: 52998224725 Existe um Sócio e um Responsável cadastrado com este CPF.");
    // A responsible person with an empty CPF: two blanks before the message.
    m_persons->beginAdd(Kind::Responsible);
    m_jx->cdsSolicitacao_IE_Responsavel->setValue("ID_FUNCAO", 1);
    m_jx->cdsSolicitacao_IE_Responsavel->setValue("DATA_INICIO", "10/12/2026");
    t = texts();
    EXPECT_TRUE(t.contains("Responsável:  O campo Identificação deve ser informado.")) << t.join('\n').toStdString();
    EXPECT_TRUE(t.contains("Responsável:  O campo Data Início não pode ser maior que a Data Atual."));
    m_persons->discard(Kind::Responsible);
}

TEST_F(Rules, ABranchSkipsThePartnersAndWarnsAboutItsNire)
{
    ASSERT_EQ(create("11222333000181", "1234567890107").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    const QStringList all = items();
    EXPECT_TRUE(all.contains("A|Dados Iniciais|O campo NIRE deve ser informado."));
    EXPECT_TRUE(all.filter("Sócio").isEmpty());
    const int warnings = int(all.filter(QRegularExpression("^A\\|")).size());
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(m_verify->errorCount(), all.size() - 1);
}

TEST_F(Rules, TheSaveSetsTheStatusFromErrorsAndOffersWarningsToo)
{
    // A branch complete but for its NIRE: one warning, no error.
    ASSERT_EQ(create("11222333000181", "1234567890107").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    typeActivityEssentials();
    r.setValue("DATA_INICIO_ATIVIDADE", QDate(2005, 2, 1));
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    EXPECT_TRUE(m_verify->ApurarPendencias(1)); // what the verify command calls "no pending item"
    EXPECT_EQ(m_jx->cdsPendecias->count(), 1);

    m_prompts.expectYesNo(RequestLifecycle::kPendingQuestion, true);
    int offered = 0;
    ASSERT_TRUE(m_life->save({ "01/02/2005", "", "" }, [&] {
        ++offered;
        EXPECT_EQ(m_jx->cdsPendecias->count(), 1);
        EXPECT_EQ(m_jx->cdsPendecias->text("Tipo"), "A");
    }).saved);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE STATUS = 'C'"), 1);

    // One error among the warning: incomplete, whatever the order found.
    m_life->beginEdit();
    r.setValue("ORGAO_LICENCIADOR", "X");
    m_prompts.expectYesNo(RequestLifecycle::kPendingQuestion, false);
    ASSERT_TRUE(m_life->save({ "01/02/2005", "", "" }, [&] { ++offered; }).saved);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE STATUS = 'I'"), 1);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();

    // Nothing pending at all: no question.
    const int standing = m_prompts.standingAnswers();
    m_life->beginEdit();
    r.setValue("ORGAO_LICENCIADOR", QVariant());
    for (int d = 0; d < 10; ++d) {
        const QString nire = QStringLiteral("3120000000") + QString::number(d);
        if (docs::nireIsValid(nire))
            r.setValue("NIRE", nire);
    }
    ASSERT_TRUE(m_life->save({ "01/02/2005", "", "" }, [&] { ++offered; }).saved);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE STATUS = 'C'"), 1);
    EXPECT_EQ(m_prompts.standingAnswers(), standing);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Rules, EveryItemKnowsItsControl)
{
    completeRequest();
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    // As much wrong at once as the rules can tell apart.
    r.setValue("LOCALIZACAO", 99);
    r.setValue("NIRE", "12345678901");
    r.setValue("ORGAO_LICENCIADOR", "X");
    r.setValue("NUMERO_DAE", "1");
    r.setValue("PROCESSO_DATA_INICIO", QDate(2026, 1, 2));
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", 3);
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "1");
    r.setValue("VINCULO", 2);
    r.setValue("SUBSTITUTO_TRIBUTARIO", "S");
    r.setValue("INSCRICAO_UNICA", "S");
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", "1");
    m_jx->cdsSolicitacaoIEComun->setValue("FAX", "1");
    m_jx->cdsSolicitacaoIEComun->setValue("CAIXA_POSTAL_CEP", "1");
    m_jx->cdsSolicitacaoIEComun->setValue("EMAIL", "x");
    m_jx->cdsSolicIEEndCorresp->setValue("CEP", "1");
    addPartner("11222333000182", 3, "S", false);
    addResponsible("52998224725");
    const QStringList all = items();
    EXPECT_GT(all.size(), 20);
    RecordSet& list = *m_jx->cdsPendecias;
    for (int v = 0; v < list.count(); ++v) {
        EXPECT_FALSE(list.valueAt(v, list.fieldIndex("Controle")).toString().isEmpty()) << all.at(v).toStdString();
        const bool person = all.at(v).contains(QStringLiteral("|Sócios|Sócio")) || all.at(v).contains("|Responsáveis|");
        EXPECT_EQ(!list.valueAt(v, list.fieldIndex("Linha")).isNull(), person) << all.at(v).toStdString();
    }
    m_persons->discard(Kind::Partner);
}
