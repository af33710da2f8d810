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
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

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

// The disk, the user's quota or the file-size limit has no room left: said as such, since
// the system's own text for it may reach the user as "Unknown error".
[[noreturn]] void noSpace(const QString& path)
{
    throw Error(kNoSpace.arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())), path);
}

[[noreturn]] void writeFailed(const QString& path, int error)
{
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        noSpace(path);
    writeFailed(path, QString::fromLocal8Bit(std::strerror(error)));
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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

// Copies at most `limit` bytes of the file open as `in` (read from its start, whatever was
// read through it before) into `outPath`, synced before it is closed: a rename only reports
// the name swapped, and a power cut must not leave the new name over empty blocks. False
// when `in` holds more than `limit`.
bool copyBytes(int in, const QString& inName, const QString& outPath, qint64 limit)
{
    const int out = ::open(QFile::encodeName(outPath).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out < 0)
        writeFailed(outPath, errno);
    const auto fail = [out, &outPath](int error) {
        ::close(out);
        writeFailed(outPath, error);
    };
    QByteArray chunk(kChunk, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const ssize_t got = ::pread(in, chunk.data(), size_t(kChunk), off_t(total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(out);
            throw Error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(inName), QString::fromLocal8Bit(std::strerror(error))));
        }
        if (got == 0)
            break;
        total += got;
        if (total > limit) {
            ::close(out);
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t wrote = ::write(out, chunk.constData() + done, size_t(got - done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                fail(wrote < 0 ? errno : ENOSPC);
            done += wrote;
        }
    }
    if (::fsync(out) != 0)
        fail(errno);
    if (::close(out) != 0)
        writeFailed(outPath, errno);
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

// Exactly the objects the program creates, each as the program's own statement: a trigger, a
// view, another table or a changed column in a copy would act on the data once it is the
// database (a trigger deleting delivery rows erases deliveries without a word). Known indexes
// may be absent: older files lack them.
bool hasTheProgramsSchema(db::Connection& connection)
{
    QHash<QString, QString> tables;
    for (const db::TableDef& def : db::tables())
        tables.insert(QString::fromLatin1(def.name), db::createStatement(def));
    QHash<QString, QString> indexes;
    for (QString statement : db::indexStatements()) {
        // The engine keeps a statement without its IF NOT EXISTS.
        statement.replace(QStringLiteral(" IF NOT EXISTS "), QStringLiteral(" "));
        indexes.insert(statement.section(u' ', 2, 2), statement);
    }
    db::Statement objects = connection.prepare(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master"));
    qsizetype tablesSeen = 0;
    while (objects.step()) {
        const QString type = objects.text(0);
        const QString name = objects.text(1);
        const QString sql = objects.text(3);
        if (type == QLatin1String("table")) {
            if (name == QLatin1String("sqlite_sequence")
                && sql == QLatin1String("CREATE TABLE sqlite_sequence(name,seq)"))
                continue;
            if (!tables.contains(name) || tables.value(name) != sql)
                return false;
            ++tablesSeen;
        } else if (type == QLatin1String("index")) {
            // The engine's own index of a key the table statement declares.
            if (objects.isNull(3) && name.startsWith(QLatin1String("sqlite_autoindex_"))
                && tables.contains(objects.text(2)))
                continue;
            if (!indexes.contains(name) || indexes.value(name) != sql)
                return false;
        } else {
            return false;
        }
    }
    return tablesSeen == tables.size();
}

// Opens with the key, proves the schema is the program's, then checks every page.
bool isSoundJxDatabase(const QString& path)
{
    try {
        db::Connection connection;
        connection.open(path, QByteArray(db::kDatabaseKey));
        // Nothing the file defines may run while it is being judged.
        connection.exec(QStringLiteral("PRAGMA trusted_schema = OFF"));
        if (!hasTheProgramsSchema(connection))
            return false;
        if (!oneRowOk(connection.prepare(QStringLiteral("PRAGMA integrity_check"))))
            return false;
        db::Statement pages = connection.prepare(QStringLiteral("PRAGMA cipher_integrity_check"));
        return !pages.step();
    } catch (const db::DbError&) {
        return false;
    }
}

// A journal the engine would play back: its first byte is not zero (a writer killed before its
// header was written leaves a cold one, which the engine ignores).
bool looksHot(const QString& journal)
{
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray first = file.read(1);
    return !first.isEmpty() && first[0] != '\0';
}

// The staging and safety files a killed restore leaves, by the names the restore gives them:
// nothing else is touched.
void removeLeftovers(const QString& databaseFile)
{
    const QFileInfo database(databaseFile);
    const QRegularExpression own(QStringLiteral("^%1\\.(restaurando|anterior)\\.[A-Za-z0-9]{6}$")
                                     .arg(QRegularExpression::escape(database.fileName())));
    const QDir folder = database.absoluteDir();
    const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (!entry.isSymLink() && entry.isFile() && own.match(entry.fileName()).hasMatch())
            QFile::remove(entry.absoluteFilePath());
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
        if (e.code() == SQLITE_FULL)
            noSpace(partial);
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

void removeStaleStaging(const QString& databaseFile)
{
    // A restore at work holds the database exclusively: its files are not stale.
    DatabaseFileLock use;
    if (use.acquire(databaseFile, DatabaseFileLock::Mode::Shared) == DatabaseFileLock::Outcome::InUse)
        return;
    removeLeftovers(databaseFile);
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

    // Held until the swap, before anything is written beside the database: no instance of the
    // program has the file open (each holds it shared), and a second restore waits its turn.
    DatabaseFileLock use;
    const bool current = QFileInfo(databaseFile).isFile();
    if (current) {
        const DatabaseFileLock::Outcome outcome = use.acquire(databaseFile, DatabaseFileLock::Mode::Exclusive);
        if (outcome == DatabaseFileLock::Outcome::InUse)
            throw Error(kDatabaseInUse, databaseFile);
        if (outcome == DatabaseFileLock::Outcome::NoFile)
            throw Error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(databaseFile), QString::fromLocal8Bit(std::strerror(errno))));
    }
    removeLeftovers(databaseFile);

    // Judged as the very bytes that will become the database: the chosen file could change
    // between a check and a second read.
    const QString staged = reserveFile(folder, base + QStringLiteral(".restaurando.XXXXXX"));
    if (staged.isEmpty())
        writeFailed(databaseFile, QStringLiteral("a pasta do banco de dados não aceita arquivos novos"));
    PendingFile pendingStaged(staged);
    if (!copyBytes(source.handle(), copy, staged, kMaxCopySize) || !isSoundJxDatabase(staged)) {
        prompts.error(kCopyRefused);
        return false;
    }
    source.close();

    // The engine's lock as well, for a program that opened the file without the program's
    // lock. Taking it plays back the journal of a writer that died (reading under the lock
    // does), so the safety copy is the last committed state.
    db::Connection holder;
    if (current) {
        try {
            holder.open(databaseFile, db::kDatabaseKey);
            holder.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        } catch (const db::DbError& e) {
            // A damaged database is what a restore is for: only a busy one stops it.
            if (e.isBusy())
                throw Error(kDatabaseInUse, e.message());
            holder.close();
        }
    }
    // A journal still there was not the engine's to play back: a cold one (from a writer killed
    // before it wrote its header) goes, it must not outlive the file it belonged to. One that
    // looks hot beside a database the engine could not open is not undone by anyone.
    const QString journal = databaseFile + QStringLiteral("-journal");
    if (QFileInfo::exists(journal)) {
        if (!holder.isOpen() && looksHot(journal))
            throw Error(kUnfinishedWrite.arg(QDir::toNativeSeparators(journal)), journal);
        if (!QFile::remove(journal))
            throw Error(kUnfinishedWrite.arg(QDir::toNativeSeparators(journal)), journal);
    }
    // A write-ahead log belongs to another program's connection: the program never opens one.
    if (QFileInfo::exists(databaseFile + QStringLiteral("-wal")))
        throw Error(kDatabaseInUse, databaseFile + QStringLiteral("-wal"));

    if (current) {
        const QString safety = reserveFile(folder, base + QStringLiteral(".anterior.XXXXXX"));
        if (safety.isEmpty())
            writeFailed(
                safetyCopyFile(databaseFile), QStringLiteral("a pasta do banco de dados não aceita arquivos novos"));
        PendingFile pendingSafety(safety);
        // Read through the locked descriptor: closing a second one would drop the engine's lock.
        copyBytes(use.descriptor(), databaseFile, safety, std::numeric_limits<qint64>::max());
        replaceFile(safety, safetyCopyFile(databaseFile));
        pendingSafety.release();
    }

    if (hooks.beforeReplace)
        hooks.beforeReplace();
    replaceFile(staged, databaseFile);
    pendingStaged.release();
    holder.close();
    use.release();
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
