// The enablement's windows and the pending-item list driven through their controls: the
// browser, the form, the verify command and the jump from an item to its control.

#include "Commands.h"
#include "TFrmHabContabilista.h"
#include "TFrmVerificarPendencias.h"
#include "TFrmbrsContabilista.h"
#include "TscrUntPesquisa.h"
#include "search/Search.h"
#include "data/TdtmJX.h"
#include "enablements/EnablementLifecycle.h"
#include "verification/Verification.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "../support/PendingChooser.h"
#include "../support/TestShell.h"
#include "../support/GuiHelpers.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;

namespace {

void activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window);
}

struct Shell : TestShell {
    Shell() { start(); }
    RecordSet& e() { return *jx().cdsSolicitacao_Contab; }
    void expectPromptsMet()
    {
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString()
                                      << prompts.leftOver().join('\n').toStdString();
    }
    void saveComplete(const QString& cpf)
    {
        EnablementLifecycle& life = enablements().lifecycle();
        ASSERT_TRUE(life.beginNew());
        e().setValue("TIPO_IDENTIFICACAO", 4);
        e().setValue("IDENTIFICACAO", cpf);
        e().setValue("UF_CRC", "QZ");
        e().setValue("CRC", "123");
        e().setValue("IDENTIFICADOR_CRC", "O");
        e().setValue("EMAIL_RESPONSAVEL", "c@d.com");
        RecordSet& a = *jx().cdsSolicitacao_Contab_End;
        a.setValue("CEP", "70000123");
        a.setValue("LOCALIDADE", "CIDADE");
        a.setValue("BAIRRO", "CENTRO");
        a.setValue("LOGRADOURO", "RUA");
        a.setValue("NUMERO", "1");
        jx().cdsSolicitacao_Contab_Com->setValue("TELEFONE", "6133334444");
        jx().cdsSolicitacao_Contab_Com->setValue("EMAIL", "e@f.com");
        ASSERT_TRUE(life.save("01/02/1970").saved);
    }
};

} // namespace

TEST(EnablementWindows, BrowserOffersItsColumnsAndCommandsFollowTheList)
{
    Shell shell;
    QAction* insert = shell.commands().action("actSolicitacaoContab_Inc");
    QAction* edit = shell.commands().action("actSolicitacaoContab_Alterar");
    QStringList order;
    bool editWhenEmpty = true;
    bool editWhenListed = false;
    QTimer::singleShot(0, [&] {
        auto* browser = waitForModal<TFrmbrsContabilista>();
        if (!browser)
            return;
        shell.commands().runUpdateRules();
        for (int i = 0; i < browser->orderList()->count(); ++i)
            order << browser->orderList()->itemText(i);
        editWhenEmpty = edit->isEnabled();
        EXPECT_TRUE(insert->isEnabled());
        EXPECT_FALSE(browser->printButton()->isVisible());
        browser->close();
    });
    shell.enablements().openBrowser();
    EXPECT_EQ(order, QStringList({ "Identificação", "UF CRC", "CRC", "Identificador CRC", "Status" }));
    EXPECT_FALSE(editWhenEmpty);
    EXPECT_EQ(shell.jx().TipoAtual, 0);

    for (const char* cpf : { "52998224725", "11144477735", "39053344705" })
        shell.saveComplete(cpf);
    QStringList sorted;
    QTimer::singleShot(0, [&] {
        auto* browser = waitForModal<TFrmbrsContabilista>();
        if (!browser)
            return;
        shell.commands().runUpdateRules();
        editWhenListed = edit->isEnabled();
        QComboBox* list = browser->orderList();
        list->setCurrentIndex(0);
        Q_EMIT list->activated(0);
        QAbstractItemModel* model = browser->grid()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            sorted << model->index(r, 0).data().toString();
        shoot(browser, "habilitacoes");
        browser->close();
    });
    shell.enablements().openBrowser();
    EXPECT_TRUE(editWhenListed);
    EXPECT_EQ(sorted, QStringList({ "111.444.777-35", "390.533.447-05", "529.982.247-25" }));
}

