#include "RequestWindows.h"
#include "Commands.h"
#include "Startup.h"
#include "TFrmCadastroEndereco.h"
#include "TFrmNovaIE.h"
#include "TFrmPergunta.h"
#include "TFrmPrincipal.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmbrsIE.h"
#include "data/TdtmJX.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/RequestLifecycle.h"
#include <QPushButton>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "../support/GuiHelpers.h"
#include "../support/TestShell.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;

namespace {

// Started at once: these tests begin with the main window up.
struct Shell : TestShell {
    Shell() { start(); }
};

template <typename Window> Window* activeModal()
{
    return qobject_cast<Window*>(QApplication::activeModalWidget());
}

// Runs the steps once a modal window of that class is up; gives up (closing it) after 3 s.
template <typename Window> void whenShown(std::function<void()> steps)
{
    QTimer::singleShot(0, [steps] {
        const bool up = QTest::qWaitFor([] { return activeModal<Window>() != nullptr; }, 3000);
        if (up)
            steps();
        else if (QWidget* other = QApplication::activeModalWidget())
            other->close();
    });
}

void fillEstablishment(TdtmJX& jx)
{
    data::RecordSet& a = *jx.cdsSolicIEEndEstab;
    a.setValue("CEP", "70000123");
    a.setValue("ID_UF", 10);
    a.setValue("LOCALIDADE", "CIDADE");
    a.setValue("TIPO_LOGRADOURO", 1);
    a.setValue("LOGRADOURO", "DAS FLORES");
}

} // namespace

