#include "EnablementWindows.h"

#include "Commands.h"
#include "PendingCommands.h"
#include "TFrmCadastroEndereco.h"
#include "TFrmHabContabilista.h"
#include "TFrmbrsContabilista.h"
#include "TscrUntPesquisa.h"
#include "data/TdtmJX.h"
#include "enablements/EnablementLifecycle.h"

#include <QAction>
#include <QApplication>

namespace jx::gui {

EnablementWindows::EnablementWindows(
    Commands& commands, TdtmJX& jx, UserPrompts& prompts, PendingCommands& pending, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_pending(pending)
    , m_lifecycle(std::make_unique<EnablementLifecycle>(jx, prompts))
{
    auto on = [this](const char* name, auto slot) {
        connect(m_commands.action(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    on("actSolicitacaoContab_Abrir", [this] { openBrowser(); });
    // Only from the browser itself: an edit under way must not be replaced.
    auto fromBrowser = [](auto run) {
        return [run] {
            if (qobject_cast<TFrmbrsContabilista*>(Commands::activeWindow()))
                run();
        };
    };
    on("actSolicitacaoContab_Inc", fromBrowser([this] { newEnablement(); }));
    on("actSolicitacaoContab_Alterar", fromBrowser([this] { editEnablement(); }));
    on("actSolicitacaoContab_Excluir", fromBrowser([this] { deleteEnablement(); }));
    on("actSolicitacaoContab_Endereco", [this] { editAddress(); });
    on("actSolicitacaoContab_Pesquisar", [this] {
        if (auto* browser = qobject_cast<TFrmbrsContabilista*>(Commands::activeWindow())) {
            TscrUntPesquisa search(m_jx, browser->grid(), *m_jx.cdsSolicitacao_Contab,
                QStringLiteral("SOLICITACAO_CONTAB"), QStringLiteral("ID_SOLICITACAO_CONTABILISTA"), browser);
            search.exec();
        }
    });
    m_commands.setUpdateRule(
        "actSolicitacaoContab_Pesquisar", [this] { return !m_jx.cdsSolicitacao_Contab->isEmpty(); });
    on("actSolicitacaoContab_Salvar", [] {
        if (auto* form = qobject_cast<TFrmHabContabilista*>(Commands::activeWindow()))
            form->save();
    });
    on("actSolicitacaoContab_Cancelar", [] {
        if (auto* form = qobject_cast<TFrmHabContabilista*>(Commands::activeWindow()))
            form->done(QDialog::Rejected);
    });

    auto formOpen = [] { return qobject_cast<TFrmHabContabilista*>(Commands::activeWindow()) != nullptr; };
    // Not while the form or a list stands over the browser: an edit must not be replaced.
    auto browsing = [this] {
        return m_browserOpen && qobject_cast<TFrmbrsContabilista*>(Commands::activeWindow()) != nullptr;
    };
    m_commands.setUpdateRule("actSolicitacaoContab_Abrir", [] { return true; });
    m_commands.setUpdateRule("actSolicitacaoContab_Inc", browsing);
    for (const char* name : { "actSolicitacaoContab_Alterar", "actSolicitacaoContab_Excluir" })
        m_commands.setUpdateRule(QLatin1String(name),
            [this, browsing] { return browsing() && !m_jx.cdsSolicitacao_Contab->isEmpty(); });
    for (const char* name : { "actSolicitacaoContab_Salvar", "actSolicitacaoContab_Cancelar", "actSolicitacaoContab_Endereco" })
        m_commands.setUpdateRule(QLatin1String(name), formOpen);
    m_commands.runUpdateRules();
}

EnablementWindows::~EnablementWindows() = default;

void EnablementWindows::openBrowser()
{
    m_jx.TipoAtual = 0;
    // The list opens without the sort chosen last time.
    data::RecordSet& enablements = *m_jx.cdsSolicitacao_Contab;
    enablements.clearSort();
    if (!enablements.isOpen())
        m_jx.openSet(enablements);
    TFrmbrsContabilista browser(m_commands, m_jx, TFrmBrowser::Mode::Maintenance, QApplication::activeWindow());
    m_browserOpen = true;
    m_commands.runUpdateRules();
    browser.exec();
    m_browserOpen = false;
}

void EnablementWindows::openForm()
{
    // The edit's transaction is open: if the form cannot even be shown, end it here rather
    // than leave it for the next command to commit.
    std::unique_ptr<TFrmHabContabilista> form;
    try {
        form = std::make_unique<TFrmHabContabilista>(m_commands, m_jx, *m_lifecycle, m_prompts, QApplication::activeWindow());
        form->showPendingList = [this, window = form.get()] { m_pending.showList(0, window); };
    } catch (...) {
        m_lifecycle->abandon();
        throw;
    }
    m_commands.runUpdateRules();
    form->exec();
}

void EnablementWindows::newEnablement()
{
    if (m_lifecycle->beginNew())
        openForm();
}

void EnablementWindows::editEnablement()
{
    if (m_jx.cdsSolicitacao_Contab->isEmpty())
        return;
    m_lifecycle->beginEdit();
    openForm();
}

void EnablementWindows::deleteEnablement()
{
    m_lifecycle->deleteCurrent();
}

void EnablementWindows::editAddress()
{
    runAddressForm(m_commands, m_jx, m_prompts, m_lifecycle->addresses(),
        m_jx.cdsSolicitacao_Contab->value("ID_ENDERECO"), *m_jx.cdsSolicitacao_Contab_End);
}

} // namespace jx::gui
