#include "delivery/DeliveryRun.h"

#include "Error.h"
#include "config/IniFile.h"
#include "config/ProgramVersion.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"
#include "delivery/DataLayouts.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/Receipts.h"
#include "delivery/UnregisteredDeliveries.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompts.h"
#include "platform/Volumes.h"
#include "platform/WorkingFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>

#include <cerrno>

namespace jx {

using data::RecordSet;

namespace {

const QString kProtocolReadFailed = QStringLiteral("Erro ao capturar informação sobre Protocolo de Transmissão: ");

QString textOf(pugi::xml_node parent, const char* name)
{
    return QString::fromUtf8(parent.child(name).text().get());
}

} // namespace

TProtocoloInf CapturarProtocolo(const QString& file)
{
    try {
        pugi::xml_document document;
        xmlpass::load(document, file);
        const pugi::xml_node root = document.document_element();
        pugi::xml_node header = root.first_child();
        while (header && header.type() != pugi::node_element)
            header = header.next_sibling();
        const pugi::xml_node protocol = xmlpass::findBelow(header, "protocolo");
        TProtocoloInf info;
        info.numero = textOf(protocol, "numero");
        // What the delivery record cannot hold is refused before anything depends on it.
        if (info.numero.size() > kMaxProtocolLength)
            throw Error(QStringLiteral("o número de protocolo \"%1\" tem mais de %2 caracteres")
                            .arg(info.numero)
                            .arg(kMaxProtocolLength));
        const QString date = textOf(protocol, "data").trimmed();
        const QString time = textOf(protocol, "hora").trimmed();
        if (!date.isEmpty()) {
            info.data = QDate::fromString(date, QStringLiteral("dd/MM/yyyy"));
            if (!info.data.isValid())
                throw Error(QStringLiteral("'%1' não é uma data válida").arg(date));
        }
        if (!time.isEmpty()) {
            info.hora = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
            if (!info.hora.isValid())
                throw Error(QStringLiteral("'%1' não é uma hora válida").arg(time));
        }
        return info;
    } catch (const Error& e) {
        throw Error(kProtocolReadFailed + e.userText());
    }
}

QString diskIdentifier(const QString& driveRoot)
{
    // Reduced the same way on both routes, so that the capture finds what the delivery stored:
    // what Latin-1 cannot hold becomes "?", and the label gives way so that the serial fits.
    const QString serial = QString::number(volumes::serial(driveRoot));
    QString label;
    for (const char32_t c : volumes::label(driveRoot).toUcs4())
        label += c <= 0xFF ? QChar(char16_t(c)) : QChar(u'?');
    label.truncate(std::max<qsizetype>(0, kDiskIdentifierLength - serial.size()));
    return (label + serial).left(kDiskIdentifierLength);
}

DeliveryRun::DeliveryRun(TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, Mode mode)
    : m_jx(jx)
    , m_prompts(prompts)
    , m_programFolder(programFolder)
    , m_mode(mode)
{
}

DeliveryRun::~DeliveryRun() = default;

QString DeliveryRun::transmitterFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Velkor.EXE");
#else
    return QStringLiteral("velkor");
#endif
}

QString DeliveryRun::workingFolder() const
{
    return m_work ? m_work->path() : WorkingFolder::tempRoot(m_programFolder);
}

void DeliveryRun::pump()
{
    if (m_hooks.pump)
        m_hooks.pump();
}

void DeliveryRun::IniciarEtapa(const QString& text, bool bold)
{
    ++m_step;
    m_lines << text;
    m_bold << bold;
    if (m_hooks.lineChanged)
        m_hooks.lineChanged(m_step, text, bold);
    pump();
}

void DeliveryRun::appendToLine(const QString& text)
{
    if (m_step == 0)
        return;
    m_lines[m_step - 1] += text;
    if (m_hooks.lineChanged)
        m_hooks.lineChanged(m_step, m_lines[m_step - 1], m_bold[m_step - 1]);
    pump();
}

