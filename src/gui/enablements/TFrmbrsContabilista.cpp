#include "TFrmbrsContabilista.h"

#include "data/TdtmJX.h"
#include "search/Search.h"

namespace jx::gui {

TFrmbrsContabilista::TFrmbrsContabilista(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent)
    : TFrmBrowser(commands, jx, *jx.cdsSolicitacao_Contab, mode,
        { "TFrmbrsContabilista", QStringLiteral("Habilitação de Contabilista/Empresa Contábil"), 13, 15,
            "dbgHabContabilista", "cbbOrdHabContabilista",
            browser::enablementColumns(),
            { 160, 70, 90, 120 }, "actSolicitacaoContab_Pesquisar", "actSolicitacaoContab_Inc",
            "actSolicitacaoContab_Alterar", "actSolicitacaoContab_Excluir", "actSolicitacaoContab_Impressao", false },
        parent)
{
}

} // namespace jx::gui
