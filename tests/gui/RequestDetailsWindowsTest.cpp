// The request's detail windows driven through their controls: partner and responsible
// forms, linked registrations and CNPJs, the CNAE-F tree.

#include "Commands.h"
#include "RequestWindows.h"
#include "Startup.h"
#include "TFrmCadastroPessoas.h"
#include "TFrmConsCNAEF.h"
#include "TFrmEstabVinc.h"
#include "TFrmSolicitacaoIE.h"
#include "TFrmVerificarPendencias.h"
#include "data/TdtmJX.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/LinkedEstablishments.h"
#include "requests/RequestLifecycle.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "../support/PendingChooser.h"
#include "../support/TestShell.h"
#include "../support/GuiHelpers.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;
using Kind = Persons::Kind;

namespace {

const QStringList kCnpjs { "11222333000181", "33344455000183", "44455566000183" };

struct Shell : TestShell {
    Shell()
    {
        start();
        StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
        RequestLifecycle& life = windows().lifecycle();
        for (const QString& cnpj : kCnpjs) {
            life.confirmNewRequest(cnpj, "", [] { return RequestLifecycle::ExistingAnswer::Edit; }, check);
            RecordSet& a = *jx().cdsSolicIEEndEstab;
            a.setValue("CEP", "70000123");
            a.setValue("ID_UF", 10);
            a.setValue("LOCALIDADE", "CIDADE");
            a.setValue("TIPO_LOGRADOURO", 1);
            a.setValue("LOGRADOURO", "RUA");
            life.save({ "", "", "" });
        }
        jx().cdsSolicitacaoIE->locate("CNPJ", kCnpjs[1]);
        life.beginEdit();
    }
    qint64 inside(const QString& sql)
    {
        db::Statement s = jx().database().connection().prepare(sql);
        s.step();
        return s.int64(0);
    }
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

void pick(QComboBox* combo, RecordSet& reference, const char* key, const QVariant& value)
{
    ASSERT_TRUE(reference.locate(QLatin1String(key), value));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < reference.recNo(); ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

void type(QWidget* edit, const QString& text)
{
    auto* line = qobject_cast<QLineEdit*>(edit);
    line->setFocus();
    if (line->inputMask().isEmpty())
        line->selectAll(); // typing replaces what was there
    else
        line->setCursorPosition(0); // typing overwrites the positions of the mask
    QTest::keyClicks(line, text);
    QTest::keyClick(line, Qt::Key_Tab);
}

} // namespace

TEST(DetailWindows, PartnerFormChecksKindsAndRules)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    Persons& persons = shell.windows().persons();
    persons.beginAdd(Kind::Partner);
    TFrmCadastroSocios form(shell.commands(), jx, persons, shell.prompts);
    activate(&form);
    RecordSet& p = *jx.cdsSolicitacao_IE_Socio;

