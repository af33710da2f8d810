#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include <QVariant>

#include "delivery/UnregisteredDeliveries.h"

#include <functional>
#include <memory>
#include <optional>

namespace jx {

class TdtmJX;
class UserPrompts;
class WorkingFolder;

namespace db {
class Transaction;
}

namespace data {
class RecordSet;
}

// The protocol the authority wrote into a delivery file's header.
struct TProtocoloInf {
    QString numero;
    QDate data;
    QTime hora;
};

// The widest protocol number and diskette identifier a delivery record holds.
constexpr qsizetype kMaxProtocolLength = 20;
constexpr qsizetype kDiskIdentifierLength = 50;

// Reads cabecalho/protocolo of a file; throws jx::Error "Erro ao capturar informação sobre
// Protocolo de Transmissão: " + the cause.
TProtocoloInf CapturarProtocolo(const QString& file);

// The diskette identifier of a drive: its volume label followed by its serial as an
// unsigned decimal number.
QString diskIdentifier(const QString& driveRoot);

// One delivery run of the wizard: generation of one file per filing, then the diskette or
// the transmitter steps, the delivery records, and the progress lines the window shows.
// The whole run is one database transaction, committed in the step that records the
// deliveries (before any transmitted file is deleted and before the receipts are offered); a
// failure that reaches the run rolls it all back. The run's working folder is removed whatever
// the outcome, but a file that carries a protocol without a stored record is first moved to
// the unregistered deliveries' folder and named to the user.
class DeliveryRun {
public:
    enum class Mode { Transmitter = 0, Diskette = 1 };

    struct Hooks {
        // EscolherDrive: the chosen drive's root, or nothing when the user cancelled.
        std::function<std::optional<QString>()> chooseDrive;
        // A progress line changed (1-based number, its whole text, bold).
        std::function<void(int line, const QString& text, bool bold)> lineChanged;
        // Paint now: the run blocks the window.
        std::function<void()> pump;
        // Shows the receipt of one delivery record (the transmitter run's receipt pass).
        std::function<void(qint64 deliveryId)> showReceipt;
    };

    DeliveryRun(TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, Mode mode);
    ~DeliveryRun();

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    void setKeysFolder(const QString& folder) { m_keysFolder = folder; }
    // A transmitter named by the caller (jxctl --velkor): LocalizarTransmissor is not asked.
    void setTransmitterPath(const QString& path) { m_transmitter = path; }

    // FazerEntrega: the filings of the current kind at these rows of their record set (none:
    // the current one). True when the run ended with delivered files.
    bool FazerEntrega(const QList<int>& rows);

    // LocalizarTransmissor: the transmitter's path, stored in JX.INI once found. Throws
    // jx::Error when the user gives none.
    QString LocalizarTransmissor();

    Mode mode() const { return m_mode; }
    const QStringList& lines() const { return m_lines; }
    const QList<bool>& boldLines() const { return m_bold; }
    const QString& finalText() const { return m_final; }
    // The files delivered by the run (names without folder) and the filings that failed.
    const QStringList& deliveredFiles() const { return m_deliveredNames; }
    const QStringList& failures() const { return m_failures; }
    QString workingFolder() const;
    // Whether a failure reached the run and rolled it back.
    bool aborted() const { return m_aborted; }
    // The drive the diskette run wrote to.
    const QString& drive() const { return m_drive; }
    // Transmitted files kept in the unregistered deliveries' folder by this run (full paths).
    const QStringList& keptFiles() const { return m_kept; }

