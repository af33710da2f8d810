#include "TFrmbrsIE.h"

#include "data/TdtmJX.h"
#include "search/Search.h"

namespace jx::gui {

TFrmbrsIE::TFrmbrsIE(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent)
    : TFrmBrowser(commands, jx, *jx.cdsSolicitacaoIE, mode,
        { "TFrmbrsIE", QStringLiteral("Solicitação de Inscrição Estadual"), 30, 16, "dbgSolicIE", "cbbOrdSolicIE",
            browser::requestColumns(),
            { 150, 360 }, "actSolicitacaoIEPesquisa", "actSolicitacaoIENova", "actSolicitacaoIE_Editar",
            "actSolicitacaoIEExcluir", "actSolicitacaoIE_Impressao", true },
        parent)
{
}

} // namespace jx::gui
