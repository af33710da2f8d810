// The request windows driven as a user drives them: look-ups, dates, masks, money, Esc,
// Enter, F1 and the toolbar. Each test works on several requests or rows.

#include "Binders.h"
#include "Commands.h"
#include "RequestWindows.h"
#include "Startup.h"
#include "TFrmCadastroEndereco.h"
#include "TFrmPrincipal.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmbrsIE.h"
#include "THelpWindow.h"
#include "data/TdtmJX.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/RequestLifecycle.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

#include "../support/TestShell.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;

namespace {

const QStringList kCnpjs { "11222333000181", "33344455000183", "44455566000183" };

struct Shell : TestShell {
    Shell() { start(); }

    RequestLifecycle& life() { return windows().lifecycle(); }

    // Three stored requests; the middle one is left open for editing when asked.
    void threeRequests(bool editMiddle = true)
    {
        StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
        for (const QString& cnpj : kCnpjs) {
            ASSERT_EQ(life().confirmNewRequest(cnpj, "", [] { return RequestLifecycle::ExistingAnswer::Edit; }, check)
                          .outcome,
                RequestLifecycle::Confirmation::Outcome::Opened);
            RecordSet& a = *jx().cdsSolicIEEndEstab;
            a.setValue("CEP", "70000123");
            a.setValue("ID_UF", 10);
            a.setValue("LOCALIDADE", "CIDADE");
            a.setValue("TIPO_LOGRADOURO", 1);
            a.setValue("LOGRADOURO", "RUA " + cnpj);
            ASSERT_TRUE(life().save({ "", "", "" }).saved);
        }
        if (editMiddle) {
            ASSERT_TRUE(jx().cdsSolicitacaoIE->locate("CNPJ", kCnpjs[1]));
            life().beginEdit();
        }
    }

    void expectNoPrompt() { EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.shown().join('\n').toStdString(); }
    void expectPromptsMet()
    {
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString()
                                      << prompts.leftOver().join('\n').toStdString();
    }
};

void activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window);
}

bool keyEquals(const QVariant& referenceKey, const QVariant& stored)
{
    if (stored.isNull())
        return false;
    const bool referenceIsText = referenceKey.typeId() == QMetaType::QString;
    return referenceIsText ? stored.toString() == referenceKey.toString() : stored.toDouble() == referenceKey.toDouble();
}

void pickByKeyboard(QComboBox* combo, int index)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

void pickByMouse(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    (void)QTest::qWaitFor([view] { return view->isVisible(); }, 2000);
    // A list just opened ignores a release for a double-click interval, as for a hand.
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    const QModelIndex item = view->model()->index(index, combo->modelColumn());
    view->scrollTo(item);
    QCoreApplication::processEvents();
    const QPoint at = view->visualRect(item).center();
    // A press and a release on the item, as a hand does (the list takes the release).
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (view->isVisible())
        combo->hidePopup();
}

// Picks the first, a middle and the last item, by keyboard and by mouse; after each pick the
// field holds the reference key of the item shown. Returns the last key stored.
QVariant audit(QComboBox* combo, RecordSet& set, const QString& field, RecordSet& reference, const QString& key,
    const QString& display)
{
    EXPECT_EQ(combo->count(), reference.count()) << combo->objectName().toStdString();
    const int last = combo->count() - 1;
    for (bool mouse : { false, true }) {
        for (int index : { 0, last / 2, last }) {
            if (index < 0)
                continue;
            mouse ? pickByMouse(combo, index) : pickByKeyboard(combo, index);
            const QVariant stored = set.value(field);
            const QVariant expected = reference.valueAt(index, reference.fieldIndex(key));
            EXPECT_TRUE(keyEquals(expected, stored))
                << combo->objectName().toStdString() << (mouse ? " mouse " : " keyboard ") << index << ": stored "
                << stored.toString().toStdString() << ", item key " << expected.toString().toStdString();
            EXPECT_EQ(combo->currentIndex(), index) << combo->objectName().toStdString();
            EXPECT_EQ(combo->currentText(), reference.valueAt(index, reference.fieldIndex(display)).toString())
                << combo->objectName().toStdString();
        }
    }
    return set.value(field);
}

} // namespace

