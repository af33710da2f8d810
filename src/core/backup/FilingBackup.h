#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace jx {

class TdtmJX;
class UserPrompts;

// Per-filing backups: each chosen filing's delivery file in its diskette form (encrypted data,
// verifier), copied into the backup folder under its own name, so that it can be restored.
class FilingBackup {
public:
    FilingBackup(TdtmJX& jx, UserPrompts& prompts, const QString& programFolder);

    void setKeysFolder(const QString& folder) { m_keysFolder = folder; }
    // Paint now: the run blocks the window.
    void setPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // The program folder followed by "backup".
    static QString defaultFolder(const QString& programFolder);

    // The filings of the current kind at these rows of their set (none: the current one). True
    // when at least one file was produced and every produced file reached the folder.
    bool run(const QList<int>& rows, const QString& folder);

    // One line per produced file: its path in the folder, then " ..... OK!" or " ..... NÃO!".
    const QStringList& memoLines() const { return m_memo; }
    // The backup files written.
    const QStringList& written() const { return m_written; }
    // The filings that produced no file (failed verification).
    const QStringList& failures() const { return m_failures; }

    static inline const QString kRequestFailures = QStringLiteral(
        "Ocorreu erro durante a geração da cópia de segurança da(s) seguinte(s) Solicitação(ões):\r\n");
    static inline const QString kEnablementFailures = QStringLiteral(
        "Ocorreu erro durante a geração da cópia de segurança da(s) seguinte(s) Habilitação(ões):\r\n");
    static inline const QString kFolderMissing = QStringLiteral("Erro na gravação da cópia!\r\nContacte o suporte do JX!");
    static inline const QString kNoSpace = QStringLiteral("Espaço insuficiente na pasta %1 para a cópia de segurança.");
    static inline const QString kCopyFailed
        = QStringLiteral("Erro na gravação da cópia de segurança!\r\nContacte o suporte do JX!");
    static inline const QString kDone = QStringLiteral("Cópia de Segurança realizada com sucesso!");
    static inline const QString kOk = QStringLiteral(" ..... OK!");
    static inline const QString kNo = QStringLiteral(" ..... NÃO!");

private:
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
    QString m_keysFolder;
    std::function<void()> m_pump;
    QStringList m_memo;
    QStringList m_written;
    QStringList m_failures;
};

} // namespace jx