void DeliveryRun::ConcluirEtapa(bool ok)
{
    appendToLine(ok ? QStringLiteral(" ok.") : QStringLiteral(" falhou."));
}

bool DeliveryRun::locateFiling(const QString& id)
{
    RecordSet& filings = m_kind == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    const QString key = m_kind == 1 ? QStringLiteral("ID_SOLICITACAO") : QStringLiteral("ID_SOLICITACAO_CONTABILISTA");
    return filings.locate(key, id.toLongLong());
}

namespace {

// A failure after which the run's transaction is gone (the engine rolled it all back): nothing
// may be recorded after it, in the run or outside it.
struct RunLost : Error {
    using Error::Error;
};

} // namespace

bool DeliveryRun::commitRecords(QString* cause)
{
    if (!m_transaction || !m_transaction->owns())
        return m_committed || !m_transaction;
    db::Connection& connection = m_jx.database().connection();
    try {
        if (!connection.inTransaction())
            throw Error(QStringLiteral("O banco de dados desfez a transação da entrega."));
        m_transaction->commit();
        m_committed = true;
        return true;
    } catch (const std::exception& failure) {
        if (cause)
            *cause = db::failureText(failure);
    }
    rollBackRun();
    return false;
}

void DeliveryRun::rollBackRun()
{
    // Nothing of the run is recorded any more: no file may count as delivered.
    m_files.clear();
    m_ids.clear();
    m_recordedFiles.clear();
    m_recordedIds.clear();
    try {
        if (m_transaction)
            m_transaction->rollback();
    } catch (const db::DbError&) {
        // the engine ends it when the connection closes
    }
    m_transaction.reset();
    RecordSet& filings = m_kind == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    try {
        for (RecordSet* set : { &filings, m_jx.cdsEntregas }) {
            set->cancel();
            set->cancelUpdates();
        }
        // The sets are read again so that they show what is stored.
        m_jx.reopenAt(filings, m_current);
    } catch (const std::exception&) {
        // The sets may show too much until they are read again; the database is as it was.
    }
}

bool DeliveryRun::protocolRecorded(const QString& file)
{
    try {
        const QString number = xmlfile::RetornarProtocolo(file).trimmed();
        if (number.isEmpty())
            return false;
        db::Statement s = m_jx.database().connection().prepare(
            QStringLiteral("SELECT 1 FROM ENTREGAS WHERE RTRIM(NUMEROPROTOCOLO) = RTRIM(:NUMERO)"));
        s.bind(QStringLiteral(":NUMERO"), number);
        return s.step();
    } catch (const std::exception&) {
        return false;
    }
}

bool DeliveryRun::keepIfUnrecorded(const QString& file, bool tell)
{
    // A file whose protocol is already recorded (a run killed after its commit) is not kept.
    if (!unregistered::carriesProtocol(file) || protocolRecorded(file))
        return false;
    try {
        m_kept << unregistered::keep(m_programFolder, file);
    } catch (const Error& e) {
        // Left where it is: never deleted, and its folder stays with it.
        if (tell)
            m_prompts.error(e.userText());
    }
    return true;
}

void DeliveryRun::keepUnrecorded()
{
    if (!m_work)
        return;
    const QFileInfoList entries = QDir(m_work->path()).entryInfoList(QDir::Files);
    for (const QFileInfo& entry : entries) {
        if (!m_files.contains(entry.absoluteFilePath()))
            keepIfUnrecorded(entry.absoluteFilePath(), true);
    }
}

QString DeliveryRun::keptText() const
{
    return unregistered::keptText(m_programFolder, m_kept);
}

