#include "ReportWindows.h"

#include "Commands.h"
#include "TFrmVerificarPendencias.h"
#include "TFrmbrsContabilista.h"
#include "TFrmbrsIE.h"
#include "TscrRptPreview.h"
#include "TscrUntEscolheTipoRecibo.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"
#include "reports/FilingPrintouts.h"
#include "reports/PendingReport.h"

#include <QAction>
#include <QApplication>

namespace jx::gui {

ReportWindows::ReportWindows(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
{
    auto on = [this](const char* name, auto slot) {
        connect(m_commands.action(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    auto activeList = [] { return qobject_cast<TFrmVerificarPendencias*>(Commands::activeWindow()); };
    on("actPendenciasImprimir", [this, activeList] {
        if (TFrmVerificarPendencias* list = activeList())
            printPending(list->filingKind(), list->errors(), list->warnings(), list);
    });
    m_commands.setUpdateRule(QStringLiteral("actPendenciasImprimir"), [activeList] { return activeList() != nullptr; });

    on("actImprimirReciboComputador", [this] { openReceiptChooser(); });
    m_commands.setUpdateRule(QStringLiteral("actImprimirReciboComputador"), [] { return true; });
    on("actImprimiRecibo", [this] {
        if (auto* chooser = qobject_cast<TscrUntEscolheTipoRecibo*>(Commands::activeWindow()))
            printCurrentReceipt(chooser);
    });
    m_commands.setUpdateRule(QStringLiteral("actImprimiRecibo"), [this] {
        return qobject_cast<TscrUntEscolheTipoRecibo*>(Commands::activeWindow()) && !m_jx.cdsEntregas->isEmpty();
    });

    on("actSolicitacaoIE_Selecao", [this] { selectForPrint(true); });
    on("actSolicitacaoContab_Selecao", [this] { selectForPrint(false); });
    for (const char* name : { "actSolicitacaoIE_Selecao", "actSolicitacaoContab_Selecao" })
        m_commands.setUpdateRule(QLatin1String(name), [] { return true; });
    // From the browser of the kind, in either of its modes (its context menu carries them).
    on("actSolicitacaoIE_Impressao", [this] {
        if (auto* browser = qobject_cast<TFrmbrsIE*>(Commands::activeWindow()))
            printFiling(true, browser);
    });
    on("actSolicitacaoContab_Impressao", [this] {
        if (auto* browser = qobject_cast<TFrmbrsContabilista*>(Commands::activeWindow()))
            printFiling(false, browser);
    });
    m_commands.setUpdateRule(QStringLiteral("actSolicitacaoIE_Impressao"), [this] {
        return qobject_cast<TFrmbrsIE*>(Commands::activeWindow()) && !m_jx.cdsSolicitacaoIE->isEmpty();
    });
    m_commands.setUpdateRule(QStringLiteral("actSolicitacaoContab_Impressao"), [this] {
        return qobject_cast<TFrmbrsContabilista*>(Commands::activeWindow()) && !m_jx.cdsSolicitacao_Contab->isEmpty();
    });
    m_commands.runUpdateRules();
}

void ReportWindows::printPending(int kind, int errors, int warnings, QWidget* parent)
{
    const report::Report list = report::PendingReport::build(m_jx, kind, errors, warnings, report::PrintContext::of(m_jx));
    previewReports({ list }, list.name, QStringLiteral("Relação de Pendências"), m_prompts, parent);
}

void ReportWindows::printCurrentReceipt(QWidget* parent)
{
    if (m_jx.cdsEntregas->isEmpty())
        return;
    previewReceipt(m_jx, m_prompts, m_jx.TipoAtual != 0, report::ReceiptReport::currentDelivery(*m_jx.cdsEntregas), parent);
}

void ReportWindows::openReceiptChooser()
{
    TscrUntEscolheTipoRecibo chooser(m_commands, m_jx, QApplication::activeWindow());
    m_commands.runUpdateRules();
    chooser.exec();
    m_commands.runUpdateRules();
}

void ReportWindows::selectForPrint(bool request)
{
    data::RecordSet& filings = request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    if (!filings.isOpen())
        m_jx.openSet(filings);
    if (filings.isEmpty()) {
        m_prompts.information(request ? kNoRequests : kNoEnablements);
        return;
    }
    m_jx.TipoAtual = request ? 1 : 0;
    QWidget* parent = QApplication::activeWindow();
    std::unique_ptr<TFrmBrowser> browser;
    if (request)
        browser = std::make_unique<TFrmbrsIE>(m_commands, m_jx, TFrmBrowser::Mode::PrintSelection, parent);
    else
        browser = std::make_unique<TFrmbrsContabilista>(m_commands, m_jx, TFrmBrowser::Mode::PrintSelection, parent);
    m_commands.runUpdateRules();
    browser->exec();
    m_commands.runUpdateRules();
}

void ReportWindows::printFiling(bool request, QWidget* parent)
{
    data::RecordSet& filings = request ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    if (filings.isEmpty())
        return;
    const report::PrintContext context = report::PrintContext::of(m_jx);
    if (request) {
        previewReports(report::FilingPrintouts::request(m_jx, context), QStringLiteral("TscrRptSolicitacao"),
            report::FilingPrintouts::kRequestTitle, m_prompts, parent);
    } else {
        previewReports({ report::FilingPrintouts::enablement(m_jx, context) }, QStringLiteral("TscrRptHabilitacao"),
            report::FilingPrintouts::kEnablementTitle, m_prompts, parent);
    }
}

} // namespace jx::gui
