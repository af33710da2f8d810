#include "config/IniFile.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "platform/ScriptedPrompts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "../support/TestFiles.h"

using namespace jx;
using namespace jxtest;

namespace {

// A program folder with a fresh database copy (built once per run).
class ProgramFolder {
public:
    ProgramFolder()
    {
        static const QString shipped = [] {
            static QTemporaryDir store;
            const QString path = store.filePath("JX.mdb");
            db::createDatabase(path);
            return path;
        }();
        QDir(m_dir.path()).mkpath("Banco");
        QFile::copy(shipped, databasePath());
    }
    QString path() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.filePath("Banco/JX.mdb"); }
    QString ini() const { return m_dir.filePath("BIN/JX.INI"); }

private:
    QTemporaryDir m_dir;
};

struct Ended {
    int calls = 0;
    TerminationHook hook()
    {
        return [this] { ++calls; };
    }
};

// Builds the module and reports whether it ended the program.
bool moduleEnds(const QString& folder, ScriptedPrompts& prompts, Ended& ended)
{
    try {
        TdtmDB module(folder, prompts, ended.hook());
        return false;
    } catch (const ProgramEnd&) {
        return ended.calls == 1;
    }
}

QStringList column(db::Connection& c, const QString& sql, int col = 0)
{
    db::Statement s = c.prepare(sql);
    QStringList out;
    while (s.step())
        out << s.text(col);
    return out;
}

} // namespace

TEST(Store, FileIsEncryptedAndNeedsTheKey)
{
    ProgramFolder folder;
    EXPECT_FALSE(contentOf(folder.databasePath()).startsWith("SQLite format 3"));
    db::Connection wrong;
    EXPECT_THROW(wrong.open(folder.databasePath(), "outra-senha"), db::DbError);
    db::Connection right;
    right.open(folder.databasePath(), db::kDatabaseKey);
    EXPECT_EQ(column(right, "SELECT count(*) FROM SOLICITACAO_IE"), QStringList { "0" });
    EXPECT_EQ(column(right, "SELECT count(*) FROM PENDENCIAS"), QStringList { "0" });
    EXPECT_EQ(column(right, "SELECT count(*) FROM CNAEF"), QStringList { "2417" });
}

TEST(Store, TextSizesAreEnforcedAndKeysOnlyIncrease)
{
    ProgramFolder folder;
    db::Connection c;
    c.open(folder.databasePath(), db::kDatabaseKey);
    db::Statement ok = c.prepare("INSERT INTO COMUNICACAO (TELEFONE) VALUES (?)");
    ok.bind(1, QString(10, '1'));
    ok.run();
    const qint64 first = c.lastInsertId();
    db::Statement tooLong = c.prepare("INSERT INTO COMUNICACAO (TELEFONE) VALUES (?)");
    tooLong.bind(1, QString(11, '1'));
    EXPECT_THROW(tooLong.run(), db::DbError);
    // Accented letters count as one character each.
    db::Statement accents = c.prepare("INSERT INTO COMUNICACAO (EMAIL) VALUES (?)");
    accents.bind(1, QString(50, QChar(0xE7)));
    accents.run();
    c.exec(QStringLiteral("DELETE FROM COMUNICACAO WHERE ID_COMUNICACAO = %1").arg(c.lastInsertId()));
    db::Statement again = c.prepare("INSERT INTO COMUNICACAO (TELEFONE) VALUES ('1')");
    again.run();
    EXPECT_EQ(c.lastInsertId(), first + 2); // a deleted key is never handed out again
    db::Statement small = c.prepare("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO) VALUES (70000)");
    EXPECT_THROW(small.run(), db::DbError);
}

TEST(Store, FlatTransactions)
{
    ProgramFolder folder;
    db::Connection c;
    c.open(folder.databasePath(), db::kDatabaseKey);
    c.begin();
    c.begin(); // does nothing
    c.exec("INSERT INTO COMUNICACAO (TELEFONE) VALUES ('1')");
    EXPECT_TRUE(c.inTransaction());
    c.rollback();
    EXPECT_FALSE(c.inTransaction());
    EXPECT_EQ(column(c, "SELECT count(*) FROM COMUNICACAO"), QStringList { "0" });
}

