#include "backup/DatabaseCopy.h"

#include "../support/SmallDisk.h"
#include "../support/TestDatabase.h"
#include "../support/TestFiles.h"

#include "Error.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "platform/ScriptedPrompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace jx;
using namespace jxtest;

namespace {

QStringList streetsIn(const QString& path, const QByteArray& key = db::kDatabaseKey)
{
    db::Connection connection;
    connection.open(path, key);
    db::Statement rows = connection.prepare("SELECT LOGRADOURO FROM ENDERECO ORDER BY ID_ENDERECO");
    QStringList streets;
    while (rows.step())
        streets << rows.text(0);
    return streets;
}

QString integrityOf(const QString& path)
{
    db::Connection connection;
    connection.open(path, db::kDatabaseKey);
    db::Statement check = connection.prepare("PRAGMA integrity_check");
    return check.step() ? check.text(0) : QString();
}

void addStreet(db::Connection& connection, const QString& street)
{
    db::Statement insert = connection.prepare("INSERT INTO ENDERECO (LOGRADOURO, CEP) VALUES (?, '70000123')");
    insert.bind(1, street);
    insert.run();
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// A program folder whose database holds the streets given, with the program's connection open.
class CopyFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(m_folder.path()).mkpath("backup"));
        m_database = std::make_unique<TdtmDB>(TdtmDB::AtPath { dbcopy::databaseFile(m_folder.path()) });
        addStreet(m_database->connection(), "PRIMEIRA");
    }
    void TearDown() override { EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString(); }

    QString databasePath() const { return m_folder.databasePath(); }
    QString backupFolder() const { return QDir(m_folder.path()).filePath("backup"); }
    QString copyPath() const { return QDir(backupFolder()).filePath(m_name); }

    // A good copy of the database as it is now.
    QString makeCopy()
    {
        EXPECT_TRUE(dbcopy::CopiarBanco(*m_database, m_prompts, m_folder.path(), backupFolder(), m_name));
        return copyPath();
    }

    TestProgramFolder m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<TdtmDB> m_database;
    QString m_name = dbcopy::copyName(QDateTime(QDate(2005, 12, 25), QTime(10, 11, 12)));
};

} // namespace

TEST(DatabaseCopyName, YearMonthDayAndTwentyFourHourTime)
{
    EXPECT_EQ(dbcopy::copyName(QDateTime(QDate(2005, 12, 25), QTime(10, 11, 12))), "JX20051225101112.bkp");
    EXPECT_EQ(dbcopy::copyName(QDateTime(QDate(2024, 1, 2), QTime(23, 4, 5))), "JX20240102230405.bkp");
    EXPECT_EQ(dbcopy::databaseFile("/p"), QDir("/p").filePath("Banco/JX.mdb"));
}

TEST_F(CopyFixture, CopyHasTheCommittedRowsOnlyAndLeavesTheTransactionOpen)
{
    db::Connection& connection = m_database->connection();
    connection.begin();
    addStreet(connection, "PENDENTE");

    const QString copy = makeCopy();
    EXPECT_EQ(entriesOf(backupFolder()), QStringList { m_name });
    EXPECT_FALSE(contentOf(copy).startsWith("SQLite format 3"));
    EXPECT_EQ(integrityOf(copy), "ok");
    EXPECT_EQ(streetsIn(copy), QStringList { "PRIMEIRA" });

    ASSERT_TRUE(m_database->inTransaction());
    connection.commit();
    EXPECT_EQ(streetsIn(databasePath()), QStringList({ "PRIMEIRA", "PENDENTE" }));
}

TEST_F(CopyFixture, SecondCopyInTheSameSecondReplacesTheFirst)
{
    makeCopy();
    addStreet(m_database->connection(), "SEGUNDA");
    const QString copy = makeCopy();
    EXPECT_EQ(entriesOf(backupFolder()), QStringList { m_name });
    EXPECT_EQ(streetsIn(copy), QStringList({ "PRIMEIRA", "SEGUNDA" }));
}