// The labels name the fields in refused-value messages and in the search's column list;
// only the key, the kind of filing and the two moments go without one.
TEST(EnablementWindows, EveryColumnTheUserMeetsHasItsLabel)
{
    Shell shell;
    RecordSet& e = shell.e();
    if (!e.isOpen())
        shell.jx().openSet(e);
    // "CRC" is its own label.
    const QStringList unlabelled { "ID_SOLICITACAO_CONTABILISTA", "TIPO_SOLICITACAO_CONTAB", "DATACRIACAO",
        "DATAHABILITACAOCONTABILISTA", "CRC" };
    for (int f = 0; f < e.fieldCount(); ++f) {
        const data::Field& field = e.field(f);
        if (!field.computed && !field.memory && !unlabelled.contains(field.name)) {
            EXPECT_NE(field.label, field.name) << field.name.toStdString();
        }
    }
    auto labelOf = [&e](const char* name) { return e.field(e.fieldIndex(QLatin1String(name))).label; };
    EXPECT_EQ(labelOf("TIPO_IDENTIFICACAO_RESP"), "Tipo da Identificação do Responsável");
    EXPECT_EQ(labelOf("CPF_RESPONSAVEL"), "CPF do Responsável");
    EXPECT_EQ(labelOf("ID_ENDERECO"), "Endereço");
    EXPECT_EQ(labelOf("ID_COMUNICACAO"), "Comunicação");
    EXPECT_EQ(e.refusedValueText("ID_ENDERECO", "x"), "Valor inválido para o campo \"Endereço\": \"x\".");
}

TEST(EnablementWindows, TypedThroughTheFormAndSaved)
{
    Shell shell;
    shell.saveComplete("52998224725");
    TdtmJX& jx = shell.jx();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = waitForModal<TFrmHabContabilista>();
        if (!form)
            return;
        seen = true;
        auto* kind = qobject_cast<QComboBox*>(form->control("dbLkTipoIdentificacao"));
        EXPECT_EQ(kind->count(), 2); // CNPJ and CPF only
        const int firm = kind->findText("CNPJ");
        kind->setCurrentIndex(firm);
        Q_EMIT kind->activated(firm);
        EXPECT_TRUE(form->caption("lblCPFResponsavel")->font().bold());
        auto* id = qobject_cast<QLineEdit*>(form->control("dbIdentificacao"));
        id->setFocus();
        id->setCursorPosition(0);
        QTest::keyClicks(id, "11222333000181");
        QTest::keyClick(id, Qt::Key_Tab);
        EXPECT_EQ(id->text(), "11.222.333/0001-81");
        EXPECT_EQ(shell.e().text("IDENTIFICACAO"), "11222333000181");
        auto* mail = qobject_cast<QLineEdit*>(form->control("dbEmailResponsavel"));
        mail->setFocus();
        QTest::keyClicks(mail, "A&B<x>@C.COM");
        EXPECT_EQ(mail->text(), "AeB(x)@C.COM");
        auto* birth = qobject_cast<QLineEdit*>(form->control("dbdNascimento"));
        birth->setFocus();
        birth->setCursorPosition(0);
        QTest::keyClicks(birth, "31022005");
        // An impossible date stops the save with the focus on it.
        shell.prompts.expectError(EnablementLifecycle::kInvalidDate);
        EXPECT_FALSE(form->save());
        EXPECT_EQ(form->focusWidget(), birth);
        birth->selectAll();
        QTest::keyClicks(birth, "01022005");
        RecordSet& a = *jx.cdsSolicitacao_Contab_End;
        a.setValue("CEP", "70000123");
        shoot(form, "habilitacao");
        shell.commands().runUpdateRules();
        QAction* save = shell.commands().action("actSolicitacaoContab_Salvar");
        EXPECT_TRUE(save->isEnabled());
        save->trigger();
        if (form->isVisible()) {
            ADD_FAILURE() << "the form did not close: " << shell.prompts.shown().join('\n').toStdString();
            form->QDialog::done(QDialog::Rejected);
        }
    });
    shell.enablements().newEnablement();
    EXPECT_TRUE(seen);
    shell.expectPromptsMet();
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE IDENTIFICACAO = '11222333000181' AND "
                          "TIPO_IDENTIFICACAO = 3 AND STATUS = 'I' AND DATANACRESP = '2005-02-01' AND "
                          "EMAIL_RESPONSAVEL = 'AeB(x)@C.COM'"),
        1);
    EXPECT_FALSE(jx.database().inTransaction());

    // Esc on a changed enablement asks, and Sim leaves the table as it was.
    QTimer::singleShot(0, [&] {
        auto* form = waitForModal<TFrmHabContabilista>();
        if (!form)
            return;
        auto* crc = qobject_cast<QLineEdit*>(form->control("dbCRC"));
        crc->setFocus();
        crc->selectAll();
        QTest::keyClicks(crc, "999");
        shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
        // Cancelar (Esc) is enabled by the idle rules for the window in front, which may not
        // have run since the form came up.
        shell.commands().runUpdateRules();
        QTest::keyClick(crc, Qt::Key_Escape);
    });
    shell.enablements().editEnablement();
    shell.expectPromptsMet();
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_CONTAB WHERE CRC = '999'"), 0);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_CONTAB"), 2);
    EXPECT_FALSE(jx.database().inTransaction());
}

