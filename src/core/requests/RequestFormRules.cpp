#include "requests/RequestFormRules.h"

#include "data/RecordSet.h"

namespace jx::requestRules {

using data::RecordSet;

namespace {

bool blank(const QVariant& v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

} // namespace

void ruleC(const RecordSet& request, RequestFormState& state)
{
    const bool branch = request.value("CATEGORIA").toInt() == 3;
    state.partnersAndResponsiblesVisible = !branch;
    state.naturezaEnabled = !branch;
    state.nomeEmpresarialEnabled = !branch;
}

void ruleL(RecordSet& request, RequestFormState& state)
{
    if (request.state() != RecordSet::State::Edit && request.state() != RecordSet::State::Insert)
        return;
    if (request.value("LOCALIZACAO").toInt() == 99) {
        state.receitaBold = false;
        state.receitaEnabled = false;
        request.setValue("RECEITA_BRUTA", QVariant());
        state.formaBold = false;
        state.formaEnabled = false;
        request.setValue("ID_FORMA_COMERCIALIZACAO", QVariant());
        state.unidadeEnabled = false;
        request.setValue("ID_UNIDADE_AUXILIAR", QVariant());
        state.ieOrigemBold = true;
        state.ieOrigemEnabled = true;
        state.substitutoBold = true;
        state.substitutoEnabled = true;
        state.regimeEnabled = false;
        request.setValue(
            "ID_REGIME_RECOLHIMENTO", request.value("SUBSTITUTO_TRIBUTARIO").toString() == QLatin1String("S") ? 1 : 3);
        state.convenioBold = true;
        state.convenioEnabled = true;
        state.cnaefSecundarioEnabled = false;
        request.setValue("ID_CNAEF_SECUNDARIO", QVariant());
    } else {
        state.receitaBold = true;
        state.receitaEnabled = true;
        state.formaBold = true;
        state.formaEnabled = true;
        state.unidadeEnabled = true;
        request.setValue("SUBSTITUTO_TRIBUTARIO", "N");
        state.substitutoBold = false;
        state.substitutoEnabled = false;
        state.regimeEnabled = true;
        state.ieOrigemBold = false;
        state.ieOrigemEnabled = false;
        request.setValue("IE_ESTADO_ORIGEM", QVariant());
        state.convenioBold = false;
        state.convenioEnabled = false;
        request.setValue("ID_CONVENIO_PROTOCOLO", QVariant());
        state.cnaefSecundarioEnabled = true;
    }
}

void ruleT(const RecordSet& request, RequestFormState& state)
{
    state.ieOrigemPanelVisible = request.value("SUBSTITUTO_TRIBUTARIO").toString() == QLatin1String("S");
}

void ruleF(const RecordSet& request, RequestFormState& state)
{
    if (request.value("LOCALIZACAO").toInt() == 1 && blank(request.value("ID_UNIDADE_AUXILIAR")))
        state.formaBold = true;
}

void ruleP(const RecordSet& request, RequestFormState& state)
{
    state.processoBold = !blank(request.value("ID_SITUACAO_ESPESCIAL")) || !blank(request.value("PROCESSO_NUMERO"))
        || !blank(request.value("PROCESSO_DATA_INICIO")) || !blank(request.value("PROCESSO_DATA_FIM"));
}

QString ruleV(RecordSet& request, const RecordSet& linkedRegistrations, const QVariant& remembered)
{
    if (!linkedRegistrations.isEmpty() && request.value("VINCULO").toInt() == 1) {
        request.setValue("VINCULO", remembered);
        return kRuleVText;
    }
    return {};
}

QString ruleU(RecordSet& request, const RecordSet& linkedCnpjs)
{
    if (!linkedCnpjs.isEmpty() && request.value("INSCRICAO_UNICA").toString() == QLatin1String("N")) {
        request.setValue("INSCRICAO_UNICA", "S");
        return kRuleUText;
    }
    return {};
}

} // namespace jx::requestRules
