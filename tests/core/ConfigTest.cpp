#include "Error.h"
#include "config/ConfigApp.h"
#include "config/HelpTopics.h"
#include "config/IniFile.h"
#include "config/ProgramVersion.h"
#include "platform/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"

using namespace jxtest;

using namespace jx;

TEST(ConfigApp, ShippedValuesAndTexts)
{
    TConfigApp config;
    EXPECT_EQ(config.Versao, QStringLiteral("1.00.01"));
    EXPECT_TRUE(config.Release.isEmpty());
    EXPECT_FALSE(config.VersaoTeste);
    EXPECT_TRUE(config.GeraLog);
    EXPECT_EQ(config.NomeArqLog, QStringLiteral("log_erros.log"));
    EXPECT_FALSE(config.loggingActive());
    EXPECT_EQ(config.applicationTitle(), QStringLiteral("JX 1.00.01"));
    EXPECT_EQ(config.mainWindowCaption(), QStringLiteral("Inscrição Estadual 1.00.01"));
    EXPECT_EQ(config.aboutVersionText(), QStringLiteral("Versão 1.00.01"));

    config.Release = QStringLiteral("b");
    EXPECT_EQ(config.mainWindowCaption(), QStringLiteral("Inscrição Estadual 1.00.01b"));
    EXPECT_EQ(config.aboutVersionText(), QStringLiteral("Versão 1.00.01"));
    config.VersaoTeste = true;
    EXPECT_EQ(config.aboutVersionText(), QStringLiteral("Versão Teste 1.00.01b"));
}

TEST(ErrorLog, ShippedConfigurationWritesNothing)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    TConfigApp config;
    config.openLog(dir.path(), prompts);
    config.logError(QStringLiteral("falhou"));
    config.closeLog();
    EXPECT_FALSE(QFile::exists(dir.filePath("log_erros.log")));
    EXPECT_TRUE(prompts.allMet());
}

TEST(ErrorLog, RecordsAreAppendedByteForByte)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QDateTime when(QDate(2005, 3, 7), QTime(9, 5, 59));
    {
        TConfigApp config;
        config.VersaoTeste = true;
        config.openLog(dir.path(), prompts);
        ASSERT_TRUE(config.logOpen());
        config.logError(QStringLiteral("Primeiro erro"), when);
        config.logError(QStringLiteral("Segundo erro"), when.addDays(1));
    }
    const QByteArray first = "Erro ocorrido em : \r\n07/03/2005 09:05\r\nPrimeiro erro\r\n\r\n";
    const QByteArray second = "Erro ocorrido em : \r\n08/03/2005 09:05\r\nSegundo erro\r\n\r\n";
    EXPECT_EQ(contentOf(dir.filePath("log_erros.log")), first + second);

    // A later run appends instead of replacing.
    TConfigApp again;
    again.VersaoTeste = true;
    again.openLog(dir.path(), prompts);
    again.logError(QStringLiteral("Terceiro"), when);
    again.closeLog();
    EXPECT_TRUE(contentOf(dir.filePath("log_erros.log")).startsWith(first + second + "Erro ocorrido em : \r\n"));
    EXPECT_TRUE(prompts.allMet());
}

TEST(ErrorLog, BlankNameIsReportedAndSwitchesLoggingOff)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    prompts.expectInformation(QStringLiteral("Não foi informado o nome do arquivo de Log de controle da aplicação!"));
    TConfigApp config;
    config.VersaoTeste = true;
    config.NomeArqLog = QStringLiteral("   ");
    config.openLog(dir.path(), prompts);
    EXPECT_FALSE(config.GeraLog);
    EXPECT_FALSE(config.loggingActive());
    config.logError(QStringLiteral("x"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
}

TEST(ErrorLog, UnopenableFileSwitchesLoggingOffSilently)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("log_erros.log"); // a folder where the file should be
    ScriptedPrompts prompts;
    TConfigApp config;
    config.VersaoTeste = true;
    config.openLog(dir.path(), prompts);
    EXPECT_FALSE(config.GeraLog);
    config.logError(QStringLiteral("x")); // must not throw
    EXPECT_TRUE(prompts.allMet());
}

TEST(Version, DottedAndCompactForms)
{
    EXPECT_EQ(version::text({ 1, 0, 0, 0 }, true), QStringLiteral("1.00.00"));
    EXPECT_EQ(version::text({ 1, 0, 0, 0 }, false), QStringLiteral("10000"));
    EXPECT_EQ(version::text({ 1, 2, 3, 4 }, true), QStringLiteral("1.02.03"));
    EXPECT_EQ(version::text({ 1, 2, 3, 4 }, false), QStringLiteral("10203"));
    EXPECT_EQ(version::text({ 12, 34, 56, 0 }, true), QStringLiteral("12.34.56"));
    EXPECT_EQ(version::text(true), QStringLiteral("1.00.00"));
}

