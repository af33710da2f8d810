// The browsers' search: each form of matching, values taken literally, the marks and order.

#include "Error.h"
#include "search/Search.h"

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using Form = Search::Form;
using Outcome = Search::Outcome;

namespace {

const QStringList kCnpjs { "11222333000181", "33344455000183", "44455566000183", "12345678000195" };
const QStringList kNames { "ALFA SILVA", "BETA", "GAMA SILVA", "O'BRIEN 50% _X" };

class Searching : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        for (int i = 0; i < kCnpjs.size(); ++i) {
            ASSERT_EQ(create(kCnpjs[i]).outcome, RequestLifecycle::Confirmation::Outcome::Opened);
            m_jx->cdsSolicitacaoIE->setValue("NOME_EMPRESARIAL", kNames[i]);
            typeAddress(*m_jx->cdsSolicIEEndEstab);
            ASSERT_TRUE(save().saved);
        }
        m_search = std::make_unique<Search>(*m_jx, requests(), "SOLICITACAO_IE", "ID_SOLICITACAO");
        requests().moveTo(1);
    }

    RecordSet& requests() { return *m_jx->cdsSolicitacaoIE; }

    QStringList names()
    {
        QStringList out;
        for (int v = 0; v < requests().count(); ++v)
            out << requests().valueAt(v, requests().fieldIndex("NOME_EMPRESARIAL")).toString();
        return out;
    }

    std::unique_ptr<Search> m_search;
};

} // namespace

TEST(SearchOptions, ByTitleAndType)
{
    const auto text = Search::optionsFor("Status", data::FieldType::Text);
    EXPECT_EQ(text.forms, (QList<Form> { Form::Exact, Form::Partial, Form::StartsWith }));
    EXPECT_EQ(text.chosen, Form::Partial);
    const auto date = Search::optionsFor("Data de Criação", data::FieldType::Text);
    EXPECT_EQ(date.forms, QList<Form> { Form::Exact });
    EXPECT_TRUE(date.dateMask);
    const auto money = Search::optionsFor("Valor", data::FieldType::Text);
    EXPECT_EQ(money.forms, QList<Form> { Form::Exact });
    EXPECT_FALSE(money.dateMask);
    EXPECT_EQ(Search::optionsFor("Código", data::FieldType::Integer).forms, QList<Form> { Form::Exact });
}

TEST_F(Searching, ExactAndStartingWithMoveToTheFirstMatch)
{
    EXPECT_EQ(m_search->confirm("CNPJ", kCnpjs[2], Form::Exact, false), Outcome::Found);
    EXPECT_EQ(requests().text("CNPJ"), kCnpjs[2]);
    EXPECT_EQ(m_search->matchingRows(), QList<int> { 2 });
    m_prompts.expectInformation(Search::kNothingFound);
    EXPECT_EQ(m_search->confirm("CNPJ", "33.344.455/0001-83", Form::Exact, false), Outcome::NotFound);
    EXPECT_EQ(requests().text("CNPJ"), kCnpjs[2]); // stays
    EXPECT_EQ(m_search->confirm("Nome Empresarial", "GAMA", Form::StartsWith, false), Outcome::Found);
    EXPECT_EQ(requests().text("NOME_EMPRESARIAL"), "GAMA SILVA");
    m_prompts.expectInformation(Search::kEmptyValue);
    EXPECT_EQ(m_search->confirm("Nome Empresarial", "", Form::Exact, false), Outcome::Refused);
    EXPECT_EQ(m_search->confirm("Sem Coluna", "X", Form::Exact, false), Outcome::NoColumn);
    m_prompts.expectError(Search::kBadDate);
    EXPECT_EQ(m_search->confirm("Nome Empresarial", "01/02/26  ", Form::Exact, true), Outcome::Refused);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
    EXPECT_EQ(names(), kNames); // order untouched
}

TEST_F(Searching, PartialListsTheMatchesFirstAndKeepsTheDetailsFollowing)
{
    EXPECT_EQ(m_search->confirm("Nome Empresarial", "SILVA", Form::Partial, false), Outcome::Found);
    EXPECT_EQ(names(), QStringList({ "ALFA SILVA", "GAMA SILVA", "BETA", "O'BRIEN 50% _X" }));
    EXPECT_EQ(m_search->matchingRows(), (QList<int> { 0, 1 }));
    EXPECT_EQ(requests().valueAt(0, requests().fieldIndex("ID")).toInt(), 1);
    EXPECT_EQ(requests().valueAt(2, requests().fieldIndex("ID")).toInt(), 2);
    EXPECT_FALSE(requests().hasPending()); // marks are not changes
    // The details follow the cursor again.
    requests().moveTo(2);
    EXPECT_EQ(m_jx->cdsSolicIEEndEstab->value("ID_ENDERECO"), requests().value("ID_ENDERECO_ESTABELECIMENTO"));
    // Nothing found: the order stays, the details still follow.
    m_prompts.expectInformation(Search::kNothingFound);
    EXPECT_EQ(m_search->confirm("Nome Empresarial", "ZETA", Form::Partial, false), Outcome::NotFound);
    EXPECT_EQ(names(), QStringList({ "ALFA SILVA", "GAMA SILVA", "BETA", "O'BRIEN 50% _X" }));
    requests().moveTo(3);
    EXPECT_EQ(m_jx->cdsSolicIEEndEstab->value("ID_ENDERECO"), requests().value("ID_ENDERECO_ESTABELECIMENTO"));
}