bool DeliveryRun::FazerEntrega(const QList<int>& rows)
{
    m_kind = m_jx.TipoAtual == 1 ? 1 : 0;
    m_step = 0;
    m_lines.clear();
    m_bold.clear();
    m_files.clear();
    m_ids.clear();
    m_failures.clear();
    m_deliveredNames.clear();
    m_copiedNames.clear();
    m_kept.clear();
    m_final.clear();
    m_aborted = false;
    m_transmitted = false;
    m_committed = false;
    RecordSet& filings = m_kind == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    const QString key = m_kind == 1 ? QStringLiteral("ID_SOLICITACAO") : QStringLiteral("ID_SOLICITACAO_CONTABILISTA");
    m_current = filings.isEmpty() ? QVariant() : filings.value(key);

    // A folder of this run's own: files that carry a protocol are kept when it goes, whatever
    // ends the run; the rest (no plain data section on the diskette route) is deleted.
    // A run joined to another's open transaction could not know whether its records stay.
    if (m_jx.database().connection().inTransaction()) {
        m_aborted = true;
        m_final = kNotDone;
        m_prompts.error(kEditOpen);
        return false;
    }
    std::unique_ptr<WorkingFolder> work;
    try {
        work = std::make_unique<WorkingFolder>(
            m_programFolder, [this](const QString& file) { return keepIfUnrecorded(file, false); });
    } catch (const Error& e) {
        m_aborted = true;
        m_final = kNotDone;
        m_prompts.error(m_kept.isEmpty() ? e.userText() : e.userText() + QStringLiteral("\r\n") + keptText());
        return false;
    }
    m_work = work.get();
    struct WorkReset {
        WorkingFolder*& work;
        ~WorkReset() { work = nullptr; }
    } workReset { m_work };
    const files::ScratchWrites scratch(m_work->path());

    // A filing chosen twice is delivered once.
    QList<int> order;
    for (const int row : rows) {
        if (!order.contains(row))
            order << row;
    }
    bool committed = false;
    try {
        m_transaction = std::make_unique<db::Transaction>(m_jx.database().connection());
        IniciarEtapa(kMounting);
        FileGeneration generation(m_jx, m_programFolder);
        if (!m_keysFolder.isEmpty())
            generation.setKeysFolder(m_keysFolder);
        // The diskette form is sealed before its first write: no plain data section on disk.
        DeliveryCrypto crypto(m_keysFolder.isEmpty() ? m_jx.crypto().keysFolder() : m_keysFolder, m_prompts);
        if (m_mode == Mode::Diskette)
            generation.setSeal([&crypto](QByteArray& bytes, const QString& file) { return crypto.seal(bytes, file); });
        m_files = generation.GerarArquivos(order, m_ids, m_work->path(), m_failures);
        m_jx.TipoAtual = m_kind;
        ConcluirEtapa(!m_files.isEmpty());
        if (!m_files.isEmpty()) {
            if (m_mode == Mode::Diskette)
                GravarDisquete();
            else
                Transmitir();
        }
        // What generation changed (a status "I") when nothing was delivered.
        QString cause;
        if (!commitRecords(&cause))
            throw Error(cause);
        m_transaction.reset();
        committed = m_committed || m_files.isEmpty();
        // Recorded and committed: only now may a transmitted file go; one whose record was not
        // kept is secured before anything else is asked.
        keepUnrecorded();
        if (m_mode == Mode::Transmitter && !m_files.isEmpty())
            printReceipts();

        IniciarEtapa(kFinishing);
        // Only a file whose protocol the database holds goes; the rest is kept by the rescue.
        for (const QString& file : std::as_const(m_files)) {
            if (!unregistered::carriesProtocol(file) || protocolRecorded(file))
                QFile::remove(file);
        }
        m_work->remove();
        ConcluirEtapa(true);
        for (const QString& file : std::as_const(m_files))
            m_deliveredNames << QFileInfo(file).fileName();
        m_final = m_files.isEmpty() ? kNotDone : m_mode == Mode::Diskette ? kWritten : kTransmitted;
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception& failure) {
        if (committed) {
            // The deliveries are stored: what failed after them (the clean-up) takes none back.
            m_work->remove();
            QString text = db::failureText(failure);
            if (!m_kept.isEmpty())
                text += QStringLiteral("\r\n") + keptText();
            m_prompts.error(text);
            m_deliveredNames.clear();
            for (const QString& file : std::as_const(m_files))
                m_deliveredNames << QFileInfo(file).fileName();
            m_final = m_files.isEmpty() ? kNotDone : m_mode == Mode::Diskette ? kWritten : kTransmitted;
            m_jx.TipoAtual = m_kind;
            return !m_files.isEmpty();
        }
        m_aborted = true;
        const QStringList copied = m_copiedNames;
        m_files.clear();
        m_ids.clear();
        m_deliveredNames.clear();
        m_final = kNotDone;
        if (m_transaction)
            rollBackRun();
        m_work->remove();
        QString text = db::failureText(failure);
        // The run's own failure text first, the engine's cause below it.
        if (dynamic_cast<const RunLost*>(&failure))
            text = (m_mode == Mode::Diskette ? kDisketteFailed + QStringLiteral("\r\n") : kTransmitFailed) + text;
        if (!copied.isEmpty())
            text += kCopiedNotRecorded + copied.join(QStringLiteral("\r\n"));
        // The authority may have given these files their protocols: kept, never thrown away
        // with a record that was not stored.
        if (!m_kept.isEmpty())
            text += QStringLiteral("\r\n") + keptText();
        m_prompts.error(text);
        m_jx.TipoAtual = m_kind;
        return false;
    }
    // Files of an earlier run that died, or of this one, kept by the sweep or after the commit.
    if (!m_kept.isEmpty())
        m_prompts.warning(keptText());
    if (!m_current.isNull())
        filings.locate(key, m_current);
    m_jx.TipoAtual = m_kind;
    return !m_files.isEmpty();
}

