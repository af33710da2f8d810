#include "BackupWindows.h"
#include "CommandTable.h"
#include "Commands.h"
#include "FirstExposure.h"
#include "JxApplication.h"
#include "Startup.h"
#include "TFrmAguarde.h"
#include "TFrmCadastroPadrao.h"
#include "TFrmPadrao.h"
#include "TFrmPergunta.h"
#include "TFrmPrincipal.h"
#include "THelpWindow.h"
#include "TscrUntSobre.h"
#include "config/ConfigApp.h"
#include "data/TdtmJX.h"
#include "db/TdtmDB.h"
#include "platform/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"
#include "../support/TestShell.h"

using namespace jx;
using namespace jx::gui;
using namespace jxtest;

using Shell = TestShell;

TEST(StartupSequence, SecondInstanceIsRefusedWithoutSplash)
{
    Shell shell;
    QLockFile running(QDir(shell.locks.path()).filePath("JX"));
    ASSERT_TRUE(running.tryLock(0));
    shell.prompts.expectError(QStringLiteral("O programa já está sendo executado!"));
    EXPECT_FALSE(shell.start());
    EXPECT_FALSE(shell.startup->splashShown());
    EXPECT_EQ(shell.startup->database(), nullptr);
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(StartupSequence, FailingDatabaseModuleCreatesNothingElse)
{
    Shell shell;
    QFile::remove(shell.folder.databasePath());
    shell.prompts.expectInformation(TdtmDB::kNotFoundInfo)
        .expectFolder(TdtmDB::kFolderCaption, QString())
        .expectInformation(TdtmDB::kProgramEnds);
    EXPECT_FALSE(shell.start());
    EXPECT_TRUE(shell.startup->splashShown());
    EXPECT_EQ(shell.startup->dataModule(), nullptr);
    EXPECT_EQ(shell.startup->mainWindow(), nullptr);
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(StartupSequence, StartsAndSweepsTheTempFolder)
{
    // What a killed run left (its folder without a live lock) and loose files go; a folder the
    // program never made stays.
    Shell shell;
    QDir(shell.folder.path()).mkpath("Temp/run-morto");
    writeFile(shell.folder.path() + "/Temp/run-morto/JXS.xml", "x");
    writeFile(shell.folder.path() + "/Temp/DecAux.xml", "x");
    QDir(shell.folder.path()).mkpath("Temp/sub");
    writeFile(shell.folder.path() + "/Temp/sub/notas.txt", "x");
    ASSERT_TRUE(shell.start());
    EXPECT_FALSE(QFileInfo::exists(shell.folder.path() + "/Temp/run-morto"));
    EXPECT_FALSE(QFileInfo::exists(shell.folder.path() + "/Temp/DecAux.xml"));
    EXPECT_TRUE(QFileInfo::exists(shell.folder.path() + "/Temp/sub/notas.txt"));
    TFrmPrincipal* main = shell.startup->mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Inscrição Estadual 1.00.01"));
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("JX 1.00.01"));
    EXPECT_EQ(main->clockLabel()->text(), QStringLiteral("..."));
    EXPECT_FALSE(main->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->clockLabel()->text() != QLatin1String("..."); }, 2500));
    EXPECT_TRUE(main->clockLabel()->text().contains(QDate::currentDate().toString("dd/MM/yyyy")));
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(StartupSequence, LockOfACrashedRunIsTakenOver)
{
    Shell shell;
    // A lock file naming a process that no longer exists.
    writeFile(QDir(shell.locks.path()).filePath("JX"), "999999\njx\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    EXPECT_TRUE(shell.start());
}

TEST(StartupSequence, BenchmarkProbeEndsAtTheMainWindowsFirstExposure)
{
    Shell shell;
    int calls = 0;
    bool exposedAtCall = false;
    jx::app::FirstExposure probe(
        [&shell]() -> QWidget* { return shell.startup ? shell.startup->mainWindow() : nullptr; },
        [&] {
            ++calls;
            const QWindow* window = shell.startup->mainWindow()->windowHandle();
            exposedAtCall = window && window->isExposed();
        });
    ASSERT_TRUE(shell.start());
    // The splash came and went before; the main window's exposure is still to be delivered.
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 2000));
    EXPECT_TRUE(exposedAtCall);
    EXPECT_GT(shell.startup->dataModuleOpenNs(), 0);

    // Once only, whatever is exposed after.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    shell.startup->mainWindow()->hide();
    shell.startup->mainWindow()->show();
    QTest::qWait(50);
    EXPECT_EQ(calls, 1);
}