TEST(EnablementWindows, VerifySaysThereIsNoneOrJumpsToTheItemsControl)
{
    Shell shell;
    shell.saveComplete("52998224725");
    shell.saveComplete("11144477735");
    shell.saveComplete("39053344705");
    TdtmJX& jx = shell.jx();
    ASSERT_TRUE(shell.e().locate("IDENTIFICACAO", "11144477735"));
    shell.enablements().lifecycle().beginEdit();
    TFrmHabContabilista form(shell.commands(), jx, shell.enablements().lifecycle(), shell.prompts);
    activate(&form);
    // A birth date still being typed counts: the verification takes it first.
    shell.e().setValue("DATANACRESP", QVariant());
    auto* birth = qobject_cast<QLineEdit*>(form.control("dbdNascimento"));
    birth->setFocus();
    birth->selectAll();
    QTest::keyClicks(birth, "01021970");
    shell.prompts.expectInformation(PendingCommands::kNoPendingEnablement);
    shell.pending().verify(form);
    shell.expectPromptsMet();
    EXPECT_EQ(shell.e().value("DATANACRESP").toString().left(10), "1970-02-01");

    shell.e().setValue("CRC", QVariant());
    jx.cdsSolicitacao_Contab_Com->setValue("TELEFONE", "123");
    jx.cdsSolicitacao_Contab_End->setValue("BAIRRO", QVariant());
    const struct {
        const char* text;
        const char* control;
        bool byEnter;
    } cases[] = { { "CRC deve", "dbCRC", false }, { "Telefone", "dbTelefone", true },
        { "Bairro", "btn_actSolicitacaoContab_Endereco", false } };
    for (const auto& c : cases) {
        Chooser chooser { QString::fromUtf8(c.text), c.byEnter, false, {} };
        chooser.arm(jx);
        shell.pending().verify(form);
        EXPECT_TRUE(chooser.listed);
        for (const QString& control : chooser.controls)
            EXPECT_NE(form.findChild<QWidget*>(control), nullptr) << control.toStdString();
        ASSERT_NE(form.focusWidget(), nullptr);
        EXPECT_EQ(form.focusWidget()->objectName(), QLatin1String(c.control)) << c.text;
    }
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
    shell.expectPromptsMet();
}

TEST(EnablementWindows, ThreeErrorsAndOneWarningShowTheirTotalsAndIcons)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    Verification verification(jx);
    jx.cdsPendecias->clearRows();
    verification.AdicionarPendencia("E", "Dados Iniciais", "um");
    verification.AdicionarPendencia("A", "Dados Iniciais", "dois");
    verification.AdicionarPendencia("E", "Sócios", "três");
    verification.AdicionarPendencia("E", "Responsáveis", "quatro");
    EXPECT_EQ(verification.errorCount(), 3);
    TFrmVerificarPendencias list(shell.commands(), jx, false);
    activate(&list);
    EXPECT_EQ(list.findChild<QLabel*>("lblErros")->text(), "3");
    EXPECT_EQ(list.findChild<QLabel*>("lblAvisos")->text(), "1");
    EXPECT_EQ(list.findChild<QLabel*>("lblLinha1")->text(),
        "Os ERROS impedem a gravação da Habilitação para entrega à ZKF, enquanto os");
    EXPECT_EQ(list.property("helpTopic").toInt(), 27);
    EXPECT_EQ(list.grid()->horizontalHeader()->sectionSize(0), 23);
    // Each row's icon at the cell's left edge, one pixel down: red on errors, yellow on the warning.
    const QImage shot = list.grid()->viewport()->grab().toImage();
    for (int row = 0; row < 4; ++row) {
        const QRect cell = list.grid()->visualRect(list.grid()->model()->index(row, 0));
        if (row == 1) {
            const QRgb triangle = shot.pixel(cell.left() + 5, cell.top() + 1 + 13);
            EXPECT_GT(qRed(triangle), 150);
            EXPECT_GT(qGreen(triangle), 150);
        } else {
            const QRgb diamond = shot.pixel(cell.left() + 3, cell.top() + 1 + 8);
            EXPECT_GT(qRed(diamond), 150) << row;
            EXPECT_LT(qGreen(diamond), 100) << row;
        }
    }
    shoot(&list, "pendencias-habilitacao");
    // Without a form to go to, choosing an item keeps the list open.
    QTest::mouseDClick(list.grid()->viewport(), Qt::LeftButton, {},
        list.grid()->visualRect(list.grid()->model()->index(2, 1)).center());
    EXPECT_TRUE(list.isVisible());
    EXPECT_TRUE(list.chosenControl().isEmpty());
}