TEST_F(CopyFixture, MissingTargetFolderIsRefused)
{
    m_prompts.expectError("O diretório de destino não existe.");
    const QString missing = QDir(m_folder.path()).filePath("nada/aqui");
    EXPECT_FALSE(dbcopy::CopiarBanco(*m_database, m_prompts, m_folder.path(), missing, m_name));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(CopyFixture, MissingOrForeignDatabaseIsRefused)
{
    QTemporaryDir other;
    m_prompts.expectError("O banco está aberto ou não existe. Feche-o e tente novamente.");
    EXPECT_FALSE(dbcopy::CopiarBanco(*m_database, m_prompts, other.path(), backupFolder(), m_name));

    QDir(other.path()).mkpath("Banco");
    ASSERT_TRUE(writeFile(dbcopy::databaseFile(other.path()), QByteArray(8192, 'x')));
    m_prompts.expectError("O banco está aberto ou não existe. Feche-o e tente novamente.");
    EXPECT_FALSE(dbcopy::CopiarBanco(*m_database, m_prompts, other.path(), backupFolder(), m_name));
    EXPECT_TRUE(entriesOf(backupFolder()).isEmpty());
}

TEST_F(CopyFixture, CopyThatCannotTakeItsNameLeavesNothingBehind)
{
    ASSERT_TRUE(QDir(backupFolder()).mkpath(m_name + "/dentro"));
    EXPECT_FALSE(errorOf([&] {
        dbcopy::CopiarBanco(*m_database, m_prompts, m_folder.path(), backupFolder(), m_name);
    }).isEmpty());
    EXPECT_EQ(entriesOf(backupFolder()), QStringList { m_name });
    EXPECT_TRUE(QFileInfo(copyPath()).isDir());
}

TEST_F(CopyFixture, RestoreReplacesTheDatabaseAndKeepsTheOldOne)
{
    const QString copy = makeCopy();
    addStreet(m_database->connection(), "DEPOIS DA COPIA");

    m_prompts.expectInformation(dbcopy::kRestored);
    EXPECT_TRUE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy));
    EXPECT_EQ(integrityOf(databasePath()), "ok");
    EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });
    const QString safety = databasePath() + ".anterior";
    EXPECT_EQ(streetsIn(safety), QStringList({ "PRIMEIRA", "DEPOIS DA COPIA" }));
    EXPECT_EQ(entriesOf(QFileInfo(databasePath()).path()), QStringList({ "JX.mdb", "JX.mdb.anterior" }));

    // The safety copy is the database each restore replaced.
    m_prompts.expectInformation(dbcopy::kRestored);
    EXPECT_TRUE(dbcopy::restoreDatabase(m_prompts, databasePath(), safety));
    EXPECT_EQ(streetsIn(databasePath()), QStringList({ "PRIMEIRA", "DEPOIS DA COPIA" }));
    EXPECT_EQ(streetsIn(safety), QStringList { "PRIMEIRA" });
}

TEST_F(CopyFixture, RestoreOfAMissingCopyOrAFolderIsRefused)
{
    const QByteArray before = contentOf(databasePath());
    m_prompts.expectError("O arquivo que você está tentando restaurar está aberto ou não existe!");
    EXPECT_FALSE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copyPath()));
    m_prompts.expectError("O arquivo que você está tentando restaurar está aberto ou não existe!");
    EXPECT_FALSE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), backupFolder()));
    EXPECT_EQ(contentOf(databasePath()), before);
    // The program goes on: the connection opens again by itself.
    EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });
    addStreet(m_database->connection(), "SEGUE");
}

