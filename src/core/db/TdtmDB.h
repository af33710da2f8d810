#pragma once

#include "db/Sqlite.h"

#include <QString>

#include <functional>

namespace jx {

class UserPrompts;

// Thrown after the termination hook ran, so that nothing after "the program ends" runs.
struct ProgramEnd {
    int status = 1;
};

// An flock on a database file, apart from the engine's own fcntl locks (on Linux the two never
// meet): every TdtmDB holds it shared while its connection is open, a database restore holds it
// exclusive while it replaces the file, so a restore never swaps a file another instance uses.
// Closing a descriptor drops every fcntl lock the process holds on that file (POSIX), so the
// lock is released only after the connections it guards were closed.
class DatabaseFileLock {
public:
    enum class Mode { Shared, Exclusive };
    enum class Outcome { Held, InUse, NoFile };

    DatabaseFileLock() = default;
    ~DatabaseFileLock() { release(); }
    DatabaseFileLock(const DatabaseFileLock&) = delete;
    DatabaseFileLock& operator=(const DatabaseFileLock&) = delete;

    // Never waits: InUse when another holder's lock conflicts.
    Outcome acquire(const QString& path, Mode mode);
    void release();
    bool isHeld() const { return m_fd >= 0; }
    // The locked file, open for reading: reading through it opens no second descriptor.
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

// Ends the program: the default exits the process; tests observe the call instead.
using TerminationHook = std::function<void()>;
[[noreturn]] void endProgram(const TerminationHook& hook);

// The database module: finds the database file, refuses a read-only or foreign one, holds
// the one connection for the run and the three transaction operations.
class TdtmDB {
public:
    // Locates, checks and connects. Every failure has been shown through the prompts and
    // the termination hook has been called (then ProgramEnd is thrown).
    TdtmDB(const QString& programFolder, UserPrompts& prompts, TerminationHook terminate);
    // A database file named directly (the headless tools): opened and proved without any
    // dialog; throws db::DbError when it is not this program's (isBusy() when another program
    // holds it: say inUseText then).
    struct AtPath {
        QString path;
    };
    explicit TdtmDB(const AtPath& file);

    // Steps 1-7 of finding the file; throws jx::Error with the system's text when the
    // user gives up.
    static QString locateDatabase(const QString& programFolder, UserPrompts& prompts);
    // Connects and proves the file is this program's; throws db::DbError otherwise. Sets the
    // journal and sync levels the file is written with.
    static void openValidated(db::Connection& connection, const QString& path);
    static bool isReadOnly(const QString& path);

    const QString& path() const { return m_path; }
    // The connection, opened again (without any dialog) when something closed it.
    db::Connection& connection();
    void closeConnection();

    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();
    bool inTransaction() const { return m_connection.inTransaction(); }

    static inline const QString kNotFoundInfo = QStringLiteral(
        "O Banco de Dados não foi encontrado!\r\nSerá pedido que seja inforado o caminho do Banco de Dados (JX.MDB).");
    static inline const QString kNotGiven = QStringLiteral(
        "O caminho do Banco de Dados (JX.MDB) não foi informado!\r\nRepita a operação informando o local que o JX.MDB "
        "foi instalado!");
    static inline const QString kNotInFolder = QStringLiteral(
        "O Banco de Dados (JX.MDB) não foi encontrado no local selecionado!\r\nPara informar outro caminho clique em "
        "Sim.\r\nPara cancelar clique em Não.");
    static inline const QString kProgramEnds = QStringLiteral("Banco não encontrado! O programa será finalizado.");
    static inline const QString kFolderCaption = QStringLiteral("Local do Banco de Dados (JX.MDB)");
    static QString readOnlyText(const QString& path);
    static QString invalidText(const QString& path);
    static QString inUseText(const QString& path);

private:
    void open();

    QString m_path;
    DatabaseFileLock m_use; // declared first: released after the connection closed
    db::Connection m_connection;
};

} // namespace jx
