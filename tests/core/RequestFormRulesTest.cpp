#include "requests/RequestFormRules.h"
#include "data/RecordSet.h"

#include <gtest/gtest.h>

using namespace jx;
using data::FieldType;
using data::RecordSet;

namespace {

RecordSet& request(RecordSet& set)
{
    QVector<data::Field> fields;
    for (const char* name : { "CATEGORIA", "LOCALIZACAO", "RECEITA_BRUTA", "ID_FORMA_COMERCIALIZACAO",
             "ID_UNIDADE_AUXILIAR", "SUBSTITUTO_TRIBUTARIO", "ID_REGIME_RECOLHIMENTO", "IE_ESTADO_ORIGEM",
             "ID_CONVENIO_PROTOCOLO", "ID_CNAEF_SECUNDARIO", "ID_SITUACAO_ESPESCIAL", "PROCESSO_NUMERO",
             "PROCESSO_DATA_INICIO", "PROCESSO_DATA_FIM", "VINCULO", "INSCRICAO_UNICA" })
        fields.push_back({ name, FieldType::Text, 50, name });
    set.openEmpty(fields);
    set.append();
    set.setValue("CATEGORIA", 1);
    set.setValue("LOCALIZACAO", 1);
    return set;
}

} // namespace

TEST(FormRules, LocalisationSwitchClearsItsFields)
{
    RecordSet set("cdsSolicitacaoIE");
    RecordSet& r = request(set);
    r.setValue("RECEITA_BRUTA", 10000);
    r.setValue("ID_UNIDADE_AUXILIAR", 2);
    r.setValue("ID_FORMA_COMERCIALIZACAO", 3);
    r.setValue("ID_CNAEF_SECUNDARIO", 1147);
    RequestFormState state;
    r.setValue("LOCALIZACAO", 99);
    requestRules::ruleL(r, state);
    EXPECT_FALSE(state.receitaEnabled);
    EXPECT_TRUE(state.substitutoEnabled);
    EXPECT_TRUE(state.convenioBold);
    EXPECT_FALSE(state.cnaefSecundarioEnabled);
    EXPECT_EQ(r.value("ID_REGIME_RECOLHIMENTO").toInt(), 3);
    r.setValue("LOCALIZACAO", 1);
    requestRules::ruleL(r, state);
    for (const char* cleared : { "RECEITA_BRUTA", "ID_UNIDADE_AUXILIAR", "ID_FORMA_COMERCIALIZACAO",
             "ID_CNAEF_SECUNDARIO", "IE_ESTADO_ORIGEM", "ID_CONVENIO_PROTOCOLO" })
        EXPECT_TRUE(r.value(cleared).isNull()) << cleared;
    EXPECT_EQ(r.text("SUBSTITUTO_TRIBUTARIO"), "N");
    EXPECT_TRUE(state.receitaBold);
    EXPECT_FALSE(state.substitutoEnabled);
}

TEST(FormRules, SubstituteToggleUnderOtherState)
{
    RecordSet set("cdsSolicitacaoIE");
    RecordSet& r = request(set);
    RequestFormState state;
    r.setValue("LOCALIZACAO", 99);
    r.setValue("SUBSTITUTO_TRIBUTARIO", "S");
    requestRules::ruleT(r, state);
    requestRules::ruleL(r, state);
    EXPECT_TRUE(state.ieOrigemPanelVisible);
    EXPECT_EQ(r.value("ID_REGIME_RECOLHIMENTO").toInt(), 1);
    r.setValue("SUBSTITUTO_TRIBUTARIO", "N");
    requestRules::ruleT(r, state);
    requestRules::ruleL(r, state);
    EXPECT_FALSE(state.ieOrigemPanelVisible);
    EXPECT_EQ(r.value("ID_REGIME_RECOLHIMENTO").toInt(), 3);

    // Rule L does nothing while the request is only browsed.
    r.post();
    r.setValue("LOCALIZACAO", 1);
    r.post();
    RequestFormState untouched;
    untouched.receitaEnabled = false;
    requestRules::ruleL(r, untouched);
    EXPECT_FALSE(untouched.receitaEnabled);
}

TEST(FormRules, ProcessBranchAndFormaRules)
{
    RecordSet set("cdsSolicitacaoIE");
    RecordSet& r = request(set);
    RequestFormState state;
    requestRules::ruleP(r, state);
    EXPECT_FALSE(state.processoBold);
    r.setValue("PROCESSO_NUMERO", "123");
    requestRules::ruleP(r, state);
    EXPECT_TRUE(state.processoBold);

    r.setValue("CATEGORIA", 3);
    requestRules::ruleC(r, state);
    EXPECT_FALSE(state.partnersAndResponsiblesVisible);
    EXPECT_FALSE(state.nomeEmpresarialEnabled);

    state.formaBold = false;
    r.setValue("ID_UNIDADE_AUXILIAR", 2);
    requestRules::ruleF(r, state);
    EXPECT_FALSE(state.formaBold); // keeps its style
    r.setValue("ID_UNIDADE_AUXILIAR", QVariant());
    requestRules::ruleF(r, state);
    EXPECT_TRUE(state.formaBold);
}

TEST(FormRules, LinkedRowsGuardVinculoAndUniqueRegistration)
{
    RecordSet set("cdsSolicitacaoIE");
    RecordSet& r = request(set);
    RecordSet linked("cdsIE_Estab_Vinc");
    linked.openEmpty({ { "IE", FieldType::Text, 30, "IE" } });
    r.setValue("VINCULO", 1);
    EXPECT_TRUE(requestRules::ruleV(r, linked, 2).isEmpty());
    linked.append();
    linked.setValue("IE", "1234567890107");
    linked.post();
    EXPECT_EQ(requestRules::ruleV(r, linked, 2), requestRules::kRuleVText);
    EXPECT_EQ(r.value("VINCULO").toInt(), 2);

    RecordSet cnpjs("cdsCNPJ_Estab_Vinc");
    cnpjs.openEmpty({ { "CNPJ_NUCLEO", FieldType::Text, 30, "CNPJ_NUCLEO" } });
    cnpjs.append();
    cnpjs.post();
    r.setValue("INSCRICAO_UNICA", "N");
    EXPECT_EQ(requestRules::ruleU(r, cnpjs),
        QStringLiteral("Existem CNPJ Vinculados a IE Única cadastrados que devem ser excluídos antes deste campo "
                       "ser alterado."));
    EXPECT_EQ(r.text("INSCRICAO_UNICA"), "S");
}
