#include "backup/DatabaseCopy.h"

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

TEST_F(CopyFixture, RestoreStopsBeforeTheSwapWhenTheSafetyCopyOrAJournalIsInTheWay)
{
    const QString copy = makeCopy();
    addStreet(m_database->connection(), "ATUAL");
    const QByteArray before = contentOf(databasePath());
    const QString banco = QFileInfo(databasePath()).path();

    ASSERT_TRUE(QDir(banco).mkpath("JX.mdb.anterior/dentro"));
    EXPECT_FALSE(errorOf([&] { dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy); }).isEmpty());
    EXPECT_EQ(contentOf(databasePath()), before);
    EXPECT_EQ(entriesOf(banco), QStringList({ "JX.mdb", "JX.mdb.anterior" }));
    ASSERT_TRUE(QDir(banco + "/JX.mdb.anterior").removeRecursively());

    // Another writer's journal would be played back onto the restored file.
    ASSERT_TRUE(writeFile(databasePath() + "-journal", QByteArray(512, '\0')));
    EXPECT_EQ(errorOf([&] { dbcopy::RestaurarBanco(*m_database, m_prompts, m_folder.path(), copy); }),
        "O banco de dados está em uso por outro programa. Feche-o e tente novamente.");
    EXPECT_EQ(contentOf(databasePath()), before);
    EXPECT_EQ(entriesOf(banco), QStringList({ "JX.mdb", "JX.mdb-journal" }));
}