TEST(FormDefects, EveryLookupOfTheAddressFormStoresTheKeyItShows)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    Addresses& addresses = shell.life().addresses();
    RecordSet& estab = *jx.cdsSolicIEEndEstab;
    addresses.CarregarEndereco(jx.cdsSolicitacaoIE->value("ID_ENDERECO_ESTABELECIMENTO"), estab);
    TFrmCadastroEndereco form(shell.commands(), jx, shell.prompts);
    activate(&form);
    RecordSet& a = *jx.cdsEnderco;

    auto* uf = qobject_cast<QComboBox*>(form.control("ID_UF"));
    audit(uf, a, "ID_UF", *jx.cdsUF, "ID_UF", "SIGLA");
    // Back to the home state, whose municípios come from the list.
    ASSERT_TRUE(jx.cdsUF->locate("ID_UF", 10));
    pickByMouse(uf, jx.cdsUF->recNo());
    ASSERT_EQ(a.value("ID_UF").toInt(), 10);
    ASSERT_TRUE(form.localityList()->isVisible());
    const QVariant town = audit(form.localityList(), a, "LOCALIDADE", *jx.cdsLocalidade, "NOME", "NOME");
    // A município from the middle of the list, as the hand-driven run chose it.
    pickByMouse(form.localityList(), jx.cdsLocalidade->count() / 2);
    const QString middleTown
        = jx.cdsLocalidade->valueAt(jx.cdsLocalidade->count() / 2, jx.cdsLocalidade->fieldIndex("NOME")).toString();
    const QString townShown = form.localityList()->currentText();
    EXPECT_NE(town, QVariant(townShown));
    QVariant streetKind = audit(qobject_cast<QComboBox*>(form.control("TIPO_LOGRADOURO")), a, "TIPO_LOGRADOURO",
        *jx.cdsLogradouro, "IDENTIFICADOR", "NOME");
    QStringList complements;
    for (int i = 1; i <= 6; ++i) {
        const QString type = QStringLiteral("COD_TIPO_COMPLEMENTO%1").arg(i);
        complements << audit(qobject_cast<QComboBox*>(form.control(type)), a, type, *jx.cdsComplemento, "CODIGO",
            "DESCRICAO")
                           .toString();
        a.setValue(QStringLiteral("COMPLEMENTO%1").arg(i), QString::number(i));
    }
    // A picture for a person to look at, when asked for.
    if (qEnvironmentVariableIsSet("JX_SCREENSHOT_DIR"))
        form.grab().save(qEnvironmentVariable("JX_SCREENSHOT_DIR") + "/endereco-municipio.png");

    // Salvar, then the request's save: the table holds exactly what the form showed.
    form.done(QDialog::Accepted);
    ASSERT_EQ(form.result(), QDialog::Accepted);
    addresses.DevolverEndereco(estab);
    ASSERT_TRUE(shell.life().save({ "", "", "" }).saved);
    shell.expectPromptsMet();
    const qint64 id = jx.cdsSolicitacaoIE->value("ID_ENDERECO_ESTABELECIMENTO").toLongLong();
    db::Connection c;
    c.open(shell.folder.databasePath(), db::kDatabaseKey);
    db::Statement s = c.prepare(QStringLiteral("SELECT LOCALIDADE, TIPO_LOGRADOURO, COD_TIPO_COMPLEMENTO1, "
                                               "COD_TIPO_COMPLEMENTO6, LOGRADOURO FROM ENDERECO WHERE ID_ENDERECO = %1")
                                    .arg(id));
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.text(0), townShown);
    EXPECT_EQ(s.text(0), middleTown);
    EXPECT_TRUE(keyEquals(streetKind, s.value(1)));
    EXPECT_EQ(s.text(2), complements[0]);
    EXPECT_EQ(s.text(3), complements[5]);
    EXPECT_EQ(s.text(4), "RUA " + kCnpjs[1]); // the middle request's own address
}