// ---- Diskette ----

void DeliveryRun::GravarDisquete()
{
    // The files were sealed as they were made (encrypted, then stamped): none reached the disk
    // in plain text, and a filing whose sealing failed got no file and is among the failures.
    IniciarEtapa(kEncrypting);
    ConcluirEtapa(true);

    IniciarEtapa(kWriting);
    const std::optional<QString> drive = m_hooks.chooseDrive ? m_hooks.chooseDrive() : std::nullopt;
    if (!drive) {
        m_files.clear();
        m_ids.clear();
        ConcluirEtapa(false);
        IniciarEtapa(kUpdating);
        ConcluirEtapa(false);
        return;
    }
    m_drive = *drive;
    try {
        if (!copyToDrive(m_drive)) {
            m_files.clear();
            m_ids.clear();
            return;
        }
        ConcluirEtapa(true);

        IniciarEtapa(kUpdating);
        m_files = AtualizarEntregasDisquete(m_drive);
        // The step is ok only once the records are committed.
        QString cause;
        if (!commitRecords(&cause)) {
            ConcluirEtapa(false);
            m_prompts.error(cause + kCopiedNotRecorded + m_copiedNames.join(QStringLiteral("\r\n")));
            m_copiedNames.clear();
            m_files.clear();
            m_ids.clear();
            return;
        }
        m_copiedNames.clear();
        ConcluirEtapa(m_failures.isEmpty());
        if (!m_failures.isEmpty())
            m_prompts.information(kDisketteFailures + failureLines(false));
    } catch (const ProgramEnd&) {
        throw;
    } catch (const RunLost&) {
        ConcluirEtapa(false);
        throw;
    } catch (const std::exception&) {
        ConcluirEtapa(false);
        // Nothing of it is committed: the run says "not done", the database agrees.
        rollBackRun();
        QString text = kDisketteFailed;
        if (!m_copiedNames.isEmpty())
            text += kCopiedNotRecorded + m_copiedNames.join(QStringLiteral("\r\n"));
        m_copiedNames.clear();
        m_prompts.error(text);
    }
}