TEST(MainWindow, CloseProtocol)
{
    Shell shell;
    ASSERT_TRUE(shell.start());
    TFrmPrincipal* main = shell.startup->mainWindow();
    Commands& commands = *shell.startup->commands();

    shell.prompts.expectYesNo(TFrmPrincipal::kExitQuestion, false);
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());

    int backups = 0;
    QAction* backup = commands.action("actBackp");
    EXPECT_TRUE(backup->isEnabled());
    QObject::connect(backup, &QAction::triggered, [&] { ++backups; });
    // The backup window opens on "Sim"; here it closes at once.
    shell.startup->backupWindows()->onShown = [](jx::gui::TscruntBackup& window) { window.done(0); };
    shell.prompts.expectYesNo(TFrmPrincipal::kExitQuestion, true).expectYesNo(TFrmPrincipal::kBackupQuestion, false);
    EXPECT_TRUE(main->close());
    EXPECT_EQ(backups, 0);
    main->show();

    shell.prompts.expectYesNo(TFrmPrincipal::kExitQuestion, true).expectYesNo(TFrmPrincipal::kBackupQuestion, true);
    EXPECT_TRUE(main->close());
    EXPECT_EQ(backups, 1);
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(MainWindow, ToolbarAndMenus)
{
    Shell shell;
    ASSERT_TRUE(shell.start());
    TFrmPrincipal* main = shell.startup->mainWindow();
    EXPECT_EQ(main->button("SpeedButton3")->text(), QStringLiteral("&Inscrição Estadual"));
    EXPECT_EQ(main->button("SpeedButton3")->toolTip(), QStringLiteral("Solicitação de Inscrição Estadual (Ctrl+I)"));
    EXPECT_EQ(main->button("SpeedButton4")->text(), QStringLiteral("&Habilitação de Contabilista"));
    EXPECT_EQ(main->button("SpeedButton5")->defaultAction()->objectName(), QStringLiteral("actEntrega_Internet"));
    EXPECT_EQ(main->button("SpeedButton7")->defaultAction()->objectName(), QStringLiteral("actSairPrincipal"));
    EXPECT_EQ(main->button("SpeedButton1")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(main->button("SpeedButton1")->cursor().shape(), Qt::PointingHandCursor);
    QStringList menus;
    for (QAction* a : main->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList { "&Cadastros", "&Entregas", "&Impressões", "&Utilitários", "&Ajuda" }));
    // The print menus lead somewhere.
    for (const char* command : { "actImprimirReciboComputador", "actImprimirReciboDisquete", "actSolicitacaoIE_Selecao",
             "actSolicitacaoContab_Selecao" })
        EXPECT_TRUE(shell.startup->commands()->action(QLatin1String(command))->isEnabled()) << command;
    // Printing the current delivery needs the chooser and a delivery in it.
    EXPECT_FALSE(shell.startup->commands()->action("actImprimiRecibo")->isEnabled());
    EXPECT_TRUE(shell.startup->commands()->action("actSobre")->isEnabled());
}

TEST(Commands, EveryCommandOfTheTableExists)
{
    Commands commands;
    ASSERT_EQ(commands.all().size(), qsizetype(commandTable().size()));
    for (const CommandDef& def : commandTable()) {
        QAction* a = commands.action(QLatin1String(def.name));
        ASSERT_NE(a, nullptr) << def.name;
        EXPECT_EQ(a->objectName(), QLatin1String(def.name));
        EXPECT_EQ(a->text(), QString::fromUtf8(def.caption)) << def.name;
        EXPECT_EQ(a->statusTip(), QString::fromUtf8(def.hint)) << def.name;
        if (*def.hint) {
            EXPECT_EQ(a->toolTip(), QString::fromUtf8(def.hint)) << def.name;
        }
        EXPECT_EQ(a->shortcut(), QKeySequence(QLatin1String(def.shortcut))) << def.name;
        EXPECT_EQ(a->property("category").toString(), QString::fromUtf8(def.category)) << def.name;
        EXPECT_FALSE(a->icon().isNull()) << def.name;
    }
    EXPECT_EQ(commands.action("actProtocolo_Capturar")->text(), QStringLiteral("&Captura de  Protocolo"));
    EXPECT_EQ(commands.action("actSalvarPadrao")->shortcut(), QKeySequence(Qt::Key_F2));
}

