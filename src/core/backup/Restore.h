#pragma once

#include "backup/RestorePlan.h"

#include <QString>
#include <QStringList>

namespace jx {

class TdtmJX;
class UserPrompts;

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
    // Imports one file as a new filing and returns its key. Throws jx::Error naming the file;
    // then nothing was written. A delivery record that could not be written is shown and ends
    // the deliveries (earlier ones stay), as the import goes on.
    qint64 ImportarSolicitacao(const QString& file);
    qint64 ImportarHabilitacao(const QString& file);

    // The decrypted data section of a file. Throws jx::Error.
    QByteArray decryptedData(const QString& file, restore::Kind kind) const;

    static inline const QString kDone = QStringLiteral("Restauração concluída com sucesso!");
    static inline const QString kFailed = QStringLiteral("Erro na restauração! \r\r");
    static inline const QString kReadFailed = QStringLiteral("Erro na leitura do arquivo! Contacte o suporte do JX");
    static QString requestExistsText(const QString& maskedCnpj);
    static QString enablementExistsText(const QString& maskedIdentification);

    // The stored filing of that identifier created at that moment, as the duplicate message;
    // empty when there is none.
    QString duplicate(restore::Kind kind, const QString& identifier, const QString& momentDigits);

private:
    bool restaurar(restore::Kind kind);
    qint64 importar(const QString& file, restore::Kind kind);
    qint64 write(const restore::RestorePlan& plan, QStringList& deliveryErrors);
    qint64 insert(const char* table, const restore::Values& values);
    qint64 insertAddress(const restore::Address& address, bool enablement);
    QVariant lookup(const QString& sql, const QString& text);
    void reload(restore::Kind kind);

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
    QString m_keysFolder;
};

} // namespace jx