bool DeliveryRun::copyToDrive(const QString& driveRoot)
{
    QStringList copied;
    for (const QString& file : std::as_const(m_files)) {
        pump();
        const QString name = QFileInfo(file).fileName();
        const QString target = QDir(driveRoot).filePath(name);
        // A returned file of that name whose protocol was never captured is the only proof of
        // that delivery: it is not written over.
        if (QFileInfo::exists(target) && unregistered::carriesProtocol(target) && !protocolRecorded(target)) {
            QString text = kUncapturedOnDisk.arg(QDir::toNativeSeparators(target));
            if (!copied.isEmpty())
                text += QStringLiteral("\r\nArquivos já gravados no disquete:\r\n") + copied.join(QStringLiteral("\r\n"));
            m_prompts.error(text);
            return false;
        }
        QFile source(file);
        QByteArray bytes;
        if (source.open(QIODevice::ReadOnly))
            bytes = source.readAll();
        errno = 0;
        try {
            if (bytes.isEmpty())
                throw Error(source.errorString());
            files::replaceContent(target, bytes);
            // A medium may take a write and keep less: only what reads back whole counts.
            QFile check(target);
            if (!check.open(QIODevice::ReadOnly) || check.readAll() != bytes)
                throw Error(QStringLiteral("O arquivo %1 não foi gravado por inteiro.").arg(target));
            copied << name;
            m_copiedNames << name;
        } catch (const Error&) {
            const QStorageInfo storage(driveRoot);
            const bool full = errno == ENOSPC || (storage.isValid() && storage.bytesAvailable() < bytes.size());
            QString text = full ? QStringLiteral("Espaço insuficiente no disco %1.").arg(QDir::toNativeSeparators(driveRoot))
                                : kCopyFailed;
            // What already reached the disk stays there; the user should know which files.
            if (!copied.isEmpty())
                text += QStringLiteral("\r\nArquivos já gravados no disquete:\r\n") + copied.join(QStringLiteral("\r\n"));
            m_prompts.error(text);
            return false;
        }
    }
    return true;
}

bool DeliveryRun::recordDelivery(const QString& id, const QString& status, bool strictStatus,
    const std::function<void(RecordSet& deliveries)>& fill)
{
    RecordSet& filings = m_kind == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    RecordSet& deliveries = *m_jx.cdsEntregas;
    // One filing's rows go together or not at all.
    db::Savepoint savepoint(m_jx.database().connection(), QStringLiteral("entrega"));
    try {
        // Placing the filing reloads its deliveries: before the row is filled, never after.
        if (!locateFiling(id))
            throw Error(QStringLiteral("A solicitação %1 não está mais no banco de dados.").arg(id));
        DataLayouts(m_jx).AbrirEntregas(m_kind, id.toLongLong());
        fill(deliveries);
        deliveries.setValue(m_kind == 1 ? QStringLiteral("SOLICITACAO_ID") : QStringLiteral("HABILITACAO_ID"),
            id.toLongLong());
        deliveries.post();
        if (!m_jx.apply(deliveries, 0, true))
            throw Error(QStringLiteral("O registro da entrega não foi gravado."));
        filings.edit();
        filings.setValue("STATUS", status);
        filings.post();
        if (!(strictStatus ? m_jx.apply(filings, -1, true) : m_jx.apply(filings, 0, false)))
            throw Error(QStringLiteral("A situação da solicitação não foi gravada."));
        savepoint.release();
        return true;
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception& failure) {
        // A full disk or a damaged file makes the engine roll back the whole transaction: what
        // would follow could only be recorded outside it.
        if (!m_jx.database().connection().inTransaction())
            throw RunLost(db::failureText(failure));
        try {
            savepoint.rollback();
        } catch (const std::exception& undo) {
            // What the savepoint held cannot be told from the rest: the run goes back whole.
            throw RunLost(db::failureText(undo));
        }
        const QString text = db::failureText(failure);
        m_failures << id;
        try {
            for (RecordSet* set : { &deliveries, &filings }) {
                set->cancel();
                set->cancelUpdates();
            }
            // The set may still show what the savepoint took back.
            m_jx.reopenAt(filings, id.toLongLong());
        } catch (const std::exception&) {
            // shown as stored once the run reads the sets again
        }
        m_prompts.message(text);
        return false;
    }
}