TEST(Commands, UpdateRulesDecideTheEnabledState)
{
    Commands commands;
    bool allowed = false;
    commands.setUpdateRule("actEntrega_Disquete", [&] { return allowed; });
    commands.runUpdateRules();
    EXPECT_FALSE(commands.action("actEntrega_Disquete")->isEnabled());
    allowed = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return commands.action("actEntrega_Disquete")->isEnabled(); }, 2000));
}

TEST(BaseWindows, EnterAndShiftEnterWrapThroughTheTabOrder)
{
    Commands commands;
    TFrmCadastroPadrao window(commands);
    auto* a = new QLineEdit(&window);
    auto* b = new QLineEdit(&window);
    auto* c = new QLineEdit(&window);
    for (QLineEdit* e : { a, b, c })
        window.contentLayout()->addWidget(e);
    QWidget::setTabOrder(a, b);
    QWidget::setTabOrder(b, c);
    window.show();
    QApplication::setActiveWindow(&window);
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    EXPECT_EQ(window.focusWidget(), b);
    QTest::keyClick(b, Qt::Key_Enter);
    EXPECT_EQ(window.focusWidget(), c);
    // Past the last editor the chain runs on to the bar's buttons (Enter on a button presses
    // it, so the way back is taken with Shift+Enter), and before the first it wraps.
    QTest::keyClick(c, Qt::Key_Return);
    EXPECT_EQ(window.focusWidget(), window.saveButton());
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(window.focusWidget(), window.helpButton());
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(window.focusWidget(), b);
}

TEST(BaseWindows, ClosingCommitsWhatIsBeingTyped)
{
    TFrmPadrao window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(new QLineEdit(&window));
    QString committed;
    QObject::connect(edit, &QLineEdit::editingFinished, [&] { committed = edit->text(); });
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QTest::keyClicks(edit, "ABC");
    window.done(QDialog::Accepted);
    EXPECT_EQ(committed, QStringLiteral("ABC"));
}

TEST(SharedWindows, AboutBoxTexts)
{
    TConfigApp config;
    {
        TscrUntSobre about(config);
        EXPECT_EQ(about.windowTitle(), QStringLiteral("Sobre o JX"));
        EXPECT_EQ(about.versionLabel()->text(), QStringLiteral("Versão 1.00.01"));
        EXPECT_EQ(about.linkLabel()->toolTip(), QStringLiteral("Conexão com o site da ZKF-QZ"));
        QUrl opened;
        about.openUrl = [&](const QUrl& url) { opened = url; };
        about.show();
        QTest::mouseClick(about.linkLabel(), Qt::LeftButton);
        EXPECT_EQ(opened, QUrl(QStringLiteral("http://www.zkf.qz.gov.br")));
    }
    config.Release = QStringLiteral("a");
    config.VersaoTeste = true;
    TscrUntSobre test(config);
    EXPECT_EQ(test.versionLabel()->text(), QStringLiteral("Versão Teste 1.00.01a"));
}

TEST(SharedWindows, QuestionDialogResults)
{
    Commands commands;
    TFrmPergunta question(commands);
    EXPECT_EQ(question.windowTitle(), QStringLiteral("CNPJ já existente"));
    EXPECT_EQ(question.findChild<QLabel*>("lblPergunta")->text(),
        QStringLiteral("Este CNPJ já existe. \nO que você deseja fazer?"));
    EXPECT_TRUE(question.findChild<QLabel*>("lblPergunta")->font().bold());
    EXPECT_TRUE(question.createButton()->isHidden());
    EXPECT_EQ(question.editButton()->toolTip(), QStringLiteral("Editar (Cltr+E)"));

    QTimer::singleShot(0, [&] { QTest::mouseClick(question.editButton(), Qt::LeftButton); });
    EXPECT_EQ(question.exec(), int(TFrmPergunta::No));
    EXPECT_EQ(question.pos(), QPoint(328, 190));
    QTimer::singleShot(0, [&] { QTest::mouseClick(question.cancelButton(), Qt::LeftButton); });
    EXPECT_EQ(question.exec(), int(TFrmPergunta::Cancel));
    QTimer::singleShot(0, [&] { QTest::keyClick(&question, Qt::Key_E, Qt::ControlModifier); });
    EXPECT_EQ(question.exec(), int(TFrmPergunta::No));
}

