#pragma once

#include <QString>

namespace jx {

namespace data {
class RecordSet;
}

// The rules of the request form that enable, disable, embolden and clear fields as the
// user types. They work on the request record set and a plain state the window shows.
struct RequestFormState {
    bool receitaBold = true;
    bool receitaEnabled = true;
    bool formaBold = true;
    bool formaEnabled = true;
    bool unidadeEnabled = true;
    bool ieOrigemBold = false;
    bool ieOrigemEnabled = false;
    bool ieOrigemPanelVisible = false;
    bool substitutoBold = false;
    bool substitutoEnabled = false;
    bool regimeEnabled = true;
    bool convenioBold = false;
    bool convenioEnabled = false;
    bool cnaefSecundarioEnabled = true;
    bool processoBold = false;
    // Rule C
    bool partnersAndResponsiblesVisible = true;
    bool naturezaEnabled = true;
    bool nomeEmpresarialEnabled = true;
};

namespace requestRules {

// C: a branch (CATEGORIA 3) has no partner or responsible tabs and a fixed name and nature.
void ruleC(const data::RecordSet& request, RequestFormState& state);
// L: localisation "QZ" (1) or "Outra UF" (99); only while the request is being edited.
void ruleL(data::RecordSet& request, RequestFormState& state);
// T: the state-of-origin panel shows exactly when SUBSTITUTO_TRIBUTARIO is "S".
void ruleT(const data::RecordSet& request, RequestFormState& state);
// F: in QZ without a tax unit, "Formas de Comercialização" turns bold.
void ruleF(const data::RecordSet& request, RequestFormState& state);
// P: the process labels are bold while any of the four process fields is filled.
void ruleP(const data::RecordSet& request, RequestFormState& state);
// V: VINCULO back to 1 while linked registrations exist is refused (returns the message and
// restores the remembered value); empty when accepted.
QString ruleV(data::RecordSet& request, const data::RecordSet& linkedRegistrations, const QVariant& remembered);
// U: INSCRICAO_UNICA "N" while linked CNPJs exist is refused and set back to "S".
QString ruleU(data::RecordSet& request, const data::RecordSet& linkedCnpjs);

inline const QString kRuleVText = QStringLiteral("Existem IE Incorporadas/Fundidas/Cindidas cadastradas que \r\ndevem "
                                                 "ser excluídas antes deste campo ser alterado.");
inline const QString kRuleUText = QStringLiteral(
    "Existem CNPJ Vinculados a IE Única cadastrados que devem ser excluídos antes deste campo ser alterado.");

} // namespace requestRules
} // namespace jx