TEST(Version, SplashPictureEndsInLiteralOne)
{
    EXPECT_EQ(version::splashText({ 1, 0, 0, 0 }), QStringLiteral("1.00.01"));
    EXPECT_EQ(version::splashText({ 1, 0, 2, 0 }), QStringLiteral("1.00.21"));
    EXPECT_EQ(version::splashText({ 1, 0, 10, 0 }), QStringLiteral("1.00.101"));
    EXPECT_EQ(version::splashText({ 1, 5, 0, 9 }), QStringLiteral("1.05.01"));
}

TEST(Ini, CreateFileHasExactlyTwoLines)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("JX.INI");
    writeFile(file, "lixo antigo\r\n");
    ini::createFile(file, QStringLiteral("Banco"), QStringLiteral("\"/dados/Banco/JX.mdb\""));
    EXPECT_EQ(contentOf(file), QByteArray("[BANCO]\r\nFILEPATH = \"/dados/Banco/JX.mdb\"\r\n"));
    EXPECT_EQ(ini::readValue(file, "banco", "filepath"), QStringLiteral("/dados/Banco/JX.mdb"));
}

TEST(Ini, ReadingIgnoresCaseBlanksAndQuotes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("JX.INI");
    writeFile(file, "[Velkor]\nFilePath=  /opt/velkor/velkor  \n\n[banco]\r\n  FILEPATH =\"C:\\Banco\\JX.mdb\" \r\n");
    EXPECT_EQ(ini::readValue(file, "BANCO", "FILEPATH"), QStringLiteral("C:\\Banco\\JX.mdb"));
    EXPECT_EQ(ini::readValue(file, "VELKOR", "filepath"), QStringLiteral("/opt/velkor/velkor"));
    EXPECT_EQ(ini::readValue(file, "BANCO", "OUTRA"), QString());
    EXPECT_EQ(ini::readValue(file, "NADA", "FILEPATH"), QString());
}

TEST(Ini, WriteValueUpdatesOrAdds)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("JX.INI");
    ini::createFile(file, QStringLiteral("BANCO"), QStringLiteral("\"/a/JX.mdb\""));

    ini::writeValue(file, "banco", "FilePath", "\"/b/JX.mdb\"");
    EXPECT_EQ(contentOf(file), QByteArray("[BANCO]\r\nFilePath=\"/b/JX.mdb\"\r\n"));

    ini::writeValue(file, "Velkor", "FILEPATH", "/opt/velkor");
    ini::writeValue(file, "BANCO", "OUTRA", "1");
    EXPECT_EQ(contentOf(file),
        QByteArray("[BANCO]\r\nFilePath=\"/b/JX.mdb\"\r\nOUTRA=1\r\n[Velkor]\r\nFILEPATH=/opt/velkor\r\n"));
    EXPECT_EQ(ini::readValue(file, "BANCO", "FILEPATH"), QStringLiteral("/b/JX.mdb"));
    EXPECT_EQ(ini::readValue(file, "velkor", "filepath"), QStringLiteral("/opt/velkor"));
}

TEST(Ini, MissingFileFailsWithItsText)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("nao.ini");
    EXPECT_EQ(errorOf([&] { ini::readValue(file, "BANCO", "FILEPATH"); }), QStringLiteral("Arquivo não existe!"));
    EXPECT_EQ(errorOf([&] { ini::writeValue(file, "BANCO", "FILEPATH", "x"); }), QStringLiteral("Arquivo não existe!"));
    EXPECT_FALSE(QFile::exists(file));
}

TEST(Help, TopicsPerWindowAndMode)
{
    EXPECT_EQ(help::topicFor("TFrmPrincipal"), 7);
    EXPECT_EQ(help::topicFor("TFrmSolicitacaoIE", QStringLiteral("Sócios")), 25);
    EXPECT_EQ(help::topicFor("TFrmSolicitacaoIE", QStringLiteral("Contabilistas")), 39);
    EXPECT_EQ(help::topicFor("TscruntBackup", "restauracao"), 28);
    EXPECT_EQ(help::topicFor("TscrUntCaptura", "recibo"), 37);
    EXPECT_EQ(help::topicFor("TscrUntPesquisa"), 0);
    EXPECT_EQ(help::topicFor("Desconhecida"), 0);
}