    auto salvarFails = [&](const QString& message, const char* field) {
        shell.prompts.expectError(message);
        form.done(QDialog::Accepted);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), form.control(QLatin1String(field))) << field;
    };
    type(form.control("PARTICIPACAO_DATA_INICIO"), "31022005");
    salvarFails("Data Inválida!", "PARTICIPACAO_DATA_INICIO");
    type(form.control("PARTICIPACAO_DATA_INICIO"), "01022005");
    salvarFails("O campo Tipo de Identificação deve ser informado!", "TIPO_IDENTIFICACAO");

    // The kind sets the mask and the date caption.
    auto* kind = qobject_cast<QComboBox*>(form.control("TIPO_IDENTIFICACAO"));
    auto* identification = qobject_cast<QLineEdit*>(form.control("IDENTIFICACAO"));
    pick(kind, *jx.cdsTipo_Identificacao, "IDENTIFICACAO", 4);
    EXPECT_EQ(form.caption("DATA_NASCIMENTO")->text(), Persons::kBirthCaption);
    EXPECT_EQ(identification->displayText(), "   .   .   -  ");
    pick(kind, *jx.cdsTipo_Identificacao, "IDENTIFICACAO", 3);
    EXPECT_EQ(form.caption("DATA_NASCIMENTO")->text(), Persons::kActivityCaption);
    EXPECT_EQ(identification->displayText(), "  .   .   /    -  ");
    salvarFails("O campo CPF/CNPJ deve ser informado!", "IDENTIFICACAO");
    type(identification, "11444777000161");
    EXPECT_EQ(p.text("IDENTIFICACAO"), "11444777000161");

    // The legal representative: only for a CNPJ master.
    QWidget* representative = form.control("IDENT_PROCURADOR_RESPONSAVEL");
    EXPECT_FALSE(representative->isEnabled());
    QTest::mouseClick(form.findChild<QRadioButton*>("dbrgMaster_0"), Qt::LeftButton);
    EXPECT_TRUE(representative->isEnabled());
    EXPECT_TRUE(form.caption("IDENT_PROCURADOR_RESPONSAVEL")->font().bold());
    EXPECT_TRUE(form.caption("TELEFONE")->font().bold());
    type(representative, "52998224725");
    EXPECT_EQ(p.text("IDENT_PROCURADOR_RESPONSAVEL"), "52998224725");
    QTest::mouseClick(form.findChild<QRadioButton*>("dbrgMaster_1"), Qt::LeftButton);
    EXPECT_FALSE(representative->isEnabled());
    EXPECT_TRUE(p.value("IDENT_PROCURADOR_RESPONSAVEL").isNull());
    EXPECT_FALSE(form.caption("TELEFONE")->font().bold());

    // Participation: 0 to 100, the previous value kept otherwise.
    QWidget* share = form.control("PARTICIPACAO");
    type(share, "50");
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 50.0);
    EXPECT_EQ(qobject_cast<QLineEdit*>(share)->text(), "50,00");
    shell.prompts.expectError("Participação deve estar entre 0 e 100%");
    type(share, "100,01");
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 50.0);
    // Typed and Salvar at once: one message, the form stays on the field.
    shell.prompts.expectError("Participação deve estar entre 0 e 100%");
    share->setFocus();
    qobject_cast<QLineEdit*>(share)->selectAll();
    QTest::keyClicks(share, "150");
    form.done(QDialog::Accepted);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(p.value("PARTICIPACAO").toDouble(), 50.0);
    shell.expectPromptsMet();
    shoot(&form, "socio");

    form.done(QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    shell.expectPromptsMet();
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_IE_SOCIO WHERE IDENTIFICACAO = '11444777000161'"), 1);

    // The same digits again are a duplicate, whatever the kind.
    persons.beginAdd(Kind::Partner);
    TFrmCadastroSocios second(shell.commands(), jx, persons, shell.prompts);
    activate(&second);
    pick(qobject_cast<QComboBox*>(second.control("TIPO_IDENTIFICACAO")), *jx.cdsTipo_Identificacao, "IDENTIFICACAO", 3);
    type(second.control("IDENTIFICACAO"), "11444777000161");
    shell.prompts.expectError("Já existe um Sócio cadastrado com este CNPJ!");
    second.done(QDialog::Accepted);
    EXPECT_TRUE(second.isVisible());
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    second.done(QDialog::Rejected);
    EXPECT_FALSE(second.isVisible());
    shell.expectPromptsMet();
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_IE_SOCIO"), 1);
}

// Digits typed before the kind is chosen are kept and laid into the kind's mask, whether the
// field was left first or the kind changed while the field still held the typing.
TEST(DetailWindows, DigitsTypedBeforeTheKindAreLaidIntoItsMask)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    Persons& persons = shell.windows().persons();
    RecordSet& p = *jx.cdsSolicitacao_IE_Socio;
    for (const bool leftFirst : { true, false }) {
        persons.beginAdd(Kind::Partner);
        TFrmCadastroSocios form(shell.commands(), jx, persons, shell.prompts);
        activate(&form);
        auto* kind = qobject_cast<QComboBox*>(form.control("TIPO_IDENTIFICACAO"));
        auto* identification = qobject_cast<QLineEdit*>(form.control("IDENTIFICACAO"));
        identification->setFocus();
        QTest::keyClicks(identification, "123456");
        if (leftFirst) {
            QTest::keyClick(identification, Qt::Key_Tab);
            pick(kind, *jx.cdsTipo_Identificacao, "IDENTIFICACAO", 4);
        } else {
            // As a turn of the mouse wheel over the list does: the typing keeps the focus.
            ASSERT_TRUE(jx.cdsTipo_Identificacao->locate("IDENTIFICACAO", 4));
            kind->setCurrentIndex(jx.cdsTipo_Identificacao->recNo());
            Q_EMIT kind->activated(kind->currentIndex());
        }
        EXPECT_EQ(identification->displayText(), "123.456.   -  ") << leftFirst;
        pick(kind, *jx.cdsTipo_Identificacao, "IDENTIFICACAO", 3);
        EXPECT_EQ(identification->displayText(), "12.345.6  /    -  ") << leftFirst;
        identification->setFocus();
        QTest::keyClick(identification, Qt::Key_Tab);
        EXPECT_EQ(p.text("IDENTIFICACAO"), "123456") << leftFirst;
        shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
        form.done(QDialog::Rejected);
    }
    shell.expectPromptsMet();
}