    static inline const QString kMounting = QStringLiteral("Montando arquivo...");
    static inline const QString kEncrypting = QStringLiteral("Criptografando arquivo...");
    static inline const QString kWriting = QStringLiteral("Gravando em disquete...");
    static inline const QString kUpdating = QStringLiteral("Atualizando banco de dados...");
    static inline const QString kFinishing = QStringLiteral("Finalizando");
    static inline const QString kTransmitting = QStringLiteral("Transmitindo arquivo...");
    static inline const QString kReceipts = QStringLiteral("Gerando recibo de entrega...");
    static inline const QString kNotDone = QStringLiteral("Operação não efetuada!");
    static inline const QString kWritten = QStringLiteral("Gravação realizada com sucesso!");
    static inline const QString kTransmitted = QStringLiteral("Transmisão realizada com sucesso!");
    static inline const QString kCopyFailed
        = QStringLiteral("Erro na gravação do arquivo no disquete! \r\nContacte o suporte do JX!");
    static inline const QString kDisketteFailed
        = QStringLiteral("Erro na gravação do arquivo do disquete!\r\nContacte o suporte do JX!");
    static inline const QString kDisketteFailures
        = QStringLiteral("Ocorreu erro durante a gravação da(s) seguinte(s) Solicitação(ões):\r\n");
    static inline const QString kTransmitRequestFailures
        = QStringLiteral("Ocorreu erro durante a transmissão da(s) seguinte(s) Solicitação(ões):\r\n");
    static inline const QString kTransmitEnablementFailures
        = QStringLiteral("Ocorreu erro durante a transmissão da(s) seguinte(s) Habilitação(ões):\r\n");
    static inline const QString kTransmitFailed = QStringLiteral("Erro durante a transmissão:\r\n");
    static inline const QString kTransmitterNotFound = QStringLiteral("Transmissor não encontrado!");
    static inline const QString kAskTransmitterFolder = QStringLiteral(
        "Não foi encontrado o arquivo JX.INI ou ele está incorreto!\r\nSerá pedido que informe o caminho do "
        "Transmissor (Velkor.EXE) para que o arquivo JX.INI seja gerado!");
    static inline const QString kTransmitterNotGiven
        = QStringLiteral("O caminho do Transmissor(Velkor.EXE) não foi informado!\r\nRepita a operação informando o "
                         "local que o Velkor.EXE foi instalado!");
    static inline const QString kTransmitterNotInFolder
        = QStringLiteral("O Transmissor(Velkor.EXE) não foi encontrado no local selecionado!\r\nPara informar outro "
                         "caminho clique em Sim.\r\nPara cancelar clique em Não.");
    static inline const QString kTransmitterFolderCaption = QStringLiteral("Local do Transmissor (Velkor.EXE)");
    static inline const QString kPrintReceipt = QStringLiteral("Deseja imprimir o recibo?");
    static inline const QString kUncapturedOnDisk = QStringLiteral(
        "O disquete contém o arquivo %1 com um protocolo ainda não capturado.\r\nCapture o protocolo antes de "
        "gravar a solicitação de novo neste disquete.");
    static inline const QString kEditOpen
        = QStringLiteral("Há uma edição em andamento: conclua-a ou cancele-a antes de entregar.");
    static inline const QString kKeptFiles = unregistered::kKeptText;
    static inline const QString kCopiedNotRecorded = QStringLiteral(
        "\r\nOs arquivos abaixo foram gravados no disquete, mas a entrega não foi registrada; grave-os "
        "novamente:\r\n");
    // The executable's name on this platform, looked for in the folder the user gives.
    static QString transmitterFileName();

private:
    void IniciarEtapa(const QString& text, bool bold = false);
    void ConcluirEtapa(bool ok);
    void appendToLine(const QString& text);
    void pump();

    void GravarDisquete();
    QStringList AtualizarEntregasDisquete(const QString& driveRoot);
    void Transmitir();
    // Records the protocols of the transmitted files; what it recorded goes to m_recordedFiles
    // and m_recordedIds (parallel), as it goes.
    void CapturarProtocolosTransmitidos();
    void printReceipts();
    // Commits the run's records; false (the run rolled back, the cause given) when refused.
    bool commitRecords(QString* cause);
    void rollBackRun();
    // Moves every file of the working folder that carries a protocol but is not among the
    // recorded ones into the unregistered deliveries' folder.
    void keepUnrecorded();
    // The working folder's rescue: keeps a file whose protocol the database does not hold;
    // true when the file is not to be deleted. tell: a file that cannot be moved is said.
    bool keepIfUnrecorded(const QString& file, bool tell);
    QString keptText() const;
    // Whether the database holds the protocol the file carries.
    bool protocolRecorded(const QString& file);
    // One filing's delivery row (prepared by fill, once the filing is placed and its deliveries
    // loaded) and its status, both or neither; false after a failure that was shown.
    bool recordDelivery(const QString& id, const QString& status, bool strictStatus,
        const std::function<void(data::RecordSet& deliveries)>& fill);
    // Copies the files onto the drive; false after a failure that was shown.
    bool copyToDrive(const QString& driveRoot);
    void startTransmitter(const QString& path);
    // Locates filing id in its set (its details follow); false when it is gone.
    bool locateFiling(const QString& id);
    QString failureLines(bool transmission);

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
    Mode m_mode;
    int m_kind = 1;
    Hooks m_hooks;
    QString m_keysFolder;
    QString m_transmitter;

    int m_step = 0;
    QStringList m_lines;
    QList<bool> m_bold;
    QString m_final;
    QStringList m_files; // full paths in the working folder, parallel to m_ids
    QStringList m_ids;
    QStringList m_failures;
    QStringList m_deliveredNames;
    QString m_drive;
    QStringList m_recordedFiles;
    QStringList m_recordedIds;
    QStringList m_copiedNames; // on the disk, not yet committed
    QStringList m_kept;
    QVariant m_current;
    WorkingFolder* m_work = nullptr;
    std::unique_ptr<db::Transaction> m_transaction;
    bool m_aborted = false;
    bool m_transmitted = false;
    bool m_committed = false;
};

} // namespace jx
