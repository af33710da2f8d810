#include "RequestWindows.h"

#include "Commands.h"
#include "TFrmCadastroEndereco.h"
#include "TFrmCadastroPessoas.h"
#include "TFrmConsCNAEF.h"
#include "TFrmEstabVinc.h"
#include "PendingCommands.h"
#include "TFrmNovaIE.h"
#include "TFrmPergunta.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmbrsIE.h"
#include "TscrUntPesquisa.h"
#include "data/TdtmJX.h"
#include "platform/StateRegistrationCheck.h"
#include "Error.h"
#include "platform/UserPrompts.h"
#include "requests/LinkedEstablishments.h"
#include "requests/RequestLifecycle.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

namespace jx::gui {

using data::RecordSet;

RequestWindows::RequestWindows(
    Commands& commands, TdtmJX& jx, UserPrompts& prompts, PendingCommands& pending, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
    , m_pending(pending)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_lifecycle(std::make_unique<RequestLifecycle>(jx, prompts))
    , m_persons(std::make_unique<Persons>(jx, prompts, m_lifecycle->addresses()))
    , m_linked(std::make_unique<LinkedEstablishments>(jx, prompts))
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
    using Kind = Persons::Kind;
    on("actSolicitacao_IE_SocioIncluir", [this] { addPerson(Kind::Partner); });
    on("actSolicitacao_IE_SocioAlterar", [this] { changePerson(Kind::Partner); });
    on("actSolicitacao_IE_SocioExcluir", [this] { deletePerson(Kind::Partner); });
    on("actSolicitacao_IE_SocioEndereco", [this] { editPersonAddress(Kind::Partner); });
    on("actSolicitacao_IE_RespIncluir", [this] { addPerson(Kind::Responsible); });
    on("actSolicitacao_IE_RespAlterar", [this] { changePerson(Kind::Responsible); });
    on("actSolicitacao_IE_RespExcluir", [this] { deletePerson(Kind::Responsible); });
    on("actSolicitacao_IE_RespEndereco", [this] { editPersonAddress(Kind::Responsible); });
    on("actIEEstabVinc", [this] { openLinkedList(true); });
    on("actNovaIEEstabVinc", [this] { addLinked(true); });
    on("actExcluirIEEstabVinc", [this] { deleteLinked(true); });
    on("actCNPJEstabVinc", [this] { openLinkedList(false); });
    on("actNovaCNPJEstabVinc", [this] { addLinked(false); });
    on("actExcluirCNPJEstaVinc", [this] { deleteLinked(false); });
    on("actCNAEFPrincipal", [this] { chooseCnaef(true); });
    on("actSolicitacaoIEPesquisa", [this] {
        if (auto* browser = qobject_cast<TFrmbrsIE*>(Commands::activeWindow())) {
            TscrUntPesquisa search(m_jx, browser->grid(), *m_jx.cdsSolicitacaoIE, QStringLiteral("SOLICITACAO_IE"),
                QStringLiteral("ID_SOLICITACAO"), browser);
            search.exec();
        }
    });
    on("actCNAEFSecundario", [this] { chooseCnaef(false); });
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
    m_commands.setUpdateRule("actSolicitacaoIEPesquisa", [this] { return !m_jx.cdsSolicitacaoIE->isEmpty(); });
    m_commands.setUpdateRule("actSolicitacaoIE_Editar", hasRequests);
    m_commands.setUpdateRule("actSolicitacaoIEExcluir", hasRequests);
    m_commands.setUpdateRule("actSolicitacaoIE_Salvar", formOpen);
    m_commands.setUpdateRule("actSolicitacaoIEInclusaoConfirmar",
        [] { return qobject_cast<TFrmNovaIE*>(Commands::activeWindow()) != nullptr; });
    m_commands.setUpdateRule("actSolicitacaoIEInclusaoEndEstab", formOpen);
    m_commands.setUpdateRule("actSolicitacaoIEInclusaoEndCorresp", formOpen);
    m_commands.setUpdateRule("actLimparEndCorrespondencia",
        [this, formOpen] { return formOpen() && m_lifecycle->addresses().canClearCorrespondence(); });
    auto active = [](const char* className) {
        return [className] {
            QWidget* w = Commands::activeWindow();
            return w && w->objectName() == QLatin1String(className);
        };
    };
    for (const auto& [prefix, set] : { std::pair { "actSolicitacao_IE_Socio", m_jx.cdsSolicitacao_IE_Socio },
             std::pair { "actSolicitacao_IE_Resp", m_jx.cdsSolicitacao_IE_Responsavel } }) {
        RecordSet* people = set;
        m_commands.setUpdateRule(QLatin1String(prefix) + QStringLiteral("Incluir"), formOpen);
        for (const char* verb : { "Alterar", "Excluir" })
            m_commands.setUpdateRule(QLatin1String(prefix) + QLatin1String(verb),
                [formOpen, people] { return formOpen() && people->isOpen() && !people->isEmpty(); });
    }
    m_commands.setUpdateRule("actSolicitacao_IE_SocioEndereco", active("TFrmCadastroSocios"));
    m_commands.setUpdateRule("actSolicitacao_IE_RespEndereco", active("TFrmCadastroResponsaveis"));
    m_commands.setUpdateRule("actIEEstabVinc", [this, formOpen] { return formOpen() && m_linked->ieListEnabled(); });
    m_commands.setUpdateRule(
        "actCNPJEstabVinc", [this, formOpen] { return formOpen() && m_linked->cnpjListEnabled(); });
    m_commands.setUpdateRule("actNovaIEEstabVinc", active("TFrmIEEstabVinc"));
    m_commands.setUpdateRule("actNovaCNPJEstabVinc", active("TFrmCNPJEstabVinc"));
    m_commands.setUpdateRule("actExcluirIEEstabVinc",
        [this, list = active("TFrmIEEstabVinc")] { return list() && !m_linked->registrations().isEmpty(); });
    m_commands.setUpdateRule("actExcluirCNPJEstaVinc",
        [this, list = active("TFrmCNPJEstabVinc")] { return list() && !m_linked->cnpjs().isEmpty(); });
    m_commands.setUpdateRule("actCNAEFPrincipal", formOpen);
    m_commands.setUpdateRule("actCNAEFSecundario", [formOpen] {
        auto* form = qobject_cast<TFrmSolicitacaoIE*>(Commands::activeWindow());
        return formOpen() && form->state().cnaefSecundarioEnabled;
    });
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
        form->showPendingList = [this, window = form.get()] { m_pending.showList(1, window); };
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
            dialog.typedCnpj(), dialog.matrizDigits(),
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
    runAddressForm(
        m_jx.cdsSolicitacaoIE->value(establishment ? "ID_ENDERECO_ESTABELECIMENTO" : "ID_ENDERECO_CORRESPONDECIA"),
        target);
}

void RequestWindows::runAddressForm(const QVariant& link, data::RecordSet& target)
{
    gui::runAddressForm(m_commands, m_jx, m_prompts, m_lifecycle->addresses(), link, target);
}

void RequestWindows::editPersonAddress(Persons::Kind kind)
{
    runAddressForm(m_persons->people(kind).value("ID_ENDERECO"), m_persons->address(kind));
}

void RequestWindows::openPersonForm(Persons::Kind kind)
{
    // The form stores or discards on closing; whatever stops it half-way discards here.
    try {
        std::unique_ptr<TFrmCadastroPessoa> form;
        if (kind == Persons::Kind::Partner)
            form = std::make_unique<TFrmCadastroSocios>(m_commands, m_jx, *m_persons, m_prompts, QApplication::activeWindow());
        else
            form = std::make_unique<TFrmCadastroResponsaveis>(
                m_commands, m_jx, *m_persons, m_prompts, QApplication::activeWindow());
        m_commands.runUpdateRules();
        form->exec();
    } catch (const Error& e) {
        m_persons->discard(kind);
        if (kind == Persons::Kind::Responsible) {
            m_prompts.message(e.userText()); // an exception while adding is shown as a plain message
            return;
        }
        throw;
    } catch (...) {
        m_persons->discard(kind); // never leave a half-made person for the next store
        throw;
    }
    if (m_persons->people(kind).state() != data::RecordSet::State::Browse)
        m_persons->discard(kind);
}

void RequestWindows::addPerson(Persons::Kind kind)
{
    m_persons->beginAdd(kind);
    openPersonForm(kind);
}

void RequestWindows::changePerson(Persons::Kind kind)
{
    if (m_persons->people(kind).isEmpty())
        return;
    m_persons->beginChange(kind);
    openPersonForm(kind);
}

void RequestWindows::deletePerson(Persons::Kind kind)
{
    m_persons->remove(kind);
}

void RequestWindows::openLinkedList(bool ie)
{
    std::unique_ptr<LinkedListWindow> list;
    if (ie)
        list = std::make_unique<TFrmIEEstabVinc>(m_commands, *m_linked, QApplication::activeWindow());
    else
        list = std::make_unique<TFrmCNPJEstabVinc>(m_commands, *m_linked, QApplication::activeWindow());
    m_commands.runUpdateRules();
    list->exec();
}

void RequestWindows::addLinked(bool ie)
{
    std::unique_ptr<LinkedEntryDialog> dialog;
    StateRegistrationCheck check;
    if (ie) {
        m_linked->beginAddIe();
        dialog = std::make_unique<TFrmNovaIESolicEstabVinc>(m_commands, *m_linked, m_prompts, QApplication::activeWindow());
        dialog->confirm = [this, &check](const QString& digits) { return m_linked->addIe(digits, check); };
    } else {
        m_linked->beginAddCnpj();
        dialog = std::make_unique<TFrmNovaCNPJEstabVinc>(m_commands, *m_linked, m_prompts, QApplication::activeWindow());
        dialog->confirm = [this](const QString& digits) { return m_linked->addCnpj(digits); };
    }
    try {
        dialog->exec();
    } catch (...) {
        m_linked->discardPending();
        throw;
    }
    m_linked->discardPending(); // nothing is left pending whatever the way out
}

void RequestWindows::deleteLinked(bool ie)
{
    ie ? m_linked->removeIe() : m_linked->removeCnpj();
}

void RequestWindows::verifyRequest()
{
    if (auto* form = qobject_cast<TFrmSolicitacaoIE*>(Commands::activeWindow()))
        m_pending.verify(*form);
}

void RequestWindows::chooseCnaef(bool principal)
{
    auto* form = qobject_cast<TFrmSolicitacaoIE*>(Commands::activeWindow());
    if (!form)
        return;
    TFrmConsCNAEF dialog(m_commands, m_jx, m_prompts, form);
    if (dialog.exec() == QDialog::Accepted)
        form->chooseCnaef(principal, dialog.chosenCode());
}

} // namespace jx::gui