QStringList DeliveryRun::AtualizarEntregasDisquete(const QString& driveRoot)
{
    QStringList recorded;
    QStringList ids;
    const QString idColumn = m_kind == 1 ? QStringLiteral("SOLICITACAO_ID") : QStringLiteral("HABILITACAO_ID");
    const QString disk = diskIdentifier(driveRoot);
    // A delivery row needs its filing's row and its deliveries, which recordDelivery loads
    // itself: the other details of each filing placed on the way are not read. The current
    // filing's are read once the guard goes (a failure to read them records nothing).
    RecordSet& filings = m_kind == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    const TdtmJX::DetailReactionOff detailsAfterwards(m_jx, filings);
    for (int i = 0; i < m_files.size(); ++i) {
        const QString& file = m_files[i];
        const QString& id = m_ids[i];
        if (!QFileInfo::exists(file)) {
            m_failures << id;
            continue;
        }
        const QString name = QFileInfo(file).fileName();
        // The same file on the same disk, still without protocol, keeps its one record.
        const bool recordedNow = recordDelivery(id, QStringLiteral("D"), m_kind != 1, [&](RecordSet& deliveries) {
            bool found = false;
            for (int r = 0; r < deliveries.count() && !found; ++r) {
                deliveries.moveTo(r);
                found = deliveries.text("IDENTIFICADORDISQUETE") == disk && deliveries.text("NOMEARQUIVO") == name
                    && deliveries.text(idColumn) == id && deliveries.text("NUMEROPROTOCOLO").isEmpty();
            }
            if (found)
                deliveries.edit();
            else
                deliveries.append();
            deliveries.setValue("IDENTIFICADORDISQUETE", disk);
            deliveries.setValue("VERSAOJXTRANSMISSAO", version::text(false));
            deliveries.setValue("VERIFICADORINTEGRIDADE", xmlfile::RetornarVerificador(file));
            deliveries.setValue("NOMEARQUIVO", name);
            deliveries.setValue("FORMAENTREGA", "D");
        });
        if (recordedNow) {
            recorded << file;
            ids << id;
        }
    }
    m_ids = ids;
    return recorded;
}

QString DeliveryRun::failureLines(bool transmission)
{
    QString lines;
    RecordSet& filings = m_kind == 1 ? *m_jx.cdsSolicitacaoIE : *m_jx.cdsSolicitacao_Contab;
    for (const QString& id : std::as_const(m_failures)) {
        const QString shown = locateFiling(id)
            ? filings.text(m_kind == 1 ? QStringLiteral("DESC_CNPJ") : QStringLiteral("DESC_IDENTIFICACAO"))
            : QString();
        if (m_kind == 1)
            lines += QStringLiteral("-CNPJ Solicitação: ") + shown + QStringLiteral("\r\n");
        else if (transmission)
            lines += QStringLiteral("-Identificação: ") + shown + QStringLiteral("\r\n");
        else
            lines += QStringLiteral("-Identificação Contabilista: ") + shown + QStringLiteral("\r\n");
    }
    return lines;
}

// ---- Transmitter ----

