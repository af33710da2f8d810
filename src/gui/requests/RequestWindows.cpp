#include "RequestWindows.h"

#include "Commands.h"
#include "TFrmCadastroEndereco.h"
#include "TFrmNovaIE.h"
#include "TFrmPergunta.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmbrsIE.h"
#include "data/TdtmJX.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/RequestLifecycle.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

namespace jx::gui {

RequestWindows::RequestWindows(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_lifecycle(std::make_unique<RequestLifecycle>(jx, prompts))
{
    auto on = [this](const char* name, auto slot) {
        QAction* action = m_commands.action(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    on("actAbrirSolicitacaoInscricaoEstadual", [this] { openBrowser(); });
    on("actSolicitacaoIENova", [this] { newRequest(); });
    on("actSolicitacaoIE_Editar", [this] { editRequest(); });
    on("actSolicitacaoIEExcluir", [this] { deleteRequest(); });
    on("actSolicitacaoIEInclusaoEndEstab", [this] { editAddress(true); });
    on("actSolicitacaoIEInclusaoEndCorresp", [this] { editAddress(false); });
    on("actLimparEndCorrespondencia", [this] { m_lifecycle->addresses().LimparEndCorrespondencia(); });
    on("actSolicitacaoIE_Salvar", [] {
        if (auto* form = qobject_cast<TFrmSolicitacaoIE*>(Commands::activeWindow()))
            form->save();
    });
    on("actSolicitacaoIEInclusaoConfirmar", [] {
        if (auto* dialog = qobject_cast<TFrmNovaIE*>(Commands::activeWindow()))
            if (dialog->confirm && dialog->confirm())
                dialog->accept();
    });

    auto formOpen = [] { return qobject_cast<TFrmSolicitacaoIE*>(Commands::activeWindow()) != nullptr; };
    auto hasRequests = [this] { return m_browserOpen && !m_jx.cdsSolicitacaoIE->isEmpty(); };
    m_commands.setUpdateRule("actAbrirSolicitacaoInscricaoEstadual", [] { return true; });
    m_commands.setUpdateRule("actSolicitacaoIENova", [this] { return m_browserOpen; });
    m_commands.setUpdateRule("actSolicitacaoIE_Editar", hasRequests);
    m_commands.setUpdateRule("actSolicitacaoIEExcluir", hasRequests);
    m_commands.setUpdateRule("actSolicitacaoIE_Salvar", formOpen);
    m_commands.setUpdateRule("actSolicitacaoIEInclusaoConfirmar",
        [] { return qobject_cast<TFrmNovaIE*>(Commands::activeWindow()) != nullptr; });
    m_commands.setUpdateRule("actSolicitacaoIEInclusaoEndEstab", formOpen);
    m_commands.setUpdateRule("actSolicitacaoIEInclusaoEndCorresp", formOpen);
    m_commands.setUpdateRule("actLimparEndCorrespondencia",
        [this, formOpen] { return formOpen() && m_lifecycle->addresses().canClearCorrespondence(); });
    m_commands.runUpdateRules();
}

RequestWindows::~RequestWindows() = default;

void RequestWindows::openBrowser()
{
    m_jx.TipoAtual = 1;
    TFrmbrsIE browser(m_commands, m_jx, TFrmbrsIE::Mode::Maintenance, QApplication::activeWindow());
    m_browserOpen = true;
    m_commands.runUpdateRules();
    browser.exec();
    m_browserOpen = false;
}

void RequestWindows::openForm()
{
    // The operation's transaction is open: if the form cannot even be shown, end it here
    // rather than leave it for the next command to commit.
    std::unique_ptr<TFrmSolicitacaoIE> form;
    try {
        form = std::make_unique<TFrmSolicitacaoIE>(m_commands, m_jx, *m_lifecycle, m_prompts, QApplication::activeWindow());
    } catch (...) {
        m_lifecycle->abandon();
        throw;
    }
    m_commands.runUpdateRules();
    form->exec();
}

void RequestWindows::newRequest()
{
    TFrmNovaIE dialog(m_commands, QApplication::activeWindow());
    StateRegistrationCheck check;
    dialog.confirm = [this, &dialog, &check] {
        const auto result = m_lifecycle->confirmNewRequest(
            dialog.cnpjDigits(), dialog.matrizDigits(),
            [this, &dialog] {
                TFrmPergunta question(m_commands, &dialog);
                return question.exec() == TFrmPergunta::No ? RequestLifecycle::ExistingAnswer::Edit
                                                           : RequestLifecycle::ExistingAnswer::Cancel;
            },
            check);
        switch (result.outcome) {
        case RequestLifecycle::Confirmation::Outcome::Refused:
            (result.focus == RequestLifecycle::Field::MatrizIe ? dialog.matrizEdit() : dialog.cnpjEdit())->setFocus();
            return false;
        case RequestLifecycle::Confirmation::Outcome::Cancelled:
            return true;
        case RequestLifecycle::Confirmation::Outcome::Opened:
            openForm();
            return true;
        }
        return true;
    };
    dialog.exec();
}

void RequestWindows::editRequest()
{
    if (m_jx.cdsSolicitacaoIE->isEmpty())
        return;
    m_lifecycle->beginEdit();
    openForm();
}

void RequestWindows::deleteRequest()
{
    m_lifecycle->deleteCurrent();
}

void RequestWindows::editAddress(bool establishment)
{
    data::RecordSet& target = establishment ? *m_jx.cdsSolicIEEndEstab : *m_jx.cdsSolicIEEndCorresp;
    const QVariant link
        = m_jx.cdsSolicitacaoIE->value(establishment ? "ID_ENDERECO_ESTABELECIMENTO" : "ID_ENDERECO_CORRESPONDECIA");
    Addresses& addresses = m_lifecycle->addresses();
    addresses.CarregarEndereco(link, target);
    TFrmCadastroEndereco form(m_commands, m_jx, m_prompts, QApplication::activeWindow());
    if (form.exec() == QDialog::Accepted)
        addresses.DevolverEndereco(target);
    else
        addresses.discardScratch();
}

} // namespace jx::gui