TEST(FormDefects, EveryLookupOfTheRequestFormStoresTheKeyItShows)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
    activate(&form);
    RecordSet& r = *jx.cdsSolicitacaoIE;
    const struct {
        const char* control;
        const char* field;
        RecordSet* reference;
        const char* key;
    } lookups[] = {
        { "dbLkRegime", "ID_REGIME_RECOLHIMENTO", jx.cdsRegimeRecolhimento, "ID_REGIMEC" },
        { "dbLkComunicar", "VINCULO", jx.cdsViculo, "ID_VINCULO" },
        { "dbLkNatureza", "ID_NATUREZA_JURIDICA", jx.cdsNatureza_Juridica, "ID_NATUREZAJUD" },
        { "dbLkSituacao", "ID_SITUACAO_ESPESCIAL", jx.cdsSituacao_Especial, "CODIGO" },
        { "DBFORMACOMERCIALIZACAO", "ID_FORMA_COMERCIALIZACAO", jx.cdsForma_Comercializacao, "CODIGO" },
        { "dbLkTipoDocContabilista", "DOCUMENTO_CONTABILISTA_TIPO", jx.cdsTipo_Identificacao, "IDENTIFICACAO" },
    };
    QMap<QString, QVariant> stored;
    for (const auto& l : lookups) {
        auto* combo = qobject_cast<QComboBox*>(form.control(QLatin1String(l.control)));
        ASSERT_NE(combo, nullptr) << l.control;
        if (!combo->isEnabled())
            continue;
        const char* display = QLatin1String(l.control) == QLatin1String("dbLkTipoDocContabilista") ? "TIPO" : "DESCRICAO";
        stored[QLatin1String(l.field)] = audit(combo, r, QLatin1String(l.field), *l.reference, QLatin1String(l.key),
            QLatin1String(display));
    }
    EXPECT_GE(stored.size(), 5);
    shell.expectPromptsMet();
    ASSERT_TRUE(form.save());
    db::Connection c;
    c.open(shell.folder.databasePath(), db::kDatabaseKey);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        db::Statement s = c.prepare(
            QStringLiteral("SELECT %1 FROM SOLICITACAO_IE WHERE CNPJ = '%2'").arg(it.key(), kCnpjs[1]));
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.value(0).toString(), it.value().toString()) << it.key().toStdString();
    }
}

TEST(FormDefects, TypedDatesSurviveOtherFieldsAndReachTheRules)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    for (int round = 0; round < 2; ++round) {
        TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
        activate(&form);
        form.topTabs()->setCurrentIndex(1);
        auto* start = form.findChild<QLineEdit*>("DBDateInicAtividade");
        auto* process = form.findChild<QLineEdit*>("dbProcesso");
        auto* processStart = form.findChild<QLineEdit*>("dbdInicio");
        if (round == 0) {
            start->setFocus();
            start->setCursorPosition(0);
            QTest::keyClicks(start, "07032005");
            QTest::keyClick(start, Qt::Key_Tab);
            EXPECT_EQ(jx.cdsSolicitacaoIE->text("DATA_INICIO_ATIVIDADE"), "2005-03-07");
        }
        process->setFocus();
        process->selectAll();
        QTest::keyClicks(process, round == 0 ? "P1" : "P2");
        QTest::keyClick(process, Qt::Key_Tab);
        EXPECT_EQ(start->text(), "07/03/2005") << "round " << round;
        // A typed process date reaches the record at once: rule P sees it.
        processStart->setFocus();
        processStart->setCursorPosition(0);
        QTest::keyClicks(processStart, "01022005");
        QTest::keyClick(processStart, Qt::Key_Tab);
        EXPECT_EQ(jx.cdsSolicitacaoIE->text("PROCESSO_DATA_INICIO"), "2005-02-01");
        EXPECT_EQ(start->text(), "07/03/2005");
        ASSERT_TRUE(form.save());
        shell.life().beginEdit(); // reopened, as after a save
    }
    // An invalid date is not stored, stays on screen while other fields change, and the save
    // reports it.
    {
        TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
        activate(&form);
        form.topTabs()->setCurrentIndex(1);
        auto* end = form.findChild<QLineEdit*>("dbdFim");
        end->setFocus();
        end->setCursorPosition(0);
        QTest::keyClicks(end, "31022005");
        QTest::keyClick(end, Qt::Key_Tab);
        auto* name = form.findChild<QLineEdit*>("dbNomeFantasia");
        name->setFocus();
        QTest::keyClicks(name, "loja");
        QTest::keyClick(name, Qt::Key_Tab);
        EXPECT_EQ(end->text(), "31/02/2005");
        shell.prompts.expectError("Data Inválida!");
        EXPECT_FALSE(form.save());
        shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
        form.done(QDialog::Rejected);
        shell.life().beginEdit();
    }
    EXPECT_EQ(shell.count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_IE WHERE DATA_INICIO_ATIVIDADE = "
                                         "'2005-03-07' AND PROCESSO_NUMERO = 'P2' AND CNPJ = '%1'")
                              .arg(kCnpjs[1])),
        1);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE WHERE DATA_INICIO_ATIVIDADE IS NOT NULL"), 1);
    shell.expectPromptsMet();
}