QString DeliveryRun::LocalizarTransmissor()
{
    const QString bin = programFolder::binFolderOf(m_programFolder);
    QDir().mkpath(bin);
    const QString ini = QDir(bin).filePath(QStringLiteral("JX.INI"));
    const bool iniExists = QFileInfo::exists(ini);
    if (iniExists) {
        try {
            const QString stored = ini::readValue(ini, QStringLiteral("Velkor"), QStringLiteral("FILEPATH"));
            if (!stored.trimmed().isEmpty() && QFileInfo(stored).isFile())
                return stored;
        } catch (const Error&) {
            // unreadable: looked for anew
        }
    }
    auto notGiven = [this]() {
        m_files.clear();
        return Error(kTransmitterNotGiven);
    };
    QString path = QDir(m_programFolder).filePath(transmitterFileName());
    if (!QFileInfo(path).isFile()) {
        m_prompts.information(kAskTransmitterFolder);
        const QString folder = m_prompts.chooseFolder(kTransmitterFolderCaption, m_programFolder);
        if (folder.isEmpty())
            throw notGiven();
        path = QDir(folder).filePath(transmitterFileName());
        while (!QFileInfo(path).isFile()) {
            if (!m_prompts.warnYesNo(kTransmitterNotInFolder))
                throw notGiven();
            const QString again = m_prompts.chooseFolder(kTransmitterFolderCaption, folder);
            // A cancelled choice is no folder: asking again would go round for ever.
            if (again.isEmpty())
                throw notGiven();
            path = QDir(again).filePath(transmitterFileName());
        }
    }
    path = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (iniExists)
        ini::writeValue(ini, QStringLiteral("Velkor"), QStringLiteral("FILEPATH"), path);
    else
        ini::createFile(ini, QStringLiteral("Velkor"), path);
    return path;
}

void DeliveryRun::startTransmitter(const QString& path)
{
    QProcess process;
    // Arguments go to the program as they are: no shell ever sees a file name.
    process.setProgram(path);
    process.setArguments(m_files);
    process.setWorkingDirectory(QStorageInfo(QFileInfo(path).absolutePath()).rootPath());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    // The transmitter holds the working folder for as long as it lives, even if this run dies.
    const auto hold = m_work ? m_work->holdForChildren() : nullptr;
    process.start();
    // One that cannot start is not reported: its files carry no protocol and fail below.
    if (process.waitForStarted(-1))
        process.waitForFinished(-1);
}

void DeliveryRun::Transmitir()
{
    IniciarEtapa(kTransmitting);
    bool updating = false;
    try {
        // A file that could not be stamped is not sent: its filing fails here.
        QStringList files;
        QStringList ids;
        for (int i = 0; i < m_files.size(); ++i) {
            if (xmlfile::GravarVerificador(m_files[i], m_prompts)) {
                files << m_files[i];
                ids << m_ids[i];
            } else {
                m_failures << m_ids[i];
            }
        }
        m_files = files;
        m_ids = ids;
        if (m_files.isEmpty())
            throw Error(QStringLiteral("Nenhum arquivo pôde ser preparado para a transmissão."));
        const QString path = m_transmitter.isEmpty() ? LocalizarTransmissor() : m_transmitter;
        if (path.trimmed().isEmpty())
            throw Error(kTransmitterNotFound);
        m_transmitted = true;
        startTransmitter(path.trimmed());
        pump();
        ConcluirEtapa(true);

        IniciarEtapa(kUpdating);
        updating = true;
        m_recordedFiles.clear();
        m_recordedIds.clear();
        CapturarProtocolosTransmitidos();
        m_files = m_recordedFiles;
        m_ids = m_recordedIds;
        // The step is ok only once the records are committed; the files whose records were not
        // kept are secured by the run.
        QString cause;
        if (!commitRecords(&cause)) {
            m_files.clear();
            m_ids.clear();
            m_recordedFiles.clear();
            m_recordedIds.clear();
            throw Error(cause);
        }
        ConcluirEtapa(m_failures.isEmpty());
        if (!m_failures.isEmpty())
            m_prompts.information(
                (m_kind == 1 ? kTransmitRequestFailures : kTransmitEnablementFailures) + failureLines(true));
    } catch (const ProgramEnd&) {
        throw;
    } catch (const RunLost&) {
        ConcluirEtapa(false);
        throw;
    } catch (const std::exception& failure) {
        pump();
        ConcluirEtapa(false);
        IniciarEtapa(kUpdating);
        ConcluirEtapa(false);
        if (!updating) {
            m_files.clear();
            m_ids.clear();
        } else {
            // Only what was recorded before the failure goes on to the run's commit.
            m_files = m_recordedFiles;
            m_ids = m_recordedIds;
        }
        m_prompts.error(kTransmitFailed + db::failureText(failure));
    }
}