namespace {

struct Bad {
    const char* what;
    std::function<void(const QString& good, const QString& path)> make;
};

void makeDatabase(const QString& path, const QByteArray& key, bool allTables)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    if (!key.isEmpty())
        sqlite3_key(raw, key.constData(), int(key.size()));
    for (const db::TableDef& def : db::tables()) {
        ASSERT_EQ(
            sqlite3_exec(raw, db::createStatement(def).toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        if (!allTables)
            break;
    }
    sqlite3_close(raw);
}

const std::vector<Bad>& badCopies()
{
    static const std::vector<Bad> bad {
        { "foreign bytes", [](const QString&, const QString& p) { writeFile(p, QByteArray(64 * 1024, '\x5a')); } },
        { "text", [](const QString&, const QString& p) { writeFile(p, "<backup>nada</backup>\r\n"); } },
        { "empty", [](const QString&, const QString& p) { writeFile(p, {}); } },
        { "truncated on a page",
            [](const QString& good, const QString& p) {
                const QByteArray all = contentOf(good);
                writeFile(p, all.left(all.size() / 2 / 4096 * 4096));
            } },
        { "truncated mid-page",
            [](const QString& good, const QString& p) { writeFile(p, contentOf(good).chopped(1000)); } },
        { "one page damaged",
            [](const QString& good, const QString& p) {
                QByteArray all = contentOf(good);
                all[all.size() / 2] = char(all[all.size() / 2] ^ 0x40);
                writeFile(p, all);
            } },
        { "unencrypted", [](const QString&, const QString& p) { makeDatabase(p, {}, true); } },
        { "wrong key", [](const QString&, const QString& p) { makeDatabase(p, "outra chave", true); } },
        { "right key, not the program's",
            [](const QString&, const QString& p) { makeDatabase(p, db::kDatabaseKey, false); } },
        { "over the size bound",
            [](const QString&, const QString& p) {
                QFile file(p);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                ASSERT_TRUE(file.resize(dbcopy::kMaxCopySize + 4096)); // sparse: nothing is written
            } },
    };
    return bad;
}

} // namespace

TEST_F(CopyFixture, RestoreRefusesWhatIsNotASoundCopyAndTouchesNothing)
{
    const QString good = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    const QByteArray before = contentOf(databasePath());
    const QString banco = QFileInfo(databasePath()).path();
    for (const Bad& bad : badCopies()) {
        SCOPED_TRACE(bad.what);
        const QString path = QDir(backupFolder()).filePath(QString("ruim-%1.bkp").arg(bad.what));
        bad.make(good, path);
        m_prompts.expectError(dbcopy::kCopyRefused);
        EXPECT_FALSE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), path));
        EXPECT_EQ(contentOf(databasePath()), before);
        EXPECT_EQ(entriesOf(banco), QStringList { "JX.mdb" });
        QFile::remove(path);
    }
    EXPECT_EQ(streetsIn(databasePath()), QStringList({ "PRIMEIRA", "ATUAL" }));
}

TEST_F(CopyFixture, CrashJustBeforeTheSwapLeavesTheOldDatabase)
{
    const QString copy = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    const QByteArray before = contentOf(databasePath());
    dbcopy::RestoreHooks crash;
    crash.beforeReplace = [] { throw std::runtime_error("queda simulada"); };
    EXPECT_THROW(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy, crash), std::runtime_error);
    EXPECT_EQ(contentOf(databasePath()), before);
    EXPECT_EQ(integrityOf(databasePath()), "ok");
    EXPECT_EQ(streetsIn(databasePath()), QStringList({ "PRIMEIRA", "ATUAL" }));
}

TEST_F(CopyFixture, RestoreStopsBeforeTheSwapWhenTheSafetyCopyIsInTheWay)
{
    const QString copy = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    const QByteArray before = contentOf(databasePath());
    const QString banco = QFileInfo(databasePath()).path();

    ASSERT_TRUE(QDir(banco).mkpath("JX.mdb.anterior/dentro"));
    EXPECT_FALSE(errorOf([&] { dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy); }).isEmpty());
    EXPECT_EQ(contentOf(databasePath()), before);
    EXPECT_EQ(entriesOf(banco), QStringList({ "JX.mdb", "JX.mdb.anterior" }));
}

