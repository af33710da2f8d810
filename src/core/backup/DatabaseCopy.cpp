#include "backup/DatabaseCopy.h"

#include "Error.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "platform/UserPrompts.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <filesystem>
#include <limits>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace jx::dbcopy {

namespace {

// How long a copy waits for another connection that is committing.
constexpr qint64 kBusyWaitMs = 2000;
constexpr qint64 kChunk = 1024 * 1024;

// A file of ours that is removed unless the work it holds was handed on.
class PendingFile {
public:
    explicit PendingFile(QString path)
        : m_path(std::move(path))
    {
    }
    ~PendingFile()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    void release() { m_path.clear(); }

private:
    QString m_path;
};

// A new, empty file of a unique name in folder; empty when the folder refuses it.
QString reserveFile(const QString& folder, const QString& pattern)
{
    if (!QFileInfo(folder).isDir())
        return {};
    QTemporaryFile file(QDir(folder).filePath(pattern));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return file.fileName();
}

[[noreturn]] void writeFailed(const QString& path, const QString& reason)
{
    throw Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(QDir::toNativeSeparators(path), reason));
}

// A rename only reports the name swapped; the content must already be on the disk, or a
// power cut could leave the new name over empty blocks.
bool syncFile(QFile& file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

void syncFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// Replaces `to` by `from` in one step: whoever looks sees the old file or the new one.
void replaceFile(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(
        std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()), ec);
    if (ec)
        throw Error(QStringLiteral("Não foi possível substituir o arquivo %1: %2")
                        .arg(QDir::toNativeSeparators(to), QString::fromLocal8Bit(ec.message())));
    syncFolder(QFileInfo(to).absolutePath());
}

// Copies at most `limit` bytes of `in` into `outPath`, synced; false when `in` holds more.
bool copyBytes(QFile& in, const QString& outPath, qint64 limit)
{
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        writeFailed(outPath, out.errorString());
    qint64 total = 0;
    for (;;) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                throw Error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                                .arg(QDir::toNativeSeparators(in.fileName()), in.errorString()));
            break;
        }
        total += chunk.size();
        if (total > limit)
            return false;
        if (out.write(chunk) != chunk.size())
            writeFailed(outPath, out.errorString());
    }
    if (!out.flush() || !syncFile(out))
        writeFailed(outPath, out.errorString());
    out.close();
    if (out.error() != QFileDevice::NoError)
        writeFailed(outPath, out.errorString());
    return true;
}

// All pages in one step, under one read lock: the copy is the last committed state, whatever
// another connection holds uncommitted.
void snapshot(db::Connection& from, db::Connection& to)
{
    sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup)
        throw db::DbError(sqlite3_errcode(to.handle()) & 0xFF, to.errorMessage());
    QElapsedTimer waited;
    waited.start();
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, -1);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited.elapsed() < kBusyWaitMs)
            sqlite3_sleep(50);
        else
            break;
    } while (true);
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw db::DbError(rc & 0xFF, QString::fromUtf8(sqlite3_errstr(rc)));
    if (finished != SQLITE_OK)
        throw db::DbError(finished & 0xFF, to.errorMessage());
}

bool looksLikeCipherFile(QFile& file)
{
    const qint64 size = file.size();
    // An encrypted file is whole pages of at least 512 bytes, and its first bytes are a
    // random salt, never the plain engine's header.
    if (size < 1024 || size > kMaxCopySize || size % 512 != 0)
        return false;
    return !file.peek(16).startsWith(QByteArrayLiteral("SQLite format 3"));
}

bool oneRowOk(db::Statement statement)
{
    return statement.step() && statement.text(0) == QLatin1String("ok") && !statement.step();
}

// Opens with the key, checks every page and proves each of the program's tables is there
// as a table with all its columns.
bool isSoundJxDatabase(const QString& path)
{
    try {
        db::Connection connection;
        TdtmDB::openValidated(connection, path);
        // Nothing the file defines may run while it is being judged.
        connection.exec(QStringLiteral("PRAGMA trusted_schema = OFF"));
        if (!oneRowOk(connection.prepare(QStringLiteral("PRAGMA integrity_check"))))
            return false;
        db::Statement pages = connection.prepare(QStringLiteral("PRAGMA cipher_integrity_check"));
        if (pages.step())
            return false;
        db::Statement kind = connection.prepare(QStringLiteral("SELECT type FROM sqlite_master WHERE name = ?"));
        for (const db::TableDef& def : db::tables()) {
            kind.reset();
            kind.bind(1, QString::fromLatin1(def.name));
            if (!kind.step() || kind.text(0) != QLatin1String("table"))
                return false;
            QStringList columns;
            for (const db::ColumnDef& column : def.columns)
                columns << QString::fromLatin1(column.name);
            connection
                .prepare(
                    QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(columns.join(u','), QString::fromLatin1(def.name)))
                .run();
        }
        return true;
    } catch (const db::DbError&) {
        return false;
    }
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

QString copyName(const QDateTime& moment)
{
    return QStringLiteral("JX") + moment.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".bkp");
}

