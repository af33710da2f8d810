// Each window gives every shortcut one owner: when two live actions or buttons of one window
// claim the same key, Qt runs neither ("Ambiguous shortcut overload") and the key is dead.

#include "Commands.h"
#include "RequestWindows.h"
#include "Startup.h"
#include "TFrmCadastroEndereco.h"
#include "TFrmCadastroPessoas.h"
#include "TFrmConsCNAEF.h"
#include "TFrmEstabVinc.h"
#include "TFrmHabContabilista.h"
#include "TFrmNovaIE.h"
#include "TFrmPergunta.h"
#include "TFrmPrincipal.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmVerificarPendencias.h"
#include "TFrmbrsContabilista.h"
#include "TFrmbrsIE.h"
#include "TscrUntEscolheTipoRecibo.h"
#include "TscrUntPesquisa.h"
#include "data/TdtmJX.h"
#include "enablements/EnablementLifecycle.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/LinkedEstablishments.h"
#include "requests/Persons.h"
#include "requests/RequestLifecycle.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "../support/GuiHelpers.h"
#include "../support/InsertRow.h"
#include "../support/TestShell.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;

namespace {

// The keys claimed more than once in the window, each with its claimants: enabled actions of
// the window, of its visible controls and of its menus, and buttons with a key of their own.
QStringList ambiguousShortcuts(QWidget* window)
{
    QHash<QString, QStringList> owners;
    QSet<QAction*> seen;
    auto claim = [&owners](const QKeySequence& key, const QString& who) {
        if (!key.isEmpty())
            owners[key.toString()] << who;
    };
    auto consider = [&](QAction* action) {
        if (seen.contains(action) || !action->isEnabled() || !action->isVisible())
            return;
        seen.insert(action);
        for (const QKeySequence& key : action->shortcuts())
            claim(key, action->objectName());
    };
    for (QAction* action : window->actions())
        consider(action);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            for (QAction* action : menu->actions())
                consider(action);
            continue;
        }
        if (w->window() != window || !w->isVisibleTo(window))
            continue;
        for (QAction* action : w->actions())
            consider(action);
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (!button || !button->isEnabled())
            continue;
        auto* tool = qobject_cast<QToolButton*>(button);
        if (!(tool && tool->defaultAction() && tool->defaultAction()->shortcut() == button->shortcut()))
            claim(button->shortcut(), button->objectName());
    }
    QStringList out;
    for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        if (it->size() > 1)
            out << it.key() + QStringLiteral(": ") + it->join(QStringLiteral(", "));
    }
    out.sort();
    return out;
}

struct Shell : TestShell {
    Shell() { start(); }

    // With the commands' states as they are while the window is the active one.
    void expectNoClash(QWidget* window)
    {
        commands().runUpdateRules();
        const QStringList clashes = ambiguousShortcuts(window);
        EXPECT_TRUE(clashes.isEmpty()) << window->objectName().toStdString() << ": "
                                       << clashes.join(QStringLiteral("; ")).toStdString();
    }
    // A window made by the test, shown as the active one and hidden again.
    void expectOneOwnerEach(QWidget* window)
    {
        window->show();
        QApplication::setActiveWindow(window);
        (void)QTest::qWaitForWindowActive(window);
        expectNoClash(window);
        window->hide();
    }
    // A window the command opens, checked while it runs.
    template <typename W> void expectOneOwnerEachIn(const char* command)
    {
        bool seen = false;
        whenModal<W>([&](W* window) {
            seen = true;
            expectNoClash(window);
        });
        commands().action(QLatin1String(command))->trigger();
        EXPECT_TRUE(seen) << command;
    }
};

} // namespace

// The check itself: two live claims of one key are found, a disabled or hidden one is not.
TEST(Shortcuts, TwoLiveClaimsOfOneKeyAreFound)
{
    QWidget window;
    auto* first = new QAction(QStringLiteral("a"), &window);
    first->setObjectName(QStringLiteral("first"));
    first->setShortcut(Qt::Key_Escape);
    window.addAction(first);
    auto* button = new QToolButton(&window);
    auto* second = new QAction(QStringLiteral("b"), button);
    second->setObjectName(QStringLiteral("second"));
    second->setShortcut(Qt::Key_Escape);
    button->setDefaultAction(second);
    window.show();
    EXPECT_EQ(ambiguousShortcuts(&window), QStringList({ "Esc: first, second" }));
    second->setEnabled(false);
    EXPECT_TRUE(ambiguousShortcuts(&window).isEmpty());
    second->setEnabled(true);
    button->hide();
    EXPECT_TRUE(ambiguousShortcuts(&window).isEmpty());
}