TEST(FormDefects, AccountantDocumentAndMoneyAreStoredWithoutPunctuation)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
    activate(&form);
    RecordSet& r = *jx.cdsSolicitacaoIE;
    auto* kind = qobject_cast<QComboBox*>(form.control("dbLkTipoDocContabilista"));
    auto* number = form.findChild<QLineEdit*>("dbDocContabilista");
    const struct {
        int type;
        const char* typed;
        const char* stored;
        const char* shown;
    } documents[] = {
        { 4, "52998224725", "52998224725", "529.982.247-25" },
        // The letters of an alphanumeric CNPJ turn upper case; a CPF takes none.
        { 3, "12abc34501de35", "12ABC34501DE35", "12.ABC.345/01DE-35" },
        { 4, "5a2b9c98224725", "52998224725", "529.982.247-25" },
        { 3, "11222333000181", "11222333000181", "11.222.333/0001-81" },
    };
    for (const auto& d : documents) {
        ASSERT_TRUE(jx.cdsTipo_Identificacao->locate("IDENTIFICACAO", d.type));
        pickByMouse(kind, jx.cdsTipo_Identificacao->recNo());
        number->setFocus();
        number->selectAll();
        number->setCursorPosition(0);
        QTest::keyClicks(number, QLatin1String(d.typed));
        QTest::keyClick(number, Qt::Key_Tab);
        EXPECT_EQ(r.text("DOCUMENTO_CONTABILISTA_NUMERO"), QLatin1String(d.stored)) << d.typed;
        EXPECT_EQ(number->text(), QLatin1String(d.shown)) << d.typed;
    }

    auto* money = form.findChild<QLineEdit*>("dbReceitaBruta");
    const struct {
        const char* typed;
        qint64 count;
        const char* shown;
    } amounts[] = { { "5000", 50000000, "5000,00" }, { "1.500,5", 15005000, "1500,50" }, { "0,5", 5000, ",50" } };
    for (const auto& m : amounts) {
        money->setFocus();
        money->selectAll();
        QTest::keyClicks(money, QLatin1String(m.typed));
        QTest::keyClick(money, Qt::Key_Tab);
        EXPECT_EQ(r.value("RECEITA_BRUTA").toLongLong(), m.count) << m.typed;
        EXPECT_EQ(money->text(), QLatin1String(m.shown));
    }
    shell.prompts.expectError(
        QStringLiteral("Valor inválido para o campo \"Limite Receita Bruta Anual Prevista\": \"1.2.3\"."));
    money->setFocus();
    money->selectAll();
    QTest::keyClicks(money, "1x.2.3-"); // letters and signs are not even typed
    QTest::keyClick(money, Qt::Key_Tab);
    EXPECT_EQ(r.value("RECEITA_BRUTA").toLongLong(), 5000);
    EXPECT_EQ(money->text(), ",50");
    ASSERT_TRUE(form.save());
    shell.expectPromptsMet();
    EXPECT_EQ(shell.count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_IE WHERE CNPJ = '%1' AND "
                                         "DOCUMENTO_CONTABILISTA_NUMERO = '11222333000181' AND RECEITA_BRUTA = 5000")
                              .arg(kCnpjs[1])),
        1);
}

TEST(FormDefects, RuleVGoesBackToTheValueShownWhenTheListOpened)
{
    Shell shell;
    shell.threeRequests(false);
    TdtmJX& jx = shell.jx();
    {
        db::Connection c;
        c.open(shell.folder.databasePath(), db::kDatabaseKey);
        c.exec(QStringLiteral("UPDATE SOLICITACAO_IE SET VINCULO = 2 WHERE CNPJ = '%1'").arg(kCnpjs[1]));
        c.exec(QStringLiteral("INSERT INTO SOLICITACAO_IE_VINCULADO SELECT ID_SOLICITACAO, '1234567890107' FROM "
                              "SOLICITACAO_IE WHERE CNPJ = '%1'")
                   .arg(kCnpjs[1]));
    }
    jx.openSet(*jx.cdsSolicitacaoIE);
    ASSERT_TRUE(jx.cdsSolicitacaoIE->locate("CNPJ", kCnpjs[1]));
    ASSERT_EQ(jx.cdsIE_Estab_Vinc->count(), 1);
    shell.life().beginEdit();
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
    activate(&form);
    auto* combo = qobject_cast<QComboBox*>(form.control("dbLkComunicar"));
    auto indexOf = [&](int key) {
        EXPECT_TRUE(jx.cdsViculo->locate("ID_VINCULO", key));
        return jx.cdsViculo->recNo();
    };
    pickByMouse(combo, indexOf(3));
    EXPECT_EQ(jx.cdsSolicitacaoIE->value("VINCULO").toInt(), 3);
    shell.prompts.expectError(QStringLiteral("Existem IE Incorporadas/Fundidas/Cindidas cadastradas que \r\ndevem ser "
                                             "excluídas antes deste campo ser alterado."));
    pickByMouse(combo, indexOf(1));
    EXPECT_EQ(jx.cdsSolicitacaoIE->value("VINCULO").toInt(), 3);
    EXPECT_EQ(combo->currentIndex(), indexOf(3));
    shell.expectPromptsMet();
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}

