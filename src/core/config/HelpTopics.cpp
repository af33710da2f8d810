#include "config/HelpTopics.h"

namespace jx::help {

const std::vector<Topic>& topics()
{
    static const std::vector<Topic> table {
        { "TFrmPrincipal", "", 7 },
        { "TFrmHabContabilista", "", 1 },
        { "TFrmCadastroResponsaveis", "", 2 },
        { "TFrmCadastroSocios", "", 3 },
        { "TFrmCNPJEstabVinc", "", 5 },
        { "TscruntBackup", "backup", 8 },
        { "TscruntBackup", "restauracao", 28 },
        { "TFrmSolicitacaoIE", "", 9 },
        { "TFrmSolicitacaoIE", "Dados Iniciais", 9 },
        { "TFrmSolicitacaoIE", "Outros", 22 },
        { "TFrmSolicitacaoIE", "Identificação", 22 },
        { "TFrmSolicitacaoIE", "Qualificação", 23 },
        { "TFrmSolicitacaoIE", "Endereço/Comunicação", 21 },
        { "TFrmSolicitacaoIE", "Sócios", 25 },
        { "TFrmSolicitacaoIE", "Responsáveis", 24 },
        { "TFrmSolicitacaoIE", "Contabilistas", 39 },
        { "TFrmCadastroEndereco", "", 10 },
        { "TscrUntCaptura", "protocolo", 10 },
        { "TscrUntCaptura", "recibo", 37 },
        { "TscruntEntrega", "disquete", 12 },
        { "TscruntEntrega", "transmissor", 31 },
        { "TFrmbrsContabilista", "selecao", 15 },
        { "TFrmbrsContabilista", "manutencao", 13 },
        { "TFrmIEEstabVinc", "", 14 },
        { "TFrmbrsIE", "selecao", 16 },
        { "TFrmbrsIE", "manutencao", 30 },
        { "TFrmNovaIE", "", 20 },
        { "TFrmVerificarPendencias", "solicitacao", 26 },
        { "TFrmVerificarPendencias", "habilitacao", 27 },
        { "TscrUntEscolheTipoRecibo", "", 36 },
        { "TFrmConsCNAEF", "", 38 },
        { "TscrUntPesquisa", "", 0 },
        { "TscrUntCheckDisquete", "", 0 },
    };
    return table;
}

int topicFor(const QString& window, const QString& mode)
{
    for (const Topic& topic : topics()) {
        if (window == QLatin1String(topic.window) && mode == QString::fromUtf8(topic.mode))
            return topic.number;
    }
    return 0;
}

} // namespace jx::help