void DeliveryRun::CapturarProtocolosTransmitidos()
{
    for (int i = 0; i < m_files.size(); ++i) {
        const QString& file = m_files[i];
        const QString& id = m_ids[i];
        TProtocoloInf protocol;
        try {
            if (!QFileInfo::exists(file) || !xmlfile::ConferirHash(file)) {
                m_failures << id;
                continue;
            }
            protocol = CapturarProtocolo(file);
        } catch (const Error& failure) {
            m_prompts.message(failure.userText());
            m_failures << id;
            continue;
        }
        if (protocol.numero.trimmed().isEmpty()) {
            m_failures << id;
            continue;
        }
        const bool recordedNow = recordDelivery(id, QStringLiteral("T"), true, [&](RecordSet& deliveries) {
            deliveries.append();
            deliveries.setValue("IDENTIFICADORDISQUETE", QString());
            deliveries.setValue("VERSAOJXTRANSMISSAO", version::text(false));
            deliveries.setValue("VERIFICADORINTEGRIDADE", xmlfile::RetornarVerificador(file));
            deliveries.setValue("NOMEARQUIVO", QFileInfo(file).fileName());
            deliveries.setValue("NUMEROPROTOCOLO", protocol.numero);
            // As the authority wrote it: a local clock would refuse an hour that daylight saving skips.
            if (protocol.data.isValid())
                deliveries.setValue("DATAHORAPROTOCOLO",
                    RecordSet::storedMoment(protocol.data, protocol.hora.isValid() ? protocol.hora : QTime(0, 0)));
            deliveries.setValue("FORMAENTREGA", "T");
            // The receipt reads the delivery's own values: set before it.
            deliveries.setValue(m_kind == 1 ? QStringLiteral("SOLICITACAO_ID") : QStringLiteral("HABILITACAO_ID"),
                id.toLongLong());
            Receipts receipts(m_jx);
            if (m_kind == 1)
                receipts.GerarReciboSolicitacao();
            else
                receipts.GerarReciboHabilitacao();
        });
        if (recordedNow) {
            m_recordedFiles << file;
            m_recordedIds << id;
        }
    }
}

void DeliveryRun::printReceipts()
{
    if (!m_prompts.confirmYesNo(kPrintReceipt))
        return;
    IniciarEtapa(kReceipts);
    RecordSet& deliveries = *m_jx.cdsEntregas;
    for (int i = 0; i < m_files.size() && i < m_ids.size(); ++i) {
        // Showing a receipt records nothing: its failure must not undo the deliveries.
        try {
            const QString number = xmlfile::RetornarProtocolo(m_files[i]).trimmed();
            if (number.isEmpty())
                continue;
            DataLayouts(m_jx).AbrirEntregas(m_kind, m_ids[i].toLongLong());
            qint64 delivery = -1;
            for (int r = 0; r < deliveries.count() && delivery < 0; ++r) {
                if (deliveries.valueAt(r, deliveries.fieldIndex(QStringLiteral("NUMEROPROTOCOLO"))).toString().trimmed()
                    == number)
                    delivery = deliveries.valueAt(r, deliveries.fieldIndex(QStringLiteral("IDENTIFICADOR"))).toLongLong();
            }
            if (delivery < 0)
                continue;
            if (m_hooks.showReceipt)
                m_hooks.showReceipt(delivery);
            appendToLine(QStringLiteral(" ok."));
        } catch (const ProgramEnd&) {
            throw;
        } catch (const std::exception& failure) {
            const Error* error = dynamic_cast<const Error*>(&failure);
            m_prompts.error(error ? error->userText() : QString::fromLocal8Bit(failure.what()));
        }
    }
}

} // namespace jx