TEST(FormDefects, EscClosesAnOpenListNotTheWindow)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    shell.life().addresses().CarregarEndereco(QVariant(), *jx.cdsSolicIEEndCorresp);
    TFrmCadastroEndereco address(shell.commands(), jx, shell.prompts);
    activate(&address);
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
    TFrmbrsIE browser(shell.commands(), jx, TFrmbrsIE::Mode::Maintenance);
    const QList<QPair<QWidget*, QComboBox*>> cases {
        { &address, qobject_cast<QComboBox*>(address.control("ID_UF")) },
        { &form, qobject_cast<QComboBox*>(form.control("dbLkNatureza")) },
        { &browser, browser.findChild<QComboBox*>("cbbOrdSolicIE") },
    };
    for (const auto& [window, combo] : cases) {
        for (const auto& other : cases)
            other.first->hide();
        activate(window);
        ASSERT_NE(combo, nullptr);
        combo->setFocus();
        combo->showPopup();
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000));
        EXPECT_TRUE(window->isVisible()) << window->objectName().toStdString();
        shell.expectNoPrompt();
    }
    // Without an open list Esc is the window's Cancelar again.
    // (one modal window at a time, as in the program)
    form.hide();
    browser.hide();
    activate(&address);
    address.control("CEP")->setFocus();
    shell.prompts.expectYesNo(TFrmCadastroEndereco::kCancelQuestion, false);
    QTest::keyClick(address.control("CEP"), Qt::Key_Escape);
    EXPECT_TRUE(address.isVisible());
    shell.expectPromptsMet();
    address.hide();
    shell.life().addresses().discardScratch();
}

TEST(FormDefects, HelpFromAModalWindowWorksAndEscClosesOnlyIt)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    shell.life().addresses().CarregarEndereco(QVariant(), *jx.cdsSolicIEEndCorresp);
    TFrmCadastroEndereco address(shell.commands(), jx, shell.prompts);
    address.setWindowModality(Qt::ApplicationModal);
    activate(&address);
    QTest::keyClick(address.control("CEP"), Qt::Key_F1);
    THelpWindow* help = shell.startup->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->topic(), 10);
    EXPECT_EQ(help->parentWidget(), &address);
    EXPECT_NE(help->windowModality(), Qt::NonModal);
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    EXPECT_EQ(QApplication::activeModalWidget(), help);
    QTest::keyClick(help->browser(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(address.isVisible());
    shell.expectNoPrompt();
    // Its own button closes it too.
    QTest::keyClick(address.control("CEP"), Qt::Key_F1);
    ASSERT_TRUE(help->isVisible());
    auto* close = help->findChild<QDialogButtonBox*>("btnFecharAjuda");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close->buttons().first(), Qt::LeftButton);
    EXPECT_FALSE(help->isVisible());
    address.hide();
    shell.life().addresses().discardScratch();
}

