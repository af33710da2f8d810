#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

namespace jx {

class TdtmJX;
class UserPrompts;

// What a file brought back from the authority says: Incorrect when it does not parse, fails
// its verifier or holds values no record can take; NoProtocol when it has no protocol number.
struct ReturnedFile {
    enum class State { Incorrect, NoProtocol, Protocol };
    State state = State::Incorrect;
    QString numero;
    QDate data;
    QTime hora;
    QString identificador;
    QString versao;
    QString verificador;
};
ReturnedFile readReturnedFile(const QByteArray& bytes);

// The diskette route's return: the protocols the authority wrote into the files of a
// returned disk, listed in cdsProtocolosAux and recorded into the deliveries that the
// diskette run created. Files on the disk come from outside and are read defensively.
class ProtocolCapture {
public:
    ProtocolCapture(TdtmJX& jx, UserPrompts& prompts);

    // LerDisquete after the drive was chosen: reads the drive, shows the Part's messages;
    // true when the list has protocols to show.
    bool LerDisquete(const QString& driveRoot);
    // Fills cdsProtocolosAux from the program files in the drive's root; returns the full
    // paths of the files that failed their check (or could not be read).
    QStringList LerProtocolosDisquete(const QString& driveRoot);
    // "Capturar Protocolo" on the current row of the list, with its messages; true when recorded.
    bool capturarProtocolo();
    // The recording proper for the current row of the list; false when its delivery is not found.
    bool CapturarProtocoloDisquete();
    // The same, a failure (other than the program's end) written to the error log and false.
    bool tryCapture();
    // The delivery already holding the current row's protocol, into cdsGeral; true when there is one.
    bool selectRecordedDelivery();

    const QString& driveRoot() const { return m_drive; }
    // Why the last capture failed, when a failure was the cause (empty otherwise).
    const QString& lastFailure() const { return m_lastFailure; }
    // The files the last reading found incorrect.
    const QStringList& incorrectFiles() const { return m_incorrect; }

    // Largest file read from a disk: delivery files are a few kilobytes.
    static constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

    static inline const QString kNoProtocol = QStringLiteral("O disquete não contém protocolo!");
    static inline const QString kIncorrectFiles = QStringLiteral("O(s) seguinte(s) arquivo(s) está(ão) Incorreto(s):\r");
    static inline const QString kNothingToImport = QStringLiteral("Não existe protocolo a ser importado!");
    static inline const QString kAlreadyCaptured = QStringLiteral("Este protocolo já foi capturado!");
    static inline const QString kCaptured = QStringLiteral(
        "Os recibos com os protocolos capturados estão disponíveis para impressão em Impressões/Recibo de Entrega.");
    static inline const QString kNotCaptured = QStringLiteral("Não foi possível capturar o protocolo!");

private:
    void GravarProtocoloCapturado();
    // Whether the file left by the transmitter route (its data section plain).
    static bool isTransmitted(const QString& path);
    bool recordTransmitted(qint64 id);
    bool locateFiling(const QString& kind, const QString& identifier, const QString& momentDigits);

    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_drive;
    QStringList m_incorrect;
    QString m_lastFailure;
};

} // namespace jx
