#pragma once

#include "Error.h"
#include "backup/RestorePlan.h"

#include <QString>
#include <QStringList>

namespace jx {

class TdtmJX;
class UserPrompts;

namespace restore {
// An import the database refused for its own reasons (locked, read-only, full, damaged), not
// for the file's values: the file itself may be sound.
class DatabaseFailure : public Error {
public:
    using Error::Error;
};
} // namespace restore

// Brings one filing back from a backup or diskette file as a new filing with new keys. The
// file is read, decrypted and checked in memory (no decrypted copy is ever written); the rows
// go in as one transaction.
class Restore {
public:
    Restore(TdtmJX& jx, UserPrompts& prompts, const QString& programFolder);
    // Where PrivateKey.dat is read from; the data module's keys folder unless set.
    void setKeysFolder(const QString& folder) { m_keysFolder = folder; }

    // Fills cdsRestauracaoAux with the files of kind "S", "H" or "B" in the folder, by name.
    void ListarArquivosRestauracao(const QString& kind, const QString& folder);
    // The restore of the selected row of cdsRestauracaoAux: the duplicate check, the import
    // and every message; true when a filing was imported.
    bool RestaurarSolicitacao();
    bool RestaurarHabilitacao();
    // Imports one file as a new filing and returns its key. Throws jx::Error naming the file
    // (restore::DatabaseFailure when the database refused for its own reasons); then nothing
    // was written. A delivery record that could not be written is shown and ends the
    // deliveries (earlier ones stay), as the import goes on.
    qint64 ImportarSolicitacao(const QString& file);
    qint64 ImportarHabilitacao(const QString& file);

    struct Outcome {
        qint64 key = 0; // the new filing; 0 when refused
        QString refused; // why nothing was written: the filing is stored, or the file is not what its name says
        QStringList droppedDeliveries; // one line for each delivery record not stored
    };
    // The restore of one file, judged by what it holds: the filing inside (identification and
    // creation moment) must not be stored already and must be the one the file's name names.
    // Throws as the import does.
    Outcome restoreFile(const QString& file, restore::Kind kind);

    // The decrypted data section of a file. Throws jx::Error.
    QByteArray decryptedData(const QString& file, restore::Kind kind) const;

    static inline const QString kDone = QStringLiteral("Restauração concluída com sucesso!");
    static inline const QString kFailed = QStringLiteral("Erro na restauração! \r\r");
    static inline const QString kReadFailed = QStringLiteral("Erro na leitura do arquivo! Contacte o suporte do JX");
    static QString requestExistsText(const QString& maskedCnpj);
    static QString enablementExistsText(const QString& maskedIdentification);
    // The file's content is another filing than its name names.
    static QString mismatchText(const QString& file, const restore::RestorePlan& plan);

    // The stored filing of that identifier created at that moment, as the duplicate message;
    // empty when there is none.
    QString duplicate(restore::Kind kind, const QString& identifier, const QString& momentDigits);

private:
    // What was written: the filing's key and how many of its deliveries; the message of the
    // delivery that stopped them.
    struct Written {
        qint64 key = 0;
        qsizetype deliveries = 0;
        QString deliveryError;
    };

    bool restaurar(restore::Kind kind);
    restore::RestorePlan readPlan(const QString& file, restore::Kind kind) const;
    Written importar(const QString& file, const restore::RestorePlan& plan);
    Written write(const restore::RestorePlan& plan);
    qint64 insert(const char* table, const restore::Values& values);
    qint64 insertAddress(const restore::Address& address, bool enablement);
    QVariant lookup(const QString& sql, const QString& text);
    // The reference table's spelling of a locality, found exactly or accents and case aside.
    QVariant locality(const QString& name, const QString& uf);
    void reload(restore::Kind kind);

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
    QString m_keysFolder;
};

} // namespace jx