TEST_F(CopyFixture, AJournalLeftByAKilledWriterIsSettledNotBlamedOnAnotherProgram)
{
    const QString copy = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    m_database->closeConnection();
    const QString banco = QFileInfo(databasePath()).path();
    const QString journal = databasePath() + "-journal";
    const QByteArray committed = contentOf(databasePath());

    // Killed before its header was written: a cold journal, which the engine ignores.
    for (const QByteArray& cold : { QByteArray(), QByteArray(512, '\0') }) {
        SCOPED_TRACE(cold.size());
        ASSERT_TRUE(writeFile(databasePath(), committed));
        ASSERT_TRUE(writeFile(journal, cold));
        m_prompts.expectInformation(dbcopy::kRestored);
        EXPECT_TRUE(dbcopy::restoreDatabase(m_prompts, databasePath(), copy));
        EXPECT_EQ(entriesOf(banco), QStringList({ "JX.mdb", "JX.mdb.anterior" }));
        EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });
        EXPECT_EQ(contentOf(databasePath() + ".anterior"), committed);
    }

    // Killed after writing pages of an uncommitted change into the file: a hot journal. The
    // file and journal as they were at that moment stand for the crash.
    ASSERT_TRUE(writeFile(databasePath(), committed));
    QByteArray crashedFile;
    QByteArray crashedJournal;
    {
        db::Connection writer;
        writer.open(databasePath(), db::kDatabaseKey);
        writer.exec("PRAGMA cache_size = 2");
        writer.begin();
        for (int i = 0; i < 300; ++i)
            addStreet(writer, QString("NAO GRAVADA %1").arg(i));
        crashedFile = contentOf(databasePath());
        crashedJournal = contentOf(journal);
        writer.rollback();
    }
    ASSERT_NE(crashedFile, committed); // pages of the change reached the file
    ASSERT_TRUE(writeFile(databasePath(), crashedFile));
    ASSERT_TRUE(writeFile(journal, crashedJournal));
    m_prompts.expectInformation(dbcopy::kRestored);
    EXPECT_TRUE(dbcopy::restoreDatabase(m_prompts, databasePath(), copy));
    EXPECT_EQ(entriesOf(banco), QStringList({ "JX.mdb", "JX.mdb.anterior" }));
    // The safety copy is the last committed state, not the half-written one.
    EXPECT_EQ(integrityOf(databasePath() + ".anterior"), "ok");
    EXPECT_EQ(streetsIn(databasePath() + ".anterior"), QStringList({ "PRIMEIRA", "ATUAL" }));
    EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });
}

TEST_F(CopyFixture, RestoreRefusesWhileAnotherInstanceHasTheDatabaseOpen)
{
    const QString copy = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    const QByteArray before = contentOf(databasePath());
    const QString banco = QFileInfo(databasePath()).path();
    QProcess other;
    other.start(HOLD_DATABASE_PATH, { databasePath() });
    ASSERT_TRUE(other.waitForReadyRead(60000)) << other.readAllStandardError().toStdString();
    ASSERT_EQ(other.readAllStandardOutput().trimmed(), "aberto");

    EXPECT_EQ(errorOf([&] { dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy); }),
        dbcopy::kDatabaseInUse);
    EXPECT_EQ(contentOf(databasePath()), before);
    EXPECT_EQ(entriesOf(banco), QStringList { "JX.mdb" });

    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.exitCode(), 0);
    m_prompts.expectInformation(dbcopy::kRestored);
    EXPECT_TRUE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy));
    EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });
}

TEST_F(CopyFixture, StagingLeftByAKilledRestoreGoesAndNothingElse)
{
    const QString copy = makeCopy();
    const QString banco = QFileInfo(databasePath()).path();
    const QStringList stale { "JX.mdb.anterior.x9Y8z7", "JX.mdb.restaurando.Ab12Cd" };
    const QStringList others { "JX.mdb.restaurando.abc", "JX.mdb.restaurando.Ab12Cd.txt",
        "OUTRO.mdb.restaurando.Ab12Cd", "notas.txt" };
    const auto leave = [&] {
        for (const QString& name : stale + others)
            ASSERT_TRUE(writeFile(QDir(banco).filePath(name), QByteArray(4096, 'k')));
    };
    ASSERT_TRUE(QDir(banco).mkpath("JX.mdb.anterior.Qq11Ww"));
    QStringList kept = others + QStringList { "JX.mdb", "JX.mdb.anterior.Qq11Ww" };
    kept.sort();

    // At start-up, with the program's connection open.
    leave();
    dbcopy::removeStaleStaging(databasePath());
    EXPECT_EQ(entriesOf(banco), kept);
    EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });

    // Not while a restore is at work: they are its own.
    leave();
    m_database->closeConnection();
    {
        DatabaseFileLock restoring;
        ASSERT_EQ(
            restoring.acquire(databasePath(), DatabaseFileLock::Mode::Exclusive), DatabaseFileLock::Outcome::Held);
        dbcopy::removeStaleStaging(databasePath());
        EXPECT_EQ(entriesOf(banco).size(), kept.size() + stale.size());
    }

    // The next restore clears them before it stages its own.
    m_prompts.expectInformation(dbcopy::kRestored);
    EXPECT_TRUE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy));
    kept << "JX.mdb.anterior";
    kept.sort();
    EXPECT_EQ(entriesOf(banco), kept);
    EXPECT_EQ(contentOf(QDir(banco).filePath("notas.txt")), QByteArray(4096, 'k'));
}

