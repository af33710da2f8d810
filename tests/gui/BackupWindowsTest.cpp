// The backup-and-restore window driven through its commands: pages, routes, a per-filing
// backup of the selected enablements, and its restore.

#include "BackupWindows.h"
#include "Commands.h"
#include "TscruntBackup.h"
#include "backup/FilingBackup.h"
#include "data/TdtmJX.h"
#include "delivery/RsaKey.h"
#include "enablements/EnablementLifecycle.h"

#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTableView>

#include <gtest/gtest.h>

#include "../support/TestShell.h"
#include "../support/GuiHelpers.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;
using data::RecordSet;

namespace {

struct Shell : TestShell {
    Shell()
    {
        start();
        RsaKeyPair::generate().save(QDir(folder.path()).filePath("BIN"));
        for (const char* cpf : { "52998224725", "11144477735", "39053344705" })
            saveEnablement(QString::fromLatin1(cpf));
    }
    RecordSet& e() { return *jx().cdsSolicitacao_Contab; }
    void saveEnablement(const QString& cpf)
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
    QString backupFolder() const { return QDir(folder.path()).filePath("backup"); }
    void expectPromptsMet()
    {
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString()
                                      << prompts.leftOver().join('\n').toStdString();
    }
};

QString pageName(const TscruntBackup& window)
{
    return window.currentPage()->objectName();
}

} // namespace

TEST(BackupWindow, PagesFollowTheCommandsBothWays)
{
    Shell shell;
    // The middle one incomplete: not offered while the window is open.
    shell.e().moveTo(1);
    shell.e().edit();
    shell.e().setValue("STATUS", "I");
    shell.e().post();
    ASSERT_TRUE(shell.jx().apply(shell.e(), 0, false));
    bool shown = false;
    shell.backups().onShown = [&](TscruntBackup& window) {
        shown = true;
        EXPECT_EQ(window.windowTitle(), "Cópia de Segurança");
        EXPECT_EQ(pageName(window), "tbsEscolheTipo");
        shoot(&window, "backup-tipo");
        EXPECT_EQ(QDir::fromNativeSeparators(window.folder()), shell.backupFolder());
        // No type chosen.
        shell.prompts.expectError(TscruntBackup::kChooseType);
        window.continueFromType();
        EXPECT_EQ(pageName(window), "tbsEscolheTipo");
        // A cancelled folder choice keeps the folder.
        shell.prompts.expectFolder("Alterar Caminho", QString());
        window.changeFolder();
        EXPECT_EQ(QDir::fromNativeSeparators(window.folder()), shell.backupFolder());

        window.chooseCode(1);
        window.continueFromType();
        EXPECT_EQ(pageName(window), "tbsHabContabilista");
        shoot(&window, "backup-habilitacoes");
        EXPECT_EQ(shell.jx().TipoAtual, 0);
        EXPECT_EQ(shell.e().count(), 2);
        EXPECT_TRUE(window.listHasRows());
        // Only the list's Continuar answers Ctrl+C here.
        shell.commands().runUpdateRules();
        EXPECT_FALSE(shell.commands().action("actBackpTipo")->isEnabled());
        EXPECT_TRUE(shell.commands().action("actBackupContHabContabilista")->isEnabled());
        EXPECT_FALSE(shell.commands().action("actBackpIniciar")->isEnabled());
        window.continueFromList();
        EXPECT_EQ(pageName(window), "tbsConfirmacao");
        EXPECT_EQ(window.messageLabel()->text(), TscruntBackup::kBackupsGoTo);
        window.back();
        EXPECT_EQ(pageName(window), "tbsHabContabilista");
        window.back();
        EXPECT_EQ(pageName(window), "tbsEscolheTipo");

        // The database: named when Continuar is pressed, back to the type page.
        window.chooseCode(2);
        window.continueFromType();
        EXPECT_EQ(pageName(window), "tbsConfirmacao");
        EXPECT_TRUE(window.copyName().startsWith("JX"));
        EXPECT_TRUE(window.copyName().endsWith(".bkp"));
        EXPECT_EQ(window.memo()->toPlainText(), window.copyName());
        EXPECT_EQ(window.messageLabel()->text(), TscruntBackup::kCopyGoesTo);
        window.back();
        EXPECT_EQ(pageName(window), "tbsEscolheTipo");
        window.done(0);
    };
    shell.commands().action("actBackp")->trigger();
    EXPECT_TRUE(shown);
    shell.expectPromptsMet();
    // The filters are gone with the window.
    EXPECT_EQ(shell.e().count(), 3);
}

TEST(BackupWindow, SelectedEnablementsBackedUpThenOneRestored)
{
    Shell shell;
    QString written;
    shell.backups().onShown = [&](TscruntBackup& window) {
        window.chooseCode(1);
        window.continueFromType();
        QTableView* grid = window.enablementGrid();
        // The key is a column of the grid, out of sight.
        ASSERT_EQ(grid->model()->columnCount(), 4);
        EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Cód. Habilitação"));
        EXPECT_TRUE(grid->isColumnHidden(3));
        EXPECT_EQ(grid->model()->index(1, 3).data().toString(),
            shell.e().valueAt(1, shell.e().fieldIndex("ID_SOLICITACAO_CONTABILISTA")).toString());
        // The first and the third.
        grid->selectionModel()->select(grid->model()->index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        grid->selectionModel()->select(grid->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.continueFromList();
        shell.prompts.expectInformation(FilingBackup::kDone);
        window.start();
        EXPECT_EQ(pageName(window), "tbsEscolheTipo");
        window.pages()->setCurrentWidget(window.page("tbsConfirmacao"));
        shoot(&window, "backup-confirmacao");
        const QStringList lines = window.memo()->toPlainText().split(u'\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].endsWith(" ..... OK!"));
        EXPECT_TRUE(lines[1].contains("JXHCPF39053344705")) << lines[1].toStdString();
        written = lines[1].left(lines[1].indexOf(" ....."));
        window.done(0);
    };
    shell.commands().action("actBackp")->trigger();
    shell.expectPromptsMet();
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(QFile::exists(written));
    EXPECT_EQ(QDir(shell.backupFolder()).entryList({ "*.xml" }, QDir::Files).size(), 2);

    // Restore mode lists the two files; the enablement is still there: refused as existing.
    shell.backups().onShown = [&](TscruntBackup& window) {
        EXPECT_EQ(window.windowTitle(), "Restauração");
        window.chooseCode(1);
        window.continueFromType();
        EXPECT_EQ(pageName(window), "tbsResHabContabilista");
        shoot(&window, "restauracao-lista");
        EXPECT_EQ(shell.jx().cdsRestauracaoAux->count(), 2);
        window.continueFromList();
        EXPECT_EQ(pageName(window), "tbsConfirmacao");
        EXPECT_EQ(window.messageLabel()->text(), TscruntBackup::kWillRestore);
        EXPECT_EQ(window.memo()->toPlainText(), shell.jx().cdsRestauracaoAux->text("Arquivo"));
        window.done(0);
    };
    shell.commands().action("actRestauracao")->trigger();
    shell.expectPromptsMet();
}