TEST(FormDefects, AddressFormOpensOnCepAndEnterOnSalvarSaves)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    RecordSet& corresp = *jx.cdsSolicIEEndCorresp;
    shell.life().addresses().CarregarEndereco(QVariant(), corresp);
    TFrmCadastroEndereco address(shell.commands(), jx, shell.prompts);
    activate(&address);
    EXPECT_EQ(address.focusWidget(), address.control("CEP"));
    auto* cep = qobject_cast<QLineEdit*>(address.control("CEP"));
    cep->setCursorPosition(0);
    QTest::keyClicks(cep, "70000999");
    QTest::keyClick(cep, Qt::Key_Return);
    EXPECT_NE(address.focusWidget(), cep); // Enter in an edit still moves on
    RecordSet& a = *jx.cdsEnderco;
    a.setValue("ID_UF", 10);
    a.setValue("LOCALIDADE", jx.cdsLocalidade->valueAt(1, 0));
    a.setValue("TIPO_LOGRADOURO", 1);
    a.setValue("LOGRADOURO", "CORRESPONDENCIA");
    // Ajuda beside Salvar and Cancelar, and the three on the context menu.
    EXPECT_NE(address.helpButton(), nullptr);
    QStringList menu;
    for (QAction* action : address.actions())
        menu << action->objectName();
    for (const char* name : { "actSalvarPadrao", "actCancelarPadrao", "actAjuda" })
        EXPECT_TRUE(menu.contains(QLatin1String(name))) << name;
    EXPECT_EQ(address.contextMenuPolicy(), Qt::ActionsContextMenu);

    address.saveButton()->setFocus();
    QTest::keyClick(address.saveButton(), Qt::Key_Return);
    EXPECT_EQ(address.result(), QDialog::Accepted);
    EXPECT_FALSE(address.isVisible());
    shell.life().addresses().DevolverEndereco(corresp);
    ASSERT_TRUE(shell.life().save({ "", "", "" }).saved);
    EXPECT_EQ(shell.count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_IE S JOIN ENDERECO E ON E.ID_ENDERECO = "
                                         "S.ID_ENDERECO_CORRESPONDECIA WHERE S.CNPJ = '%1' AND E.CEP = '70000999'")
                              .arg(kCnpjs[1])),
        1);
    shell.expectPromptsMet();
}

TEST(FormDefects, ToolbarButtonsFollowTheirCommandsState)
{
    Shell shell;
    TFrmPrincipal* main = shell.startup->mainWindow();
    QAction* enablement = shell.commands().action("actSolicitacaoContab_Abrir");
    ASSERT_TRUE(enablement->isEnabled());
    EXPECT_TRUE(main->button("SpeedButton4")->isEnabled());
    EXPECT_TRUE(main->button("SpeedButton3")->isEnabled());
    enablement->setEnabled(false);
    EXPECT_FALSE(main->button("SpeedButton4")->isEnabled());
    enablement->setEnabled(true);
    EXPECT_TRUE(main->button("SpeedButton4")->isEnabled());
}

TEST(FormDefects, DeleteActsOnTheSelectedRequest)
{
    Shell shell;
    shell.threeRequests(false);
    TdtmJX& jx = shell.jx();
    TFrmbrsIE browser(shell.commands(), jx, TFrmbrsIE::Mode::Maintenance);
    activate(&browser);
    auto* grid = browser.findChild<QTableView*>("dbgSolicIE");
    const QModelIndex middle = grid->model()->index(1, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(middle).center());
    EXPECT_EQ(jx.cdsSolicitacaoIE->text("CNPJ"), kCnpjs[1]);
    shell.prompts.expectYesNo(RequestLifecycle::kDeleteQuestion, true);
    shell.windows().deleteRequest();
    shell.expectPromptsMet();
    EXPECT_EQ(shell.count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_IE WHERE CNPJ = '%1'").arg(kCnpjs[1])), 0);
    EXPECT_EQ(shell.count("SELECT count(*) FROM SOLICITACAO_IE"), 2);
    // The selection shows the row that is current now, not a stale one.
    EXPECT_EQ(grid->selectionModel()->currentIndex().row(), jx.cdsSolicitacaoIE->recNo());
}

TEST(FormDefects, QualificationShowsCnaefCodesAndYesNoOnlyForSOrN)
{
    Shell shell;
    shell.threeRequests();
    TdtmJX& jx = shell.jx();
    RecordSet& r = *jx.cdsSolicitacaoIE;
    r.setValue("ID_CNAEF_PRINCIPAL", 1147);
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.life(), shell.prompts);
    activate(&form);
    auto* code = form.findChild<QLabel*>("DESC_CNAEFCOD_Qualificacao");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->text(), QStringLiteral("4731-8/00"));
    r.setValue("INSCRICAO_UNICA", "X");
    EXPECT_EQ(r.text("DESC_IEUNICA"), QString());
    r.setValue("INSCRICAO_UNICA", "S");
    EXPECT_EQ(r.text("DESC_IEUNICA"), QStringLiteral("Sim"));
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}

TEST(FormDefects, CnaefButtonsShowTheHand)
{
    Shell shell;
    shell.threeRequests();
    TFrmSolicitacaoIE form(shell.commands(), shell.jx(), shell.life(), shell.prompts);
    activate(&form);
    for (const char* name : { "btn_actCNAEFPrincipal", "btn_actCNAEFSecundario" }) {
        auto* button = form.findChild<QToolButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor) << name;
    }
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}