TEST(DetailWindows, DeletingThePartnerSelectedInTheGrid)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    Persons& persons = shell.windows().persons();
    for (const char* id : { "52998224725", "11144477735", "98765432100" }) {
        persons.beginAdd(Kind::Partner);
        jx.cdsSolicitacao_IE_Socio->setValue("TIPO_IDENTIFICACAO", 4);
        jx.cdsSolicitacao_IE_Socio->setValue("IDENTIFICACAO", QLatin1String(id));
        ASSERT_TRUE(persons.store(Kind::Partner));
    }
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.windows().lifecycle(), shell.prompts);
    activate(&form);
    form.topTabs()->setCurrentIndex(1);
    form.innerTabs()->setCurrentIndex(3);
    auto* grid = qobject_cast<QTableView*>(form.control("dbgSocios"));
    ASSERT_NE(grid, nullptr);
    jx.cdsSolicitacao_IE_Socio->first();
    const QModelIndex middle = grid->model()->index(1, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(middle).center());
    EXPECT_EQ(jx.cdsSolicitacao_IE_Socio->text("IDENTIFICACAO"), "11144477735");
    shell.prompts.expectYesNo(Persons::kDeletePartner, true);
    shell.windows().deletePerson(Kind::Partner);
    shell.expectPromptsMet();
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_IE_SOCIO WHERE IDENTIFICACAO = '11144477735'"), 0);
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_IE_SOCIO"), 2);
    EXPECT_EQ(grid->selectionModel()->currentIndex().row(), jx.cdsSolicitacao_IE_Socio->recNo());
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}

TEST(DetailWindows, ResponsibleFormChecks)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    Persons& persons = shell.windows().persons();
    for (const char* cpf : { "52998224725", "11144477735" }) {
        persons.beginAdd(Kind::Responsible);
        TFrmCadastroResponsaveis form(shell.commands(), jx, persons, shell.prompts);
        activate(&form);
        EXPECT_FALSE(form.control("DATA_FIM")->isVisibleTo(&form));
        if (QLatin1String(cpf) == QLatin1String("52998224725")) {
            type(form.control("DATA_INICIO"), "30022005");
            shell.prompts.expectError("Data Inválida!");
            form.done(QDialog::Accepted);
            EXPECT_EQ(QApplication::focusWidget(), form.control("DATA_INICIO"));
            type(form.control("DATA_INICIO"), "01022005");
            shell.prompts.expectError("O campo Identificação deve ser informado!");
            form.done(QDialog::Accepted);
        }
        type(form.control("IDENTIFICACAO"), QLatin1String(cpf));
        type(form.control("EMAIL"), "Contato@Empresa.com");
        EXPECT_EQ(jx.cdsIERespCom->text("EMAIL"), "Contato@Empresa.com"); // the case stays as typed
        shoot(&form, "responsavel");
        form.done(QDialog::Accepted);
        EXPECT_FALSE(form.isVisible());
    }
    persons.beginAdd(Kind::Responsible);
    TFrmCadastroResponsaveis repeated(shell.commands(), jx, persons, shell.prompts);
    activate(&repeated);
    type(repeated.control("IDENTIFICACAO"), "52998224725");
    shell.prompts.expectInformation(Persons::kResponsibleExists);
    repeated.done(QDialog::Accepted);
    EXPECT_TRUE(repeated.isVisible());
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    repeated.done(QDialog::Rejected);
    shell.expectPromptsMet();
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_IE_RESPONSAVEL"), 2);
}