TEST_F(CopyFixture, RestoreIntoAFullFolderSaysSoAndLeavesEveryFileWhole)
{
    const QString copy = makeCopy();
    m_database->closeConnection();
    const QString folder = QDir(m_folder.path()).filePath("pequeno");
    const qint64 size = QFileInfo(databasePath()).size();
    SmallDisk disk(folder, size + 8192); // the database and 8 KB
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small file system is not permitted here";
    const QString database = QDir(folder).filePath("JX.mdb");
    ASSERT_TRUE(QFile::copy(databasePath(), database));
    const QByteArray before = contentOf(database);

    EXPECT_EQ(errorOf([&] { dbcopy::restoreDatabase(m_prompts, database, copy); }),
        dbcopy::kNoSpace.arg(QDir::toNativeSeparators(folder)));
    EXPECT_EQ(contentOf(database), before);
    EXPECT_EQ(entriesOf(folder), QStringList { "JX.mdb" });
    EXPECT_EQ(integrityOf(database), "ok");
}

namespace {

// A copy of the good one whose schema the statements change.
Bad alteredSchema(const char* what, QStringList statements)
{
    return { what, [statements](const QString& good, const QString& p) {
                ASSERT_TRUE(QFile::copy(good, p));
                db::Connection c;
                c.open(p, db::kDatabaseKey);
                for (const QString& sql : statements)
                    c.exec(sql);
            } };
}

// ENTREGAS as the program creates it, one piece of its statement replaced.
QString entregasWith(const QString& from, const QString& to)
{
    const QString statement = db::createStatement(*db::table("ENTREGAS"));
    EXPECT_TRUE(statement.contains(from));
    return QString(statement).replace(from, to);
}

} // namespace

TEST_F(CopyFixture, ACopyWhoseSchemaIsNotTheProgramsIsRefused)
{
    const QString good = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    const QByteArray before = contentOf(databasePath());
    const QString banco = QFileInfo(databasePath()).path();
    const std::vector<Bad> altered {
        alteredSchema("trigger",
            { "CREATE TRIGGER APAGA_ENTREGAS AFTER INSERT ON SOLICITACAO_IE BEGIN DELETE FROM ENTREGAS; END" }),
        alteredSchema("view", { "CREATE VIEW TODAS AS SELECT * FROM ENTREGAS" }),
        alteredSchema("extra table", { "CREATE TABLE EXTRA (X INT)" }),
        alteredSchema("extra column", { "ALTER TABLE ENTREGAS ADD COLUMN EXTRA TEXT" }),
        alteredSchema(
            "column type", { "DROP TABLE ENTREGAS", entregasWith("SOLICITACAO_ID INT", "SOLICITACAO_ID TEXT") }),
        alteredSchema("check removed",
            { "DROP TABLE ENTREGAS",
                entregasWith(
                    " CONSTRAINT \"NUMEROPROTOCOLO com mais de 20 caracteres\" CHECK (NUMEROPROTOCOLO IS NULL OR "
                    "length(NUMEROPROTOCOLO) <= 20)",
                    "") }),
        alteredSchema("index of another column",
            { "DROP INDEX IX_ENTREGAS_SOLICITACAO", "CREATE INDEX IX_ENTREGAS_SOLICITACAO ON ENTREGAS (RECIBO)" }),
        alteredSchema("table missing", { "DROP TABLE ENTREGAS" }),
    };
    for (const Bad& bad : altered) {
        SCOPED_TRACE(bad.what);
        const QString path = QDir(backupFolder()).filePath(QString("alterada-%1.bkp").arg(bad.what));
        bad.make(good, path);
        m_prompts.expectError(dbcopy::kCopyRefused);
        EXPECT_FALSE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), path));
        EXPECT_EQ(contentOf(databasePath()), before);
        EXPECT_EQ(entriesOf(banco), QStringList { "JX.mdb" });
    }

    // An older file, made before the indexes existed, is the program's.
    const QString older = QDir(backupFolder()).filePath("antiga.bkp");
    QStringList drops;
    for (const QString& index : db::indexStatements())
        drops << "DROP INDEX " + index.section(u' ', 5, 5);
    alteredSchema("no indexes", drops).make(good, older);
    m_prompts.expectInformation(dbcopy::kRestored);
    EXPECT_TRUE(dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), older));
    EXPECT_EQ(streetsIn(databasePath()), QStringList { "PRIMEIRA" });
}