QString databaseFile(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Banco/JX.mdb"));
}

QString safetyCopyFile(const QString& databaseFile)
{
    return databaseFile + QStringLiteral(".anterior");
}

bool copyDatabase(UserPrompts& prompts, const QString& databaseFile, const QString& folder, const QString& name)
{
    db::Connection from;
    try {
        from.open(databaseFile, QByteArray(db::kDatabaseKey));
    } catch (const db::DbError&) {
        prompts.error(kDatabaseUnreadable);
        return false;
    }
    // Written under a name of its own: a copy of the same name is replaced only by a whole one,
    // and a broken run leaves no half copy that looks like a backup.
    const QString partial = reserveFile(folder, name + QStringLiteral(".XXXXXX.parcial"));
    if (partial.isEmpty()) {
        prompts.error(kTargetNotCreated);
        return false;
    }
    PendingFile pending(partial);
    db::Connection to;
    try {
        to.open(partial, QByteArray(db::kDatabaseKey), true);
    } catch (const db::DbError&) {
        prompts.error(kTargetNotCreated);
        return false;
    }
    try {
        snapshot(from, to);
    } catch (const db::DbError& e) {
        if (e.isBusy()) {
            prompts.error(kDatabaseUnreadable);
            return false;
        }
        writeFailed(partial, e.message());
    }
    to.close();
    from.close();
    replaceFile(partial, QDir(folder).filePath(name));
    pending.release();
    return true;
}

bool CopiarBanco(TdtmDB& /*database*/, UserPrompts& prompts, const QString& programFolder, const QString& folder,
    const QString& name)
{
    // The program's connection is left open: the snapshot does not need the file to itself.
    return copyDatabase(prompts, databaseFile(programFolder), folder, name);
}

bool restoreDatabase(UserPrompts& prompts, const QString& databaseFile, const QString& copy, const RestoreHooks& hooks)
{
    QFile source(copy);
    if (!QFileInfo(copy).isFile() || !source.open(QIODevice::ReadOnly)) {
        prompts.error(kCopyNotOpened);
        return false;
    }
    if (!looksLikeCipherFile(source)) {
        prompts.error(kCopyRefused);
        return false;
    }
    const QString folder = QFileInfo(databaseFile).absolutePath();
    const QString base = fileName(databaseFile);
    // Judged as the very bytes that will become the database: the chosen file could change
    // between a check and a second read.
    const QString staged = reserveFile(folder, base + QStringLiteral(".restaurando.XXXXXX"));
    if (staged.isEmpty())
        writeFailed(databaseFile, QStringLiteral("a pasta do banco de dados não aceita arquivos novos"));
    PendingFile pendingStaged(staged);
    if (!copyBytes(source, staged, kMaxCopySize) || !isSoundJxDatabase(staged)) {
        prompts.error(kCopyRefused);
        return false;
    }
    source.close();

    // Held until the swap: no writer may start on the old file while its safety copy is taken
    // and it is replaced (one already writing makes the restore stop here).
    db::Connection holder;
    if (QFileInfo(databaseFile).isFile()) {
        try {
            holder.open(databaseFile, db::kDatabaseKey);
            holder.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        } catch (const db::DbError& e) {
            // A damaged database is what a restore is for: only a busy one stops it.
            if (e.isBusy())
                throw Error(QStringLiteral("O banco de dados está em uso por outro programa. Feche-o e tente novamente."),
                    e.message());
            holder.close();
        }
    }

    // A journal beside the database belongs to a writer (or to its crash): the engine would
    // play it back onto the restored file.
    for (const QString& suffix : { QStringLiteral("-journal"), QStringLiteral("-wal") }) {
        if (QFileInfo::exists(databaseFile + suffix))
            throw Error(QStringLiteral("O banco de dados está em uso por outro programa. Feche-o e tente novamente."),
                databaseFile + suffix);
    }

    if (QFileInfo(databaseFile).isFile()) {
        QFile current(databaseFile);
        if (!current.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(databaseFile), current.errorString()));
        const QString safety = reserveFile(folder, base + QStringLiteral(".anterior.XXXXXX"));
        if (safety.isEmpty())
            writeFailed(
                safetyCopyFile(databaseFile), QStringLiteral("a pasta do banco de dados não aceita arquivos novos"));
        PendingFile pendingSafety(safety);
        copyBytes(current, safety, std::numeric_limits<qint64>::max());
        replaceFile(safety, safetyCopyFile(databaseFile));
        pendingSafety.release();
    }

    if (hooks.beforeReplace)
        hooks.beforeReplace();
    replaceFile(staged, databaseFile);
    pendingStaged.release();
    prompts.information(kRestored);
    return true;
}

bool RestaurarBanco(TdtmDB& database, UserPrompts& prompts, const QString& programFolder, const QString& copy,
    const RestoreHooks& hooks)
{
    // Closed first and for good: a connection left on the old file would write into the
    // replaced one's inode, or keep a lock the swap would ignore.
    database.closeConnection();
    return restoreDatabase(prompts, dbcopy::databaseFile(programFolder), copy, hooks);
}

} // namespace jx::dbcopy