TEST_F(Searching, TypedValuesAreTakenLiterally)
{
    for (const char* literal : { "O'BRIEN", "50%", "_X" }) {
        EXPECT_EQ(m_search->confirm("Nome Empresarial", QString::fromLatin1(literal), Form::Partial, false), Outcome::Found)
            << literal;
        EXPECT_EQ(m_search->matchingRows().size(), 1) << literal;
        EXPECT_EQ(requests().text("NOME_EMPRESARIAL"), "O'BRIEN 50% _X");
    }
    // A wildcard typed is no wildcard: it finds the one name holding it.
    for (const char* wildcard : { "%", "_" }) {
        EXPECT_EQ(m_search->confirm("Nome Empresarial", QString::fromLatin1(wildcard), Form::Partial, false),
            Outcome::Found);
        EXPECT_EQ(m_search->matchingRows().size(), 1) << wildcard;
    }
    // SQL typed is text; "A_FA" is not "ALFA".
    for (const char* hostile : { "' OR 1=1 --", "A_FA" }) {
        m_prompts.expectInformation(Search::kNothingFound);
        EXPECT_EQ(m_search->confirm("Nome Empresarial", QString::fromLatin1(hostile), Form::Partial, false),
            Outcome::NotFound)
            << hostile;
    }
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE"), 4);
}

TEST_F(Searching, ANumberColumnFindsExactlyAlsoWhenAskedPartially)
{
    requests().moveTo(0);
    m_life->beginEdit();
    requests().setValue("CATEGORIA", 3);
    ASSERT_TRUE(save().saved);
    const QString label = requests().field(requests().fieldIndex("CATEGORIA")).label;
    requests().moveTo(3);
    EXPECT_EQ(m_search->confirm(label, "3", Form::Partial, false), Outcome::Found);
    EXPECT_EQ(requests().text("CNPJ"), kCnpjs[0]);
    EXPECT_EQ(m_search->matchingRows(), QList<int> { 0 });
    EXPECT_EQ(names(), kNames); // exact: nothing reordered
}

TEST_F(Searching, AValueOfAnotherTypeSaysSo)
{
    m_prompts.expectError(TdtmJX::kTypeMismatchText).expectInformation(Search::kNothingFound);
    // "Localização" is a number: partial works as exact, and letters do not convert.
    const int field = requests().fieldIndex("LOCALIZACAO");
    ASSERT_GE(field, 0);
    const QString label = requests().field(field).label;
    EXPECT_EQ(m_search->confirm(label, "X", Form::Partial, false), Outcome::NotFound);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString();
}

TEST_F(Searching, TheDetailsFollowAgainAfterAFailureWhileTheyWereOff)
{
    try {
        TdtmJX::DetailReactionOff quiet(*m_jx, requests());
        requests().moveTo(3);
        EXPECT_NE(m_jx->cdsSolicIEEndEstab->value("ID_ENDERECO"), requests().value("ID_ENDERECO_ESTABELECIMENTO"));
        throw Error("falha no meio da pesquisa");
    } catch (const Error&) {
    }
    // Back on, and loaded for the row the cursor stands on.
    EXPECT_EQ(m_jx->cdsSolicIEEndEstab->value("ID_ENDERECO"), requests().value("ID_ENDERECO_ESTABELECIMENTO"));
    requests().moveTo(0);
    EXPECT_EQ(m_jx->cdsSolicIEEndEstab->value("ID_ENDERECO"), requests().value("ID_ENDERECO_ESTABELECIMENTO"));
}

TEST_F(Searching, APartialSearchOnAComputedColumnIgnoresCaseAsTheTableDoes)
{
    // "Categoria" is no column of the table: matched in memory, and as the table's LIKE matches
    // a stored column (ASCII case aside).
    ASSERT_EQ(create("12ABC34501DE35", "1234567890107").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    m_jx->cdsSolicitacaoIE->setValue("NOME_EMPRESARIAL", "DELTA");
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    ASSERT_TRUE(save().saved);
    requests().moveTo(2);
    EXPECT_EQ(m_search->confirm("Categoria", "filial", Form::Partial, false), Outcome::Found);
    EXPECT_EQ(requests().text("DESC_CATEGORIA"), "Filial");
    EXPECT_EQ(requests().text("CNPJ"), "12ABC34501DE35");
    EXPECT_EQ(m_search->matchingRows(), QList<int> { 0 });
    EXPECT_EQ(m_search->confirm("Nome Empresarial", "silva", Form::Partial, false), Outcome::Found);
    EXPECT_EQ(m_search->matchingRows(), (QList<int> { 0, 1 }));
}
