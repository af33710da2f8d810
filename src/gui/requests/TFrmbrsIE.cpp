#include "TFrmbrsIE.h"

#include "data/TdtmJX.h"

namespace jx::gui {

TFrmbrsIE::TFrmbrsIE(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent)
    : TFrmBrowser(commands, jx, *jx.cdsSolicitacaoIE, mode,
        { "TFrmbrsIE", QStringLiteral("Solicitação de Inscrição Estadual"), 30, 16, "dbgSolicIE", "cbbOrdSolicIE",
            { { "DESC_CNPJ", QStringLiteral("CNPJ") }, { "NOME_EMPRESARIAL", QStringLiteral("Nome Empresarial") },
                { "STATUS", QStringLiteral("Status") } },
            { 150, 360 }, "actSolicitacaoIEPesquisa", "actSolicitacaoIENova", "actSolicitacaoIE_Editar",
            "actSolicitacaoIEExcluir", "actSolicitacaoIE_Impressao", true },
        parent)
{
}

} // namespace jx::gui