TEST(RequestWindows, CreateFillAndSaveThroughTheWindows)
{
    Shell shell;
    bool formSeen = false;
    whenShown<TFrmNovaIE>([&] {
        auto* dialog = activeModal<TFrmNovaIE>();
        ASSERT_NE(dialog, nullptr);
        dialog->cnpjEdit()->setFocus();
        QTest::keyClicks(dialog->cnpjEdit(), "11222333000181");
        QTest::keyClick(dialog->cnpjEdit(), Qt::Key_Return);
        EXPECT_EQ(dialog->focusWidget(), dialog->matrizEdit());
        whenShown<TFrmSolicitacaoIE>([&] {
            auto* form = activeModal<TFrmSolicitacaoIE>();
            ASSERT_NE(form, nullptr);
            formSeen = true;
            QApplication::setActiveWindow(form);
            (void)QTest::qWaitForWindowActive(form);
            EXPECT_EQ(form->topTabs()->tabText(0), QStringLiteral("Dados Iniciais"));
            auto* name = form->findChild<QLineEdit*>("dbNomeEmpresarial");
            name->setFocus();
            QTest::keyClicks(name, "a<b>");
            EXPECT_EQ(name->text(), QStringLiteral("A(B)"));
            QTest::keyClick(name, Qt::Key_Tab);
            auto* email = form->findChild<QLineEdit*>("dbEmail");
            email->setFocus();
            QTest::keyClicks(email, "X&Y@A.COM");
            EXPECT_EQ(email->text(), QStringLiteral("xey@a.com"));
            QTest::keyClick(email, Qt::Key_Tab);
            auto* dae = form->findChild<QLineEdit*>("dbDAE");
            dae->setFocus();
            dae->setCursorPosition(0);
            QTest::keyClicks(dae, "123");
            QTest::keyClick(dae, Qt::Key_Tab);
            fillEstablishment(shell.jx());
            EXPECT_TRUE(form->save());
        });
        QTest::keyClick(dialog->matrizEdit(), Qt::Key_Return);
    });
    shell.windows().newRequest();
    EXPECT_TRUE(formSeen);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE WHERE NOME_EMPRESARIAL = 'A(B)' AND STATUS = 'I'"), 1);
    EXPECT_EQ(shell.count("SELECT count(*) FROM COMUNICACAO WHERE EMAIL = 'xey@a.com'"), 1);
    EXPECT_EQ(shell.count("SELECT count(*) FROM ENDERECO"), 1);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE WHERE NUMERO_DAE = '000000000123'"), 1);
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

// Enter is also the confirmation's shortcut: with the command live, Enter in the CNPJ still
// only moves on, and Enter in the registration confirms once.
TEST(RequestWindows, EnterInTheCnpjMovesOnAndInTheRegistrationConfirms)
{
    Shell shell;
    TFrmNovaIE dialog(shell.commands());
    int confirmations = 0;
    dialog.confirm = [&confirmations] {
        ++confirmations;
        return false; // refused: the dialog stays
    };
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    (void)QTest::qWaitForWindowActive(&dialog);
    shell.commands().runUpdateRules();
    ASSERT_TRUE(shell.commands().action("actSolicitacaoIEInclusaoConfirmar")->isEnabled());
    dialog.cnpjEdit()->setFocus();
    QTest::keyClicks(dialog.cnpjEdit(), "11222333000181");
    QTest::keyClick(dialog.cnpjEdit(), Qt::Key_Return);
    EXPECT_EQ(confirmations, 0);
    EXPECT_EQ(dialog.focusWidget(), dialog.matrizEdit());
    QTest::keyClick(dialog.matrizEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(confirmations, 1);
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
}

TEST(RequestWindows, AlphanumericCnpjTypedInLowerCase)
{
    Shell shell;
    bool formSeen = false;
    whenShown<TFrmNovaIE>([&] {
        auto* dialog = activeModal<TFrmNovaIE>();
        ASSERT_NE(dialog, nullptr);
        QApplication::setActiveWindow(dialog);
        (void)QTest::qWaitForWindowActive(dialog);
        dialog->cnpjEdit()->setFocus();
        QTest::keyClicks(dialog->cnpjEdit(), "12abc34501de35");
        EXPECT_EQ(dialog->cnpjEdit()->displayText(), QStringLiteral("12.ABC.345/01DE-35"));
        EXPECT_EQ(dialog->typedCnpj(), QStringLiteral("12ABC34501DE35"));
        QTest::keyClick(dialog->cnpjEdit(), Qt::Key_Return);
        whenShown<TFrmSolicitacaoIE>([&] {
            auto* form = activeModal<TFrmSolicitacaoIE>();
            ASSERT_NE(form, nullptr);
            formSeen = true;
            auto* shown = form->findChild<QLabel*>("lblDescCNPJ");
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->text(), QStringLiteral("12.ABC.345/01DE-35"));
            fillEstablishment(shell.jx());
            EXPECT_TRUE(form->save());
        });
        QTest::keyClick(dialog->matrizEdit(), Qt::Key_Return);
    });
    shell.windows().newRequest();
    EXPECT_TRUE(formSeen);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE WHERE CNPJ = '12ABC34501DE35'"), 1);
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(RequestWindows, BranchFormHidesPartnersAndInvalidDateKeepsTheTab)
{
    Shell shell;
    StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
    RequestLifecycle& life = shell.windows().lifecycle();
    ASSERT_EQ(life.confirmNewRequest(
                      "11222333000181", "1234567890107", [] { return RequestLifecycle::ExistingAnswer::Edit; }, check)
                  .outcome,
        RequestLifecycle::Confirmation::Outcome::Opened);
    TFrmSolicitacaoIE form(shell.commands(), shell.jx(), life, shell.prompts);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_FALSE(form.innerTabs()->isTabVisible(3));
    EXPECT_FALSE(form.innerTabs()->isTabVisible(4));
    EXPECT_FALSE(form.control("dbNomeEmpresarial")->isEnabled());

    form.topTabs()->setCurrentIndex(1);
    auto* end = form.findChild<QLineEdit*>("dbdFim");
    end->setText("31/02/2005");
    shell.prompts.expectError("Data Inválida!");
    form.innerTabs()->setCurrentIndex(1);
    EXPECT_EQ(form.innerTabs()->currentIndex(), 0);
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();

    // Filling only the process number makes the four process labels bold.
    auto* process = form.findChild<QLineEdit*>("dbProcesso");
    end->setText("");
    process->setFocus();
    QTest::keyClicks(process, "p&1");
    QTest::keyClick(process, Qt::Key_Tab);
    EXPECT_EQ(shell.jx().cdsSolicitacaoIE->text("PROCESSO_NUMERO"), QStringLiteral("PE1"));
    for (const char* name : { "lblProcesso", "lblProcessoInicio", "lblProcessoFim", "lblSituacao" })
        EXPECT_TRUE(form.caption(QLatin1String(name))->font().bold()) << name;

    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE"), 0);
}

TEST(RequestWindows, LocalisationSwitchThroughTheRadio)
{
    Shell shell;
    StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
    RequestLifecycle& life = shell.windows().lifecycle();
    life.confirmNewRequest(
        "11222333000181", "", [] { return RequestLifecycle::ExistingAnswer::Edit; }, check);
    TFrmSolicitacaoIE form(shell.commands(), shell.jx(), life, shell.prompts);
    form.show();
    data::RecordSet& r = *shell.jx().cdsSolicitacaoIE;
    r.setValue("RECEITA_BRUTA", 5000);
    QTest::mouseClick(form.findChild<QWidget*>("dbrgLocalizacao_1"), Qt::LeftButton);
    EXPECT_EQ(r.value("LOCALIZACAO").toInt(), 99);
    EXPECT_FALSE(form.control("dbReceitaBruta")->isEnabled());
    EXPECT_TRUE(form.control("dbrgTrib")->isEnabled());
    QTest::mouseClick(form.findChild<QWidget*>("dbrgTrib_0"), Qt::LeftButton);
    EXPECT_EQ(r.value("ID_REGIME_RECOLHIMENTO").toInt(), 1);
    EXPECT_TRUE(form.state().ieOrigemPanelVisible);
    QTest::mouseClick(form.findChild<QWidget*>("dbrgTrib_1"), Qt::LeftButton);
    EXPECT_EQ(r.value("ID_REGIME_RECOLHIMENTO").toInt(), 3);
    EXPECT_FALSE(form.state().ieOrigemPanelVisible);
    QTest::mouseClick(form.findChild<QWidget*>("dbrgLocalizacao_0"), Qt::LeftButton);
    EXPECT_TRUE(r.value("RECEITA_BRUTA").isNull());
    EXPECT_EQ(r.text("SUBSTITUTO_TRIBUTARIO"), "N");
    // Del in the CNAE-F display clears the stored code.
    r.setValue("ID_CNAEF_PRINCIPAL", 1147);
    auto* code = form.findChild<QLineEdit*>("pnlCnaefPrincipalCod");
    EXPECT_EQ(code->text(), QStringLiteral("4731-8/00"));
    QTest::keyClick(code, Qt::Key_Delete);
    EXPECT_TRUE(r.value("ID_CNAEF_PRINCIPAL").isNull());
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}

TEST(RequestWindows, ExistingCnpjThroughTheWindows)
{
    Shell shell;
    {
        db::Connection c;
        c.open(shell.folder.databasePath(), db::kDatabaseKey);
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, STATUS) VALUES ('11222333000181', 'ANTIGA', 'C')");
    }
    shell.jx().openSet(*shell.jx().cdsSolicitacaoIE);
    for (const bool edit : { false, true }) {
        bool formSeen = false;
        whenShown<TFrmNovaIE>([&] {
            auto* dialog = activeModal<TFrmNovaIE>();
            dialog->cnpjEdit()->setFocus();
            dialog->cnpjEdit()->setCursorPosition(0);
            QTest::keyClicks(dialog->cnpjEdit(), "11222333000181");
            // Each window is scripted from the one before it, so no script waits inside the
            // wrong window's loop.
            whenShown<TFrmPergunta>([&, edit] {
                auto* question = activeModal<TFrmPergunta>();
                if (edit) {
                    whenShown<TFrmSolicitacaoIE>([&] {
                        formSeen = true;
                        EXPECT_EQ(shell.jx().cdsSolicitacaoIE->text("NOME_EMPRESARIAL"), QStringLiteral("ANTIGA"));
                        shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
                        activeModal<TFrmSolicitacaoIE>()->done(QDialog::Rejected);
                    });
                }
                QTest::mouseClick(edit ? question->editButton() : question->cancelButton(), Qt::LeftButton);
            });
            QTest::keyClick(dialog->matrizEdit(), Qt::Key_Return);
        });
        shell.windows().newRequest();
        EXPECT_EQ(formSeen, edit);
        EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE"), 1);
    }
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(RequestWindows, AddressFormChecksAndMunicipioSwitch)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    shell.windows().lifecycle().addresses().CarregarEndereco(QVariant(), *jx.cdsSolicIEEndEstab);
    TFrmCadastroEndereco form(shell.commands(), jx, shell.prompts);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Endereço"));
    auto* cep = form.findChild<QLineEdit*>("dbCEP");
    cep->setFocus();
    QTest::keyClicks(cep, "700001");
    shell.prompts.expectError("CEP inválido!");
    form.done(QDialog::Accepted);
    EXPECT_TRUE(form.isVisible());

    auto* uf = form.findChild<QComboBox*>("dbLkUF");
    EXPECT_EQ(uf->maxVisibleItems(), 30);
    const int home = uf->findData(10);
    ASSERT_GE(home, 0);
    jx.cdsEnderco->setValue("LOCALIDADE", "X");
    uf->setCurrentIndex(home);
    emit uf->activated(home);
    EXPECT_EQ(form.municipioStack()->currentWidget(), form.localityList());
    EXPECT_TRUE(jx.cdsEnderco->value("LOCALIDADE").isNull());
    const int other = home == 0 ? 1 : 0;
    emit uf->activated(other);
    EXPECT_EQ(form.municipioStack()->currentWidget(), form.municipioEdit());

    auto* number = form.findChild<QLineEdit*>("dbNUMERO");
    number->setFocus();
    QTest::keyClicks(number, "12a3");
    EXPECT_EQ(number->text(), QStringLiteral("123"));

    shell.prompts.expectYesNo(TFrmCadastroEndereco::kCancelQuestion, false);
    form.done(QDialog::Rejected);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(RequestWindows, BrowserListsRequestsAndOrders)
{
    Shell shell;
    {
        db::Connection c;
        c.open(shell.folder.databasePath(), db::kDatabaseKey);
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, STATUS) VALUES ('12345678000195', 'ZETA', 'I')");
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, STATUS) VALUES ('11222333000181', 'ALFA', 'C')");
    }
    shell.jx().openSet(*shell.jx().cdsSolicitacaoIE);
    TFrmbrsIE browser(shell.commands(), shell.jx(), TFrmbrsIE::Mode::Maintenance);
    browser.show();
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Solicitação de Inscrição Estadual"));
    EXPECT_TRUE(browser.maintenancePanel()->isVisibleTo(&browser));
    EXPECT_FALSE(browser.printButton()->isVisibleTo(&browser));
    auto* model = browser.grid()->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CNPJ"));
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), QStringLiteral("12.345.678/0001-95"));
    browser.orderList()->setCurrentIndex(1);
    emit browser.orderList()->activated(1);
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), QStringLiteral("ALFA"));
    EXPECT_EQ(browser.property("helpTopic").toInt(), 30);
}

