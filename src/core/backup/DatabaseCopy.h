#pragma once

#include <QString>

#include <functional>

class QDateTime;

namespace jx {
class TdtmDB;
class UserPrompts;
} // namespace jx

namespace jx::dbcopy {

inline const QString kDatabaseUnreadable
    = QStringLiteral("O banco está aberto ou não existe. Feche-o e tente novamente.");
inline const QString kTargetNotCreated = QStringLiteral("O diretório de destino não existe.");
inline const QString kCopyNotOpened
    = QStringLiteral("O arquivo que você está tentando restaurar está aberto ou não existe!");
inline const QString kCopyRefused = QStringLiteral(
    "O arquivo escolhido não é uma cópia de segurança válida do banco de dados do JX.\r\nO banco de dados não foi "
    "alterado.");
inline const QString kDatabaseInUse
    = QStringLiteral("O banco de dados está em uso por outro programa. Feche-o e tente novamente.");
inline const QString kUnfinishedWrite = QStringLiteral(
    "O banco de dados tem uma gravação interrompida que não pôde ser desfeita (%1).\r\nO banco de dados não foi "
    "alterado.");
// %1: the folder.
inline const QString kNoSpace = QStringLiteral(
    "Espaço insuficiente no disco para gravar em %1.\r\nLibere espaço e tente novamente; nenhum arquivo anterior foi "
    "alterado.");
inline const QString kRestored = QStringLiteral(
    "Restauração concluída com sucesso!\r\nPara completar o processo de restauração do banco de dados o JX será "
    "encerrado.\r\nEm seguida entre normalmente no sistema.");

// A copy larger than this is refused unread: it comes from outside the program.
inline constexpr qint64 kMaxCopySize = qint64(2) * 1024 * 1024 * 1024;

// "JX" + yyyyMMddHHmmss + ".bkp"
QString copyName(const QDateTime& moment);
// The file the copy reads and the restore writes: Banco/JX.mdb under the program folder,
// whatever path the configuration names.
QString databaseFile(const QString& programFolder);
// The safety copy of the database a restore replaced, beside it.
QString safetyCopyFile(const QString& databaseFile);

// A consistent snapshot of the database into folder/name, replacing an older file of that
// name only once complete. The database connection stays open: the snapshot is read through
// a connection of its own, so uncommitted changes never reach the copy. False after a
// message was shown; throws jx::Error for any other failure (nothing left behind).
bool CopiarBanco(
    TdtmDB& database, UserPrompts& prompts, const QString& programFolder, const QString& folder, const QString& name);
// The same from a named database file (the headless tools).
bool copyDatabase(UserPrompts& prompts, const QString& databaseFile, const QString& folder, const QString& name);

struct RestoreHooks {
    // Runs after the copy was proved and the safety copy written, just before the database
    // file is replaced; tests throw from it to stand for a crash there.
    std::function<void()> beforeReplace;
};

// Closes the database connection and replaces the database file by the copy, once the copy
// was proved to be a sound JX database; the old file is kept as the safety copy. On success
// the success message was shown and the result is true: the caller then ends the program
// without reopening the database. False after a message, with the database file untouched;
// throws jx::Error for any other failure, the database file untouched as well.
bool RestaurarBanco(TdtmDB& database, UserPrompts& prompts, const QString& programFolder, const QString& copy,
    const RestoreHooks& hooks = {});
// The same onto a named database file (the headless tools); no connection to close. Refuses
// (jx::Error kDatabaseInUse) while any other TdtmDB has the file open.
bool restoreDatabase(
    UserPrompts& prompts, const QString& databaseFile, const QString& copy, const RestoreHooks& hooks = {});

// Removes the staging and partial safety copies a killed restore left beside the database
// (only files named as the restore names them), unless a restore is at work. For the start-up:
// call it while no transaction is open on the database.
void removeStaleStaging(const QString& databaseFile);

} // namespace jx::dbcopy