TEST(ReferenceWindow, ExpiredRowsGoFutureRowsWithoutEndStay)
{
    ProgramFolder folder;
    db::Connection c;
    c.open(folder.databasePath(), db::kDatabaseKey);
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    c.exec(QStringLiteral("INSERT INTO FUNCAO_RESPONSAVEL VALUES (901, 'ONTEM', '2000-01-01', '%1')").arg(yesterday));
    c.exec(QStringLiteral("INSERT INTO FUNCAO_RESPONSAVEL VALUES (902, 'HOJE', '2000-01-01', '%1')").arg(today));
    c.exec("INSERT INTO FUNCAO_RESPONSAVEL VALUES (903, 'FUTURO', '2999-01-01', NULL)");
    const QStringList rows = column(c, db::referenceQuery("FUNCAO_RESPONSAVEL"), 1);
    EXPECT_FALSE(rows.contains("ONTEM"));
    EXPECT_TRUE(rows.contains("HOJE"));
    EXPECT_TRUE(rows.contains("FUTURO"));
    EXPECT_TRUE(std::is_sorted(
        rows.begin(), rows.end(), [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; }));
}

TEST(ReferenceWindow, ShippedDataKeepsItsOrderAndExpiries)
{
    ProgramFolder folder;
    db::Connection c;
    c.open(folder.databasePath(), db::kDatabaseKey);
    // The CNAE-F tree comes back in file order, not key order.
    QStringList ids;
    for (const QString& id : column(c, db::referenceQuery("CNAEF")))
        ids << QString::number(id.toDouble());
    ASSERT_GT(ids.size(), 2400);
    EXPECT_EQ(ids[0], "1");
    EXPECT_EQ(ids[1], "2001");
    EXPECT_FALSE(ids.contains("1133")); // expired subclass
    EXPECT_TRUE(ids.contains("1716")); // future start, no end
    EXPECT_EQ(column(c, db::referenceQuery("VINCULO"), 1).first(), QStringLiteral("NÃO"));
}

TEST(LocateDatabase, FirstRunAtTheDefaultLocationCreatesTheIni)
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    const QString path = TdtmDB::locateDatabase(folder.path(), prompts);
    EXPECT_EQ(path, folder.databasePath());
    EXPECT_EQ(contentOf(folder.ini()), ("[BANCO]\r\nFILEPATH = \"" + folder.databasePath() + "\"\r\n").toUtf8());
    EXPECT_TRUE(prompts.allMet());
    EXPECT_EQ(TdtmDB::locateDatabase(folder.path(), prompts), folder.databasePath());
}

TEST(LocateDatabase, MovedFileFallsBackToTheDefaultAndUpdatesTheIni)
{
    ProgramFolder folder;
    QDir().mkpath(folder.path() + "/BIN");
    ini::createFile(folder.ini(), "BANCO", "\"/lugar/antigo/JX.mdb\"");
    ScriptedPrompts prompts;
    EXPECT_EQ(TdtmDB::locateDatabase(folder.path(), prompts), folder.databasePath());
    EXPECT_EQ(ini::readValue(folder.ini(), "BANCO", "FILEPATH"), folder.databasePath());
    EXPECT_TRUE(contentOf(folder.ini()).contains("FILEPATH=\"" + folder.databasePath().toUtf8() + "\""));
    EXPECT_TRUE(prompts.allMet());
}

TEST(LocateDatabase, FolderQuestionLoop)
{
    ProgramFolder folder;
    QTemporaryDir elsewhere;
    QDir(elsewhere.path()).mkpath("vazia");
    QDir(elsewhere.path()).mkpath("certa");
    QFile::rename(folder.databasePath(), elsewhere.filePath("certa/jx.MDB"));
    QDir().mkpath(folder.path() + "/BIN");
    ini::createFile(folder.ini(), "BANCO", "\"/lugar/antigo/JX.mdb\"");

    ScriptedPrompts prompts;
    prompts.expectInformation(TdtmDB::kNotFoundInfo)
        .expectFolder(TdtmDB::kFolderCaption, elsewhere.filePath("vazia"))
        .expectYesNo(TdtmDB::kNotInFolder, true)
        .expectFolder(TdtmDB::kFolderCaption, QString()) // cancelled: the question comes back
        .expectYesNo(TdtmDB::kNotInFolder, true)
        .expectFolder(TdtmDB::kFolderCaption, elsewhere.filePath("certa"));
    const QString path = TdtmDB::locateDatabase(folder.path(), prompts);
    EXPECT_EQ(path, elsewhere.filePath("certa/jx.MDB"));
    EXPECT_EQ(ini::readValue(folder.ini(), "BANCO", "FILEPATH"), path);
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
}