// Pictures of the request windows for a person to look at: only when JX_SCREENSHOT_DIR is set.
TEST(RequestWindows, Screenshots)
{
    const QString dir = qEnvironmentVariable("JX_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "JX_SCREENSHOT_DIR not set";
    Shell shell;
    StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
    RequestLifecycle& life = shell.windows().lifecycle();
    life.confirmNewRequest(
        "11222333000181", "", [] { return RequestLifecycle::ExistingAnswer::Edit; }, check);
    fillEstablishment(shell.jx());
    shell.jx().cdsSolicitacaoIE->setValue("NOME_EMPRESARIAL", "COMERCIO DE TESTES LTDA");
    ASSERT_TRUE(life.save({ "", "", "" }).saved);
    TFrmbrsIE browser(shell.commands(), shell.jx(), TFrmbrsIE::Mode::Maintenance);
    browser.show();
    browser.grab().save(dir + "/browser.png");
    life.beginEdit();
    TFrmSolicitacaoIE form(shell.commands(), shell.jx(), life, shell.prompts);
    form.show();
    form.grab().save(dir + "/form-dados-iniciais.png");
    form.topTabs()->setCurrentIndex(1);
    for (int i = 0; i < form.innerTabs()->count(); ++i) {
        form.innerTabs()->setCurrentIndex(i);
        form.grab().save(dir + QStringLiteral("/form-outros-%1.png").arg(i));
    }
    shell.windows().lifecycle().addresses().CarregarEndereco(QVariant(), *shell.jx().cdsSolicIEEndCorresp);
    TFrmCadastroEndereco address(shell.commands(), shell.jx(), shell.prompts);
    address.show();
    address.grab().save(dir + "/address.png");
}

TEST(RequestWindows, ACnpjTakesTheLettersAToZOnly)
{
    Shell shell;
    QString shown;
    whenShown<TFrmNovaIE>([&] {
        auto* dialog = activeModal<TFrmNovaIE>();
        ASSERT_NE(dialog, nullptr);
        dialog->cnpjEdit()->setFocus();
        // Typed as a keyboard sends them: a key event with its text (QTest maps ASCII only).
        for (const QChar c : QStringLiteral("12ÉçAB")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(dialog->cnpjEdit(), &press);
        }
        shown = dialog->cnpjEdit()->displayText();
        dialog->reject();
    });
    shell.windows().newRequest();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("12.AB"))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("É")));
}

