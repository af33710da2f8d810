// jxctl entregar, capturar, recibo, backup: the delivery runs of the wizard, the capture of a
// returned disk, the stored receipt text and the per-filing backups, through the same core code
// as the windows.

#include "Cli.h"
#include "DataModule.h"

#include "Error.h"
#include "backup/FilingBackup.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "delivery/DeliveryRun.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/Receipts.h"
#include "reports/ReceiptReport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace jxctl {

namespace {

const QString kDeliverUsage = QStringLiteral(
    "entregar disquete --drive PASTA|transmissor [--velkor CAMINHO] solicitacao|habilitacao ID...|PRIMEIRO-ÚLTIMO "
    "[--ids ARQUIVO] [--banco CAMINHO] [--chaves PASTA]");
const QString kCaptureUsage = QStringLiteral("capturar --drive PASTA [--gravar] [--banco CAMINHO]");
const QString kBackupUsage = QStringLiteral(
    "backup solicitacao|habilitacao ID...|PRIMEIRO-ÚLTIMO [--ids ARQUIVO] --pasta PASTA [--banco CAMINHO] [--chaves "
    "PASTA]");
const QString kReceiptUsage = QStringLiteral("recibo ENTREGA_ID [--banco CAMINHO]");

int deliver(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString drive = takeOption(args, QStringLiteral("--drive"));
    const QString velkor = takeOption(args, QStringLiteral("--velkor"));
    const QString keys = takeOption(args, QStringLiteral("--chaves"));
    const QString idsFile = takeOption(args, QStringLiteral("--ids"));
    if (args.size() < 2 || (args.size() < 3 && idsFile.isEmpty()))
        throw UsageError(QStringLiteral("Uso: jxctl %1").arg(kDeliverUsage));
    const QString route = args.takeFirst();
    const bool diskette = route == QLatin1String("disquete");
    if (!diskette && route != QLatin1String("transmissor"))
        throw UsageError(QStringLiteral("Forma de entrega desconhecida: \"%1\". Uso: jxctl %2").arg(route, kDeliverUsage));
    if (diskette && (drive.isEmpty() || !QFileInfo(drive).isDir()))
        throw UsageError(QStringLiteral("Informe com --drive a pasta ou o ponto de montagem do disco."));
    const bool request = requestKind(args.takeFirst(), kDeliverUsage);
    const QList<qint64> ids = idList(args, idsFile);

    const auto module = openDataModule(path);
    jx::TdtmJX& jx = *module->jx;
    jx::data::RecordSet& filings = request ? *jx.cdsSolicitacaoIE : *jx.cdsSolicitacao_Contab;
    // As the wizard offers them: a filing with errors is not delivered.
    QList<int> rows;
    for (const qint64 id : ids) {
        locateFiling(jx, request, id);
        if (filings.text(QStringLiteral("STATUS")) == QLatin1String("I"))
            throw UsageError(QStringLiteral("A solicitação %1 tem pendências (situação I) e não pode ser entregue.").arg(id));
        rows << filings.recNo();
    }
    jx.TipoAtual = request ? 1 : 0;

    jx::DeliveryRun run(jx, module->prompts, module->programFolder,
        diskette ? jx::DeliveryRun::Mode::Diskette : jx::DeliveryRun::Mode::Transmitter);
    if (!keys.isEmpty())
        run.setKeysFolder(keys);
    if (!velkor.isEmpty())
        run.setTransmitterPath(QFileInfo(velkor).absoluteFilePath());
    jx::DeliveryRun::Hooks hooks;
    hooks.chooseDrive = [drive] { return std::optional<QString>(QFileInfo(drive).absoluteFilePath()); };
    run.setHooks(hooks);
    run.FazerEntrega(rows);
    for (const QString& line : run.lines())
        out(line);
    out(run.finalText());
    if (run.aborted())
        return 2;
    if (run.deliveredFiles().isEmpty())
        return module->prompts.errorShown() && run.failures().isEmpty() ? 2 : 1;
    return run.failures().isEmpty() && run.deliveredFiles().size() == ids.size() ? 0 : 1;
}

int capture(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString drive = takeOption(args, QStringLiteral("--drive"));
    const bool record = takeFlag(args, QStringLiteral("--gravar"));
    requireCount(args, 0, kCaptureUsage);
    if (drive.isEmpty() || !QFileInfo(drive).isDir())
        throw UsageError(QStringLiteral("Informe com --drive a pasta ou o ponto de montagem do disco."));
    const auto module = openDataModule(path);
    jx::TdtmJX& jx = *module->jx;
    jx::ProtocolCapture capture(jx, module->prompts);
    if (!capture.LerDisquete(QFileInfo(drive).absoluteFilePath()))
        return 1;
    jx::data::RecordSet& list = *jx.cdsProtocolosAux;
    out(QStringLiteral("Nº\tProtocolo\tData\tHora\tIdentificador\tTipo"));
    for (int row = 0; row < list.count(); ++row) {
        list.moveTo(row);
        const QDate date = list.value(QStringLiteral("DATA")).toDate();
        out(QStringList { list.text(QStringLiteral("CONTA")), list.text(QStringLiteral("PROTOCOLO")),
            date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString(), list.text(QStringLiteral("HORA")),
            list.text(QStringLiteral("IDENTIFICADOR")), list.text(QStringLiteral("TIPO")) }
                .join(u'\t'));
    }
    const bool incorrect = !capture.incorrectFiles().isEmpty();
    if (!record)
        return incorrect ? 1 : 0;
    // The whole disk in one transaction: a write the database refuses takes back the protocols
    // recorded before it, so that the disk is simply captured again once the cause is mended.
    jx::db::Transaction transaction(jx.database().connection());
    int refused = 0;
    int captured = 0;
    for (int row = 0; row < list.count(); ++row) {
        list.moveTo(row);
        if (capture.selectRecordedDelivery()) {
            module->prompts.error(jx::ProtocolCapture::kAlreadyCaptured);
            ++refused;
            continue;
        }
        // The data module shows what the database refused as it goes.
        const int shown = module->prompts.shownCount();
        if (capture.tryCapture()) {
            ++captured;
            continue;
        }
        if (!capture.lastFailure().isEmpty() || module->prompts.shownCount() > shown) {
            transaction.rollback();
            const QString cause = QString(capture.lastFailure()).replace(QLatin1String("\r\n"), QLatin1String(" "));
            err(QStringLiteral("jxctl: ") + jx::ProtocolCapture::kNotCaptured
                + (cause.isEmpty() ? QString() : u' ' + cause));
            err(QStringLiteral("jxctl: Nenhum protocolo deste disco foi gravado (protocolo %1 de %2 recusado).")
                    .arg(row + 1)
                    .arg(list.count()));
            return 2;
        }
        // No delivery of this disk waits for it.
        module->prompts.error(jx::ProtocolCapture::kNotCaptured);
        ++refused;
    }
    transaction.commit();
    if (captured > 0)
        module->prompts.information(jx::ProtocolCapture::kCaptured);
    return refused == 0 && !incorrect ? 0 : 1;
}

int backup(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    const QString folder = takeOption(args, QStringLiteral("--pasta"));
    const QString keys = takeOption(args, QStringLiteral("--chaves"));
    const QString idsFile = takeOption(args, QStringLiteral("--ids"));
    if (folder.isEmpty() || args.isEmpty() || (args.size() < 2 && idsFile.isEmpty()))
        throw UsageError(QStringLiteral("Uso: jxctl %1").arg(kBackupUsage));
    const bool request = requestKind(args.takeFirst(), kBackupUsage);
    const QList<qint64> ids = idList(args, idsFile);
    if (!QDir().mkpath(folder))
        throw UsageError(QStringLiteral("Não foi possível criar a pasta %1.").arg(folder));
    const auto module = openDataModule(path);
    jx::TdtmJX& jx = *module->jx;
    jx::data::RecordSet& filings = request ? *jx.cdsSolicitacaoIE : *jx.cdsSolicitacao_Contab;
    QList<int> rows;
    for (const qint64 id : ids) {
        locateFiling(jx, request, id);
        rows << filings.recNo();
    }
    jx.TipoAtual = request ? 1 : 0;
    jx::FilingBackup backup(jx, module->prompts, module->programFolder);
    if (!keys.isEmpty())
        backup.setKeysFolder(keys);
    const bool done = backup.run(rows, QFileInfo(folder).absoluteFilePath());
    for (const QString& file : backup.written())
        out(QDir::toNativeSeparators(file));
    if (backup.written().isEmpty())
        return backup.failures().isEmpty() ? 2 : 1;
    return done && backup.written().size() == ids.size() ? 0 : 1;
}

int receipt(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString path = databaseOption(args);
    requireCount(args, 1, kReceiptUsage);
    const qint64 id = idOf(args[0]);
    jx::db::Connection connection;
    openDatabase(connection, path);
    jx::db::Statement s = connection.prepare(QStringLiteral(
        "SELECT NUMEROPROTOCOLO, DATAHORAPROTOCOLO, RECIBO, SOLICITACAO_ID FROM ENTREGAS WHERE IDENTIFICADOR = :ID"));
    s.bind(QStringLiteral(":ID"), id);
    if (!s.step())
        throw UsageError(QStringLiteral("Entrega %1 não encontrada.").arg(id));
    // As the printed receipt shows it: the protocol first, then the stored text line for line.
    const jx::report::ReceiptReport::Delivery delivery { s.text(0), s.value(1), s.value(2).toByteArray() };
    const QByteArray text = jx::report::ReceiptReport::plainText(!s.isNull(3), delivery).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}

} // namespace

std::vector<Command> deliveryCommands()
{
    return { { QStringLiteral("entregar"), kDeliverUsage, deliver }, { QStringLiteral("capturar"), kCaptureUsage, capture },
        { QStringLiteral("recibo"), kReceiptUsage, receipt }, { QStringLiteral("backup"), kBackupUsage, backup } };
}

} // namespace jxctl