TEST(LocateDatabase, GivingUpEndsTheProgram)
{
    ProgramFolder folder;
    QFile::remove(folder.databasePath());
    {
        ScriptedPrompts prompts;
        prompts.expectInformation(TdtmDB::kNotFoundInfo)
            .expectFolder(TdtmDB::kFolderCaption, QString())
            .expectInformation(TdtmDB::kProgramEnds);
        Ended ended;
        EXPECT_TRUE(moduleEnds(folder.path(), prompts, ended));
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
    }
    {
        ScriptedPrompts prompts;
        prompts.expectInformation(TdtmDB::kNotFoundInfo)
            .expectFolder(TdtmDB::kFolderCaption, folder.path())
            .expectYesNo(TdtmDB::kNotInFolder, false)
            .expectInformation(TdtmDB::kProgramEnds);
        Ended ended;
        EXPECT_TRUE(moduleEnds(folder.path(), prompts, ended));
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
    }
    EXPECT_FALSE(QFile::exists(folder.ini()));
}

TEST(DatabaseModule, RefusedFilesEachGiveTheirMessage)
{
    struct Case {
        const char* what;
        std::function<void(const QString&)> spoil;
        bool readOnly;
    };
    const std::vector<Case> cases {
        { "senha errada",
            [](const QString& path) {
                QFile::remove(path);
                db::Connection c;
                c.open(path, "outra", true);
                c.exec("CREATE TABLE SOLICITACAO_IE (ID_SOLICITACAO INTEGER PRIMARY KEY)");
            },
            false },
        { "SQLite comum",
            [](const QString& path) {
                QFile::remove(path);
                sqlite3* plain = nullptr;
                sqlite3_open(path.toUtf8().constData(), &plain);
                sqlite3_exec(plain, "CREATE TABLE SOLICITACAO_IE (ID_SOLICITACAO INTEGER)", nullptr, nullptr, nullptr);
                sqlite3_close(plain);
            },
            false },
        { "sem SOLICITACAO_IE",
            [](const QString& path) {
                db::Connection c;
                c.open(path, db::kDatabaseKey);
                c.exec("DROP TABLE SOLICITACAO_IE");
            },
            false },
        { "sem a chave",
            [](const QString& path) {
                db::Connection c;
                c.open(path, db::kDatabaseKey);
                c.exec("DROP TABLE SOLICITACAO_IE");
                c.exec("CREATE TABLE SOLICITACAO_IE (CNPJ TEXT)");
            },
            false },
        { "texto qualquer", [](const QString& path) { writeFile(path, QByteArray(5000, 'x')); }, false },
        { "somente leitura",
            [](const QString& path) { QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup); },
            true },
    };
    for (const Case& c : cases) {
        ProgramFolder folder;
        c.spoil(folder.databasePath());
        ScriptedPrompts prompts;
        prompts.expectError(
            c.readOnly ? TdtmDB::readOnlyText(folder.databasePath()) : TdtmDB::invalidText(folder.databasePath()));
        Ended ended;
        EXPECT_TRUE(moduleEnds(folder.path(), prompts, ended)) << c.what;
        EXPECT_TRUE(prompts.allMet()) << c.what << ": " << prompts.failures().join('\n').toStdString();
    }
}

TEST(DatabaseModule, ReconnectsAfterTheConnectionWasClosed)
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Ended ended;
    TdtmDB module(folder.path(), prompts, ended.hook());
    EXPECT_EQ(ended.calls, 0);
    module.closeConnection();
    module.beginTransaction();
    EXPECT_TRUE(module.inTransaction());
    module.rollbackTransaction();
    EXPECT_EQ(TdtmDB::readOnlyText("/x/JX.mdb"),
        QStringLiteral("O arquivo de Banco de Dados (/x/JX.mdb) está como 'Somente Leitura'\r\ne não poderá ser "
                       "usado. O Programa será finalizado."));
}