TEST(DetailWindows, LinkedRegistrationsAndCnpjs)
{
    Shell shell;
    LinkedEstablishments& linked = shell.windows().linked();
    StateRegistrationCheck check(QCoreApplication::applicationDirPath() + "/libDllInscE32.so");
    auto enter = [&](LinkedEntryDialog& dialog, const QString& digits) {
        activate(&dialog);
        dialog.edit()->setFocus();
        dialog.edit()->setCursorPosition(0);
        QTest::keyClicks(dialog.edit(), digits);
        dialog.done(QDialog::Accepted);
    };
    for (const char* ie : { "3322565140600", "5203139720167" }) {
        linked.beginAddIe();
        TFrmNovaIESolicEstabVinc dialog(shell.commands(), linked, shell.prompts);
        dialog.confirm = [&](const QString& digits) { return linked.addIe(digits, check); };
        if (QLatin1String(ie) == QLatin1String("5203139720167")) {
            shell.prompts.expectError(LinkedEstablishments::kIeInvalid);
            enter(dialog, "5203139720168");
            EXPECT_TRUE(dialog.isVisible());
            dialog.edit()->clear();
        }
        enter(dialog, QLatin1String(ie));
        EXPECT_FALSE(dialog.isVisible());
    }
    TFrmIEEstabVinc list(shell.commands(), linked);
    activate(&list);
    EXPECT_EQ(list.grid()->model()->rowCount(), 2);
    EXPECT_EQ(list.grid()->model()->index(0, 0).data().toString(), "332256514.06-00");

    linked.beginAddCnpj();
    TFrmNovaCNPJEstabVinc cnpj(shell.commands(), linked, shell.prompts);
    cnpj.confirm = [&](const QString& digits) { return linked.addCnpj(digits); };
    shell.prompts.expectError(LinkedEstablishments::kCnpjInvalid);
    enter(cnpj, "33344455000284");
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, false);
    cnpj.done(QDialog::Rejected);
    EXPECT_TRUE(cnpj.isVisible());
    cnpj.edit()->clear();
    enter(cnpj, "33344455000264");
    shell.expectPromptsMet();
    EXPECT_FALSE(cnpj.isVisible());
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_CNPJ_VINCULADO WHERE CNPJ_NUCLEO = '33344455' AND "
                           "CNPJ_FILIAL = '0002' AND CNPJ_DV = '64'"),
        1);
    EXPECT_EQ(shell.inside("SELECT count(*) FROM SOLICITACAO_IE_VINCULADO"), 2);
    list.hide();
}

