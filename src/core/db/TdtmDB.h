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
    // dialog; throws db::DbError when it is not this program's.
    struct AtPath {
        QString path;
    };
    explicit TdtmDB(const AtPath& file);

    // Steps 1-7 of finding the file; throws jx::Error with the system's text when the
    // user gives up.
    static QString locateDatabase(const QString& programFolder, UserPrompts& prompts);
    // Connects and proves the file is this program's; throws db::DbError otherwise.
    static void openValidated(db::Connection& connection, const QString& path);
    static bool isReadOnly(const QString& path);

    const QString& path() const { return m_path; }
    // The connection, opened again (without any dialog) when something closed it.
    db::Connection& connection();
    void closeConnection() { m_connection.close(); }

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

private:
    QString m_path;
    db::Connection m_connection;
};

} // namespace jx