TEST(DatabaseModule, ACommitWaitsWhileAnotherConnectionReadsAndIsWrittenForPowerLoss)
{
    ProgramFolder folder;
    TdtmDB module(TdtmDB::AtPath { folder.databasePath() });
    db::Connection& c = module.connection();
    EXPECT_EQ(column(c, "PRAGMA journal_mode"), QStringList { "delete" });
    EXPECT_EQ(column(c, "PRAGMA synchronous"), QStringList { "2" }); // FULL

    // Another program reads inside a transaction for a second: the commit waits for it.
    std::promise<void> reading;
    std::thread reader([&] {
        db::Connection other;
        other.open(folder.databasePath(), db::kDatabaseKey);
        other.begin();
        column(other, "SELECT count(*) FROM ENDERECO");
        reading.set_value();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        other.commit();
    });
    reading.get_future().wait();
    module.beginTransaction();
    c.exec("INSERT INTO ENDERECO (CEP) VALUES ('70000123'), ('70000456'), ('70000789')");
    QElapsedTimer waited;
    waited.start();
    EXPECT_NO_THROW(module.commitTransaction());
    EXPECT_GE(waited.elapsed(), 500);
    reader.join();
    db::Connection after;
    after.open(folder.databasePath(), db::kDatabaseKey);
    EXPECT_EQ(column(after, "SELECT CEP FROM ENDERECO ORDER BY ID_ENDERECO"),
        QStringList({ "70000123", "70000456", "70000789" }));
}

TEST(DatabaseModule, AFileAnotherProgramHoldsIsInUseNotForeign)
{
    ProgramFolder folder;
    const QString path = folder.databasePath();
    EXPECT_EQ(TdtmDB::inUseText("/x/JX.mdb"),
        QStringLiteral("O arquivo de Banco de Dados (/x/JX.mdb) está em uso por outro programa (outra cópia do JX, por "
                       "exemplo).\r\nFeche o outro programa e tente novamente."));
    const auto headlessOpen = [&path] {
        try {
            TdtmDB module(TdtmDB::AtPath { path });
        } catch (const db::DbError& e) {
            return e.isBusy() ? QStringLiteral("ocupado") : e.message();
        }
        return QStringLiteral("aberto");
    };
    {
        // Another program writing holds the file past the wait.
        db::Connection other;
        other.open(path, db::kDatabaseKey);
        other.exec("BEGIN EXCLUSIVE");
        ScriptedPrompts prompts;
        prompts.expectError(TdtmDB::inUseText(path) + "\r\nO Programa será finalizado.");
        Ended ended;
        EXPECT_TRUE(moduleEnds(folder.path(), prompts, ended));
        EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
        EXPECT_EQ(headlessOpen(), "ocupado");
    }
    {
        // A restore replacing the file: refused at once.
        DatabaseFileLock restoring;
        ASSERT_EQ(restoring.acquire(path, DatabaseFileLock::Mode::Exclusive), DatabaseFileLock::Outcome::Held);
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(headlessOpen(), "ocupado");
        EXPECT_LT(waited.elapsed(), 1000);
    }
    EXPECT_EQ(headlessOpen(), "aberto");
    // Program instances share the file; a restore cannot take it from them.
    TdtmDB first(TdtmDB::AtPath { path });
    TdtmDB second(TdtmDB::AtPath { path });
    DatabaseFileLock restoring;
    EXPECT_EQ(restoring.acquire(path, DatabaseFileLock::Mode::Exclusive), DatabaseFileLock::Outcome::InUse);
    first.closeConnection();
    EXPECT_EQ(restoring.acquire(path, DatabaseFileLock::Mode::Exclusive), DatabaseFileLock::Outcome::InUse);
    second.closeConnection();
    EXPECT_EQ(restoring.acquire(path, DatabaseFileLock::Mode::Exclusive), DatabaseFileLock::Outcome::Held);
}