TEST(DetailWindows, TheCnaefTreeAndItsChoice)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.windows().lifecycle(), shell.prompts);
    activate(&form);
    QElapsedTimer opening;
    opening.start();
    TFrmConsCNAEF dialog(shell.commands(), jx, shell.prompts, &form);
    activate(&dialog);
    std::fprintf(stderr, "TFrmConsCNAEF aberto em %lld ms (ASan)\n", static_cast<long long>(opening.elapsed()));
    QTreeWidget* tree = dialog.tree();
    EXPECT_EQ(tree->topLevelItemCount(), 21);
    auto find = [&](const QString& prefix) {
        const QList<QTreeWidgetItem*> found = tree->findItems(prefix, Qt::MatchStartsWith | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    };
    QTreeWidgetItem* cls = find("4731-8 - ");
    ASSERT_NE(cls, nullptr);
    ASSERT_EQ(cls->childCount(), 1);
    EXPECT_TRUE(cls->child(0)->text(0).startsWith("4731-8/00 - "));
    EXPECT_TRUE(cls->parent()->text(0).startsWith("473 - "));

    // A class (level 4) cannot be chosen; nor can nothing.
    tree->setCurrentItem(cls);
    shell.prompts.expectInformation(cnaef::kNotLastLevel);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    shoot(&dialog, "cnaef");
    tree->setCurrentItem(cls->child(0));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenCode(), "4731-8/00");
    shell.expectPromptsMet();

    form.chooseCnaef(true, dialog.chosenCode());
    RecordSet& r = *jx.cdsSolicitacaoIE;
    EXPECT_EQ(r.text("NUMCNAEF_P"), "4731-8/00");
    EXPECT_EQ(r.value("ID_CNAEF_PRINCIPAL").toInt(), 1147);
    EXPECT_EQ(form.findChild<QLineEdit*>("pnlCnaefPrincipalCod")->text(), "4731-8/00");
    // Three desmembramentos: the list, enabled.
    // (the Qualificação tab is not the one shown: the controls' own visibility is compared)
    EXPECT_FALSE(form.control("dbLkDesmembramento1")->isHidden());
    EXPECT_TRUE(form.control("dbLkDesmembramento1")->isEnabled());
    EXPECT_TRUE(form.control("dbTextDesm1")->isHidden());
    const cnaef::DependentList& cae = form.cnaefChoice().cae();
    EXPECT_EQ(form.control("dbLkCAE")->isEnabled(), cae.listEnabled);
    EXPECT_EQ(!form.control("dbTextCAE")->isHidden(), cae.textVisible);
    if (cae.textVisible) {
        EXPECT_FALSE(r.value("ID_CAE").isNull()); // the single CAE is stored without a choice
        EXPECT_EQ(qobject_cast<QLabel*>(form.control("dbTextCAE"))->text(), cae.text);
    }
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}

TEST(DetailWindows, VerifyShowsTheListWithItsTotalsAndIcons)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    TFrmSolicitacaoIE form(shell.commands(), jx, shell.windows().lifecycle(), shell.prompts);
    activate(&form);
    int errors = -1;
    int warnings = -1;
    int rows = -1;
    QString errorsShown;
    QString firstLine;
    QTimer::singleShot(0, [&] {
        const bool up = QTest::qWaitFor(
            [] { return qobject_cast<TFrmVerificarPendencias*>(QApplication::activeModalWidget()) != nullptr; }, 3000);
        auto* list = qobject_cast<TFrmVerificarPendencias*>(QApplication::activeModalWidget());
        if (up && list) {
            errors = list->errors();
            warnings = list->warnings();
            rows = list->grid()->model()->rowCount();
            errorsShown = list->findChild<QLabel*>("lblErros")->text();
            firstLine = list->findChild<QLabel*>("lblLinha1")->text();
            shoot(list, "pendencias");
            list->close();
        } else if (QWidget* other = QApplication::activeModalWidget()) {
            other->close();
        }
    });
    shell.windows().verifyRequest();
    EXPECT_GT(errors, 0);
    EXPECT_EQ(warnings, 0);
    EXPECT_EQ(rows, errors + warnings);
    EXPECT_EQ(errorsShown, QString::number(errors));
    EXPECT_EQ(firstLine, "Os ERROS impedem a gravação da Solicitação para entrega à ZKF, enquanto os");
    EXPECT_EQ(jx.cdsPendecias->count(), rows);
    // The icons: a red diamond and a yellow triangle, transparent around them.
    const QImage error = TFrmVerificarPendencias::errorIcon().toImage();
    const QImage warning = TFrmVerificarPendencias::warningIcon().toImage();
    EXPECT_EQ(error.size(), QSize(16, 16));
    EXPECT_GT(qRed(error.pixel(3, 8)), 150);
    EXPECT_EQ(qAlpha(error.pixel(0, 0)), 0);
    EXPECT_GT(qGreen(warning.pixel(4, 13)), 150);
    EXPECT_EQ(qAlpha(warning.pixel(0, 0)), 0);
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}