TEST(Help, EveryTopicOfTheTableHasItsPage)
{
    for (const int topic :
        { 1, 2, 3, 5, 7, 8, 9, 10, 12, 13, 14, 15, 16, 20, 21, 22, 23, 24, 25, 26, 27, 28, 30, 31, 36, 37, 38, 39 })
        EXPECT_TRUE(THelpWindow::hasTopic(topic)) << topic;
    THelpWindow help;
    help.showTopic(7);
    EXPECT_EQ(help.topic(), 7);
    EXPECT_TRUE(help.browser()->toPlainText().contains(QStringLiteral("O sistema JX")));
    help.showTopic(99);
    EXPECT_EQ(help.topic(), 0);
}

TEST(Help, F1ShowsTheActiveWindowsTopic)
{
    Shell shell;
    ASSERT_TRUE(shell.start());
    Commands& commands = *shell.startup->commands();
    TFrmPadrao window;
    window.setHelpTopic(25);
    window.addAction(commands.action("actAjuda"));
    window.show();
    QApplication::setActiveWindow(&window);
    commands.action("actAjuda")->trigger();
    EXPECT_EQ(shell.startup->helpWindow()->topic(), 25);
    // "&Sistema" on the main window opens topic 7.
    QAction* sistema = shell.startup->mainWindow()->findChild<QAction*>("mniSistema");
    ASSERT_NE(sistema, nullptr);
    EXPECT_EQ(sistema->shortcut(), QKeySequence(Qt::Key_F1));
    sistema->trigger();
    EXPECT_EQ(shell.startup->helpWindow()->topic(), 7);
}

TEST(ErrorHandler, UnhandledErrorsAreShownAndLogged)
{
    Shell shell;
    ASSERT_TRUE(shell.start());
    TConfigApp& config = shell.startup->dataModule()->Config;
    config.VersaoTeste = true;
    config.openLog(shell.folder.path(), shell.prompts);
    shell.prompts.expectError("primeiro erro").expectError("segundo erro");
    QTimer::singleShot(0, [] { throw jx::Error(QStringLiteral("primeiro erro")); });
    QTimer::singleShot(0, [] { throw jx::Error(QStringLiteral("segundo erro")); });
    QTest::qWait(50);
    config.closeLog();
    const QByteArray log = contentOf(QDir(shell.folder.path()).filePath("log_erros.log"));
    EXPECT_EQ(log.count("Erro ocorrido em : \r\n"), 2);
    EXPECT_TRUE(log.contains("\r\nprimeiro erro\r\n\r\nErro ocorrido em : \r\n"));
    EXPECT_TRUE(log.endsWith("\r\nsegundo erro\r\n\r\n"));
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(ErrorHandler, ShippedConfigurationShowsButDoesNotLog)
{
    Shell shell;
    ASSERT_TRUE(shell.start());
    shell.prompts.expectError("falhou");
    QTimer::singleShot(0, [] { throw jx::Error(QStringLiteral("falhou")); });
    QTest::qWait(50);
    EXPECT_FALSE(QFile::exists(QDir(shell.folder.path()).filePath("log_erros.log")));
    EXPECT_TRUE(shell.prompts.allMet()) << shell.prompts.failures().join('\n').toStdString();
}

TEST(Commands, GenericCommandsActOnTheActiveWindow)
{
    Commands commands;
    TFrmCadastroPadrao window(commands);
    int result = -1;
    QObject::connect(&window, &QDialog::finished, [&](int r) { result = r; });
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    commands.action("actSalvarPadrao")->trigger();
    EXPECT_EQ(result, int(QDialog::Accepted));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    commands.action("actCancelarPadrao")->trigger();
    EXPECT_EQ(result, int(QDialog::Rejected));
    EXPECT_EQ(window.saveButton()->defaultAction(), commands.action("actSalvarPadrao"));
    EXPECT_EQ(window.cancelButton()->defaultAction(), commands.action("actCancelarPadrao"));
}

TEST(SharedWindows, WaitWindowShowsTheHourglassOnlyWhileVisible)
{
    TFrmAguarde wait;
    wait.start();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(wait.findChild<QLabel*>("lblAguarde")->text(), QStringLiteral("Aguarde..."));
    wait.finish();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    wait.start(); // reused
    wait.finish();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