TEST(SearchWindow, PartialSearchThroughTheDialogPutsTheMatchesFirst)
{
    Shell shell;
    shell.commands().runUpdateRules();
    EXPECT_FALSE(shell.commands().action("actSolicitacaoContab_Pesquisar")->isEnabled()); // nothing to search
    for (const char* cpf : { "52998224725", "11144477735", "39053344705" })
        shell.saveComplete(cpf);
    TdtmJX& jx = shell.jx();
    ASSERT_TRUE(shell.e().locate("IDENTIFICACAO", "11144477735"));
    shell.enablements().lifecycle().beginEdit();
    shell.e().setValue("CRC", "777");
    ASSERT_TRUE(shell.enablements().lifecycle().save("01/02/1970").saved);
    TFrmbrsContabilista browser(shell.commands(), jx, TFrmBrowser::Mode::Maintenance);
    activate(&browser);
    shell.commands().runUpdateRules();
    QAction* search = shell.commands().action("actSolicitacaoContab_Pesquisar");
    ASSERT_TRUE(search->isEnabled());
    QStringList forms;
    bool closed = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = waitForModal<TscrUntPesquisa>();
        if (!dialog)
            return;
        EXPECT_EQ(dialog->fieldList()->count(), 5);
        dialog->fieldList()->setCurrentIndex(dialog->fieldList()->findText("CRC"));
        for (QAbstractButton* b : dialog->forms()->buttons())
            if (!b->isHidden())
                forms << b->text();
        EXPECT_EQ(dialog->forms()->checkedId(), 1); // Parcial
        // An empty value is refused; the dialog stays.
        shell.prompts.expectInformation(Search::kEmptyValue);
        QTest::keyClick(dialog->valueEdit(), Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        dialog->valueEdit()->setFocus();
        QTest::keyClicks(dialog->valueEdit(), "77");
        shoot(dialog, "pesquisa");
        QTest::keyClick(dialog->valueEdit(), Qt::Key_Return);
        closed = !dialog->isVisible();
        if (!closed)
            dialog->reject();
    });
    search->trigger();
    EXPECT_TRUE(closed);
    EXPECT_EQ(forms, QStringList({ "Exata", "Parcial", "Iniciada com" }));
    EXPECT_EQ(browser.grid()->model()->index(0, 0).data().toString(), "111.444.777-35");
    EXPECT_EQ(shell.e().text("IDENTIFICACAO"), "11144477735");
    // The details follow the browser again.
    shell.e().moveTo(2);
    EXPECT_EQ(jx.cdsSolicitacao_Contab_End->value("ID_ENDERECO"), shell.e().value("ID_ENDERECO"));
    // Esc: the dialog goes, the browser keeps its row and order.
    const QString current = shell.e().text("IDENTIFICACAO");
    bool escaped = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = waitForModal<TscrUntPesquisa>();
        if (!dialog)
            return;
        QTest::keyClicks(dialog->valueEdit(), "52");
        QTest::keyClick(dialog->valueEdit(), Qt::Key_Escape);
        escaped = !dialog->isVisible();
        if (!escaped)
            dialog->reject();
    });
    search->trigger();
    EXPECT_TRUE(escaped);
    EXPECT_EQ(shell.e().text("IDENTIFICACAO"), current);
    EXPECT_EQ(browser.grid()->model()->index(0, 0).data().toString(), "111.444.777-35");
    shell.expectPromptsMet();
}

// The search marks and re-sorts every row: the grid paints once at the end, and paints again
// after a search that found nothing or was refused.
TEST(SearchWindow, TheGridIsNotPaintedWhileTheSearchMarksAndSorts)
{
    Shell shell;
    for (const char* cpf : { "52998224725", "11144477735", "39053344705" })
        shell.saveComplete(cpf);
    TFrmbrsContabilista browser(shell.commands(), shell.jx(), TFrmBrowser::Mode::Maintenance);
    activate(&browser);
    QTableView* grid = browser.grid();
    QList<bool> paintingDuringSearch;
    auto watch = [&] { paintingDuringSearch << grid->updatesEnabled(); };
    QObject::connect(&shell.e(), &RecordSet::valuesChanged, grid, watch);
    QObject::connect(&shell.e(), &RecordSet::dataReset, grid, watch);
    TscrUntPesquisa search(shell.jx(), grid, shell.e(), QStringLiteral("SOLICITACAO_CONTAB"),
        QStringLiteral("ID_SOLICITACAO_CONTABILISTA"));
    activate(&search);
    search.fieldList()->setCurrentIndex(search.fieldList()->findText("CRC"));
    shell.prompts.expectInformation(Search::kEmptyValue);
    EXPECT_FALSE(search.confirm());
    EXPECT_TRUE(grid->updatesEnabled());
    search.valueEdit()->setText("123");
    EXPECT_TRUE(search.confirm());
    EXPECT_FALSE(paintingDuringSearch.isEmpty());
    EXPECT_FALSE(paintingDuringSearch.contains(true));
    EXPECT_TRUE(grid->updatesEnabled());
    shell.expectPromptsMet();
}