TEST(DetailWindows, AnItemOfEachAreaTakesTheFocusToItsControl)
{
    Shell shell;
    TdtmJX& jx = shell.jx();
    Persons& persons = shell.windows().persons();
    // Three partners: the middle one's CPF is wrong; a responsible person without CPF.
    for (const char* cpf : { "52998224725", "52998224726", "11144477735" }) {
        persons.beginAdd(Kind::Partner);
        RecordSet& p = *jx.cdsSolicitacao_IE_Socio;
        p.setValue("TIPO_IDENTIFICACAO", 4);
        p.setValue("IDENTIFICACAO", cpf);
        p.setValue("RESPONSAVEL_MASTER", "N");
        ASSERT_TRUE(persons.store(Kind::Partner));
    }
    persons.beginAdd(Kind::Responsible);
    jx.cdsSolicitacao_IE_Responsavel->setValue("ID_FUNCAO", 1);
    ASSERT_TRUE(persons.store(Kind::Responsible));
    RecordSet& r = *jx.cdsSolicitacaoIE;
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "123");
    r.setValue("VINCULO", 2);
    jx.cdsSolicitacaoIEComun->setValue("TELEFONE", "123");
    RecordSet& corresp = *jx.cdsSolicIEEndCorresp;
    corresp.setValue("CEP", "70000123");
    jx.cdsSolicIEEndEstab->setValue("LOGRADOURO", QVariant());

    TFrmSolicitacaoIE form(shell.commands(), jx, shell.windows().lifecycle(), shell.prompts);
    activate(&form);
    const struct {
        const char* text;
        const char* control; // the focused widget, or its container
        const char* page; // the page shown
        int partnerRow;
    } cases[] = {
        { "Limite Receita Bruta", "dbReceitaBruta", "tbsDadosIniciais", -1 },
        { "Nome Empresarial", "dbNomeEmpresarial", "tbsIdentificacao", -1 },
        { "Forma de Comercialização", "DBFORMACOMERCIALIZACAO", "tbsQualificacao", -1 },
        { "Tipo do Doc. do Contabilista", "dbLkTipoDocContabilista", "tbsContabilistas", -1 },
        { "Telefone inválido", "dbTelefone", "tbsEnderecoComunicacao", -1 },
        { "Inscrição Estadual Vinculada", "btn_actIEEstabVinc", "tbsIdentificacao", -1 },
        { "Sócio: 52998224726 CPF", "dbgSocios", nullptr, 1 },
        { "Responsável:  O campo Identificação", "dbgResponsaveis", nullptr, -1 },
        { "O campo Logradouro deve", "btn_actSolicitacaoIEInclusaoEndEstab", "tbsEnderecoComunicacao", -1 },
        { "CNAE-F Principal deve", "pnlCnaefPrincipalCod", "tbsDadosIniciais", -1 },
    };
    for (const auto& c : cases) {
        Chooser chooser { QString::fromUtf8(c.text), c.partnerRow < 0, false, {} };
        chooser.arm(jx);
        shell.windows().verifyRequest();
        ASSERT_TRUE(chooser.listed) << c.text;
        for (const QString& control : chooser.controls)
            EXPECT_NE(form.findChild<QWidget*>(control), nullptr) << control.toStdString();
        QWidget* focus = form.focusWidget();
        ASSERT_NE(focus, nullptr) << c.text;
        QWidget* target = form.findChild<QWidget*>(QString::fromUtf8(c.control));
        EXPECT_TRUE(focus == target || (target && target->isAncestorOf(focus)))
            << c.text << " → " << focus->objectName().toStdString();
        if (c.page) {
            QWidget* page = form.findChild<QWidget*>(QString::fromUtf8(c.page));
            EXPECT_TRUE(page && page->isVisible()) << c.text;
        }
        if (c.partnerRow >= 0) {
            EXPECT_EQ(jx.cdsSolicitacao_IE_Socio->text("IDENTIFICACAO"), "52998224726");
        }
    }
    // The correspondence address's items, the same texts, go to its own link.
    jx.cdsSolicIEEndEstab->setValue("LOGRADOURO", "RUA");
    Chooser corresponding { QStringLiteral("O campo Logradouro deve"), false, false, {} };
    corresponding.arm(jx);
    shell.windows().verifyRequest();
    ASSERT_NE(form.focusWidget(), nullptr);
    EXPECT_EQ(form.focusWidget()->objectName(), "btn_actSolicitacaoIEInclusaoEndCorresp");
    shell.prompts.expectYesNo(RequestLifecycle::kCancelQuestion, true);
    form.done(QDialog::Rejected);
}
