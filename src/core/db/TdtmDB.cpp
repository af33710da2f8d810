#include "db/TdtmDB.h"

#include "Error.h"
#include "config/IniFile.h"
#include "db/Schema.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace jx {

void endProgram(const TerminationHook& hook)
{
    if (hook)
        hook();
    else
        std::exit(1);
    throw ProgramEnd {};
}

DatabaseFileLock::Outcome DatabaseFileLock::acquire(const QString& path, Mode mode)
{
    release();
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    // A restore may rename a new file over the path between the open and the lock: the lock
    // counts only when it is on the file the path names afterwards.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return Outcome::NoFile;
        int rc = 0;
        do {
            rc = ::flock(fd, (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd);
            return Outcome::InUse;
        }
        struct stat held { };
        struct stat named { };
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino) {
            m_fd = fd;
            return Outcome::Held;
        }
        ::close(fd);
    }
    return Outcome::InUse;
#else
    // Elsewhere the engine's own locks are all there is.
    Q_UNUSED(mode);
    return QFileInfo(path).isFile() ? Outcome::Held : Outcome::NoFile;
#endif
}

void DatabaseFileLock::release()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
    m_fd = -1;
}

namespace {

// The file name may be spelled in any case inside the chosen folder.
QString findDatabaseIn(const QString& folder)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(QStringLiteral("JX.mdb"));
    if (QFileInfo(exact).isFile())
        return exact;
    const auto entries = dir.entryList(QDir::Files);
    for (const QString& name : entries) {
        if (name.compare(QLatin1String("JX.MDB"), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return {};
}

} // namespace

QString TdtmDB::readOnlyText(const QString& path)
{
    return QStringLiteral("O arquivo de Banco de Dados (") + path + QStringLiteral(") está como 'Somente Leitura'\r\n")
        + QStringLiteral("e não poderá ser usado. O Programa será finalizado.");
}

QString TdtmDB::invalidText(const QString& path)
{
    return QStringLiteral("O arquivo de Banco de Dados (") + path + QStringLiteral(") não é válido para este programa.")
        + QStringLiteral("\r\nO Programa será finalizado.");
}

QString TdtmDB::inUseText(const QString& path)
{
    return QStringLiteral("O arquivo de Banco de Dados (") + path
        + QStringLiteral(") está em uso por outro programa (outra cópia do JX, por exemplo).")
        + QStringLiteral("\r\nFeche o outro programa e tente novamente.");
}

QString TdtmDB::locateDatabase(const QString& programFolder, UserPrompts& prompts)
{
    const QDir root(programFolder);
    root.mkpath(QStringLiteral("BIN"));
    const QString ini = root.filePath(QStringLiteral("BIN/JX.INI"));
    const bool iniExisted = QFileInfo(ini).isFile();

    if (iniExisted) {
        try {
            const QString stored = ini::readValue(ini, QStringLiteral("BANCO"), QStringLiteral("FILEPATH"));
            if (!stored.trimmed().isEmpty() && QFileInfo(stored).isFile())
                return stored;
        } catch (const Error&) {
            // An unreadable configuration counts as no stored path.
        }
    }

    QString found;
    const QString defaultPath = root.filePath(QStringLiteral("Banco/JX.mdb"));
    if (QFileInfo(defaultPath).isFile()) {
        found = defaultPath;
    } else {
        prompts.information(kNotFoundInfo);
        QString folder = prompts.chooseFolder(kFolderCaption, programFolder);
        if (folder.isEmpty())
            throw Error(kNotGiven);
        found = findDatabaseIn(folder);
        while (found.isEmpty()) {
            if (!prompts.confirmYesNo(kNotInFolder))
                throw Error(kNotGiven);
            const QString chosen = prompts.chooseFolder(kFolderCaption, folder);
            if (!chosen.isEmpty())
                folder = chosen;
            found = findDatabaseIn(folder);
        }
    }

    found = QDir::toNativeSeparators(QFileInfo(found).absoluteFilePath());
    const QString quoted = u'"' + found + u'"';
    if (iniExisted)
        ini::writeValue(ini, QStringLiteral("BANCO"), QStringLiteral("FILEPATH"), quoted);
    else
        ini::createFile(ini, QStringLiteral("BANCO"), quoted);
    return found;
}

bool TdtmDB::isReadOnly(const QString& path)
{
    // The owner's write bit stands for the read-only attribute (access() would let root
    // write anything).
    return !(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
}

void TdtmDB::openValidated(db::Connection& connection, const QString& path)
{
    connection.open(path, QByteArray(db::kDatabaseKey));
    // A rollback journal, deleted at each commit, and every commit synced (journal before
    // file): a power cut leaves the last committed state, and no -wal or -shm file lives
    // beside the database for a copy or a restore to miss.
    connection.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    connection.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    db::Statement probe
        = connection.prepare(QStringLiteral("SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO LIMIT 0"));
    probe.run();
}

TdtmDB::TdtmDB(const QString& programFolder, UserPrompts& prompts, TerminationHook terminate)
{
    try {
        m_path = locateDatabase(programFolder, prompts);
    } catch (const Error&) {
        m_path.clear();
    }
    if (m_path.trimmed().isEmpty()) {
        prompts.information(kProgramEnds);
        endProgram(terminate);
    }
    if (isReadOnly(m_path)) {
        prompts.error(readOnlyText(m_path));
        endProgram(terminate);
    }
    try {
        open();
    } catch (const db::DbError& e) {
        // A file another program holds is no reason to call it foreign: the user could restore
        // a copy over a sound database.
        prompts.error(
            e.isBusy() ? inUseText(m_path) + QStringLiteral("\r\nO Programa será finalizado.") : invalidText(m_path));
        endProgram(terminate);
    }
    // Files made before the indexes existed get them now; a file that refuses keeps working
    // without them.
    try {
        for (const QString& index : db::indexStatements())
            m_connection.exec(index);
    } catch (const db::DbError&) {
    }
}

TdtmDB::TdtmDB(const AtPath& file)
    : m_path(file.path)
{
    open();
}

void TdtmDB::open()
{
    // Taken before the connection, so that a restore cannot swap the file in between.
    if (m_use.acquire(m_path, DatabaseFileLock::Mode::Shared) == DatabaseFileLock::Outcome::InUse)
        throw db::DbError(SQLITE_BUSY, inUseText(m_path));
    try {
        openValidated(m_connection, m_path);
    } catch (...) {
        m_connection.close();
        m_use.release();
        throw;
    }
}

db::Connection& TdtmDB::connection()
{
    if (!m_connection.isOpen())
        open();
    return m_connection;
}

void TdtmDB::closeConnection()
{
    m_connection.close();
    m_use.release();
}

void TdtmDB::beginTransaction()
{
    connection().begin();
}

void TdtmDB::commitTransaction()
{
    connection().commit();
}

void TdtmDB::rollbackTransaction()
{
    connection().rollback();
}

} // namespace jx