// Qt centres a dialog on its parent less a guessed frame, so a window opened from another
// drifted; measured from the main window each opens in the same place every time.
TEST(RequestWindows, WindowsOpenCentredOnTheMainWindowEveryTime)
{
    Shell shell;
    {
        db::Connection c;
        c.open(shell.folder.databasePath(), db::kDatabaseKey);
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, STATUS) VALUES ('11222333000181', 'UMA', 'C')");
    }
    shell.jx().openSet(*shell.jx().cdsSolicitacaoIE);
    QWidget* main = shell.startup->mainWindow();
    ASSERT_TRUE(main->isVisible());
    QList<QPoint> centres;
    whenModal<TFrmbrsIE>([&](TFrmbrsIE* browser) {
        centres << browser->frameGeometry().center();
        for (int i = 0; i < 2; ++i) {
            whenModal<TFrmSolicitacaoIE>([&](TFrmSolicitacaoIE* form) {
                centres << form->frameGeometry().center();
                shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
            });
            shell.commands().action("actSolicitacaoIE_Editar")->trigger();
        }
    });
    shell.commands().action("actAbrirSolicitacaoInscricaoEstadual")->trigger();
    ASSERT_EQ(centres.size(), 3);
    // The form is wider than the test screen, and the window system nudges it a little.
    for (const QPoint& centre : centres)
        EXPECT_LE((centre - main->frameGeometry().center()).manhattanLength(), 6) << centre.x() << "," << centre.y();
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}