TEST(Shortcuts, EveryRequestWindowGivesEachKeyOneOwner)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
    RequestLifecycle& life = shell.windows().lifecycle();
    for (const QString cnpj : { "11222333000181", "33344455000183", "44455566000183" }) {
        life.confirmNewRequest(
            cnpj, "", [] { return RequestLifecycle::ExistingAnswer::Edit; }, check);
        RecordSet& a = *jx.cdsSolicIEEndEstab;
        a.setValue("CEP", "70000123");
        a.setValue("ID_UF", 10);
        a.setValue("LOCALIDADE", "CIDADE");
        a.setValue("TIPO_LOGRADOURO", 1);
        a.setValue("LOGRADOURO", "RUA");
        ASSERT_TRUE(life.save({ "", "", "" }).saved);
    }
    QWidget* main = shell.startup->mainWindow();
    QApplication::setActiveWindow(main);
    shell.expectNoClash(main);
    shell.expectOneOwnerEachIn<TFrmbrsIE>("actAbrirSolicitacaoInscricaoEstadual");
    shell.expectOneOwnerEachIn<TFrmbrsIE>("actSolicitacaoIE_Selecao");
    {
        TFrmbrsIE browser(shell.commands(), jx, TFrmBrowser::Mode::Maintenance);
        TscrUntPesquisa search(jx, browser.grid(), *jx.cdsSolicitacaoIE, QStringLiteral("SOLICITACAO_IE"),
            QStringLiteral("ID_SOLICITACAO"));
        shell.expectOneOwnerEach(&search);
    }
    {
        TFrmNovaIE dialog(shell.commands());
        shell.expectOneOwnerEach(&dialog);
        TFrmPergunta question(shell.commands());
        shell.expectOneOwnerEach(&question);
    }

    ASSERT_TRUE(jx.cdsSolicitacaoIE->locate("CNPJ", "33344455000183"));
    life.beginEdit();
    TFrmSolicitacaoIE form(shell.commands(), jx, life, shell.prompts);
    shell.expectOneOwnerEach(&form);
    Persons& persons = shell.windows().persons();
    persons.beginAdd(Persons::Kind::Partner);
    {
        TFrmCadastroSocios partner(shell.commands(), jx, persons, shell.prompts);
        shell.expectOneOwnerEach(&partner);
    }
    persons.discard(Persons::Kind::Partner);
    persons.beginAdd(Persons::Kind::Responsible);
    {
        TFrmCadastroResponsaveis responsible(shell.commands(), jx, persons, shell.prompts);
        shell.expectOneOwnerEach(&responsible);
    }
    persons.discard(Persons::Kind::Responsible);
    {
        life.addresses().CarregarEndereco(
            jx.cdsSolicitacaoIE->value("ID_ENDERECO_ESTABELECIMENTO"), *jx.cdsSolicIEEndEstab);
        TFrmCadastroEndereco address(shell.commands(), jx, shell.prompts);
        shell.expectOneOwnerEach(&address);
    }
    LinkedEstablishments& linked = shell.windows().linked();
    {
        TFrmIEEstabVinc registrations(shell.commands(), linked);
        shell.expectOneOwnerEach(&registrations);
        TFrmCNPJEstabVinc cnpjs(shell.commands(), linked);
        shell.expectOneOwnerEach(&cnpjs);
    }
    linked.beginAddIe();
    {
        TFrmNovaIESolicEstabVinc entry(shell.commands(), linked, shell.prompts);
        shell.expectOneOwnerEach(&entry);
    }
    linked.discardPending();
    linked.beginAddCnpj();
    {
        TFrmNovaCNPJEstabVinc entry(shell.commands(), linked, shell.prompts);
        shell.expectOneOwnerEach(&entry);
    }
    linked.discardPending();
    {
        TFrmConsCNAEF tree(shell.commands(), jx, shell.prompts);
        shell.expectOneOwnerEach(&tree);
        TFrmVerificarPendencias pending(shell.commands(), jx, true);
        shell.expectOneOwnerEach(&pending);
        TscrUntEscolheTipoRecibo receipts(shell.commands(), jx);
        shell.expectOneOwnerEach(&receipts);
    }
    life.abandon();
}

TEST(Shortcuts, EveryEnablementWindowGivesEachKeyOneOwner)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    EnablementLifecycle& life = shell.enablements().lifecycle();
    ASSERT_TRUE(life.beginNew());
    {
        TFrmHabContabilista form(shell.commands(), jx, life, shell.prompts);
        shell.expectOneOwnerEach(&form);
        life.addresses().CarregarEndereco(
            jx.cdsSolicitacao_Contab->value("ID_ENDERECO"), *jx.cdsSolicitacao_Contab_End);
        TFrmCadastroEndereco address(shell.commands(), jx, shell.prompts);
        shell.expectOneOwnerEach(&address);
        TFrmVerificarPendencias pending(shell.commands(), jx, false);
        shell.expectOneOwnerEach(&pending);
    }
    life.abandon();
    insertRow(jx.database().connection(), "SOLICITACAO_CONTAB",
        { { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "52998224725" }, { "STATUS", "C" } });
    jx.openSet(*jx.cdsSolicitacao_Contab);
    shell.expectOneOwnerEachIn<TFrmbrsContabilista>("actSolicitacaoContab_Abrir");
    shell.expectOneOwnerEachIn<TFrmbrsContabilista>("actSolicitacaoContab_Selecao");
}
